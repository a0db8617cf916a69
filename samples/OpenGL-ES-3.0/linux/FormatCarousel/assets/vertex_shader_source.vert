#version 300 es

// The quad: positions in -1..1 scaled onto the window, texture coordinates passed on.

in vec4 attributePosition;
in vec2 attributeTextureCoordinate;

uniform mat4 modelViewMatrix;

out vec2 textureCoordinate;

void main()
{
    textureCoordinate = attributeTextureCoordinate;
    gl_Position = modelViewMatrix * attributePosition;
}
