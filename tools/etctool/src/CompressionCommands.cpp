#include "CompressionCommands.h"

#include "AlphaPlane.h"
#include "Atlas.h"
#include "AtomicFile.h"
#include "ColourBleed.h"
#include "LevelNames.h"
#include "Mipmap.h"
#include "PkmChain.h"
#include "PkmEncoding.h"
#include "PkmIo.h"
#include "PngIo.h"
#include "Progress.h"
#include "ToolFiles.h"

#include <cstdio>

namespace etctool {

namespace {

const char* const encodeHelp = R"(Usage: etctool encode INPUT.png OUTPUT.pkm --format FORMAT [options]

Compresses a PNG image into a PKM file.

Options:
  --format FORMAT   etc1, r11, signed-r11, rg11, signed-rg11, rgb8, srgb8, rgba8,
                    srgb8-alpha8, rgb8-a1, srgb8-a1
  --effort EFFORT   fast, default or best (more effort: better quality, slower)
  --bleed           first give fully transparent texels the colour of their visible
                    neighbours, so that filtering shows no dark fringes

The r11 formats take the red channel, the rg11 formats red and green; the signed
variants map 0..255 to -1..1. They keep a 16-bit PNG's full precision and are
encoded for their 11-bit values. Formats without alpha ignore the alpha channel.
)";

const char* const decodeHelp = R"(Usage: etctool decode INPUT.pkm OUTPUT.png

Decompresses a PKM file into an RGBA PNG image, as a GL decoder would show it
(r11 and rg11: red and green with blue 0; signed values mapped back to 0..255).
)";

const char* const infoHelp = R"(Usage: etctool info INPUT.pkm

Prints the PKM header: format, version, data type, image size, padded size and
payload size.
)";

const char* const mipmapHelp = R"(Usage: etctool mipmap INPUT.png OUTPUT_PATTERN --format FORMAT [options]

Builds the full mipmap chain, each level half the size of the one before (box
filter, truncating odd sides) down to 1 x 1, and writes one PKM file per level.
The srgb formats are filtered in linear light. OUTPUT_PATTERN holds %d once,
replaced by the level number without leading zeros: carpet_mip_%d.pkm gives
carpet_mip_0.pkm, carpet_mip_1.pkm, ... The chain is written whole or not at all.

Options:
  --format FORMAT   as for encode
  --effort EFFORT   fast, default or best
  --bleed           as for encode, before filtering
  --atlas           stack each level's colour (top half) and alpha plane (bottom
                    half, alpha in the colour channels) into one image of twice the
                    height; levels one texel high hold the colour alone. The image
                    height must be a power of two and the format linear.
)";

