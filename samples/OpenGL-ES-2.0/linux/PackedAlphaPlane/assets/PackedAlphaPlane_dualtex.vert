// The quads are given in clip space; the position's w defaults to 1.
attribute vec4 a_v4Position;
attribute vec2 a_v2TexCoord;

varying vec2 v_v2TexCoord;

void main()
{
    gl_Position = a_v4Position;
    v_v2TexCoord = a_v2TexCoord;
}
