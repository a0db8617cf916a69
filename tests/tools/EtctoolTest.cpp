// etctool run as a process, as a user runs it.

#include "EtcFormat.h"
#include "Pkm.h"
#include "PkmIo.h"
#include "PngIo.h"
#include "TestFolder.h"
#include "TestImages.h"
#include "ToolRun.h"

#include "EtcCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

const char* const etctool = "tools/etctool/etctool";

ToolRun run(const TestFolder& folder, const std::vector<std::string>& arguments)
{
    return runTool(etctool, arguments, folder.path());
}

void writeImage(const TestFolder& folder, const std::string& name, const etc::Image& image)
{
    std::string error;
    ASSERT_TRUE(imageio::writePng(folder.pathOf(name), image, error)) << error;
}

etc::Image readImage(const std::string& path)
{
    etc::Image image;
    std::string error;
    EXPECT_TRUE(imageio::readPng(path, image, error)) << error;
    return image;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The "Error: " line of a run's standard error ("" if none); progress lines may precede it.
std::string errorLine(const std::string& standardError)
{
    const std::size_t start = standardError.rfind("Error: ", 0) == 0 ? 0 : standardError.find("\nError: ");
    if (start == std::string::npos)
        return "";
    const std::size_t begin = start == 0 ? 0 : start + 1;
    return standardError.substr(begin, standardError.find('\n', begin) - begin);
}

// A failed command: status, an "Error: " line naming what it must name, and nothing but
// the inputs left in the folder.
void expectFailure(const ToolRun& result, int status, const std::string& named, const TestFolder& folder,
                   const std::vector<std::string>& inputs)
{
    EXPECT_EQ(result.status, status) << result.standardError;
    EXPECT_TRUE(contains(errorLine(result.standardError), named)) << result.standardError;
    EXPECT_EQ(folderEntries(folder.path()), inputs);
}

} // namespace

