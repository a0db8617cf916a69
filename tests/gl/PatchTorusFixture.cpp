#include "PatchTorusFixture.h"

#include "PatchTorusReference.h"
#include "PatchTorusSample.h"

#include <dlfcn.h>

namespace {

const char* const plainFragmentShader = R"(#version 300 es
precision mediump float;
uniform vec4 color;
out vec4 fragmentColor;
void main() { fragmentColor = color; }
)";

} // namespace

void PatchTorusGl::SetUp()
{
    ASSERT_TRUE(context.ok());
    PatchTorus::resourceDirectory = patchTorusShaderFolder;
}

void PatchTorusGl::TearDown()
{
    // Models a test made through setUpSample go while their context is still current.
    PatchTorus::tearDownSample();
    PatchTorus::wireframeTorus = nullptr;
    PatchTorus::solidTorus = nullptr;
}

void PatchTorusGl::useShaders(const std::string& baseName, const std::string& vertexShader)
{
    folder.write(baseName + ".vert", vertexShader);
    folder.write(baseName + ".frag", plainFragmentShader);
    PatchTorus::resourceDirectory = folder.path() + "/";
}

GLuint currentProgram()
{
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return static_cast<GLuint>(program);
}

namespace {

// Primitives counted while a test's draw runs; null otherwise.
GLuint* countedPrimitives = nullptr;

GLuint primitivesOf(GLenum mode, GLsizei count, GLsizei instances)
{
    GLuint perInstance = 0;
    const GLuint vertices = count > 0 ? static_cast<GLuint>(count) : 0;
    switch (mode) {
    case GL_POINTS:
        perInstance = vertices;
        break;
    case GL_LINES:
        perInstance = vertices / 2;
        break;
    case GL_LINE_STRIP:
        perInstance = vertices > 1 ? vertices - 1 : 0;
        break;
    case GL_LINE_LOOP:
        perInstance = vertices > 1 ? vertices : 0;
        break;
    case GL_TRIANGLES:
        perInstance = vertices / 3;
        break;
    case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN:
        perInstance = vertices > 2 ? vertices - 2 : 0;
        break;
    }
    return perInstance * static_cast<GLuint>(instances > 0 ? instances : 0);
}

void count(GLenum mode, GLsizei vertices, GLsizei instances)
{
    if (countedPrimitives != nullptr)
        *countedPrimitives += primitivesOf(mode, vertices, instances);
}

template <typename Function>
Function realGl(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

// The draw calls of this test program pass through here on their way to libGLESv2, so that a
// test can count the primitives a model sends. The GL_PRIMITIVES_GENERATED query is not part
// of OpenGL ES 3.0, and softpipe counts it only during transform feedback.
extern "C" {

GL_APICALL void GL_APIENTRY glDrawArrays(GLenum mode, GLint first, GLsizei vertices)
{
    static const auto real = realGl<PFNGLDRAWARRAYSPROC>("glDrawArrays");
    count(mode, vertices, 1);
    real(mode, first, vertices);
}

GL_APICALL void GL_APIENTRY glDrawElements(GLenum mode, GLsizei vertices, GLenum type, const void* indices)
{
    static const auto real = realGl<PFNGLDRAWELEMENTSPROC>("glDrawElements");
    count(mode, vertices, 1);
    real(mode, vertices, type, indices);
}

GL_APICALL void GL_APIENTRY glDrawArraysInstanced(GLenum mode, GLint first, GLsizei vertices, GLsizei instances)
{
    static const auto real = realGl<PFNGLDRAWARRAYSINSTANCEDPROC>("glDrawArraysInstanced");
    count(mode, vertices, instances);
    real(mode, first, vertices, instances);
}

GL_APICALL void GL_APIENTRY glDrawElementsInstanced(GLenum mode, GLsizei vertices, GLenum type, const void* indices,
                                                    GLsizei instances)
{
    static const auto real = realGl<PFNGLDRAWELEMENTSINSTANCEDPROC>("glDrawElementsInstanced");
    count(mode, vertices, instances);
    real(mode, vertices, type, indices, instances);
}

} // extern "C"

GLuint primitivesGenerated(const std::function<void()>& draw)
{
    GLuint primitives = 0;
    countedPrimitives = &primitives;
    draw();
    countedPrimitives = nullptr;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "drawing";
    return primitives;
}

std::vector<std::uint8_t> readFramebuffer(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
