// Colour from the first ETC1 texture, alpha from the second, whose colour channels all
// hold the alpha plane (green is the one encoders keep most faithfully).
precision mediump float;

uniform sampler2D u_s2dTexture;
uniform sampler2D u_s2dAlpha;

varying vec2 v_v2TexCoord;

void main()
{
    vec4 colour = texture2D(u_s2dTexture, v_v2TexCoord);
    colour.a = texture2D(u_s2dAlpha, v_v2TexCoord).g;
    gl_FragColor = colour;
}
