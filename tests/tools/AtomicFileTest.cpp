#include "AtomicFile.h"

#include "TestFolder.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(AtomicFile, ReplacesAnExistingFileWholeAndLeavesNoTemporaryFile)
{
    TestFolder folder;
    const std::string path = folder.write("data.bin", "an older and longer content");
    std::string error;
    ASSERT_TRUE(imageio::writeFileAtomically(path, {'n', 'e', 'w'}, error)) << error;
    EXPECT_EQ(fileBytes(path), "new");
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"data.bin"});
}

TEST(AtomicFile, NewFilesGetTheUsualPermissionsNotThoseOfATemporaryFile)
{
    TestFolder folder;
    const mode_t previous = umask(022);
    std::string error;
    const bool written = imageio::writeFileAtomically(folder.pathOf("public.bin"), {1, 2, 3}, error);
    umask(previous);
    ASSERT_TRUE(written) << error;
    struct stat info {};
    ASSERT_EQ(stat(folder.pathOf("public.bin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(AtomicFile, ReadWholeFileReturnsEveryByteAndNamesAMissingFile)
{
    TestFolder folder;
    std::string content(200000, 'x');
    content[123456] = '\0';
    const std::string path = folder.write("big.bin", content);
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(imageio::readWholeFile(path, bytes, error)) << error;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), content);

    EXPECT_FALSE(imageio::readWholeFile(folder.pathOf("absent.bin"), bytes, error));
    EXPECT_NE(error.find(folder.pathOf("absent.bin")), std::string::npos) << error;
}
