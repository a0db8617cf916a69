// window-shot: saves screenshots of a program's window on an X display.
//
//   window-shot --output FILE.png [--title main] [--delay S] [--count N --every S] [--close]
//
// Waits for the window, then saves --count shots, the first --delay seconds after the window
// appeared (so the program has drawn) and the others --every seconds apart (FILE-1.png, FILE-2.png, ... when more than one) and,
// with --close, asks the window to close as a window manager would.

#include "NumberArgument.h"
#include "PngIo.h"
#include "WindowCapture.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

// Ranges of the numeric options: an hour between shots, a day's worth of shots a second.
constexpr double mostSeconds = 3600;
constexpr int mostShots = 86400;

struct Options {
    std::string output;
    std::string title = "main";
    double delay = 2.0;
    int count = 1;
    double every = 1.0;
    bool close = false;
};

void printUsage()
{
    fprintf(stderr,
            "Usage: window-shot --output FILE.png [--title TITLE] [--delay SECONDS]\n"
            "                   [--count N --every SECONDS] [--close]\n"
            "Saves screenshots of the window titled TITLE (default \"main\") on $DISPLAY.\n"
            "  --delay   seconds to wait after the window appears (default 2)\n"
            "  --count   number of shots (default 1); more than one are numbered FILE-1.png, ...\n"
            "  --every   seconds between shots (default 1)\n"
            "  --close   send the window a close request afterwards\n");
}

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--help") {
            printUsage();
            exit(0);
        } else if (argument == "--close") {
            options.close = true;
        } else if (hasValue && argument == "--output") {
            options.output = argv[++i];
        } else if (hasValue && argument == "--title") {
            options.title = argv[++i];
        } else if (hasValue && (argument == "--delay" || argument == "--every")) {
            const std::string value = argv[++i];
            double& seconds = argument == "--delay" ? options.delay : options.every;
            if (!toolargs::parseNumber(value, 0.0, mostSeconds, seconds)) {
                fprintf(stderr, "Error: %s\n", toolargs::rangeError(argument, 0.0, mostSeconds, value).c_str());
                return false;
            }
        } else if (hasValue && argument == "--count") {
            const std::string value = argv[++i];
            if (!toolargs::parseNumber(value, 1, mostShots, options.count)) {
                fprintf(stderr, "Error: %s\n", toolargs::rangeError(argument, 1, mostShots, value).c_str());
                return false;
            }
        } else {
            fprintf(stderr, "Error: unknown or incomplete option '%s'\n", argument.c_str());
            return false;
        }
    }
    if (options.output.empty()) {
        fprintf(stderr, "Error: --output is required\n");
        return false;
    }
    return true;
}

std::string shotPath(const Options& options, int shot)
{
    if (options.count == 1)
        return options.output;
    std::string base = options.output;
    const size_t dot = base.rfind(".png");
    if (dot != std::string::npos)
        base.erase(dot);
    return base + "-" + std::to_string(shot) + ".png";
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        printUsage();
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        fprintf(stderr, "Error: cannot open X display \"%s\"\n", XDisplayName(nullptr));
        return 1;
    }
    const capture::WindowId window = capture::waitForWindow(display, options.title, 30);
    if (window == 0) {
        fprintf(stderr, "Error: no window titled \"%s\" appeared\n", options.title.c_str());
        return 1;
    }
    // Shots are timed from the window's appearance, not from the previous shot, so that the
    // time spent saving does not add up over a long series.
    const auto appeared = std::chrono::steady_clock::now();
    for (int shot = 1; shot <= options.count; ++shot) {
        std::this_thread::sleep_until(appeared +
                                      std::chrono::duration<double>(options.delay + options.every * (shot - 1)));
        etc::Image image;
        image.rgba = capture::readPixels(display, window, image.width, image.height);
        std::string error;
        if (image.rgba.empty() || !imageio::writePng(shotPath(options, shot), image, error)) {
            fprintf(stderr, "Error: cannot save %s: %s\n", shotPath(options, shot).c_str(),
                    error.empty() ? "the window could not be read" : error.c_str());
            return 1;
        }
        fprintf(stderr, "Saved %s\n", shotPath(options, shot).c_str());
    }
    if (options.close)
        capture::requestClose(display, window);
    XCloseDisplay(display);
    return 0;
}
