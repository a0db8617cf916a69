// etctool's KTX2 files read by ktx-parse, a KTX 2.0 reader written independently of ours (run
// by Node; scripts/setup.sh fetches it). What it reads is compared with the container's rules
// written out below for every format, and with the levels encoded here from the same picture.

#include "EtcCodec.h"
#include "Mipmap.h"
#include "PngIo.h"
#include "TestFolder.h"
#include "TestImages.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace {

// How a KTX2 file describes each format: its Vulkan
// format (ETC1 has none), colour model, transfer function and one 64-bit sample per block half
// (channel id, qualifier bits: 1 linear, 4 signed).
struct Sample {
    int channel;
    int qualifiers;
};

struct ContainerRules {
    const char* format;
    const char* vkFormat;
    const char* model;
    const char* transfer;
    std::vector<Sample> samples;
    int blockBytes;
};

const std::vector<ContainerRules>& rulesOfEveryFormat()
{
    static const std::vector<ContainerRules> rules = {
        {"etc1", "VK_FORMAT_UNDEFINED", "KHR_DF_MODEL_ETC1", "KHR_DF_TRANSFER_LINEAR", {{0, 0}}, 8},
        {"r11", "VK_FORMAT_EAC_R11_UNORM_BLOCK", "KHR_DF_MODEL_ETC2", "KHR_DF_TRANSFER_LINEAR", {{0, 0}}, 8},
        {"signed-r11", "VK_FORMAT_EAC_R11_SNORM_BLOCK", "KHR_DF_MODEL_ETC2", "KHR_DF_TRANSFER_LINEAR", {{0, 4}}, 8},
        {"rg11",
         "VK_FORMAT_EAC_R11G11_UNORM_BLOCK",
         "KHR_DF_MODEL_ETC2",
         "KHR_DF_TRANSFER_LINEAR",
         {{0, 0}, {1, 0}},
         16},
        {"signed-rg11",
         "VK_FORMAT_EAC_R11G11_SNORM_BLOCK",
         "KHR_DF_MODEL_ETC2",
         "KHR_DF_TRANSFER_LINEAR",
         {{0, 4}, {1, 4}},
         16},
        {"rgb8", "VK_FORMAT_ETC2_R8G8B8_UNORM_BLOCK", "KHR_DF_MODEL_ETC2", "KHR_DF_TRANSFER_LINEAR", {{2, 0}}, 8},
        {"srgb8", "VK_FORMAT_ETC2_R8G8B8_SRGB_BLOCK", "KHR_DF_MODEL_ETC2", "KHR_DF_TRANSFER_SRGB", {{2, 0}}, 8},
        {"rgba8",
         "VK_FORMAT_ETC2_R8G8B8A8_UNORM_BLOCK",
         "KHR_DF_MODEL_ETC2",
         "KHR_DF_TRANSFER_LINEAR",
         {{15, 0}, {2, 0}},
         16},
        {"srgb8-alpha8",
         "VK_FORMAT_ETC2_R8G8B8A8_SRGB_BLOCK",
         "KHR_DF_MODEL_ETC2",
         "KHR_DF_TRANSFER_SRGB",
         {{15, 1}, {2, 0}},
         16},
        {"rgb8-a1", "VK_FORMAT_ETC2_R8G8B8A1_UNORM_BLOCK", "KHR_DF_MODEL_ETC2", "KHR_DF_TRANSFER_LINEAR", {{2, 0}}, 8},
        {"srgb8-a1", "VK_FORMAT_ETC2_R8G8B8A1_SRGB_BLOCK", "KHR_DF_MODEL_ETC2", "KHR_DF_TRANSFER_SRGB", {{2, 0}}, 8},
    };
    return rules;
}

