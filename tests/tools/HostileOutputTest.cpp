// The tools against outputs that cannot be written, a full disk, and inputs that are no files.

#include "PngIo.h"
#include "TestFolder.h"
#include "TestImages.h"
#include "TestProcess.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include <filesystem>
#include <map>

namespace {

const char* const etctool = "tools/etctool/etctool";

// A tmpfs of its own over a scratch folder, unmounted at the end; ok() is false where
// mounting is not permitted (not root, or a container without the capability).
class ScratchMount {
public:
    ScratchMount(const std::string& folder, const std::string& options) : folder(folder)
    {
        std::filesystem::create_directories(folder);
        mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~ScratchMount()
    {
        if (mounted)
            ::umount(folder.c_str());
    }
    bool ok() const { return mounted; }
    bool remountReadOnly() { return ::mount("tmpfs", folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

private:
    std::string folder;
    bool mounted = false;
};

#define SKIP_UNLESS_MOUNTED(mount)                                                                                     \
    if (!(mount).ok())                                                                                                 \
    GTEST_SKIP() << "mounting a tmpfs is not permitted here (needs root)"

void writeImage(const std::string& path, const etc::Image& image)
{
    std::string error;
    ASSERT_TRUE(imageio::writePng(path, image, error)) << error;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::map<std::string, std::string> folderContents(const std::string& folder)
{
    std::map<std::string, std::string> contents;
    for (const std::string& name : folderEntries(folder))
        contents[name] = fileBytes(folder + "/" + name);
    return contents;
}

// Waits until a file whose name starts with `prefix` appears in the folder.
bool appears(const std::string& folder, const std::string& prefix)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const std::string& name : folderEntries(folder))
            if (name.rfind(prefix, 0) == 0)
                return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

} // namespace

TEST(HostileOutput, AFolderInPlaceOfAnInputIsAFailureToReadItNotAnAbort)
{
    TestFolder folder;
    std::filesystem::create_directory(folder.pathOf("adir"));
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"decode", "adir", "out.png"},
                                               {"info", "adir"},
                                               {"encode", "adir", "o.pkm", "--format", "etc1"},
                                               {"compare", "adir", "adir"}}) {
        const ToolRun result = runTool(etctool, arguments, folder.path());
        EXPECT_EQ(result.status, 1) << arguments[0] << ": " << result.standardError;
        EXPECT_EQ(result.standardError, "Error: Failed to read 'adir': Is a directory\n") << arguments[0];
    }
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"adir"});
}

TEST(HostileOutput, AFullDiskFailsTheWriteNamingItAndKeepsWhatWasThere)
{
    TestFolder folder;
    writeImage(folder.pathOf("in.png"), patternImage(512, 512)); // 128 KiB of ETC1 blocks
    writeImage(folder.pathOf("small.png"), patternImage(16, 16));
    ScratchMount disk(folder.pathOf("disk"), "size=64k");
    SKIP_UNLESS_MOUNTED(disk);
    ASSERT_EQ(runTool(etctool, {"encode", "small.png", "disk/out.pkm", "--format", "etc1"}, folder.path()).status, 0);
    ASSERT_EQ(runTool(etctool, {"mipmap", "small.png", "disk/mip_%d.pkm", "--format", "etc1"}, folder.path()).status,
              0);
    const auto before = folderContents(folder.pathOf("disk"));

    ToolRun result =
        runTool(etctool, {"encode", "in.png", "disk/out.pkm", "--format", "etc1", "--effort", "fast"}, folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(contains(result.standardError, "Error: Failed to write 'disk/out.pkm': No space left on device\n"))
        << result.standardError;
    // The new chain from the large picture does not fit beside the old one: the old one stays whole.
    result = runTool(etctool, {"mipmap", "in.png", "disk/mip_%d.pkm", "--format", "etc1", "--effort", "fast"},
                     folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(contains(result.standardError, "No space left on device")) << result.standardError;
    EXPECT_EQ(folderContents(folder.pathOf("disk")), before);
}

TEST(HostileOutput, AnUnwritableFolderIsFoundBeforeTheEncodeNotAfter)
{
    TestFolder folder;
    writeImage(folder.pathOf("in.png"), patternImage(64, 64));
    ScratchMount readOnly(folder.pathOf("ro"), "size=64k");
    SKIP_UNLESS_MOUNTED(readOnly);
    ASSERT_TRUE(readOnly.remountReadOnly());
    const std::vector<std::pair<const char*, std::vector<std::string>>> runs = {
        {etctool, {"encode", "in.png", "ro/out.pkm", "--format", "etc1"}},
        {etctool, {"mipmap", "in.png", "ro/mip_%d.pkm", "--format", "etc1"}},
        {"tools/asset-build/asset-build", {"texture", "ro/Texture.pkm"}},
        {"tools/asset-build/asset-build", {"carpet-colour", "ro/carpet_%d.pkm"}}};
    for (const auto& [tool, arguments] : runs) {
        const ToolRun result = runTool(tool, arguments, folder.path());
        EXPECT_EQ(result.status, 1) << arguments[0];
        // No progress line: the encode never started.
        EXPECT_TRUE(result.standardError.rfind("Error: Failed to write 'ro/", 0) == 0) << result.standardError;
        EXPECT_TRUE(contains(result.standardError, "': Read-only file system\n")) << result.standardError;
    }
}

TEST(HostileOutput, AMipmapChainIsReplacedWholeOrNotAtAll)
{
    TestFolder folder;
    writeImage(folder.pathOf("old.png"), patternImage(16, 16)); // levels 0 to 4
    writeImage(folder.pathOf("new.png"), patternImage(32, 32)); // levels 0 to 5
    ASSERT_EQ(runTool(etctool, {"mipmap", "old.png", "mip_%d.pkm", "--format", "etc1"}, folder.path()).status, 0);
    std::filesystem::create_directory(folder.pathOf("mip_5.pkm")); // the last new level cannot be written
    const auto before = folderContents(folder.path());

    const ToolRun result = runTool(etctool, {"mipmap", "new.png", "mip_%d.pkm", "--format", "etc1"}, folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.standardError, "Error: Failed to write 'mip_5.pkm': Is a directory\n");
    EXPECT_EQ(folderContents(folder.path()), before);
}

TEST(HostileOutput, SigintOrSigtermWhileAToolWritesLeavesNoTemporaryFileAndTheOldFileWhole)
{
    for (int signal : {SIGINT, SIGTERM}) {
        TestFolder folder;
        writeImage(folder.pathOf("in.png"), patternImage(8, 8));
        folder.write("mip_0.pkm", "old");
        // Level 1 is a FIFO nobody reads: the tool waits there with level 0's temporary file made.
        ASSERT_EQ(mkfifo(folder.pathOf("mip_1.pkm").c_str(), 0600), 0);
        TestProcess::Options options;
        options.executable = buildPath(etctool);
        options.arguments = {"mipmap", "in.png", "mip_%d.pkm", "--format", "etc1"};
        options.workingDirectory = folder.path();
        TestProcess tool(options);
        ASSERT_TRUE(appears(folder.path(), "mip_0.pkm.partial-")) << strsignal(signal);
        kill(tool.pid(), signal);
        EXPECT_EQ(tool.waitForExit(30), 128 + signal) << tool.standardError();
        EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"in.png", "mip_0.pkm", "mip_1.pkm"}));
        EXPECT_EQ(fileBytes(folder.pathOf("mip_0.pkm")), "old");
    }
}
