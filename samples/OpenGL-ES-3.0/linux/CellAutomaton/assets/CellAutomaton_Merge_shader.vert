#version 300 es

// A quad over the whole viewport.

in vec4 position;
in vec2 vertexTexCoord;

uniform mat4 mvpMatrix;

out vec2 textureCoordinate;

void main()
{
    gl_Position = mvpMatrix * position;
    textureCoordinate = vertexTexCoord;
}
