#include "PlaneCommands.h"

#include "AlphaPlane.h"
#include "Atlas.h"
#include "ImageCompare.h"
#include "ImageQuality.h"
#include "PgmIo.h"
#include "PngIo.h"
#include "ToolFiles.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace etctool {

namespace {

const char* const compareHelp = R"(Usage: etctool compare REFERENCE CANDIDATE

Prints the peak signal-to-noise ratio (dB, peak 255) of each channel and of R, G
and B together; "inf" where the channel is identical. Each file is a PNG image or
a PKM or KTX2 file (its base level decoded first), and both must have the same
size. One of them may be -: standard input.

When one file is an r11 or rg11 texture (signed or not) and the other a PNG, it
also prints the 11-bit PSNR (peak 2047) of R (and G and both together): the
decoded 11-bit values against the PNG at its full precision (8 or 16 bits), which
stands for c / 255 * 2047, or (c / 255 * 2 - 1) * 1023 for the signed formats.
)";

const char* const splitAlphaHelp = R"(Usage: etctool split-alpha INPUT.png ALPHA.png [--colour COLOUR.png]

Writes the alpha plane of an RGBA image as an opaque image whose red, green and
blue channels all hold the alpha, ready for a colour-only format such as etc1.

Options:
  --colour COLOUR.png   also write the colour with alpha set to opaque
)";

const char* const atlasHelp = R"(Usage: etctool atlas INPUT.png OUTPUT.png

Stacks the colour of an RGBA image (top half) and its alpha plane (bottom half,
alpha in the colour channels) into one opaque image of twice the height. A shader
reads colour at (s, t / 2) and alpha at (s, t / 2 + 0.5). For a mipmap chain of
atlases use "etctool mipmap --atlas".
)";

const char* const pgmHelp = R"(Usage: etctool pgm INPUT OUTPUT.pgm [--channel r|g|b|a]

Writes one channel of an image (PNG, or PKM or KTX2 decoded first) as a binary
PGM greymap: "P5", width, height, 255, one newline, then the raster from the top
row.

Options:
  --channel CHANNEL   r, g, b or a (the default: a, the alpha plane)
)";

bool sameSize(const etc::Image& a, const etc::Image& b) { return a.width == b.width && a.height == b.height; }

std::string sizeText(const etc::Image& image)
{
    return std::to_string(image.width) + " x " + std::to_string(image.height);
}

void printPsnr(const char* label, double psnr)
{
    if (std::isinf(psnr))
        std::printf("PSNR %-3s inf\n", label);
    else
        std::printf("PSNR %-3s %.2f dB\n", label, psnr);
}

bool isElevenBit(const CompressedSource& source) { return source.present && source.decoded.channels > 0; }

// The EAC side's 11-bit values against the PNG side at full precision.
void printElevenBitPsnr(const etc::Image& png, const CompressedSource& eac)
{
    const bool isSigned = etc::formatInfo(eac.format).isSigned;
    const char* labels[2] = {"R", "G"};
    for (int c = 0; c < eac.decoded.channels; ++c)
        printPsnr((std::string("11-bit ") + labels[c]).c_str(), etc::elevenBitPsnr(png, eac.decoded, isSigned, c));
    if (eac.decoded.channels == 2)
        printPsnr("11-bit RG", etc::elevenBitPsnr(png, eac.decoded, isSigned));
}

int runCompare(const Arguments& arguments)
{
    const std::string& first = arguments.positional[0];
    const std::string& second = arguments.positional[1];
    etc::Image a, b;
    CompressedSource aSource, bSource;
    std::string error;
    if (!loadImage(first, a, error, &aSource) || !loadImage(second, b, error, &bSource))
        return reportError(error);
    if (!sameSize(a, b))
        return reportError("'" + first + "' is " + sizeText(a) + " but '" + second + "' is " + sizeText(b));
    texops::PsnrReport report = texops::comparePsnr(a, b);
    const char* labels[4] = {"R", "G", "B", "A"};
    for (int c = 0; c < 4; ++c)
        printPsnr(labels[c], report.channel[c]);
    printPsnr("RGB", report.rgb);
    if (isElevenBit(bSource) && !aSource.present)
        printElevenBitPsnr(a, bSource);
    else if (isElevenBit(aSource) && !bSource.present)
        printElevenBitPsnr(b, aSource);
    return 0;
}

int runSplitAlpha(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    const std::string& alphaOutput = arguments.positional[1];
    etc::Image image;
    std::string error;
    if (!imageio::readPng(input, image, error))
        return reportError(error);
    if (!imageio::writePng(alphaOutput, texops::alphaPlaneImage(image), error))
        return reportError(error);
    if (arguments.has("--colour") &&
        !imageio::writePng(arguments.value("--colour", ""), texops::opaqueColourImage(image), error))
        return reportError(error);
    return 0;
}

int runAtlas(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    const std::string& output = arguments.positional[1];
    etc::Image image;
    std::string error;
    if (!imageio::readPng(input, image, error))
        return reportError(error);
    etc::Image atlas = texops::stackAtlas(texops::opaqueColourImage(image), texops::alphaPlaneImage(image));
    if (!imageio::writePng(output, atlas, error))
        return reportError(error);
    return 0;
}

bool parseChannel(const std::string& name, int& channel)
{
    const std::string names = "rgba";
    channel = int(names.find(name));
    return name.size() == 1 && channel >= 0;
}

int runPgm(const Arguments& arguments)
{
    const std::string& input = arguments.positional[0];
    const std::string& output = arguments.positional[1];
    const std::string channelName = arguments.value("--channel", "a");
    int channel = 0;
    if (!parseChannel(channelName, channel))
        return usageError(arguments, "unknown channel '" + channelName + "'; the channels are r, g, b, a");
    etc::Image image;
    std::string error;
    if (!loadImage(input, image, error))
        return reportError(error);
    if (!imageio::writePgm(output, image.width, image.height, texops::channelPlane(image, channel), error))
        return reportError(error);
    return 0;
}

} // namespace

void addPlaneCommands(std::vector<Command>& commands)
{
    commands.push_back(
        {"compare", "print the PSNR of each channel between two images", compareHelp, {}, 2, runCompare});
    commands.push_back({"split-alpha",
                        "write the alpha plane of an RGBA image as an image",
                        splitAlphaHelp,
                        {{"--colour", true}},
                        2,
                        runSplitAlpha});
    commands.push_back({"atlas", "stack colour and alpha plane into one image", atlasHelp, {}, 2, runAtlas});
    commands.push_back(
        {"pgm", "write one channel of an image as a binary PGM", pgmHelp, {{"--channel", true}}, 2, runPgm});
}

} // namespace etctool
