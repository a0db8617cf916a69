#version 300 es

// Glyph quads in window pixels; the projection maps them to clip space.
in vec4 a_v4Position;
in vec4 a_v4FontColor;
in vec2 a_v2TexCoord;

uniform mat4 u_m4Projection;

out vec4 v_v4FontColor;
out vec2 v_v2TexCoord;

void main()
{
    v_v4FontColor = a_v4FontColor;
    v_v2TexCoord = a_v2TexCoord;
    gl_Position = u_m4Projection * a_v4Position;
}
