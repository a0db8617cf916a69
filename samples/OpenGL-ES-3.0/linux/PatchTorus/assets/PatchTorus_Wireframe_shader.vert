#version 300 es

in vec4 position;

uniform vec3 rotationVector; // degrees about x, y, z
uniform mat4 scaleMatrix;
uniform mat4 cameraMatrix;
uniform mat4 projectionMatrix;

// Turns about x first, then y, then z, as the solid torus does.
mat3 rotation(vec3 degrees)
{
    vec3 angles = radians(degrees);
    vec3 c = cos(angles);
    vec3 s = sin(angles);
    mat3 aboutX = mat3(1.0, 0.0, 0.0, 0.0, c.x, s.x, 0.0, -s.x, c.x);
    mat3 aboutY = mat3(c.y, 0.0, -s.y, 0.0, 1.0, 0.0, s.y, 0.0, c.y);
    mat3 aboutZ = mat3(c.z, s.z, 0.0, -s.z, c.z, 0.0, 0.0, 0.0, 1.0);
    return aboutZ * aboutY * aboutX;
}

void main()
{
    vec4 model = scaleMatrix * position;
    gl_Position = projectionMatrix * cameraMatrix * vec4(rotation(rotationVector) * model.xyz, 1.0);
}
