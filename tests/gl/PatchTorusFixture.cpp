#include "PatchTorusFixture.h"

#include "PatchTorusReference.h"
#include "PatchTorusSample.h"

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

GLuint primitivesGenerated(const std::function<void()>& draw)
{
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    draw();
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint primitives = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives);
    glDeleteQueries(1, &query);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "primitive query";
    return primitives;
}

std::vector<std::uint8_t> readFramebuffer(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