TEST(Etctool, HelpListsEveryCommandAndEachCommandExplainsItself)
{
    TestFolder folder;
    const ToolRun overview = run(folder, {"--help"});
    EXPECT_EQ(overview.status, 0);
    for (const char* command : {"encode", "decode", "info", "compare", "mipmap", "split-alpha", "atlas", "pgm"}) {
        EXPECT_TRUE(contains(overview.standardOutput, command)) << command;
        const ToolRun help = run(folder, {command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_TRUE(contains(help.standardOutput, std::string("Usage: etctool ") + command)) << help.standardOutput;
        EXPECT_EQ(run(folder, {"help", command}).standardOutput, help.standardOutput);
    }
    EXPECT_TRUE(contains(run(folder, {"encode", "-h"}).standardOutput, "--effort"));
    EXPECT_EQ(run(folder, {}).status, 2) << "no command is a usage error";
}

TEST(Etctool, EncodeInfoAndDecodeRoundTripEveryFormat)
{
    TestFolder folder;
    writeImage(folder, "in.png", patternImage(20, 12));
    for (const etc::FormatInfo& format : etc::allFormats()) {
        SCOPED_TRACE(format.toolName);
        ToolRun encode = run(folder, {"encode", "in.png", "out.pkm", "--format", format.toolName, "--effort", "fast"});
        ASSERT_EQ(encode.status, 0) << encode.standardError;
        EXPECT_TRUE(contains(encode.standardError, "out.pkm")) << "progress names the file";

        const ToolRun info = run(folder, {"info", "out.pkm"});
        ASSERT_EQ(info.status, 0) << info.standardError;
        EXPECT_TRUE(contains(info.standardOutput, std::string(format.glName) + " (" + format.toolName + ")"));
        EXPECT_TRUE(contains(info.standardOutput, std::string("Version:     ") + format.pkmVersion + "\n"));
        EXPECT_TRUE(contains(info.standardOutput, "Data type:   " + std::to_string(format.pkmDataType) + "\n"));
        EXPECT_TRUE(contains(info.standardOutput, "Size:        20 x 12\n"));
        EXPECT_TRUE(contains(info.standardOutput, "Padded size: 20 x 12\n"));

        etc::PkmFile pkm;
        std::string error;
        ASSERT_TRUE(imageio::readPkm(folder.pathOf("out.pkm"), pkm, error)) << error;
        EXPECT_EQ(pkm.format, format.format);

        ASSERT_EQ(run(folder, {"decode", "out.pkm", "out.png"}).status, 0);
        const etc::Image decoded = readImage(folder.pathOf("out.png"));
        EXPECT_EQ(decoded.width, 20);
        EXPECT_EQ(decoded.height, 12);
    }
}

TEST(Etctool, CompareReportsEveryChannelAndAcceptsPkmFiles)
{
    TestFolder folder;
    writeImage(folder, "a.png", solidImage(8, 8, 100, 100, 100, 255));
    writeImage(folder, "b.png", solidImage(8, 8, 101, 100, 100, 255));
    const ToolRun same = run(folder, {"compare", "a.png", "a.png"});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.standardOutput, "PSNR R   inf\nPSNR G   inf\nPSNR B   inf\nPSNR A   inf\nPSNR RGB inf\n");
    const ToolRun differ = run(folder, {"compare", "a.png", "b.png"});
    EXPECT_TRUE(contains(differ.standardOutput, "PSNR R   48.13 dB\nPSNR G   inf\n")) << differ.standardOutput;

    ASSERT_EQ(run(folder, {"encode", "a.png", "a.pkm", "--format", "rgb8"}).status, 0);
    const ToolRun compressed = run(folder, {"compare", "a.png", "a.pkm"});
    EXPECT_EQ(compressed.status, 0) << compressed.standardError;
    EXPECT_TRUE(contains(compressed.standardOutput, "PSNR A   inf")) << compressed.standardOutput;
}

TEST(Etctool, CompareGivesElevenBitPsnrAgainstASixteenBitSource)
{
    // A 16-bit grey ramp, encoded as rg11 (R and G both hold the grey). The 11-bit figures
    // are worked out here from the decoded values and the 16-bit samples.
    TestFolder folder;
    const int width = 8;
    const int height = 4;
    std::vector<std::uint8_t> rows;
    std::vector<double> targets;
    for (int i = 0; i < width * height; ++i) {
        const int sample = 3000 + 1234 * i + (i % 3) * 77;
        rows.push_back(std::uint8_t(sample >> 8));
        rows.push_back(std::uint8_t(sample & 0xFF));
        targets.push_back(sample / 65535.0 * 2047.0);
    }
    writeRawPng(folder.pathOf("ramp.png"), width, height, PNG_COLOR_TYPE_GRAY, 16, rows);
    ASSERT_EQ(run(folder, {"encode", "ramp.png", "ramp.pkm", "--format", "rg11"}).status, 0);
    etc::PkmFile pkm;
    std::string error;
    ASSERT_TRUE(imageio::readPkm(folder.pathOf("ramp.pkm"), pkm, error)) << error;
    const etc::DecodedImage decoded = etc::decodeImage(pkm.payload.data(), pkm.format, width, height);
    double squared[2] = {0, 0};
    for (int i = 0; i < width * height; ++i) {
        for (int c = 0; c < 2; ++c) {
            squared[c] += std::pow(decoded.eac[std::size_t(i) * 2 + c] - targets[std::size_t(i)], 2);
        }
    }
    const auto line = [](const char* label, double mse) {
        char text[64];
        std::snprintf(text, sizeof text, "PSNR %s %.2f dB\n", label, 10 * std::log10(2047.0 * 2047.0 / mse));
        return std::string(text);
    };
    const double samples = width * height;
    const std::string expected = line("11-bit R", squared[0] / samples) + line("11-bit G", squared[1] / samples) +
        line("11-bit RG", (squared[0] + squared[1]) / (2 * samples));
    for (const std::vector<std::string>& order :
         {std::vector<std::string>{"ramp.png", "ramp.pkm"}, std::vector<std::string>{"ramp.pkm", "ramp.png"}}) {
        const ToolRun compared = run(folder, {"compare", order[0], order[1]});
        EXPECT_EQ(compared.status, 0) << compared.standardError;
        EXPECT_TRUE(contains(compared.standardOutput, "PSNR RGB")) << compared.standardOutput;
        EXPECT_TRUE(contains(compared.standardOutput, expected)) << compared.standardOutput << "\nwanted\n" << expected;
    }
    // Without an EAC side there is no 11-bit figure.
    ASSERT_EQ(run(folder, {"encode", "ramp.png", "ramp8.pkm", "--format", "rgb8"}).status, 0);
    EXPECT_FALSE(contains(run(folder, {"compare", "ramp.png", "ramp8.pkm"}).standardOutput, "11-bit"));
}

TEST(Etctool, ABadPngIsReportedByNameAndNothingIsWritten)
{
    TestFolder folder;
    folder.write("fake.png", "not a picture at all");
    expectFailure(run(folder, {"encode", "fake.png", "out.pkm", "--format", "etc1"}), 1, "fake.png", folder,
                  {"fake.png"});
    expectFailure(run(folder, {"mipmap", "fake.png", "mip_%d.pkm", "--format", "etc1"}), 1, "fake.png", folder,
                  {"fake.png"});
    expectFailure(run(folder, {"split-alpha", "fake.png", "alpha.png"}), 1, "fake.png", folder, {"fake.png"});
    expectFailure(run(folder, {"encode", "missing.png", "out.pkm", "--format", "etc1"}), 1, "missing.png", folder,
                  {"fake.png"});
}

TEST(Etctool, WrongArgumentsAreUsageErrorsThatExplainThemselves)
{
    TestFolder folder;
    writeImage(folder, "in.png", patternImage(8, 8));
    const std::vector<std::string> inputs = {"in.png"};
    const ToolRun unknownFormat = run(folder, {"encode", "in.png", "out.pkm", "--format", "etc9"});
    expectFailure(unknownFormat, 2, "unknown format 'etc9'", folder, inputs);
    EXPECT_TRUE(contains(unknownFormat.standardError, "srgb8-alpha8")) << "the known formats are listed";
    expectFailure(run(folder, {"encode", "in.png", "out.pkm"}), 2, "--format", folder, inputs);
    expectFailure(run(folder, {"encode", "in.png", "out.pkm", "--format", "etc1", "--effort", "max"}), 2,
                  "unknown effort 'max'", folder, inputs);
    expectFailure(run(folder, {"encode", "in.png", "out.pkm", "--format", "etc1", "--colour"}), 2,
                  "unknown option '--colour'", folder, inputs);
    expectFailure(run(folder, {"encode", "in.png", "--format", "etc1"}), 2, "takes 2 file argument(s), got 1", folder,
                  inputs);
    expectFailure(run(folder, {"encode", "in.png", "out.pkm", "--format"}), 2, "needs a value", folder, inputs);
    expectFailure(run(folder, {"shrink", "in.png"}), 2, "unknown command 'shrink'", folder, inputs);
    expectFailure(run(folder, {"mipmap", "in.png", "mip.pkm", "--format", "etc1"}), 2, "%d", folder, inputs);
    expectFailure(run(folder, {"pgm", "in.png", "out.pgm", "--channel", "x"}), 2, "unknown channel 'x'", folder,
                  inputs);
}

TEST(Etctool, SizeMismatchesAndDamagedFilesAreRefused)
{
    TestFolder folder;
    writeImage(folder, "small.png", patternImage(4, 4));
    writeImage(folder, "large.png", patternImage(8, 4));
    writeImage(folder, "third.png", patternImage(8, 12));
    const std::vector<std::string> inputs = {"large.png", "small.png", "third.png"};
    expectFailure(run(folder, {"compare", "small.png", "large.png"}), 1, "4 x 4", folder, inputs);
    expectFailure(run(folder, {"mipmap", "third.png", "a_%d.pkm", "--format", "etc1", "--atlas"}), 1,
                  "not a power of two", folder, inputs);
    expectFailure(run(folder, {"mipmap", "large.png", "a_%d.pkm", "--format", "srgb8", "--atlas"}), 2, "linear format",
                  folder, inputs);

    ASSERT_EQ(run(folder, {"encode", "large.png", "whole.pkm", "--format", "etc1"}).status, 0);
    const std::string whole = fileBytes(folder.pathOf("whole.pkm"));
    folder.write("cut.pkm", whole.substr(0, whole.size() - 1));
    std::filesystem::remove(folder.pathOf("whole.pkm"));
    const std::vector<std::string> withCut = {"cut.pkm", "large.png", "small.png", "third.png"};
    expectFailure(run(folder, {"decode", "cut.pkm", "out.png"}), 1, "cut.pkm", folder, withCut);
    expectFailure(run(folder, {"info", "cut.pkm"}), 1, "cut.pkm", folder, withCut);
}

TEST(Etctool, AnUnwritableOutputIsNamedAndLeavesNoPartialFile)
{
    TestFolder folder;
    writeImage(folder, "in.png", patternImage(8, 8));
    expectFailure(run(folder, {"encode", "in.png", "absent/out.pkm", "--format", "etc1"}), 1, "absent/out.pkm", folder,
                  {"in.png"});
    expectFailure(run(folder, {"atlas", "in.png", "absent/atlas.png"}), 1, "absent/atlas.png", folder, {"in.png"});
    expectFailure(run(folder, {"pgm", "in.png", "absent/a.pgm"}), 1, "absent/a.pgm", folder, {"in.png"});
}

TEST(Etctool, MipmapWritesEveryLevelNamedWithoutLeadingZeros)
{
    TestFolder folder;
    writeImage(folder, "in.png", patternImage(20, 12));
    const ToolRun result = run(folder, {"mipmap", "in.png", "mip_%d.pkm", "--format", "srgb8", "--effort", "fast"});
    ASSERT_EQ(result.status, 0) << result.standardError;
    EXPECT_EQ(folderEntries(folder.path()),
              (std::vector<std::string>{"in.png", "mip_0.pkm", "mip_1.pkm", "mip_2.pkm", "mip_3.pkm", "mip_4.pkm"}));
    const int sizes[5][2] = {{20, 12}, {10, 6}, {5, 3}, {2, 1}, {1, 1}};
    for (int level = 0; level < 5; ++level) {
        etc::PkmFile pkm;
        std::string error;
        ASSERT_TRUE(imageio::readPkm(folder.pathOf("mip_" + std::to_string(level) + ".pkm"), pkm, error)) << error;
        EXPECT_EQ(pkm.format, etc::Format::Srgb8);
        EXPECT_EQ(pkm.width, sizes[level][0]) << level;
        EXPECT_EQ(pkm.height, sizes[level][1]) << level;
    }
}

TEST(Etctool, MipmapAtlasStacksColourOverAlphaOnEveryLevel)
{
    TestFolder folder;
    writeImage(folder, "in.png", solidImage(16, 8, 200, 40, 40, 100));
    const ToolRun result = run(folder, {"mipmap", "in.png", "atlas_%d.pkm", "--format", "etc1", "--atlas"});
    ASSERT_EQ(result.status, 0) << result.standardError;
    EXPECT_EQ(folderEntries(folder.path()).size(), 6u) << "16x16 8x8 4x4 2x2 1x1 and the input";
    ASSERT_EQ(run(folder, {"decode", "atlas_1.pkm", "level1.png"}).status, 0);
    const etc::Image level1 = readImage(folder.pathOf("level1.png"));
    ASSERT_EQ(level1.width, 8);
    ASSERT_EQ(level1.height, 8);
    EXPECT_NEAR(texel(level1, 3, 1)[0], 200, 8) << "colour on top";
    EXPECT_NEAR(texel(level1, 3, 1)[1], 40, 8);
    EXPECT_NEAR(texel(level1, 3, 6)[0], 100, 8) << "alpha below, in every colour channel";
    EXPECT_NEAR(texel(level1, 3, 6)[1], 100, 8);
    EXPECT_NEAR(texel(level1, 3, 6)[2], 100, 8);
}

TEST(Etctool, PlaneCommandsSplitStackAndWriteGreymaps)
{
    TestFolder folder;
    const etc::Image image = patternImage(6, 4);
    writeImage(folder, "in.png", image);
    ASSERT_EQ(run(folder, {"split-alpha", "in.png", "alpha.png", "--colour", "colour.png"}).status, 0);
    ASSERT_EQ(run(folder, {"atlas", "in.png", "atlas.png"}).status, 0);
    ASSERT_EQ(run(folder, {"pgm", "in.png", "alpha.pgm"}).status, 0);
    ASSERT_EQ(run(folder, {"pgm", "in.png", "green.pgm", "--channel", "g"}).status, 0);

    const etc::Image alpha = readImage(folder.pathOf("alpha.png"));
    const etc::Image colour = readImage(folder.pathOf("colour.png"));
    const etc::Image atlas = readImage(folder.pathOf("atlas.png"));
    ASSERT_EQ(atlas.height, 8);
    const std::string pgm = fileBytes(folder.pathOf("alpha.pgm"));
    const std::string green = fileBytes(folder.pathOf("green.pgm"));
    ASSERT_EQ(pgm.size(), std::string("P5\n6 4\n255\n").size() + 24);
    EXPECT_EQ(pgm.substr(0, 11), "P5\n6 4\n255\n");
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const std::uint8_t* source = texel(image, x, y);
            EXPECT_EQ(texel(alpha, x, y)[1], source[3]);
            EXPECT_EQ(texel(colour, x, y)[2], source[2]);
            EXPECT_EQ(texel(colour, x, y)[3], 255);
            EXPECT_EQ(texel(atlas, x, y)[0], source[0]);
            EXPECT_EQ(texel(atlas, x, y + 4)[0], source[3]);
            EXPECT_EQ(std::uint8_t(pgm[11 + y * 6 + x]), source[3]);
            EXPECT_EQ(std::uint8_t(green[11 + y * 6 + x]), source[1]);
        }
    }
}

