// ConfigLister against the display it lists, compared with Mesa's own eglinfo.

#include "ShimmedRun.h"
#include "TestProcess.h"
#include "TextCount.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>

namespace {

const std::string lister = buildPath(programs::configLister);

struct ListedConfig {
    int id, bufferSize, red, green, blue, alpha, depth, samples;
    std::string surfaces;
};

// The configuration blocks of the listing, in their order.
std::vector<ListedConfig> parseListing(const std::string& text)
{
    static const std::regex block(
        "Config number ([0-9]+) in returned configs\n\n"
        " EGL_CONFIG_ID ([0-9]+)\n\n"
        " Config caveat: (Normal|Slow|Non-conformant|Unknown EGL_CONFIG_CAVEAT) \n"
        " Colour buffer type: (RGB colour buffer|Luminance buffer|Unknown EGL_COLOR_BUFFER_TYPE)\n\n"
        " Colour depth: ([0-9]+)\n"
        "     Red   ([0-9]+) \n"
        "     Green ([0-9]+) \n"
        "     Blue  ([0-9]+) \n"
        "     Alpha ([0-9]+)\n\n"
        " Z-buffer bits: ([0-9]+)\n\n"
        " ([0-9]+)x anti-aliasing\n\n"
        " Surfaces: ([A-Za-z+!]+)\n \n"
        " API support: ([A-Za-z0-9 .,()?]+)\n\n"
        "\n\n");
    std::vector<ListedConfig> configs;
    int expectedIndex = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), block); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        EXPECT_EQ(std::stoi(m[1]), expectedIndex++);
        configs.push_back({std::stoi(m[2]), std::stoi(m[5]), std::stoi(m[6]), std::stoi(m[7]), std::stoi(m[8]),
                           std::stoi(m[9]), std::stoi(m[10]), std::stoi(m[11]), m[12]});
    }
    return configs;
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, count);
    pclose(pipe);
    return output;
}

// eglinfo's table for the X11 platform: id, buffer size, level, r, g, b, a, depth, stencil,
// samples, sample buffers, ..., surfaces.
std::vector<ListedConfig> eglinfoConfigs(const std::string& display)
{
    const std::string text = commandOutput("DISPLAY=" + display + " eglinfo 2>/dev/null");
    std::vector<ListedConfig> configs;
    const size_t section = text.find("X11 platform:");
    if (section == std::string::npos)
        return configs;
    std::istringstream lines(text.substr(section));
    std::string line;
    static const std::regex row("^0x([0-9a-f]+) +([0-9]+) +([0-9]+) +([0-9]+) +([0-9]+) +([0-9]+) +([0-9]+) +([0-9]+) "
                                "+([0-9]+) +([0-9]+) +([0-9]+) .* ([a-z,]+)$");
    while (std::getline(lines, line)) {
        if (line.find(" platform:") != std::string::npos && line.find("X11") == std::string::npos)
            break;
        std::smatch m;
        if (std::regex_match(line, m, row)) {
            std::string surfaces = m[12];
            configs.push_back({std::stoi(m[1], nullptr, 16), std::stoi(m[2]), std::stoi(m[4]), std::stoi(m[5]),
                               std::stoi(m[6]), std::stoi(m[7]), std::stoi(m[8]), std::stoi(m[10]), surfaces});
        }
    }
    return configs;
}

std::string surfaceNameFromEglinfo(const std::string& surfaces)
{
    const bool window = surfaces.find("win") != std::string::npos;
    const bool pbuffer = surfaces.find("pb") != std::string::npos;
    const bool pixmap = surfaces.find("pix") != std::string::npos;
    static const char* names[8] = {"None!",  "PBuffer",        "Pixmap",        "PBuffer+Pixmap",
                                   "Window", "Window+PBuffer", "Window+Pixmap", "Window+Pixmap+PBuffer"};
    return names[(window ? 4 : 0) | (pixmap ? 2 : 0) | (pbuffer ? 1 : 0)];
}

} // namespace

TEST(ConfigLister, ListsExactlyTheConfigurationsEglinfoReportsInTheSameOrder)
{
    XvfbServer server;
    ASSERT_TRUE(server.ok());
    std::string output;
    ASSERT_EQ(runToCompletion({lister, {}, "", {{"DISPLAY", server.displayName()}}, {}}, output), 0);

    ASSERT_TRUE(std::regex_search(output, std::regex("^EGL_VENDOR = Mesa Project, version 1\\.[0-9]+\n\n")));
    const std::vector<ListedConfig> listed = parseListing(output);
    const std::vector<ListedConfig> reference = eglinfoConfigs(server.displayName());
    ASSERT_FALSE(reference.empty()) << "eglinfo (Debian package mesa-utils) listed nothing";
    ASSERT_EQ(listed.size(), reference.size());
    for (size_t i = 0; i < listed.size(); ++i) {
        SCOPED_TRACE("config number " + std::to_string(i));
        EXPECT_EQ(listed[i].id, reference[i].id);
        EXPECT_EQ(listed[i].bufferSize, reference[i].bufferSize);
        EXPECT_EQ(listed[i].red, reference[i].red);
        EXPECT_EQ(listed[i].green, reference[i].green);
        EXPECT_EQ(listed[i].blue, reference[i].blue);
        EXPECT_EQ(listed[i].alpha, reference[i].alpha);
        EXPECT_EQ(listed[i].depth, reference[i].depth);
        EXPECT_EQ(listed[i].samples, reference[i].samples);
        EXPECT_EQ(listed[i].surfaces, surfaceNameFromEglinfo(reference[i].surfaces));
    }
}

