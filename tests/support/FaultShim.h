#ifndef TEST_FAULT_SHIM_H
#define TEST_FAULT_SHIM_H

#include "TestProcess.h"

#include <string>
#include <utility>
#include <vector>

// What the preloaded fault shim does to a program (tests/fault-shim/FaultShim.c explains the forms).
struct ShimSettings {
    ShimSettings(std::string faults = "", std::string configs = "", bool noCompressedFormats = false)
        : faults(std::move(faults)), configs(std::move(configs)), noCompressedFormats(noCompressedFormats)
    {
    }

    std::string faults;  // e.g. "eglInitialize", "glGetError@glDeleteTextures", "calloc@eglChooseConfig"
    std::string configs; // e.g. "reverse", "count=0", "0:3023=6"
    bool noCompressedFormats;
};

// Adds to `options` what preloads the shim with these settings, tracing into `tracePath`.
void preloadFaultShim(TestProcess::Options& options, const ShimSettings& settings, const std::string& tracePath);

// The trace's lines, in order.
std::vector<std::string> readTrace(const std::string& tracePath);

// The trace lines that start with `prefix`.
std::vector<std::string> linesStartingWith(const std::vector<std::string>& trace, const std::string& prefix);

// The lines after the last one that starts with `prefix` (all lines if none does).
std::vector<std::string> linesAfterLast(const std::vector<std::string>& trace, const std::string& prefix);

#endif
