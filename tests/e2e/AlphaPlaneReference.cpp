#include "AlphaPlaneReference.h"

#include "EtcCodec.h"
#include "Pkm.h"
#include "PkmIo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>

namespace {

constexpr int levelCount = 10; // 512 x 256 down to 1 x 1

const std::array<double, 9> quadBottoms = {0.4666, 0.7333, 0.8666, 0.9333, 0.9666, 0.9833, 0.9916, 0.9958, 0.9958};

std::string assetPath(const AlphaPlaneProgram& program, const std::string& name)
{
    return program.buildFolder() + "/assets/" + name;
}

std::string levelName(const std::string& base, int level, const std::string& suffix)
{
    return base + std::to_string(level) + suffix;
}

etc::Image decodeEtc1(const std::string& path)
{
    etc::PkmFile file;
    std::string error;
    if (!imageio::readPkm(path, file, error)) {
        ADD_FAILURE() << error;
        return {};
    }
    EXPECT_EQ(file.format, etc::Format::Etc1) << path;
    return etc::decodeImage(file.payload.data(), file.format, file.width, file.height).rgba;
}

std::uint8_t channelAt(const etc::Image& image, int x, int y, int channel)
{
    return image.rgba[4 * (static_cast<size_t>(y) * image.width + x) + channel];
}

// Rows [top, top + height) of an image: colour from them, and (for alpha planes) green.
Level colourOf(const etc::Image& image, int top, int height)
{
    Level level;
    level.width = image.width;
    level.height = height;
    for (int y = top; y < top + height; ++y)
        for (int x = 0; x < image.width; ++x)
            for (int channel = 0; channel < 3; ++channel)
                level.rgb.push_back(channelAt(image, x, y, channel));
    return level;
}

std::vector<double> greenOf(const etc::Image& image, int top, int height)
{
    std::vector<double> alpha;
    for (int y = top; y < top + height; ++y)
        for (int x = 0; x < image.width; ++x)
            alpha.push_back(channelAt(image, x, y, 1));
    return alpha;
}

// A binary greymap read independently of the program's reader: magic, three numbers, one
// whitespace byte, the raster.
std::vector<double> readGreymap(const std::string& path, int& width, int& height)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    std::vector<char> raster(static_cast<size_t>(width) * height);
    in.read(raster.data(), static_cast<std::streamsize>(raster.size()));
    EXPECT_TRUE(in && magic == "P5" && maximum == 255) << path;
    std::vector<double> values;
    values.reserve(raster.size());
    for (char byte : raster)
        values.push_back(static_cast<unsigned char>(byte));
    return values;
}

// The next level as the GL generates it: the box average of the texels each covers, stored
// back at 8 bits.
std::vector<double> halvedGreymap(const std::vector<double>& values, int width, int height)
{
    const int halfWidth = std::max(1, width / 2), halfHeight = std::max(1, height / 2);
    const int stepX = width > 1 ? 2 : 1, stepY = height > 1 ? 2 : 1;
    std::vector<double> halved;
    for (int y = 0; y < halfHeight; ++y)
        for (int x = 0; x < halfWidth; ++x) {
            double sum = 0;
            for (int dy = 0; dy < stepY; ++dy)
                for (int dx = 0; dx < stepX; ++dx)
                    sum += values[static_cast<size_t>(y * stepY + dy) * width + x * stepX + dx];
            halved.push_back(sum / (stepX * stepY));
        }
    return halved;
}

ProgramPicture chainPicture(const AlphaPlaneProgram& program, const std::string& base,
                            const std::function<std::vector<double>(int level)>& alphaOfLevel)
{
    ProgramPicture picture;
    for (int level = 0; level < levelCount; ++level) {
        const etc::Image colour = decodeEtc1(assetPath(program, levelName(base, level, ".pkm")));
        Level entry = colourOf(colour, 0, colour.height);
        entry.alpha = alphaOfLevel(level);
        EXPECT_EQ(entry.alpha.size(), static_cast<size_t>(colour.width) * colour.height) << "level " << level;
        picture.levels.push_back(std::move(entry));
    }
    return picture;
}

} // namespace

