#include "CompressionCommands.h"

#include "AlphaPlane.h"
#include "Atlas.h"
#include "AtomicFile.h"
#include "ColourBleed.h"
#include "Ktx2Io.h"
#include "LevelNames.h"
#include "Mipmap.h"
#include "PkmChain.h"
#include "PkmEncoding.h"
#include "PkmIo.h"
#include "PngIo.h"
#include "Progress.h"
#include "ToolFiles.h"

#include "NumberArgument.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace etctool {

namespace {

const char* const encodeHelp = R"(Usage: etctool encode INPUT.png OUTPUT --format FORMAT [options]

Compresses a PNG image into a PKM file, or into a KTX2 file when OUTPUT ends in
.ktx2 (or with --ktx2). Either file may be -: standard input or standard output.

Options:
  --format FORMAT   etc1, r11, signed-r11, rg11, signed-rg11, rgb8, srgb8, rgba8,
                    srgb8-alpha8, rgb8-a1, srgb8-a1
  --effort EFFORT   fast, default, best or exhaustive (more effort: better quality,
                    slower)
  --bleed           first give fully transparent texels the colour of their visible
                    neighbours, so that filtering shows no dark fringes
  --ktx2            write KTX2 whatever OUTPUT is called (for -)
  -j N              encode on N threads (1 to 256; the default: every core); the
                    output is the same for every N

The r11 formats take the red channel, the rg11 formats red and green; the signed
variants map 0..255 to -1..1. They keep a 16-bit PNG's full precision and are
encoded for their 11-bit values. Formats without alpha ignore the alpha channel.
A KTX2 file names the ETC2 and EAC formats by their Vulkan format; ETC1, which
Vulkan lacks, as VK_FORMAT_UNDEFINED with an ETC1 data format descriptor and its
GL format (KTXglFormat).

The efforts as measured on five benchmark pictures, one block in sixteen: mean
PSNR in dB (RGB; r11 and rg11: 11-bit; rgb8-a1: opaque texels) and megapixels per
second on one thread of a 2-core AMD EPYC (speeds varied by up to a third):
                 fast          default       best          exhaustive
  etc1           33.08  22-37  33.34  2.6    33.81  0.39   33.85  0.19
  rgb8, srgb8    37.55  14-22  38.41  1.2    38.61  0.24   38.63  0.053
  rgba8 (RGB)    37.55  12-18  38.41  1.1    38.61  0.19   38.63  0.050
  rgb8-a1        36.92  2.8    37.24  1.7    37.48  0.30   37.50  0.059
  r11            49.89  35-37  50.78  0.50   50.78  0.33   50.78  0.38
  signed-r11     49.09  21-36  50.50  0.49   50.50  0.42   50.50  0.45
  rg11           50.24  17-19  51.11  0.23   51.11  0.17   51.11  0.15
  signed-rg11    49.13  11-18  50.66  0.19   50.66  0.22   50.66  0.22
)";

const char* const decodeHelp = R"(Usage: etctool decode INPUT OUTPUT.png

Decompresses a PKM or KTX2 file (the base level) into an RGBA PNG image, as a GL
decoder would show it (r11 and rg11: red and green with blue 0; signed values
mapped back to 0..255). Either file may be -: standard input or standard output.
)";

const char* const infoHelp = R"(Usage: etctool info INPUT

Prints the header of a PKM file (format, version, data type, image size, padded
size and payload size) or of a KTX2 file (format, vkFormat, image size and each
level's size and bytes). INPUT may be -: standard input.
)";

const char* const mipmapHelp = R"(Usage: etctool mipmap INPUT.png OUTPUT --format FORMAT [options]

Builds the full mipmap chain, each level half the size of the one before (box
filter, truncating odd sides) down to 1 x 1. The srgb formats are filtered in
linear light. When OUTPUT ends in .ktx2, is - (standard output) or --ktx2 is
given, every level goes into that one KTX2 file. Otherwise OUTPUT is a pattern
holding %d once, replaced by the level number without leading zeros, and each
level goes into a PKM file of its own: carpet_mip_%d.pkm gives carpet_mip_0.pkm,
carpet_mip_1.pkm, ... The chain is written whole or not at all.

Options:
  --format FORMAT   as for encode
  --effort EFFORT   fast, default, best or exhaustive
  --bleed           as for encode, before filtering
  --atlas           stack each level's colour (top half) and alpha plane (bottom
                    half, alpha in the colour channels) into one image of twice the
                    height; levels one texel high hold the colour alone. The image
                    height must be a power of two, the format linear and the output
                    PKM files.
  --ktx2            write one KTX2 file whatever OUTPUT is called
  -j N              as for encode
)";

constexpr int mostJobs = 256;