TEST(Etctool, ADashReadsStandardInputAndWritesStandardOutput)
{
    TestFolder folder;
    writeImage(folder, "in.png", patternImage(10, 6));
    ASSERT_EQ(run(folder, {"encode", "in.png", "file.pkm", "--format", "rgb8", "--effort", "fast"}).status, 0);
    ASSERT_EQ(run(folder, {"decode", "file.pkm", "file.png"}).status, 0);

    const ToolRun encoded = runToolWithInput(etctool, {"encode", "-", "-", "--format", "rgb8", "--effort", "fast"},
                                             "in.png", folder.path());
    ASSERT_EQ(encoded.status, 0) << encoded.standardError;
    EXPECT_EQ(encoded.standardOutput, fileBytes(folder.pathOf("file.pkm"))) << "PNG in, PKM out";

    const ToolRun decoded = runToolWithInput(etctool, {"decode", "-", "-"}, "file.pkm", folder.path());
    ASSERT_EQ(decoded.status, 0) << decoded.standardError;
    EXPECT_EQ(decoded.standardOutput, fileBytes(folder.pathOf("file.png"))) << "PKM in, PNG out";

    const ToolRun info = runToolWithInput(etctool, {"info", "-"}, "file.pkm", folder.path());
    EXPECT_TRUE(contains(info.standardOutput, "File:        standard input\nFormat:      GL_COMPRESSED_RGB8_ETC2"))
        << info.standardOutput;
    const ToolRun compared = runToolWithInput(etctool, {"compare", "file.png", "-"}, "file.pkm", folder.path());
    EXPECT_TRUE(contains(compared.standardOutput, "PSNR RGB inf")) << compared.standardOutput;

    folder.write("empty", "");
    expectFailure(runToolWithInput(etctool, {"decode", "-", "out.png"}, "empty", folder.path()), 1,
                  "Failed to read standard input: truncated PKM header", folder,
                  {"empty", "file.pkm", "file.png", "in.png"});
}

