#include "PkmChain.h"

#include "EtcCodec.h"
#include "LevelNames.h"
#include "PkmIo.h"
#include "TestFolder.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<etc::PkmFile> chainOf(int levels)
{
    std::vector<etc::PkmFile> chain;
    for (int level = 0; level < levels; ++level) {
        const int side = std::max(1, 16 >> level);
        const std::size_t bytes = etc::payloadSize(etc::Format::Etc1, side, side);
        chain.push_back({etc::Format::Etc1, side, side, std::vector<std::uint8_t>(bytes, std::uint8_t(level))});
    }
    return chain;
}

} // namespace

TEST(PkmChain, WritesOneLoadableFilePerLevel)
{
    TestFolder folder;
    std::string error;
    ASSERT_TRUE(texops::savePkmChain(folder.pathOf("mip_%d.pkm"), chainOf(5), error)) << error;
    EXPECT_EQ(folderEntries(folder.path()),
              (std::vector<std::string>{"mip_0.pkm", "mip_1.pkm", "mip_2.pkm", "mip_3.pkm", "mip_4.pkm"}));
    etc::PkmFile level3;
    ASSERT_TRUE(imageio::readPkm(folder.pathOf("mip_3.pkm"), level3, error)) << error;
    EXPECT_EQ(level3.width, 2);
    EXPECT_EQ(level3.payload, chainOf(5)[3].payload);
}

TEST(PkmChain, AFailedLevelLeavesNoLevelWritten)
{
    TestFolder folder;
    // Folders for levels 0 to 2 only: level 3 cannot be written.
    for (int level = 0; level < 3; ++level)
        std::filesystem::create_directory(folder.pathOf("level" + std::to_string(level)));
    std::string error;
    EXPECT_FALSE(texops::savePkmChain(folder.pathOf("level%d/mip.pkm"), chainOf(5), error));
    EXPECT_NE(error.find("level3/mip.pkm"), std::string::npos) << error;
    for (int level = 0; level < 3; ++level)
        EXPECT_TRUE(folderEntries(folder.pathOf("level" + std::to_string(level))).empty()) << "level " << level;
}
