// etc-bench: encodes PNG images in the ETC formats and prints, per image and format, the
// quality of the decoded result and the single-threaded encode speed.

#include "EtcCodec.h"
#include "EtcFormat.h"
#include "ImageQuality.h"
#include "NumberArgument.h"
#include "PngIo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "Usage: etc-bench [--effort fast|default|best] [--format NAME]... [--repeat N] IMAGE.png...\n"
    "\n"
    "Encodes each PNG image in each format (all eleven unless --format names some), decodes\n"
    "it again and prints one row per image and format: the PSNR of the channels the format\n"
    "carries and the encode speed in megapixels per second of CPU time (one thread; the\n"
    "fastest of --repeat encodes, so that other work on the machine distorts it less).\n"
    "\n"
    "Quality: PSNR = 10 log10(255^2 / MSE) over 8-bit channels. ETC1 and the RGB formats: RGB.\n"
    "RGBA8: RGB and A separately. Punchthrough: RGB where the source alpha is 255, and the\n"
    "number of texels whose alpha lands on the other side of 128. R11: R. RG11: R and G. An\n"
    "11-bit EAC value v counts as round(v * 255 / 2047); the signed formats map the channels\n"
    "to [-1, 1] and are measured after mapping back.\n"
    "\n"
    "Options:\n"
    "  --effort LEVEL  search effort (default: default):\n"
    "                    fast     mean colours with every modifier table and T/H distance\n"
    "                             scored at once, the plane first for ETC2, a narrower EAC\n"
    "                             multiplier search: about ten times as fast for ETC1 and\n"
    "                             RGB8, about 0.2 dB (ETC1) and 0.8 dB (RGB8) lower\n"
    "                    default  the balance between the two\n"
    "                    best     every modifier table, both flips and individual mode always,\n"
    "                             more T/H splits and refits, every EAC multiplier: five to ten\n"
    "                             times slower for 0.1 to 0.2 dB more\n"
    "  --format NAME   only this format (repeatable): etc1, r11, signed-r11, rg11,\n"
    "                  signed-rg11, rgb8, srgb8, rgba8, srgb8-alpha8, rgb8-a1, srgb8-a1\n"
    "  --repeat N      encodes per image and format, the fastest counts (1 to 1000, default: 3)\n"
    "  --help          print this text\n";

// More would run for days on any picture worth measuring.
constexpr int kMostRepeats = 1000;

struct Arguments {
    etc::Effort effort = etc::Effort::Default;
    std::vector<etc::Format> formats;
    std::vector<std::string> images;
    int repeat = 3;
};

// Returns 0 to go on, or the exit status to end with.
int parseArguments(int argc, char** argv, Arguments& args)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help") {
            return std::fputs(kUsage, stdout) == EOF ? 1 : -1;
        }
        if (arg == "--effort") {
            const etc::Effort* effort = hasValue ? etc::findEffortByName(argv[++i]) : nullptr;
            if (effort == nullptr) {
                std::fprintf(stderr, "Error: --effort needs an effort name (see --help)\n");
                return 1;
            }
            args.effort = *effort;
        } else if (arg == "--format") {
            const etc::FormatInfo* info = hasValue ? etc::findFormatByToolName(argv[++i]) : nullptr;
            if (info == nullptr) {
                std::fprintf(stderr, "Error: --format needs a format name (see --help)\n");
                return 1;
            }
            args.formats.push_back(info->format);
        } else if (arg == "--repeat") {
            const std::string value = hasValue ? argv[++i] : "";
            if (!toolargs::parseNumber(value, 1, kMostRepeats, args.repeat)) {
                std::fprintf(stderr, "Error: %s\n", toolargs::rangeError("--repeat", 1, kMostRepeats, value).c_str());
                return 1;
            }
        } else if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "Error: unknown option %s (see --help)\n", arg.c_str());
            return 1;
        } else {
            args.images.push_back(arg);
        }
    }
    if (args.images.empty()) {
        std::fprintf(stderr, "Error: no images given (see --help)\n");
        return 1;
    }
    if (args.formats.empty()) {
        for (const etc::FormatInfo& info : etc::allFormats()) {
            args.formats.push_back(info.format);
        }
    }
    return 0;
}

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

std::string decibels(double value)
{
    if (std::isinf(value)) {
        return "inf";
    }
    if (std::isnan(value)) {
        return "n/a";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f dB", value);
    return text;
}

std::string describe(const etc::FormatQuality& q)
{
    std::string text = std::string(q.channelsName) + " " + decibels(q.channelsPsnr);
    if (q.hasAlpha) {
        text += ", A " + decibels(q.alphaPsnr);
    }
    if (q.hasAlphaClasses) {
        text += " (alpha 255), " + std::to_string(q.alphaMismatches) + " alpha class errors";
    }
    return text;
}

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void benchmark(const std::string& name, const etc::Image& image, etc::Format format, const Arguments& args)
{
    etc::EncodeOptions options;
    options.effort = args.effort;
    std::vector<std::uint8_t> payload;
    double seconds = 0;
    for (int run = 0; run < args.repeat; ++run) {
        const double start = cpuSeconds();
        payload = etc::encodeImage(image, format, options);
        const double spent = cpuSeconds() - start;
        seconds = run == 0 ? spent : std::min(seconds, spent);
    }
    const etc::DecodedImage decoded = etc::decodeImage(payload.data(), format, image.width, image.height);
    const double megapixels = static_cast<double>(image.width) * image.height / 1e6;
    std::printf("%-18s %-13s %-52s %8.2f\n", name.c_str(), etc::formatInfo(format).toolName,
                describe(etc::measureQuality(image, decoded, format)).c_str(),
                seconds > 0 ? megapixels / seconds : 0.0);
    // Each row as soon as it is measured; a row that cannot be written is lost to the reader only.
    (void)std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    Arguments args;
    if (const int status = parseArguments(argc, argv, args); status != 0) {
        return status < 0 ? 0 : status;
    }
    // Every image is read before the first row, so that a bad path fails at once.
    std::vector<etc::Image> images(args.images.size());
    for (std::size_t i = 0; i < args.images.size(); ++i) {
        std::string error;
        if (!imageio::readPng(args.images[i], images[i], error)) {
            std::fprintf(stderr, "Error: %s\n", error.c_str());
            return 1;
        }
    }
    std::printf("%-18s %-13s %-52s %8s\n", "image", "format", "quality", "Mpx/s");
    for (std::size_t i = 0; i < images.size(); ++i) {
        for (etc::Format format : args.formats) {
            benchmark(baseName(args.images[i]), images[i], format, args);
        }
    }
    return 0;
}
