// Each atlas level holds the colour image in its top half and the alpha plane (an image
// whose colour channels hold the alpha) in its bottom half: one texture, sampled twice.
precision mediump float;

uniform sampler2D u_s2dTexture;

varying vec2 v_v2TexCoord;

void main()
{
    vec2 colourCoord = vec2(v_v2TexCoord.s, v_v2TexCoord.t * 0.5);
    vec4 colour = texture2D(u_s2dTexture, colourCoord);
    colour.a = texture2D(u_s2dTexture, colourCoord + vec2(0.0, 0.5)).g;
    gl_FragColor = colour;
}
