// etc-bench: encodes PNG images in the ETC formats and prints, per image, format and effort,
// the quality of the decoded result and the encode speed on one thread and on several.

#include "BlockSample.h"
#include "EtcCodec.h"
#include "EtcFormat.h"
#include "ImageQuality.h"
#include "NumberArgument.h"
#include "PngIo.h"
#include "ToolVersion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace {

// clang-format off
const char* const usageText =
    "Usage: etc-bench [--effort NAME]... [--format NAME]... [--blocks all|k16] [-j N] [--repeat N]\n"
    "                 IMAGE.png...\n"
    "\n"
    "Encodes the images in each format at each effort (every one unless --format and --effort\n"
    "name some), decodes them again and prints a row per image, format and effort, and a \"set\"\n"
    "row for all the images (the mean of their PSNRs; their pixels over their time): the quality\n"
    "of the channels the format carries, and the encode speed in megapixels per second on one\n"
    "thread (CPU time) and on N threads (wall time), each the fastest of --repeat encodes so that\n"
    "other work on the machine distorts it less. The bytes must not depend on the thread count;\n"
    "a difference is an error.\n"
    "\n"
    "Quality: PSNR = 10 log10(255^2 / MSE) over 8-bit channels. ETC1 and the RGB formats: RGB.\n"
    "RGBA8: RGB and A separately. Punchthrough: RGB where the source alpha is 255, and the\n"
    "number of texels whose alpha lands on the other side of 128. R11: R. RG11: R and G. An\n"
    "11-bit EAC value v counts as round(v * 255 / 2047); the signed formats map the channels\n"
    "to [-1, 1] and are measured after mapping back. Beside it the EAC formats' 11-bit PSNR =\n"
    "10 log10(2047^2 / MSE) of the decoded 11-bit values against the source at full precision\n"
    "(c / 255 * 2047 or s / 65535 * 2047; signed (c / 255 * 2 - 1) * 1023).\n"
    "\n"
    "Options:\n"
    "  --effort NAME   only this effort (repeatable): fast, default, best, exhaustive\n"
    "  --format NAME   only this format (repeatable): etc1, r11, signed-r11, rg11,\n"
    "                  signed-rg11, rgb8, srgb8, rgba8, srgb8-alpha8, rgb8-a1, srgb8-a1\n"
    "  --blocks WHICH  all (default), or k16: only the blocks with (bx + 3 by) % 16 == 0\n"
    "  -j N            threads for the second speed figure (1 to 256, default: every core)\n"
    "  --repeat N      encodes per measurement, the fastest counts (1 to 1000, default: 3)\n"
    "  --help          print this text\n"
    "  --version       print the version\n";
// clang-format on

// More would run for days on any picture worth measuring.
constexpr int mostRepeats = 1000;
constexpr int mostThreads = 256;

struct Arguments {
    std::vector<etc::Effort> efforts;
    std::vector<etc::Format> formats;
    std::vector<std::string> images;
    bench::BlockChoice blocks = bench::BlockChoice::All;
    int threads = 1;
    int repeat = 3;
};

int everyCore() { return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, mostThreads); }

bool parseBlocks(const std::string& name, bench::BlockChoice& blocks)
{
    if (name == "all") {
        blocks = bench::BlockChoice::All;
    } else if (name == "k16") {
        blocks = bench::BlockChoice::EverySixteenth;
    } else {
        return false;
    }
    return true;
}

bool parseCount(const std::string& option, const std::string& value, int most, int& count)
{
    if (toolargs::parseNumber(value, 1, most, count)) {
        return true;
    }
    std::fprintf(stderr, "Error: %s; run 'etc-bench --help' for usage\n",
                 toolargs::rangeError(option, 1, most, value).c_str());
    return false;
}

// Every effort and format unless some were named.
void fillDefaults(Arguments& args)
{
    if (args.efforts.empty()) {
        for (const auto& effort : etc::allEfforts()) {
            args.efforts.push_back(effort.first);
        }
    }
    if (args.formats.empty()) {
        for (const etc::FormatInfo& info : etc::allFormats()) {
            args.formats.push_back(info.format);
        }
    }
}

// Returns 0 to go on, or the exit status to end with.
int parseArguments(int argc, char** argv, Arguments& args)
{
    args.threads = everyCore();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string value = hasValue ? argv[i + 1] : "";
        if (arg == "--help") {
            return std::fputs(usageText, stdout) == EOF ? 1 : -1;
        }
        if (arg == "--version") {
            return std::printf("%s\n", toolargs::versionLine("etc-bench").c_str()) < 0 ? 1 : -1;
        }
        if (arg == "--effort") {
            const etc::Effort* effort = etc::findEffortByName(value);
            if (effort == nullptr) {
                std::fprintf(stderr, "Error: --effort needs an effort name; run 'etc-bench --help' for usage\n");
                return 1;
            }
            args.efforts.push_back(*effort);
            ++i;
        } else if (arg == "--format") {
            const etc::FormatInfo* info = etc::findFormatByToolName(value);
            if (info == nullptr) {
                std::fprintf(stderr, "Error: --format needs a format name; run 'etc-bench --help' for usage\n");
                return 1;
            }
            args.formats.push_back(info->format);
            ++i;
        } else if (arg == "--blocks") {
            if (!parseBlocks(value, args.blocks)) {
                std::fprintf(stderr, "Error: --blocks needs all or k16; run 'etc-bench --help' for usage\n");
                return 1;
            }
            ++i;
        } else if (arg == "-j" || arg == "--repeat") {
            int& count = arg == "-j" ? args.threads : args.repeat;
            if (!parseCount(arg, value, arg == "-j" ? mostThreads : mostRepeats, count)) {
                return 1;
            }
            ++i;
        } else if (arg.rfind('-', 0) == 0) {
            std::fprintf(stderr, "Error: unknown option %s; run 'etc-bench --help' for usage\n", arg.c_str());
            return 1;
        } else {
            args.images.push_back(arg);
        }
    }
    if (args.images.empty()) {
        std::fprintf(stderr, "Error: no images given; run 'etc-bench --help' for usage\n");
        return 1;
    }
    fillDefaults(args);
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
    if (q.hasElevenBit) {
        text += ", 11-bit " + decibels(q.elevenBitPsnr);
    }
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

double wallSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

struct Timing {
    std::vector<std::uint8_t> payload;
    double seconds = 0;
};

// The fastest of `repeat` encodes, timed by `clock`.
Timing timeEncodes(const etc::Image& image, etc::Format format, const etc::EncodeOptions& options, int repeat,
                   double (*clock)())
{
    Timing timing;
    for (int run = 0; run < repeat; ++run) {
        const double start = clock();
        timing.payload = etc::encodeImage(image, format, options);
        const double spent = clock() - start;
        timing.seconds = run == 0 ? spent : std::min(timing.seconds, spent);
    }
    return timing;
}

struct Result {
    etc::FormatQuality quality;
    double pixels = 0;
    double secondsAlone = 0;
    double secondsShared = 0;
};

// Returns false when the bytes differ between one and N threads.
bool measure(const etc::Image& image, etc::Format format, etc::Effort effort, const Arguments& args, Result& result)
{
    etc::EncodeOptions options;
    options.effort = effort;
    const Timing alone = timeEncodes(image, format, options, args.repeat, cpuSeconds);
    options.threads = args.threads;
    const Timing shared = timeEncodes(image, format, options, args.repeat, wallSeconds);
    if (shared.payload != alone.payload) {
        return false;
    }
    const etc::DecodedImage decoded = etc::decodeImage(alone.payload.data(), format, image.width, image.height);
    result = {etc::measureQuality(image, decoded, format), static_cast<double>(image.width) * image.height,
              alone.seconds, shared.seconds};
    return true;
}

// The set's row: each figure's mean over the images, the speed of all their pixels.
Result combine(const std::vector<Result>& results)
{
    Result set = results.front();
    // Over the images where the figure exists: punchthrough's RGB counts opaque texels only,
    // and a picture may have none.
    const auto mean = [&](double etc::FormatQuality::*figure) {
        double sum = 0;
        int count = 0;
        for (const Result& r : results) {
            if (!std::isnan(r.quality.*figure)) {
                sum += r.quality.*figure;
                ++count;
            }
        }
        return count > 0 ? sum / count : std::nan("");
    };
    set.quality.channelsPsnr = mean(&etc::FormatQuality::channelsPsnr);
    set.quality.alphaPsnr = mean(&etc::FormatQuality::alphaPsnr);
    set.quality.elevenBitPsnr = mean(&etc::FormatQuality::elevenBitPsnr);
    set.quality.alphaMismatches = 0;
    set.pixels = set.secondsAlone = set.secondsShared = 0;
    for (const Result& r : results) {
        set.quality.alphaMismatches += r.quality.alphaMismatches;
        set.pixels += r.pixels;
        set.secondsAlone += r.secondsAlone;
        set.secondsShared += r.secondsShared;
    }
    return set;
}

double megapixelsPerSecond(double pixels, double seconds) { return seconds > 0 ? pixels / 1e6 / seconds : 0.0; }

void printRow(const std::string& image, etc::Format format, etc::Effort effort, const Result& result)
{
    const double alone = megapixelsPerSecond(result.pixels, result.secondsAlone);
    const double shared = megapixelsPerSecond(result.pixels, result.secondsShared);
    std::printf("%-16s %-13s %-10s %-52s %9.3f %9.3f (x%.2f)\n", image.c_str(), etc::formatInfo(format).toolName,
                etc::effortName(effort), describe(result.quality).c_str(), alone, shared,
                alone > 0 ? shared / alone : 0.0);
    // Each row as soon as it is measured; a row that cannot be written is lost to the reader only.
    (void)std::fflush(stdout);
}

// Rows for every image and the set; false when the thread count changed the bytes.
bool measureAll(const Arguments& args, const std::vector<etc::Image>& blocks, etc::Format format, etc::Effort effort)
{
    std::vector<Result> results(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (!measure(blocks[i], format, effort, args, results[i])) {
            std::fprintf(stderr, "Error: %s in %s at %s: %d threads gave other bytes than one\n",
                         args.images[i].c_str(), etc::formatInfo(format).toolName, etc::effortName(effort),
                         args.threads);
            return false;
        }
        printRow(baseName(args.images[i]), format, effort, results[i]);
    }
    if (results.size() > 1) {
        printRow("set", format, effort, combine(results));
    }
    return true;
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
    std::vector<etc::Image> blocks;
    blocks.reserve(images.size());
    for (const etc::Image& image : images) {
        blocks.push_back(bench::gatherBlocks(image, args.blocks));
    }
    std::printf("%-16s %-13s %-10s %-52s %9s %9s\n", "image", "format", "effort", "quality", "Mpx/s x1",
                ("Mpx/s x" + std::to_string(args.threads)).c_str());
    for (etc::Format format : args.formats) {
        for (etc::Effort effort : args.efforts) {
            if (!measureAll(args, blocks, format, effort)) {
                return 1;
            }
        }
    }
    return 0;
}
