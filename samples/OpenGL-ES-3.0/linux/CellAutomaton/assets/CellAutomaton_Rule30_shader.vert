#version 300 es

// One generation: a line across the whole viewport, moved from the top edge down to the
// centre of the row that receives this generation.

in vec4 position;

uniform mat4 mvpMatrix;
uniform float verticalOffset; // texture heights below the top edge
uniform highp usampler2D inputTexture;

void main()
{
    float rows = float(textureSize(inputTexture, 0).y);
    vec4 clipPosition = mvpMatrix * position;
    // The viewport is 2 units high in normalised coordinates. A line exactly on a row's
    // edge can fall into either row (or none), so it runs through the row's centre instead:
    // half a row further down.
    float shift = 2.0 * verticalOffset + 1.0 / rows;
    clipPosition.y -= shift * clipPosition.w;
    gl_Position = clipPosition;
}
