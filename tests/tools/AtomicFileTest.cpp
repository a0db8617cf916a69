#include "AtomicFile.h"

#include "TestFolder.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <thread>
#include <unistd.h>

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
    struct stat info { };
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

TEST(AtomicFile, WritesThroughToAFifoAndADeviceInsteadOfReplacingThem)
{
    TestFolder folder;
    const std::string fifo = folder.pathOf("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = fileBytes(fifo); });
    std::string error;
    EXPECT_TRUE(imageio::writeFileAtomically(fifo, {'p', 'i', 'p', 'e'}, error)) << error;
    // Should the write not have reached the FIFO, this ends the reader's wait with nothing.
    const int release = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (release >= 0)
        close(release);
    reader.join();
    EXPECT_EQ(received, "pipe");
    struct stat info { };
    ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    // A null device of the scratch folder's own, never the system's.
    const std::string device = folder.pathOf("null");
    if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_TRUE(imageio::writeFileAtomically(device, {1, 2, 3}, error)) << error;
        ASSERT_EQ(lstat(device.c_str(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }
    EXPECT_EQ(folderEntries(folder.path()).size(), fileExists(device) ? 2u : 1u);
}

TEST(AtomicFile, FollowsASymbolicLinkToReplaceItsTargetAndRefusesALinkToNothing)
{
    TestFolder folder;
    const std::string target = folder.write("target.bin", "old");
    ASSERT_EQ(symlink("target.bin", folder.pathOf("link.bin").c_str()), 0);
    std::string error;
    ASSERT_TRUE(imageio::writeFileAtomically(folder.pathOf("link.bin"), {'n', 'e', 'w'}, error)) << error;
    struct stat info { };
    ASSERT_EQ(lstat(folder.pathOf("link.bin").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(fileBytes(target), "new");

    ASSERT_EQ(symlink("nowhere.bin", folder.pathOf("dangling.bin").c_str()), 0);
    EXPECT_FALSE(imageio::writeFileAtomically(folder.pathOf("dangling.bin"), {1}, error));
    EXPECT_EQ(error, "Failed to write '" + folder.pathOf("dangling.bin") + "': it is a symbolic link to nothing");
    EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"dangling.bin", "link.bin", "target.bin"}));
}

TEST(AtomicFile, ACommitThatFailsPartWayPutsBackEveryFileItReplaced)
{
    TestFolder folder;
    std::vector<imageio::OutputFile> outputs(4);
    std::string error;
    for (int i = 0; i < 4; ++i) {
        folder.write("level" + std::to_string(i), "old" + std::to_string(i));
        ASSERT_TRUE(outputs[i].open(folder.pathOf("level" + std::to_string(i)), error)) << error;
        ASSERT_TRUE(outputs[i].write({'n', 'e', 'w'}, error)) << error;
    }
    // Level 2 turns into a folder after it was opened: its rename is the one that fails.
    std::filesystem::remove(folder.pathOf("level2"));
    std::filesystem::create_directory(folder.pathOf("level2"));
    EXPECT_FALSE(imageio::commitAll(outputs, error));
    EXPECT_NE(error.find("level2"), std::string::npos) << error;
    EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"level0", "level1", "level2", "level3"}));
    for (int i : {0, 1, 3})
        EXPECT_EQ(fileBytes(folder.pathOf("level" + std::to_string(i))), "old" + std::to_string(i));
}

namespace {

// Opens outputs (one of them over an existing file), writes them, and is ended by `signal`.
void interruptedWhileWriting(const TestFolder& folder, int signal)
{
    std::vector<imageio::OutputFile> outputs(3);
    std::string error;
    for (int i = 0; i < 3; ++i)
        if (!outputs[i].open(folder.pathOf("out" + std::to_string(i)), error) || !outputs[i].write({1, 2}, error))
            std::exit(3);
    raise(signal);
    std::exit(4);
}

} // namespace

TEST(AtomicFile, SigintOrSigtermWhileWritingLeavesNoTemporaryFileAndTheOldFileUntouched)
{
    for (int signal : {SIGINT, SIGTERM}) {
        TestFolder folder;
        folder.write("out1", "kept");
        EXPECT_EXIT(interruptedWhileWriting(folder, signal), ::testing::KilledBySignal(signal), "");
        EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"out1"}) << strsignal(signal);
        EXPECT_EQ(fileBytes(folder.pathOf("out1")), "kept");
    }
}
