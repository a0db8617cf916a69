#version 300 es

// Shows each format so that its data can be read at a glance. EAC textures carry one or
// two channels (sampled as (r, 0, 0, 1) and (r, g, 0, 1)), and the signed ones values in
// -1..1, which the window would clamp to black. The program says which kind is bound:
//   0  colour formats: as sampled, with their alpha blended over the background
//   1  one channel (a height map): grey levels, 0 black to 1 white
//   2  one signed channel: grey levels, -1 black, 0 mid grey, 1 white
//   3  two channels (a bump map: a unit normal's X and Y, 0..1 standing for -1..1):
//      a normal map, with the Z the two imply; X, Y, Z from -1..1 to red, green, blue
//   4  two signed channels: the same normal map from X and Y stored as -1..1

precision highp float;

uniform sampler2D uniformTexture;
uniform int displayMode;

in vec2 textureCoordinate;

out vec4 fragmentColour;

float toVisibleRange(float signedValue)
{
    return signedValue * 0.5 + 0.5;
}

vec4 normalMapColour(vec2 normalXY)
{
    float normalZ = sqrt(max(0.0, 1.0 - dot(normalXY, normalXY)));
    return vec4(vec3(normalXY, normalZ) * 0.5 + 0.5, 1.0);
}

void main()
{
    vec4 texel = texture(uniformTexture, textureCoordinate);
    if (displayMode == 1)
        fragmentColour = vec4(vec3(texel.r), 1.0);
    else if (displayMode == 2)
        fragmentColour = vec4(vec3(toVisibleRange(texel.r)), 1.0);
    else if (displayMode == 3)
        fragmentColour = normalMapColour(texel.rg * 2.0 - 1.0);
    else if (displayMode == 4)
        fragmentColour = normalMapColour(texel.rg);
    else
        fragmentColour = texel;
}
