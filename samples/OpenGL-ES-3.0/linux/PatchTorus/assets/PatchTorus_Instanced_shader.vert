#version 300 es

// One instance per Bezier patch: the (u, v) grid vertex is placed on patch gl_InstanceID,
// u running along the ring (rows of the patch), v around the tube (columns).

in vec2 patchUVPosition;

layout(std140) uniform ControlPointsIndices
{
    uvec4 patchRows[64]; // row a of patch n in vector 4n + a
};

layout(std140) uniform ControlPointsVertices
{
    vec4 controlPoints[144];
};

uniform vec3 rotationVector; // degrees about x, y, z
uniform mat4 scaleMatrix;
uniform mat4 cameraMatrix;
uniform mat4 projectionMatrix;

out vec3 viewNormal;

// Turns about x first, then y, then z.
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

vec4 bernstein(float t)
{
    float r = 1.0 - t;
    return vec4(r * r * r, 3.0 * t * r * r, 3.0 * t * t * r, t * t * t);
}

vec4 bernsteinDerivative(float t)
{
    float r = 1.0 - t;
    return vec4(-3.0 * r * r, 3.0 * r * (r - 2.0 * t), 3.0 * t * (2.0 * r - t), 3.0 * t * t);
}

void main()
{
    vec4 bu = bernstein(patchUVPosition.x);
    vec4 bv = bernstein(patchUVPosition.y);
    vec4 du = bernsteinDerivative(patchUVPosition.x);
    vec4 dv = bernsteinDerivative(patchUVPosition.y);

    vec3 surface = vec3(0.0);
    vec3 alongU = vec3(0.0);
    vec3 alongV = vec3(0.0);
    for (int a = 0; a < 4; ++a) {
        uvec4 row = patchRows[4 * gl_InstanceID + a];
        for (int b = 0; b < 4; ++b) {
            vec3 point = controlPoints[row[b]].xyz;
            surface += bu[a] * bv[b] * point;
            alongU += du[a] * bv[b] * point;
            alongV += bu[a] * dv[b] * point;
        }
    }

    // u turns from +x towards +z and v from outside towards +y: v x u points outwards.
    mat3 turn = rotation(rotationVector);
    viewNormal = turn * normalize(cross(alongV, alongU));

    vec4 model = scaleMatrix * vec4(surface, 1.0);
    gl_Position = projectionMatrix * cameraMatrix * vec4(turn * model.xyz, 1.0);
}