const std::array<PixelRectangle, 9> quadRectangles = {{
    {0, 0, 256, 128},
    {256, 0, 128, 64},
    {384, 0, 64, 32},
    {448, 0, 32, 16},
    {480, 0, 16, 8},
    {496, 0, 8, 4},
    {504, 0, 4, 2},
    {508, 0, 2, 1},
    {510, 0, 1, 1},
}};

double quadExactHeight(int quad) { return (1.0 - quadBottoms[quad]) * windowHeight / 2; }

ProgramPicture packedAlphaPlanePicture()
{
    const AlphaPlaneProgram& program = packedAlphaPlane();
    const std::string base = "carpetHalved_compressed_mip_";
    return chainPicture(program, base, [&](int level) {
        const etc::Image alpha = decodeEtc1(assetPath(program, levelName(base, level, "_alpha.pkm")));
        return greenOf(alpha, 0, alpha.height);
    });
}

ProgramPicture rawAlphaPlanePicture()
{
    const AlphaPlaneProgram& program = rawAlphaPlane();
    int width = 0, height = 0;
    std::vector<std::vector<double>> alphaLevels = {
        readGreymap(assetPath(program, "carpetHalved_uncompressed_mip_0_alpha.pgm"), width, height)};
    // The GL makes each level from the one before as it stored it, at 8 bits; the level
    // itself keeps the exact average, so that a test allows for the GL's rounding.
    for (int level = 1; level < levelCount; ++level) {
        std::vector<double> stored = alphaLevels.back();
        for (double& value : stored)
            value = std::round(value);
        alphaLevels.push_back(halvedGreymap(stored, width, height));
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
    }
    return chainPicture(program, "carpetHalved_uncompressed_mip_",
                        [&](int level) { return alphaLevels[static_cast<size_t>(level)]; });
}

ProgramPicture stackedAlphaPicture()
{
    ProgramPicture picture;
    for (int level = 0; level < levelCount; ++level) {
        const etc::Image atlas =
            decodeEtc1(assetPath(stackedAlpha(), levelName("carpetHalved_atlas_mip_", level, ".pkm")));
        // Colour in the top half, alpha in the bottom half; a one-texel-high level has one
        // row, which both lookups then read.
        const int half = std::max(1, atlas.height / 2);
        Level entry = colourOf(atlas, 0, half);
        entry.alpha = greenOf(atlas, atlas.height - half, half);
        picture.levels.push_back(std::move(entry));
    }
    return picture;
}

ProgramPicture pictureOf(const AlphaPlaneProgram& program)
{
    if (program.name == packedAlphaPlane().name)
        return packedAlphaPlanePicture();
    if (program.name == rawAlphaPlane().name)
        return rawAlphaPlanePicture();
    return stackedAlphaPicture();
}

std::array<double, 3> expectedPixel(const ProgramPicture& picture, int quad, int px, int py)
{
    const PixelRectangle& rectangle = quadRectangles[static_cast<size_t>(quad)];
    const Level& level = picture.levels[static_cast<size_t>(quad) + 1];
    const double s = (px - rectangle.x + 0.5) / rectangle.width;
    const double t = (py - rectangle.y + 0.5) / quadExactHeight(quad);
    const int x = std::min(level.width - 1, static_cast<int>(s * level.width));
    const int y = std::min(level.height - 1, static_cast<int>(t * level.height));
    const size_t texel = static_cast<size_t>(y) * level.width + x;
    const double alpha = level.alpha[texel] / 255.0;
    std::array<double, 3> pixel{};
    for (int channel = 0; channel < 3; ++channel)
        pixel[channel] = level.rgb[3 * texel + channel] * alpha + clearColour[channel] * (1.0 - alpha);
    return pixel;
}

double largestTexelDifference(const Level& a, const Level& b)
{
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    double largest = 0;
    for (size_t texel = 0; texel < a.alpha.size() && texel < b.alpha.size(); ++texel) {
        double colour = 0;
        for (int channel = 0; channel < 3; ++channel)
            colour = std::max(colour, std::abs(a.rgb[3 * texel + channel] - b.rgb[3 * texel + channel] + 0.0));
        largest = std::max(largest, colour + std::abs(a.alpha[texel] - b.alpha[texel]));
    }
    return largest;
}
