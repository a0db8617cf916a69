#version 300 es

// new = left XOR (centre OR right), read from the previous generation's row. Everything is
// integer arithmetic on whole texels; the float uniforms only name rows and distances. The
// cell written is the fragment's own pixel (the grid has the viewport's size): where along a
// line an interpolated value lands, and which pixels a wide line covers, differ between
// implementations, but a fragment's window position does not.

precision highp float;
precision highp int;

uniform highp usampler2D inputTexture;
uniform float verticalOffset;      // texture heights below the top edge: this row
uniform float inputVerticalOffset; // the same for the row read
uniform float inputNeighbour;      // distance to a neighbour in texture widths

layout(location = 0) out uvec4 cell;

const uint liveCell = 255u;

int rowBelowTop(float textureHeights, int rows)
{
    return rows - 1 - int(round(textureHeights * float(rows)));
}

bool liveAt(int column, int row, int width)
{
    // Beyond the left and right edges the edge cells are read again.
    return texelFetch(inputTexture, ivec2(clamp(column, 0, width - 1), row), 0).r != 0u;
}

void main()
{
    ivec2 size = textureSize(inputTexture, 0);
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    // A wide line can also cover a neighbouring row, which holds another generation.
    if (pixel.y != rowBelowTop(verticalOffset, size.y))
        discard;

    int column = pixel.x;
    int row = rowBelowTop(inputVerticalOffset, size.y);
    int neighbour = int(round(inputNeighbour * float(size.x)));

    bool left = liveAt(column - neighbour, row, size.x);
    bool centre = liveAt(column, row, size.x);
    bool right = liveAt(column + neighbour, row, size.x);
    cell = uvec4((left != (centre || right)) ? liveCell : 0u, 0u, 0u, 0u);
}