std::string sizeText(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

bool readEncodeOptions(const Arguments& arguments, const etc::FormatInfo*& format, etc::Effort& effort,
                       std::string& error)
{
    if (!arguments.has("--format")) {
        error = "--format is required; the formats are " + formatNameList();
        return false;
    }
    return parseFormat(arguments.value("--format", ""), format, error) &&
        parseEffort(arguments.value("--effort", "default"), effort, error);
}

bool encodeWithProgress(const etc::Image& image, const etc::FormatInfo& format, etc::Effort effort,
                        const std::string& task, etc::PkmFile& pkm, std::string& error)
{
    ProgressMeter meter(task);
    etc::EncodeOptions options;
    options.effort = effort;
    options.progress = meter.callback();
    return texops::encodePkm(image, format.format, options, pkm, error);
}

int runEncode(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    const std::string& output = arguments.positional[1];
    const etc::FormatInfo* format = nullptr;
    etc::Effort effort{};
    std::string error;
    if (!readEncodeOptions(arguments, format, effort, error))
        return reportError(error, exitUsage);
    etc::Image image;
    if (!imageio::readPng(input, image, error) || !imageio::checkWritable(output, error))
        return reportError(error);
    if (arguments.has("--bleed"))
        image = texops::bleedColourIntoTransparent(image);
    etc::PkmFile pkm;
    std::string task =
        "Encoding '" + output + "' (" + format->toolName + ", " + sizeText(image.width, image.height) + ")";
    if (!encodeWithProgress(image, *format, effort, task, pkm, error))
        return reportError("cannot encode '" + input + "': " + error);
    if (!imageio::writePkm(output, pkm, error))
        return reportError(error);
    return 0;
}

int runDecode(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    const std::string& output = arguments.positional[1];
    etc::PkmFile pkm;
    std::string error;
    if (!imageio::readPkm(input, pkm, error))
        return reportError(error);
    etc::DecodedImage decoded = etc::decodeImage(pkm.payload.data(), pkm.format, pkm.width, pkm.height);
    if (!imageio::writePng(output, decoded.rgba, error))
        return reportError(error);
    return 0;
}

int roundUpToBlock(int side) { return (side + 3) / 4 * 4; }

int runInfo(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    etc::PkmFile pkm;
    std::string error;
    if (!imageio::readPkm(input, pkm, error))
        return reportError(error);
    const etc::FormatInfo& info = etc::formatInfo(pkm.format);
    std::printf("File:        %s\n", input.c_str());
    std::printf("Format:      %s (%s)\n", info.glName, info.toolName);
    std::printf("Version:     %s\n", info.pkmVersion);
    std::printf("Data type:   %u\n", unsigned(info.pkmDataType));
    std::printf("Size:        %s\n", sizeText(pkm.width, pkm.height).c_str());
    std::printf("Padded size: %s\n", sizeText(roundUpToBlock(pkm.width), roundUpToBlock(pkm.height)).c_str());
    std::printf("Payload:     %zu bytes\n", pkm.payload.size());
    return 0;
}

std::vector<etc::Image> chainLevels(const etc::Image& image, const etc::FormatInfo& format, bool atlas)
{
    auto space = format.isSrgb ? texops::ColourSpace::Srgb : texops::ColourSpace::Linear;
    std::vector<etc::Image> colour = texops::buildMipmapChain(image, space);
    if (!atlas)
        return colour;
    std::vector<etc::Image> alpha;
    alpha.reserve(colour.size());
    for (const etc::Image& level : colour)
        alpha.push_back(texops::alphaPlaneImage(level));
    return texops::buildAtlasChain(colour, alpha);
}

int runMipmap(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    const std::string& pattern = arguments.positional[1];
    const etc::FormatInfo* format = nullptr;
    etc::Effort effort{};
    std::string error;
    if (!readEncodeOptions(arguments, format, effort, error))
        return reportError(error, exitUsage);
    if (!texops::isLevelPattern(pattern))
        return reportError("the output pattern '" + pattern + "' must hold %d exactly once", exitUsage);
    etc::Image image;
    if (!imageio::readPng(input, image, error))
        return reportError(error);
    const bool atlas = arguments.has("--atlas");
    if (atlas && format->isSrgb)
        return reportError("--atlas needs a linear format: the GL would decode the alpha half as sRGB", exitUsage);
    if (atlas && !texops::canBuildAtlasChain(image.width, image.height))
        return reportError("cannot stack '" + input + "' into an atlas chain: its height " +
                           std::to_string(image.height) + " is not a power of two");
    if (arguments.has("--bleed"))
        image = texops::bleedColourIntoTransparent(image);

    std::vector<etc::Image> levels = chainLevels(image, *format, atlas);
    for (const std::string& file : texops::chainFileNames(pattern, levels.size()))
        if (!imageio::checkWritable(file, error))
            return reportError(error);
    std::vector<etc::PkmFile> files(levels.size());
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const etc::Image& l = levels[level];
        std::string task = "Encoding level " + std::to_string(level) + " of " + std::to_string(levels.size() - 1) +
            " (" + sizeText(l.width, l.height) + ") to '" + texops::levelFileName(pattern, int(level)) + "'";
        if (!encodeWithProgress(l, *format, effort, task, files[level], error))
            return reportError("cannot encode '" + input + "': " + error);
    }
    if (!texops::savePkmChain(pattern, files, error))
        return reportError(error);
    return 0;
}

} // namespace

void addCompressionCommands(std::vector<Command>& commands)
{
    commands.push_back({"encode",
                        "compress a PNG image into a PKM file",
                        encodeHelp,
                        {{"--format", true}, {"--effort", true}, {"--bleed", false}},
                        2,
                        runEncode});
    commands.push_back({"decode", "decompress a PKM file into a PNG image", decodeHelp, {}, 2, runDecode});
    commands.push_back({"info", "print the header of a PKM file", infoHelp, {}, 1, runInfo});
    commands.push_back({"mipmap",
                        "write a mipmap chain of PKM files, one per level",
                        mipmapHelp,
                        {{"--format", true}, {"--effort", true}, {"--bleed", false}, {"--atlas", false}},
                        2,
                        runMipmap});
}

} // namespace etctool
