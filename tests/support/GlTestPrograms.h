#ifndef TEST_GL_TEST_PROGRAMS_H
#define TEST_GL_TEST_PROGRAMS_H

#include <GLES3/gl3.h>

// Small GL programs the tests draw with. Compile and link failures are test failures.

GLuint compileTestShader(GLenum type, const char* source);
GLuint linkTestProgram(GLuint vertexShader, GLuint fragmentShader);

// One triangle over the whole viewport (no attributes: drawn with glDrawArrays(GL_TRIANGLES,
// 0, 3)), shaded by the given OpenGL ES 3.00 fragment shader.
GLuint fullViewportProgram(const char* fragmentSource);

// A full-viewport program that shows the texels of one level of the texture on unit "image"
// as they are stored (texelFetch at the fragment's position, level from the "level" uniform).
GLuint texelFetchProgram();

#endif