std::string sizeText(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int everyCore() { return std::clamp(int(std::thread::hardware_concurrency()), 1, mostJobs); }

struct EncodeRequest {
    const etc::FormatInfo* format = nullptr;
    etc::EncodeOptions options;
};

bool readEncodeOptions(const Arguments& arguments, EncodeRequest& request, std::string& error)
{
    if (!arguments.has("--format")) {
        error = "--format is required; the formats are " + formatNameList();
        return false;
    }
    const std::string jobs = arguments.value("-j", std::to_string(everyCore()));
    if (!toolargs::parseNumber(jobs, 1, mostJobs, request.options.threads)) {
        error = toolargs::rangeError("-j", 1, mostJobs, jobs);
        return false;
    }
    return parseFormat(arguments.value("--format", ""), request.format, error) &&
        parseEffort(arguments.value("--effort", "default"), request.options.effort, error);
}

// Calls encode(options) with the request's options and the progress of `task` shown.
template <typename Encode>
auto withProgress(const std::string& task, const EncodeRequest& request, Encode encode)
{
    ProgressMeter meter(task);
    etc::EncodeOptions options = request.options;
    options.progress = meter.callback();
    return encode(options);
}

std::string levelTask(const std::vector<etc::Image>& levels, std::size_t level, const std::string& file)
{
    const etc::Image& l = levels[level];
    return "Encoding level " + std::to_string(level) + " of " + std::to_string(levels.size() - 1) + " (" +
        sizeText(l.width, l.height) + ") to '" + file + "'";
}

etc::Ktx2File encodeKtx2Levels(const std::vector<etc::Image>& levels, const EncodeRequest& request,
                               const std::string& output)
{
    const etc::Format format = request.format->format;
    etc::Ktx2File texture{format, levels[0].width, levels[0].height, {}};
    for (std::size_t level = 0; level < levels.size(); ++level)
        texture.levels.push_back(
            withProgress(levelTask(levels, level, output), request, [&](const etc::EncodeOptions& options) {
                return etc::encodeImage(levels[level], format, options);
            }));
    return texture;
}

bool fitsKtx2(const etc::Image& image, const std::string& input, std::string& error)
{
    if (image.width <= etc::maximumKtx2Side && image.height <= etc::maximumKtx2Side)
        return true;
    error = "cannot encode '" + input + "': a KTX2 file written here holds 1 to " +
        std::to_string(etc::maximumKtx2Side) + " texels a side, the image is " + sizeText(image.width, image.height);
    return false;
}

// Levels from the largest down; the output was found writable before.
int writeKtx2File(const std::vector<etc::Image>& levels, const EncodeRequest& request, const std::string& input,
                  const std::string& output)
{
    std::string error;
    if (!fitsKtx2(levels[0], input, error))
        return reportError(error);
    if (!imageio::writeKtx2(output, encodeKtx2Levels(levels, request, output), versionLine, error))
        return reportError(error);
    return 0;
}

int encodePkmFile(const etc::Image& image, const EncodeRequest& request, const std::string& input,
                  const std::string& output)
{
    etc::PkmFile pkm;
    std::string error;
    const std::string task =
        "Encoding '" + output + "' (" + request.format->toolName + ", " + sizeText(image.width, image.height) + ")";
    if (!withProgress(task, request, [&](const etc::EncodeOptions& options) {
            return texops::encodePkm(image, request.format->format, options, pkm, error);
        }))
        return reportError("cannot encode '" + input + "': " + error);
    if (!imageio::writePkm(output, pkm, error))
        return reportError(error);
    return 0;
}

int runEncode(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    const std::string& output = arguments.positional[1];
    EncodeRequest request;
    std::string error;
    if (!readEncodeOptions(arguments, request, error))
        return usageError(arguments, error);
    etc::Image image;
    if (!imageio::readPng(input, image, error) || !imageio::checkWritable(output, error))
        return reportError(error);
    if (arguments.has("--bleed"))
        image = texops::bleedColourIntoTransparent(image);
    if (arguments.has("--ktx2") || endsWith(output, ".ktx2"))
        return writeKtx2File({image}, request, input, output);
    return encodePkmFile(image, request, input, output);
}

int runDecode(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    const std::string& output = arguments.positional[1];
    CompressedTexture compressed;
    std::string error;
    if (!readCompressed(input, compressed, error))
        return reportError(error);
    const etc::Ktx2File& texture = compressed.texture;
    const etc::DecodedImage decoded =
        etc::decodeImage(texture.levels[0].data(), texture.format, texture.width, texture.height);
    if (!imageio::writePng(output, decoded.rgba, error))
        return reportError(error);
    return 0;
}

int roundUpToBlock(int side) { return (side + 3) / 4 * 4; }

void printPkmInfo(const etc::Ktx2File& pkm)
{
    const etc::FormatInfo& info = etc::formatInfo(pkm.format);
    std::printf("Format:      %s (%s)\n", info.glName, info.toolName);
    std::printf("Version:     %s\n", info.pkmVersion);
    std::printf("Data type:   %u\n", unsigned(info.pkmDataType));
    std::printf("Size:        %s\n", sizeText(pkm.width, pkm.height).c_str());
    std::printf("Padded size: %s\n", sizeText(roundUpToBlock(pkm.width), roundUpToBlock(pkm.height)).c_str());
    std::printf("Payload:     %zu bytes\n", pkm.levels[0].size());
}

void printKtx2Info(const etc::Ktx2File& texture)
{
    const etc::FormatInfo& info = etc::formatInfo(texture.format);
    const std::uint32_t vkFormat = etc::ktx2VkFormat(texture.format);
    std::printf("Container:   KTX2\n");
    std::printf("Format:      %s (%s)\n", info.glName, info.toolName);
    std::printf("vkFormat:    %u%s\n", unsigned(vkFormat), vkFormat == 0 ? " (undefined; ETC1 descriptor)" : "");
    std::printf("Size:        %s\n", sizeText(texture.width, texture.height).c_str());
    std::printf("Levels:      %zu\n", texture.levels.size());
    for (std::size_t level = 0; level < texture.levels.size(); ++level) {
        const int width = std::max(1, texture.width >> level);
        const int height = std::max(1, texture.height >> level);
        std::printf("Level %-5zu %s, %zu bytes\n", level, sizeText(width, height).c_str(),
                    texture.levels[level].size());
    }
}

int runInfo(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    CompressedTexture compressed;
    std::string error;
    if (!readCompressed(input, compressed, error))
        return reportError(error);
    std::printf("File:        %s\n", input == "-" ? "standard input" : input.c_str());
    if (compressed.isKtx2)
        printKtx2Info(compressed.texture);
    else
        printPkmInfo(compressed.texture);
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

int writePkmChain(const std::vector<etc::Image>& levels, const EncodeRequest& request, const std::string& input,
                  const std::string& pattern)
{
    std::string error;
    for (const std::string& file : texops::chainFileNames(pattern, levels.size()))
        if (!imageio::checkWritable(file, error))
            return reportError(error);
    std::vector<etc::PkmFile> files(levels.size());
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const std::string task = levelTask(levels, level, texops::levelFileName(pattern, int(level)));
        if (!withProgress(task, request, [&](const etc::EncodeOptions& options) {
                return texops::encodePkm(levels[level], request.format->format, options, files[level], error);
            }))
            return reportError("cannot encode '" + input + "': " + error);
    }
    if (!texops::savePkmChain(pattern, files, error))
        return reportError(error);
    return 0;
}

int runMipmap(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    const std::string& output = arguments.positional[1];
    EncodeRequest request;
    std::string error;
    if (!readEncodeOptions(arguments, request, error))
        return usageError(arguments, error);
    const bool ktx2 = arguments.has("--ktx2") || output == "-" || endsWith(output, ".ktx2");
    if (!ktx2 && !texops::isLevelPattern(output))
        return usageError(arguments, "the output pattern '" + output + "' must hold %d exactly once");
    const bool atlas = arguments.has("--atlas");
    if (atlas && request.format->isSrgb)
        return usageError(arguments, "--atlas needs a linear format: the GL would decode the alpha half as sRGB");
    if (atlas && ktx2)
        return usageError(arguments,
                          "--atlas needs PKM files (an OUTPUT pattern with %d): its levels one texel "
                          "high hold the colour alone, not the size a KTX2 chain gives them");
    etc::Image image;
    if (!imageio::readPng(input, image, error) || (ktx2 && !imageio::checkWritable(output, error)))
        return reportError(error);
    if (atlas && !texops::canBuildAtlasChain(image.width, image.height))
        return reportError("cannot stack '" + input + "' into an atlas chain: its height " +
                           std::to_string(image.height) + " is not a power of two");
    if (arguments.has("--bleed"))
        image = texops::bleedColourIntoTransparent(image);
    const std::vector<etc::Image> levels = chainLevels(image, *request.format, atlas);
    return ktx2 ? writeKtx2File(levels, request, input, output) : writePkmChain(levels, request, input, output);
}

} // namespace

void addCompressionCommands(std::vector<Command>& commands)
{
    commands.push_back({"encode",
                        "compress a PNG image into a PKM or KTX2 file",
                        encodeHelp,
                        {{"--format", true}, {"--effort", true}, {"--bleed", false}, {"--ktx2", false}, {"-j", true}},
                        2,
                        runEncode});
    commands.push_back({"decode", "decompress a PKM or KTX2 file into a PNG image", decodeHelp, {}, 2, runDecode});
    commands.push_back({"info", "print the header of a PKM or KTX2 file", infoHelp, {}, 1, runInfo});
    commands.push_back({"mipmap",
                        "write a mipmap chain: one KTX2 file, or PKM files one per level",
                        mipmapHelp,
                        {{"--format", true},
                         {"--effort", true},
                         {"--bleed", false},
                         {"--atlas", false},
                         {"--ktx2", false},
                         {"-j", true}},
                        2,
                        runMipmap});
}

} // namespace etctool
