// fuzz-seeds OUTPUT FONT.psf.gz: writes the seed corpus of every fuzz target into
// OUTPUT/<target>/, made from the pictures the asset build draws (small mipmap levels, so
// that the fuzzers start from short inputs) and from the console font the build converts.

#include "AtomicFile.h"
#include "CarouselPictures.h"
#include "CarpetPicture.h"
#include "EtcFormat.h"
#include "Ktx2.h"
#include "Mipmap.h"
#include "PgmIo.h"
#include "Pkm.h"
#include "PkmEncoding.h"
#include "PngIo.h"

#include <zlib.h>

#include <cstdio>
#include <filesystem>

namespace {

constexpr int largestSeedSide = 16;

// The levels of each picture no larger than largestSeedSide, down to 1 x 1.
std::vector<etc::Image> smallPictures()
{
    std::vector<etc::Image> small;
    for (etc::Image (*render)() : {assets::renderCarpet, assets::renderLandscape, assets::renderBubbles,
                                   assets::renderCog, assets::renderHeightMap, assets::renderBrickNormals})
        for (etc::Image& level : texops::buildMipmapChain(render(), texops::ColourSpace::Linear))
            if (level.width <= largestSeedSide && level.height <= largestSeedSide)
                small.push_back(std::move(level));
    return small;
}

bool write(const std::filesystem::path& folder, const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::string error;
    if (imageio::writeFileAtomically((folder / name).string(), bytes, error))
        return true;
    std::fprintf(stderr, "Error: %s\n", error.c_str());
    return false;
}

bool gunzip(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::uint8_t buffer[16384];
    int n;
    while ((n = gzread(file, buffer, sizeof buffer)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    gzclose(file);
    return n == 0;
}

// Every picture in one format each, the formats taking turns.
bool writeCompressedSeeds(const std::filesystem::path& out, const std::vector<etc::Image>& pictures)
{
    const std::vector<etc::FormatInfo>& formats = etc::allFormats();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const etc::FormatInfo& format = formats[i % formats.size()];
        etc::PkmFile pkm;
        std::string error;
        if (!texops::encodePkm(pictures[i], format.format, {etc::Effort::Fast, {}}, pkm, error))
            return false;
        const std::string name = std::to_string(i) + "-" + format.toolName;
        std::vector<std::uint8_t> blocks = {std::uint8_t(i % formats.size())};
        blocks.insert(blocks.end(), pkm.payload.begin(), pkm.payload.end());
        const std::vector<std::uint8_t> file = etc::serializePkm(pkm);
        if (!write(out / "fuzz-pkm", name + ".pkm", file) || !write(out / "fuzz-pkm-header", name + ".pkm", file) ||
            !write(out / "fuzz-blocks", name + ".blocks", blocks))
            return false;
    }
    return true;
}

// Each picture's whole mipmap chain in one KTX2 file, the formats taking turns.
bool writeKtx2Seeds(const std::filesystem::path& out, const std::vector<etc::Image>& pictures)
{
    const std::vector<etc::FormatInfo>& formats = etc::allFormats();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const etc::FormatInfo& format = formats[i % formats.size()];
        etc::Ktx2File texture{format.format, pictures[i].width, pictures[i].height, {}};
        for (const etc::Image& level : texops::buildMipmapChain(pictures[i], texops::ColourSpace::Linear))
            texture.levels.push_back(etc::encodeImage(level, format.format, {etc::Effort::Fast, 1, {}}));
        if (!write(out / "fuzz-ktx2", std::to_string(i) + "-" + format.toolName + ".ktx2",
                   etc::serializeKtx2(texture, "fuzz-seeds")))
            return false;
    }
    return true;
}

bool writeImageSeeds(const std::filesystem::path& out, const std::vector<etc::Image>& pictures)
{
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const etc::Image& picture = pictures[i];
        std::vector<std::uint8_t> alpha;
        for (std::size_t texel = 3; texel < picture.rgba.size(); texel += 4)
            alpha.push_back(picture.rgba[texel]);
        std::string error;
        const std::string name = std::to_string(i);
        if (!imageio::writePng((out / "fuzz-png" / (name + ".png")).string(), picture, error) ||
            !write(out / "fuzz-pgm-alpha", name + ".pgm", imageio::encodePgm(picture.width, picture.height, alpha)))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "Usage: fuzz-seeds OUTPUT FONT.psf.gz\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    for (const char* target :
         {"fuzz-pkm", "fuzz-ktx2", "fuzz-pkm-header", "fuzz-blocks", "fuzz-png", "fuzz-pgm-alpha", "fuzz-psf"})
        std::filesystem::create_directories(out / target);
    std::vector<std::uint8_t> font;
    if (!gunzip(argv[2], font)) {
        std::fprintf(stderr, "Error: Failed to read '%s'\n", argv[2]);
        return 1;
    }
    const std::vector<etc::Image> pictures = smallPictures();
    const bool written = writeCompressedSeeds(out, pictures) && writeKtx2Seeds(out, pictures) &&
        writeImageSeeds(out, pictures) && write(out / "fuzz-psf", "console-font.psf", font);
    return written ? 0 : 1;
}