TEST(Etctool, VersionIsOneLine)
{
    TestFolder folder;
    const ToolRun version = run(folder, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.standardOutput, "etctool 1.1\n");
    EXPECT_TRUE(contains(run(folder, {"--help"}).standardOutput, "--version"));
}

TEST(Etctool, EveryArgumentErrorEndsWithTheHintToRunHelp)
{
    TestFolder folder;
    writeImage(folder, "in.png", patternImage(8, 8));
    const std::vector<std::vector<std::string>> wrongLines = {
        {},
        {"shrink"},
        {"encode", "in.png", "out.pkm", "--format", "etc9"},
        {"encode", "in.png", "out.pkm"},
        {"encode", "in.png", "out.pkm", "--format", "etc1", "--effort", "max"},
        {"encode", "in.png", "out.pkm", "--format", "etc1", "--colour"},
        {"encode", "in.png", "--format", "etc1"},
        {"encode", "in.png", "out.pkm", "--format"},
        {"encode", "in.png", "out.pkm", "--format", "etc1", "-j", "0"},
        {"encode", "in.png", "out.pkm", "--format", "etc1", "--bleed=yes"},
        {"mipmap", "in.png", "mip.pkm", "--format", "etc1"},
        {"mipmap", "in.png", "mip_%d.pkm", "--format", "srgb8", "--atlas"},
        {"mipmap", "in.png", "mip.ktx2", "--format", "etc1", "-j999"},
        {"mipmap", "in.png", "mip.ktx2", "--format", "etc1", "--atlas"},
        {"decode", "in.pkm"},
        {"info"},
        {"pgm", "in.png", "out.pgm", "--channel", "x"},
        {"compare", "in.png", "in.png", "--effort", "fast"},
    };
    for (const std::vector<std::string>& line : wrongLines) {
        const std::string command = line.empty() || line[0] == "shrink" ? "etctool" : "etctool " + line[0];
        const ToolRun result = run(folder, line);
        const std::string error = errorLine(result.standardError);
        const std::string hint = "; run '" + command + " --help' for usage";
        EXPECT_EQ(result.status, 2) << error;
        EXPECT_TRUE(error.size() > hint.size() && error.compare(error.size() - hint.size(), hint.size(), hint) == 0)
            << "'" << error << "' from: " << testing::PrintToString(line);
    }
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"in.png"});
}

