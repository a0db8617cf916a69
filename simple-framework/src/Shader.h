#ifndef KORVO_SHADER_H
#define KORVO_SHADER_H

#include <GLES3/gl3.h>

// Loading GLSL ES source files into compiled shader objects. Every failure ends the
// process with exit status 1 after a message; nothing is returned to the caller on error.
namespace KorvoSDK {
namespace Shader {

// The whole file as a NUL-terminated heap string (file length + 1 bytes). The caller
// releases it with free().
char* readSourceFile(const char* filename);

// Creates a shader of shaderType (GL_VERTEX_SHADER or GL_FRAGMENT_SHADER), stores its name
// through `shader` before compiling, and returns only once the source in `filename` has
// compiled. A failed compilation prints the source as the GL holds it and the info log.
void compileFromFile(GLuint* shader, const char* filename, GLenum shaderType);

// The programs' common pattern: a new program with the two shaders attached, linked (each
// call followed by checkGl). The link status is not queried: a program that failed to link
// makes the caller's glUseProgram fail its checkGl. Returns 0, attaching nothing, when the
// GL creates no program.
GLuint createLinkedProgram(GLuint vertexShaderId, GLuint fragmentShaderId);

} // namespace Shader
} // namespace KorvoSDK

#endif
