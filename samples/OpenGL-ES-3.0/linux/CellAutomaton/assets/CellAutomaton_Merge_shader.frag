#version 300 es

// The history on screen, seed row at the top: the top row and every second row below it
// (the seed and the even generations) come from ping, the others (the odd generations)
// from pong. Live cells are amber, dead cells dark blue.

precision highp float;
precision highp int;

uniform highp usampler2D pingTexture;
uniform highp usampler2D pongTexture;

in vec2 textureCoordinate;

out vec4 fragmentColor;

const vec4 liveColour = vec4(1.0, 0.75, 0.0, 1.0);
const vec4 deadColour = vec4(0.0, 0.1, 0.3, 1.0);

void main()
{
    ivec2 size = textureSize(pingTexture, 0);
    ivec2 texel = ivec2(textureCoordinate * vec2(size));
    int generation = size.y - 1 - texel.y;
    uint value = (generation % 2 == 0) ? texelFetch(pingTexture, texel, 0).r
                                       : texelFetch(pongTexture, texel, 0).r;
    fragmentColor = (value != 0u) ? liveColour : deadColour;
}
