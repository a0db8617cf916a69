#version 300 es

precision mediump float;

struct DirectionalLight
{
    vec3 lightColor;
    vec3 lightDirection; // towards the light, any length
    float ambientIntensity;
};

uniform DirectionalLight light;
uniform vec4 color;

in vec3 viewNormal;

out vec4 fragmentColor;

void main()
{
    float diffuse = max(dot(normalize(viewNormal), normalize(light.lightDirection)), 0.0);
    vec3 lit = color.rgb * light.lightColor * (light.ambientIntensity + (1.0 - light.ambientIntensity) * diffuse);
    fragmentColor = vec4(lit, color.a);
}
