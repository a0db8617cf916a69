// The asset generator run as a process, as the build runs it, and the assets the build made.

#include "EtcFormat.h"
#include "Pkm.h"
#include "PkmIo.h"
#include "TestFolder.h"
#include "TestProcess.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

const char* const assetBuild = "tools/asset-build/asset-build";

// Every kind of asset: the carpet pipeline (picture, bleeding, mipmaps, atlas, ETC1), the
// PGM plane, the font, and ETC2 / EAC textures with and without alpha.
const std::vector<std::vector<std::string>> sampleAssets = {
    {"carpet-atlas", "atlas_%d.pkm"},
    {"carpet-alpha-pgm", "alpha.pgm"},
    {"binary-alpha", "BinaryAlpha.pkm"},
    {"height-map-signed", "HeightMapSigned.pkm"},
    {"font", "font.raw", "--font", KORVO_CONSOLE_FONT},
};

// Generates the sample assets into two folders, both runs of an asset at the same time.
void generateTwice(const std::string& first, const std::string& second)
{
    for (const std::vector<std::string>& asset : sampleAssets) {
        std::vector<std::unique_ptr<TestProcess>> runs;
        for (const std::string& folder : {first, second}) {
            TestProcess::Options options;
            options.executable = buildPath(assetBuild);
            options.arguments = asset;
            options.arguments[1] = folder + "/" + asset[1];
            runs.push_back(std::make_unique<TestProcess>(options));
        }
        for (auto& run : runs)
            ASSERT_EQ(run->waitForExit(60), 0) << asset[0] << ": " << run->standardError();
    }
}

void expectPkm(const std::string& path, etc::Format format, int width, int height)
{
    etc::PkmFile pkm;
    std::string error;
    ASSERT_TRUE(imageio::readPkm(path, pkm, error)) << error;
    EXPECT_EQ(pkm.format, format) << path;
    EXPECT_EQ(pkm.width, width) << path;
    EXPECT_EQ(pkm.height, height) << path;
}

} // namespace

TEST(AssetBuild, GeneratesTheSameBytesEveryTime)
{
    TestFolder folder;
    generateTwice(folder.pathOf("first"), folder.pathOf("second"));
    const std::vector<std::string> names = folderEntries(folder.pathOf("first"));
    EXPECT_EQ(names.size(), 14u) << "ten atlas levels and four single files";
    EXPECT_EQ(folderEntries(folder.pathOf("second")), names);
    for (const std::string& name : names) {
        const std::string first = fileBytes(folder.pathOf("first/" + name));
        EXPECT_FALSE(first.empty()) << name;
        EXPECT_TRUE(first == fileBytes(folder.pathOf("second/" + name))) << name << " differs between runs";
    }
}

TEST(AssetBuild, AMissingFontFailsClearlyAndWritesNothing)
{
    TestFolder folder;
    const ToolRun result =
        runTool(assetBuild, {"font", folder.pathOf("font.raw"), "--font", "/nonexistent/font.psf.gz"}, folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.standardError.rfind("Error: ", 0), 0u) << result.standardError;
    EXPECT_NE(result.standardError.find("/nonexistent/font.psf.gz"), std::string::npos) << result.standardError;
    EXPECT_TRUE(folderEntries(folder.path()).empty());
}

// The files the build wrote into the programs' staged assets/ folders, under the names,
// formats and sizes that the programs load.
TEST(AssetBuild, TheBuildWroteEveryAssetUnderItsProgramsName)
{
    const std::string es2 = buildPath("samples/OpenGL-ES-2.0/linux/");
    const std::string es3 = buildPath("samples/OpenGL-ES-3.0/linux/FormatCarousel/assets/");
    for (int level = 0; level < 10; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        const std::string l = std::to_string(level);
        const int width = std::max(1, 512 >> level);
        const int height = std::max(1, 256 >> level);
        const std::string packed = es2 + "PackedAlphaPlane/assets/carpetHalved_compressed_mip_" + l;
        const std::string raw = es2 + "RawAlphaPlane/assets/carpetHalved_uncompressed_mip_" + l + ".pkm";
        expectPkm(packed + ".pkm", etc::Format::Etc1, width, height);
        expectPkm(packed + "_alpha.pkm", etc::Format::Etc1, width, height);
        expectPkm(raw, etc::Format::Etc1, width, height);
        EXPECT_TRUE(fileBytes(raw) == fileBytes(packed + ".pkm")) << "one colour chain for both programs";
        expectPkm(es2 + "StackedAlpha/assets/carpetHalved_atlas_mip_" + l + ".pkm", etc::Format::Etc1,
                  std::max(1, 512 >> level), std::max(1, 512 >> level));
    }
    EXPECT_FALSE(fileExists(es2 + "StackedAlpha/assets/carpetHalved_atlas_mip_10.pkm"));

    const std::string pgm = fileBytes(es2 + "RawAlphaPlane/assets/carpetHalved_uncompressed_mip_0_alpha.pgm");
    EXPECT_EQ(pgm.substr(0, 15), "P5\n512 256\n255\n");
    EXPECT_EQ(pgm.size(), 15u + 512 * 256);

    const std::pair<const char*, etc::Format> textures[] = {
        {"HeightMap", etc::Format::R11},
        {"HeightMapSigned", etc::Format::SignedR11},
        {"BumpMap", etc::Format::Rg11},
        {"BumpMapSigned", etc::Format::SignedRg11},
        {"Texture", etc::Format::Rgb8},
        {"SemiAlpha", etc::Format::Rgba8},
        {"BinaryAlpha", etc::Format::Rgb8Punchthrough},
    };
    for (const auto& [name, format] : textures)
        expectPkm(es3 + "textures/compressed/" + name + ".pkm", format, 256, 256);
    EXPECT_EQ(fileBytes(es3 + "font.raw").size(), 49152u);
}
