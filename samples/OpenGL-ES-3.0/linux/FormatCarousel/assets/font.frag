#version 300 es

precision mediump float;

// The font holds opaque white glyph pixels on a transparent background: the product gives
// the caller's colour where a glyph is and alpha 0 around it.
uniform sampler2D u_s2dTexture;

in vec4 v_v4FontColor;
in vec2 v_v2TexCoord;

out vec4 fragmentColor;

void main()
{
    fragmentColor = v_v4FontColor * texture(u_s2dTexture, v_v2TexCoord);
}