TEST(Etctool, ThreadCountLeavesTheBytesAlone)
{
    TestFolder folder;
    writeImage(folder, "in.png", patternImage(40, 36));
    for (const char* jobs : {"1", "2", "3"}) {
        ASSERT_EQ(run(folder,
                      {"encode", "in.png", std::string("e") + jobs + ".pkm", "--format", "rgba8", "--effort", "fast",
                       std::string("-j") + jobs})
                      .status,
                  0);
        ASSERT_EQ(run(folder,
                      {"mipmap", "in.png", std::string("m") + jobs + ".ktx2", "--format", "rg11", "--effort", "fast",
                       "-j", jobs})
                      .status,
                  0);
    }
    for (const char* jobs : {"2", "3"}) {
        EXPECT_EQ(fileBytes(folder.pathOf(std::string("e") + jobs + ".pkm")), fileBytes(folder.pathOf("e1.pkm")));
        EXPECT_EQ(fileBytes(folder.pathOf(std::string("m") + jobs + ".ktx2")), fileBytes(folder.pathOf("m1.ktx2")));
    }
    for (const char* jobs : {"0", "257", "two", ""}) {
        const ToolRun result = run(folder, {"encode", "in.png", "x.pkm", "--format", "etc1", "-j", jobs});
        EXPECT_TRUE(contains(errorLine(result.standardError),
                             std::string("-j needs a whole number from 1 to 256, got '") + jobs + "'"))
            << result.standardError;
    }
}