TEST(ConfigLister, ListingIsNothingButTheVendorLineAndTheBlocks)
{
    XvfbServer server;
    ASSERT_TRUE(server.ok());
    std::string output;
    ASSERT_EQ(runToCompletion({lister, {}, "", {{"DISPLAY", server.displayName()}}, {}}, output), 0);
    std::smatch vendor;
    ASSERT_TRUE(std::regex_search(output, vendor, std::regex("^EGL_VENDOR = [^\n]*\n\n")));
    // Every byte after the vendor line belongs to a block of the exact row formats.
    std::string rest = vendor.suffix();
    const std::regex oneBlock(
        "^Config number [0-9]+ in returned configs\n\n EGL_CONFIG_ID [0-9]+\n\n Config caveat: [^\n]* \n"
        " Colour buffer type: [^\n]*\n\n Colour depth: [0-9]+\n     Red   [0-9]+ \n     Green [0-9]+ \n"
        "     Blue  [0-9]+ \n     Alpha [0-9]+\n\n Z-buffer bits: [0-9]+\n\n [0-9]+x anti-aliasing\n\n"
        " Surfaces: [^\n]*\n \n API support: [^\n]*\n\n\n\n");
    size_t matched = 0;
    std::smatch m;
    while (std::regex_search(rest, m, oneBlock)) {
        ++matched;
        rest = m.suffix();
    }
    EXPECT_EQ(rest, "");
    EXPECT_GT(matched, 0u);
    EXPECT_EQ(matched, parseListing(output).size());
}

TEST(ConfigLister, WithoutAUsableDisplayReportsFailureAndExitsWithOne)
{
    std::string output;
    EXPECT_EQ(runToCompletion({lister, {}, "", {{"DISPLAY", ":97531"}}, {}}, output), 1);
    EXPECT_EQ(output, "Error: Listing EGL configs failed\n");
}

namespace {

struct ListerRun {
    int status;
    std::string output;
    std::vector<std::string> trace;
};

ListerRun runLister(const ShimSettings& settings)
{
    ShimmedRun run(programs::configLister, settings);
    EXPECT_TRUE(run.serverStarted());
    const int status = run.process().waitForExit(30);
    return {status, run.process().standardError(), run.trace()};
}

const char* const vendorLine = "^EGL_VENDOR = Mesa Project, version 1\\.[0-9]+\n\n";

} // namespace

TEST(ConfigListerFailures, EachFailureBeforeTheListingEndsWithTheOneMessageAndStatusOne)
{
    for (const char* fault : {"eglGetDisplay", "eglInitialize", "eglQueryString"}) {
        SCOPED_TRACE(fault);
        const ListerRun run = runLister({fault});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.output, "Error: Listing EGL configs failed\n");
    }
}

TEST(ConfigListerFailures, AFailedEnumerationOrAllocationComesAfterTheVendorLine)
{
    for (const char* fault : {"eglGetConfigs:1", "eglGetConfigs:2", "malloc@eglGetConfigs"}) {
        SCOPED_TRACE(fault);
        const ListerRun run = runLister({fault});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(
            std::regex_match(run.output, std::regex(std::string(vendorLine) + "Error: Listing EGL configs failed\n")))
            << run.output;
    }
}

TEST(ConfigListerFailures, ZeroConfigurationsPrintTheVendorLineAloneAndSucceed)
{
    const ListerRun run = runLister({"", "count=0"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(std::regex_match(run.output, std::regex(std::string(vendorLine)))) << run.output;
    EXPECT_EQ(linesStartingWith(run.trace, "eglTerminate").size(), 1u);
}

TEST(ConfigListerFailures, AFailedAttributeReadNamesConfigurationAndRowAndTheListingGoesOn)
{
    const ListerRun whole = runLister({});
    ASSERT_EQ(whole.status, 0);
    const int configurations = countOf(whole.output, "Config number ");
    ASSERT_GT(configurations, 2);

    // Twelve rows a configuration: the 3rd read is row 2 of configuration 0, the 25th row 0 of configuration 2.
    const ListerRun run = runLister({"eglGetConfigAttrib:3,eglGetConfigAttrib:25"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find(" Config caveat: Normal \nError: eglGetConfigAttrib failed (0, 2)\n\n Colour depth: "),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("Config number 2 in returned configs\n\nError: eglGetConfigAttrib failed (2, 0)\n\n"
                              " Config caveat: "),
              std::string::npos)
        << run.output;
    EXPECT_EQ(countOf(run.output, "Error: "), 2) << run.output;
    EXPECT_EQ(countOf(run.output, "Config number "), configurations);
    EXPECT_EQ(countOf(run.output, " Colour buffer type: "), configurations - 1);
    EXPECT_EQ(countOf(run.output, " EGL_CONFIG_ID "), configurations - 1);
}

TEST(ConfigListerNames, MasksAreNamedByTheirLowThreeBitsAndTheCaveatNoneIsNormal)
{
    // 0x405: window and pbuffer with the swap-preserved bit; 0x40: ES 3 only; 0x44: ES 3 and ES 2.
    const ListerRun run = runLister({"", "0:3033=1029,0:3040=64,0:3027=12344,1:3040=68,1:3027=12368,1:303f=12431"});
    EXPECT_EQ(run.status, 0);
    const std::string first = run.output.substr(0, run.output.find("Config number 1 "));
    const std::string second = run.output.substr(run.output.find("Config number 1 "));
    EXPECT_NE(first.find(" Surfaces: Window+PBuffer\n \n API support: No API support(?)\n"), std::string::npos)
        << first;
    EXPECT_NE(first.find(" Config caveat: Normal \n"), std::string::npos) << first;
    EXPECT_NE(second.find(" API support: OpenGL ES 2.0\n\n"), std::string::npos) << second;
    EXPECT_NE(second.find(" Config caveat: Slow \n Colour buffer type: Luminance buffer\n"), std::string::npos)
        << second;
}