std::string hex(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    char digits[3];
    for (std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

// What ktx-parse must report for `levels` (level 0 first) in a file of `fileBytes` bytes: the
// smallest level first in the file, each level right after the one before (block-sized levels
// need no padding) and the base level ending the file.
std::string expectedSummary(const ContainerRules& rules, const std::vector<std::vector<std::uint8_t>>& levels,
                            std::size_t fileBytes, int width, int height)
{
    std::ostringstream out;
    out << "file " << fileBytes << " bytes\n"
        << "vkFormat " << rules.vkFormat << "\n"
        << "typeSize 1\n"
        << "size " << width << " x " << height << " depth 0\n"
        << "layers 0 faces 1 levels " << levels.size() << "\n"
        << "supercompression KHR_SUPERCOMPRESSION_NONE\n";
    std::size_t offset = fileBytes;
    for (std::size_t level = 0; level < levels.size(); ++level) {
        offset -= levels[level].size();
        out << "level " << level << " at " << offset << " length " << levels[level].size() << " uncompressed "
            << levels[level].size() << " data " << hex(levels[level]) << "\n";
    }
    EXPECT_EQ(offset % std::size_t(rules.blockBytes), 0u) << "the smallest level is aligned to its block size";
    const bool isSigned = rules.samples[0].qualifiers == 4;
    out << "descriptor vendor 0 type 0 version 2\n"
        << "model " << rules.model << " primaries KHR_DF_PRIMARIES_BT709 transfer " << rules.transfer << " flags 0\n"
        << "block 3 3 0 0 planes " << rules.blockBytes << " 0 0 0 0 0 0 0\n";
    for (std::size_t i = 0; i < rules.samples.size(); ++i)
        out << "sample " << i << " bits " << 64 * i << " +64 channel " << rules.samples[i].channel << " qualifiers "
            << rules.samples[i].qualifiers << " position 0 0 0 0 range "
            << (isSigned ? "-2147483648 2147483647" : "0 4294967295") << "\n";
    if (std::string(rules.vkFormat) == "VK_FORMAT_UNDEFINED")
        out << "key KTXglFormat\n";
    out << "key KTXorientation rd\n"
        << "key KTXwriter etctool 1.1\n";
    return out.str();
}

ToolRun readWithKtxParse(const TestFolder& folder, const std::string& file)
{
    return runProgram(KORVO_NODE, {KORVO_SOURCE_ROOT "/tests/tools/ktx2-summary.mjs", KORVO_KTX_PARSE, file},
                      folder.path());
}

void requireTheReader()
{
    ASSERT_TRUE(fileExists(KORVO_NODE)) << "Node (" KORVO_NODE ") is missing: run scripts/setup.sh";
    ASSERT_TRUE(fileExists(KORVO_KTX_PARSE)) << "ktx-parse (" KORVO_KTX_PARSE ") is missing: run scripts/setup.sh";
}

} // namespace

TEST(KtxParse, ReadsTheWholeMipmapChainOfEveryFormatAsTheRulesDescribeIt)
{
    requireTheReader();
    TestFolder folder;
    const etc::Image picture = patternImage(20, 12);
    std::string error;
    ASSERT_TRUE(imageio::writePng(folder.pathOf("in.png"), picture, error)) << error;
    for (const ContainerRules& rules : rulesOfEveryFormat()) {
        SCOPED_TRACE(rules.format);
        const etc::FormatInfo& format = *etc::findFormatByToolName(rules.format);
        const ToolRun mipmap =
            runTool("tools/etctool/etctool",
                    {"mipmap", "in.png", "chain.ktx2", "--format", rules.format, "--effort", "fast"}, folder.path());
        ASSERT_EQ(mipmap.status, 0) << mipmap.standardError;

        std::vector<std::vector<std::uint8_t>> levels;
        etc::EncodeOptions fast;
        fast.effort = etc::Effort::Fast;
        const auto space = format.isSrgb ? texops::ColourSpace::Srgb : texops::ColourSpace::Linear;
        for (const etc::Image& level : texops::buildMipmapChain(picture, space))
            levels.push_back(etc::encodeImage(level, format.format, fast));
        ASSERT_EQ(levels.size(), 5u) << "20 x 12 down to 1 x 1";

        const ToolRun parsed = readWithKtxParse(folder, "chain.ktx2");
        ASSERT_EQ(parsed.status, 0) << parsed.standardError;
        const std::size_t written = fileBytes(folder.pathOf("chain.ktx2")).size();
        EXPECT_EQ(parsed.standardOutput, expectedSummary(rules, levels, written, 20, 12));
    }
}

TEST(KtxParse, ReadsASingleLevelFileWrittenToStandardOutput)
{
    requireTheReader();
    TestFolder folder;
    const etc::Image picture = patternImage(9, 7);
    std::string error;
    ASSERT_TRUE(imageio::writePng(folder.pathOf("in.png"), picture, error)) << error;
    const ToolRun encode =
        runTool("tools/etctool/etctool", {"encode", "in.png", "-", "--format", "rgba8", "--ktx2"}, folder.path());
    ASSERT_EQ(encode.status, 0) << encode.standardError;
    folder.write("out.ktx2", encode.standardOutput);

    const ToolRun parsed = readWithKtxParse(folder, "out.ktx2");
    ASSERT_EQ(parsed.status, 0) << parsed.standardError;
    const std::vector<std::vector<std::uint8_t>> levels = {etc::encodeImage(picture, etc::Format::Rgba8)};
    EXPECT_EQ(parsed.standardOutput,
              expectedSummary(rulesOfEveryFormat()[7], levels, encode.standardOutput.size(), 9, 7));
}
