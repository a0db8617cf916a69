// asset-build: generates the binary assets of the sample programs (compressed textures,
// the PGM alpha plane, the font bitmap) from procedural sources, the same bytes every run.

#include "AssetCatalogue.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

void printHelp()
{
    std::printf("Usage: asset-build ASSET OUTPUT [--font FONT.psf.gz]\n"
                "       asset-build source PICTURE OUTPUT.png\n\n"
                "Writes one asset to OUTPUT (for mipmap chains a pattern holding %%d, replaced by\n"
                "the level number without leading zeros). The font asset needs --font, a PSF1 or\n"
                "PSF2 console font with 8 x 16 glyphs. 'source' writes an uncompressed source\n"
                "picture as PNG, to look at or to compare with 'etctool compare'.\n\nAssets:\n");
    for (const auto& asset : assets::listAssets())
        std::printf("  %-18s %s\n", asset.name.c_str(), asset.summary.c_str());
    std::printf("\nPictures:\n");
    for (const auto& picture : assets::listPictures())
        std::printf("  %-18s %s\n", picture.name.c_str(), picture.summary.c_str());
}

int fail(const std::string& message, int status)
{
    std::fprintf(stderr, "Error: %s\n", message.c_str());
    return status;
}

int usageError(const std::string& message) { return fail(message + "; run 'asset-build --help' for usage", exitUsage); }

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printHelp();
        return 0;
    }
    std::string error;
    if (argc >= 2 && std::strcmp(argv[1], "source") == 0) {
        if (argc != 4)
            return usageError("source takes a picture name and an output file");
        return assets::writePicture(argv[2], argv[3], error) ? 0 : fail(error, exitFailure);
    }
    std::string fontPath;
    if (argc == 5 && std::strcmp(argv[3], "--font") == 0)
        fontPath = argv[4];
    else if (argc != 3)
        return usageError("expected an asset name and an output");
    const std::string name = argv[1];
    const auto known = assets::listAssets();
    if (std::none_of(known.begin(), known.end(), [&](const auto& asset) { return asset.name == name; }))
        return usageError("unknown asset '" + name + "'");
    if (name == "font" && fontPath.empty())
        return usageError("the font asset needs --font FONT.psf.gz");
    return assets::buildAsset(name, argv[2], fontPath, error) ? 0 : fail(error, exitFailure);
}
