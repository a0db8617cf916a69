#include "Shader.h"

#include "ExitExpectation.h"
#include "OffscreenContext.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace KorvoSDK;

namespace {

const char* const validFragmentShader = "#version 300 es\n"
                                        "precision mediump float;\n"
                                        "out vec4 colour;\n"
                                        "void main() { colour = vec4(1.0); }\n";

const char* const brokenFragmentShader = "#version 300 es\n"
                                         "precision mediump float;\n"
                                         "out vec4 colour;\n"
                                         "void main() { colour = undeclared; }\n";

// The info log the GL itself gives for this source, read with the plain GL calls.
std::string infoLogOf(const std::string& source, GLenum type)
{
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    glDeleteShader(shader);
    return log.data();
}

std::string failureDump(const std::string& source, const std::string& log)
{
    return "Error: Debug source START:\n" + source + "\nDebug source END\n\n\n" + "Error: Log START:\n" + log +
        "\nLog END\n\n\n" + "Error: Compilation FAILED!\n\n\n";
}

} // namespace

TEST(ShaderGlTest, SuccessfulCompilationStoresTheNameAndPrintsNothing)
{
    OffscreenContext context(16, 16);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    const std::string file = folder.write("valid.frag", validFragmentShader);

    GLuint shader = 0;
    Shader::compileFromFile(&shader, file.c_str(), GL_FRAGMENT_SHADER);
    ASSERT_NE(shader, 0u);
    EXPECT_EQ(glIsShader(shader), GL_TRUE);
    GLint type = 0, status = 0;
    glGetShaderiv(shader, GL_SHADER_TYPE, &type);
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    EXPECT_EQ(type, GL_FRAGMENT_SHADER);
    EXPECT_EQ(status, GL_TRUE);

    EXPECT_EXIT_WITH_STDERR(
        {
            GLuint other = 0;
            Shader::compileFromFile(&other, file.c_str(), GL_FRAGMENT_SHADER);
            exit(0);
        },
        0, "");
}

TEST(ShaderGlTest, FailedCompilationDumpsSourceAndLogThenExits)
{
    OffscreenContext context(16, 16);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    const std::string file = folder.write("broken.frag", brokenFragmentShader);
    const std::string log = infoLogOf(brokenFragmentShader, GL_FRAGMENT_SHADER);
    ASSERT_FALSE(log.empty());

    GLuint shader = 0;
    EXPECT_EXIT_WITH_STDERR(Shader::compileFromFile(&shader, file.c_str(), GL_FRAGMENT_SHADER), 1,
                            failureDump(brokenFragmentShader, log));
}

TEST(ShaderGlTest, SourceEndsAtAnEmbeddedNul)
{
    OffscreenContext context(16, 16);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    const std::string source = brokenFragmentShader;
    const std::string file = folder.write("nul.frag", source + std::string("\0 trailing bytes", 16));
    const std::string log = infoLogOf(source, GL_FRAGMENT_SHADER);

    GLuint shader = 0;
    EXPECT_EXIT_WITH_STDERR(Shader::compileFromFile(&shader, file.c_str(), GL_FRAGMENT_SHADER), 1,
                            failureDump(source, log));
}

TEST(ShaderGlTest, EmptySourceFileGivesTheFullDump)
{
    OffscreenContext context(16, 16);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    const std::string file = folder.write("empty.vert", "");
    const std::string log = infoLogOf("", GL_VERTEX_SHADER);

    GLuint shader = 0;
    EXPECT_EXIT_WITH_STDERR(Shader::compileFromFile(&shader, file.c_str(), GL_VERTEX_SHADER), 1, failureDump("", log));
}

TEST(ShaderGlTest, MissingFileOrGlErrorExits)
{
    OffscreenContext context(16, 16);
    ASSERT_TRUE(context.ok());
    TestFolder folder;
    const std::string missing = folder.pathOf("missing.vert");
    const std::string valid = folder.write("valid.frag", validFragmentShader);

    GLuint shader = 0;
    EXPECT_EXIT_WITH_STDERR(Shader::compileFromFile(&shader, missing.c_str(), GL_VERTEX_SHADER), 1,
                            "Error: Cannot read file '" + missing + "'\n\n");
    // An invalid shader type is a GL error: the process ends without a message.
    EXPECT_EXIT_WITH_STDERR(Shader::compileFromFile(&shader, valid.c_str(), GL_TEXTURE_2D), 1, "");
}
