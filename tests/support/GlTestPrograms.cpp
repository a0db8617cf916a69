#include "GlTestPrograms.h"

#include <gtest/gtest.h>

GLuint compileTestShader(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    EXPECT_EQ(compiled, GL_TRUE) << source;
    return shader;
}

GLuint linkTestProgram(GLuint vertexShader, GLuint fragmentShader)
{
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    return program;
}

GLuint fullViewportProgram(const char* fragmentSource)
{
    static const char* const vertexSource =
        "#version 300 es\n"
        "void main() {\n"
        "  vec2 p = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);\n"
        "  gl_Position = vec4(p, 0.0, 1.0);\n"
        "}\n";
    return linkTestProgram(compileTestShader(GL_VERTEX_SHADER, vertexSource),
                           compileTestShader(GL_FRAGMENT_SHADER, fragmentSource));
}

GLuint texelFetchProgram()
{
    return fullViewportProgram("#version 300 es\n"
                               "precision highp float;\n"
                               "uniform highp sampler2D image;\n"
                               "uniform int level;\n"
                               "out vec4 colour;\n"
                               "void main() { colour = texelFetch(image, ivec2(gl_FragCoord.xy), level); }\n");
}
