// Colour from the ETC1 texture, alpha from the luminance of the uncompressed alpha plane.
precision mediump float;

uniform sampler2D u_s2dTexture;
uniform sampler2D u_s2dAlpha;

varying vec2 v_v2TexCoord;

void main()
{
    vec4 colour = texture2D(u_s2dTexture, v_v2TexCoord);
    colour.a = texture2D(u_s2dAlpha, v_v2TexCoord).r;
    gl_FragColor = colour;
}