TEST(Etctool, Ktx2FilesHoldTheEncodingAndTheWholeChain)
{
    TestFolder folder;
    writeImage(folder, "in.png", patternImage(20, 12));
    for (const etc::FormatInfo& format : etc::allFormats()) {
        SCOPED_TRACE(format.toolName);
        ASSERT_EQ(run(folder, {"encode", "in.png", "one.pkm", "--format", format.toolName, "--effort", "fast"}).status,
                  0);
        ASSERT_EQ(run(folder, {"encode", "in.png", "one.ktx2", "--format", format.toolName, "--effort", "fast"}).status,
                  0);
        ASSERT_EQ(run(folder, {"decode", "one.pkm", "pkm.png"}).status, 0);
        ASSERT_EQ(run(folder, {"decode", "one.ktx2", "ktx2.png"}).status, 0);
        EXPECT_EQ(fileBytes(folder.pathOf("ktx2.png")), fileBytes(folder.pathOf("pkm.png")));
        const std::string pkm = fileBytes(folder.pathOf("one.pkm"));
        const std::string ktx2 = fileBytes(folder.pathOf("one.ktx2"));
        EXPECT_EQ(ktx2.substr(ktx2.size() - (pkm.size() - 16)), pkm.substr(16)) << "the same blocks end the file";

        const ToolRun info = run(folder, {"info", "one.ktx2"});
        EXPECT_TRUE(contains(info.standardOutput,
                             std::string("Format:      ") + format.glName + " (" + format.toolName + ")\n"));
        EXPECT_TRUE(contains(info.standardOutput, "Size:        20 x 12\nLevels:      1\n")) << info.standardOutput;
    }

    ASSERT_EQ(run(folder, {"mipmap", "in.png", "chain.ktx2", "--format", "srgb8", "--effort", "fast"}).status, 0);
    const ToolRun info = run(folder, {"info", "chain.ktx2"});
    EXPECT_TRUE(contains(info.standardOutput, "vkFormat:    148\n")) << info.standardOutput;
    EXPECT_TRUE(contains(info.standardOutput,
                         "Levels:      5\nLevel 0     20 x 12, 120 bytes\nLevel 1     10 x 6, "
                         "48 bytes\nLevel 2     5 x 3, 16 bytes\nLevel 3     2 x 1, 8 bytes\n"
                         "Level 4     1 x 1, 8 bytes\n"))
        << info.standardOutput;
    const ToolRun toStandardOutput =
        run(folder, {"mipmap", "in.png", "-", "--format", "srgb8", "--effort", "fast", "-j", "1"});
    EXPECT_EQ(toStandardOutput.standardOutput, fileBytes(folder.pathOf("chain.ktx2")));

    const std::string whole = fileBytes(folder.pathOf("chain.ktx2"));
    folder.write("cut.ktx2", whole.substr(0, whole.size() - 1));
    const std::vector<std::string> before = folderEntries(folder.path());
    expectFailure(run(folder, {"decode", "cut.ktx2", "out.png"}), 1, "cut.ktx2", folder, before);
    expectFailure(run(folder, {"info", "cut.ktx2"}), 1, "level 0 lies outside the file", folder, before);
}
