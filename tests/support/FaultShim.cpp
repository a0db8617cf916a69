#include "FaultShim.h"

#include <cstdlib>
#include <fstream>

void preloadFaultShim(TestProcess::Options& options, const ShimSettings& settings, const std::string& tracePath)
{
    options.environment.emplace_back("LD_PRELOAD", KORVO_FAULT_SHIM);
    options.environment.emplace_back("KORVO_SHIM_TRACE", tracePath);
    if (!settings.faults.empty())
        options.environment.emplace_back("KORVO_SHIM_FAIL", settings.faults);
    if (!settings.configs.empty())
        options.environment.emplace_back("KORVO_SHIM_CONFIGS", settings.configs);
    if (settings.noCompressedFormats)
        options.environment.emplace_back("KORVO_SHIM_NO_COMPRESSED_FORMATS", "1");
    // In a sanitizer build the shim comes ahead of the sanitizer's runtime, which would refuse to start.
    const char* sanitizerOptions = getenv("ASAN_OPTIONS");
    options.environment.emplace_back(
        "ASAN_OPTIONS", std::string(sanitizerOptions != nullptr ? sanitizerOptions : "") + ":verify_asan_link_order=0");
}

std::vector<std::string> readTrace(const std::string& tracePath)
{
    std::vector<std::string> lines;
    std::ifstream in(tracePath);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> linesStartingWith(const std::vector<std::string>& trace, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : trace)
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

std::vector<std::string> linesAfterLast(const std::vector<std::string>& trace, const std::string& prefix)
{
    size_t start = 0;
    for (size_t i = 0; i < trace.size(); ++i)
        if (trace[i].rfind(prefix, 0) == 0)
            start = i + 1;
    return std::vector<std::string>(trace.begin() + static_cast<std::ptrdiff_t>(start), trace.end());
}
