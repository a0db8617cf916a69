#include "Shader.h"

#include "ExitExpectation.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace KorvoSDK;

TEST(ShaderTest, ReadSourceFileAddsATerminatingNul)
{
    TestFolder folder;
    char* source = Shader::readSourceFile(folder.write("a.vert", "void main() {}\n").c_str());
    ASSERT_NE(source, nullptr);
    EXPECT_STREQ(source, "void main() {}\n");
    free(source);

    source = Shader::readSourceFile(folder.write("empty.vert", "").c_str());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source[0], '\0');
    free(source);

    // Bytes after an embedded NUL are read but end the string.
    source = Shader::readSourceFile(folder.write("nul.vert", std::string("ab\0cd", 5)).c_str());
    EXPECT_EQ(std::string(source, 6), std::string("ab\0cd\0", 6));
    free(source);
}

TEST(ShaderTest, ReadSourceFileOfAMissingFileExits)
{
    TestFolder folder;
    const std::string missing = folder.pathOf("missing.frag");
    EXPECT_EXIT_WITH_STDERR(Shader::readSourceFile(missing.c_str()), 1,
                            "Error: Cannot read file '" + missing + "'\n\n");
}

TEST(ShaderTest, ReadSourceFileOfAFolderExitsAsAFileThatCannotBeRead)
{
    TestFolder folder;
    EXPECT_EXIT_WITH_STDERR(Shader::readSourceFile(folder.path().c_str()), 1,
                            "Error: Cannot read file '" + folder.path() + "'\n\n");
}
