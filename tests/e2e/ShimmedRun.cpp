#include "ShimmedRun.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

ShimmedRun::ShimmedRun(const std::string& program, const ShimSettings& settings, const std::string& folder,
                       const Environment& environment)
{
    char name[] = "/tmp/korvo-trace-XXXXXX";
    const int file = mkstemp(name);
    if (file >= 0)
        close(file);
    tracePath = name;
    const std::string executable = buildPath(program);
    TestProcess::Options options{folder.empty() ? executable
                                                : folder + "/" + std::filesystem::path(program).filename().string(),
                                 {},
                                 folder.empty() ? std::filesystem::path(executable).parent_path().string() : folder,
                                 {{"DISPLAY", server.displayName()}},
                                 {}};
    options.environment.insert(options.environment.end(), environment.begin(), environment.end());
    preloadFaultShim(options, settings, tracePath);
    child = std::make_unique<TestProcess>(options);
}

ShimmedRun::~ShimmedRun()
{
    child.reset();
    std::remove(tracePath.c_str());
}

bool ShimmedRun::waitForSwaps(int count, double timeoutSeconds)
{
    return waitFor([&] { return static_cast<int>(linesStartingWith(trace(), "eglSwapBuffers").size()) >= count; },
                   timeoutSeconds);
}

bool ShimmedRun::waitFor(const std::function<bool()>& done, double timeoutSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        if (!child->running())
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int ShimmedRun::closeAndWait(double timeoutSeconds)
{
    const Window window = x11.waitForWindow("main", timeoutSeconds);
    if (window != 0)
        x11.requestClose(window);
    return child->waitForExit(timeoutSeconds);
}

std::string eglFailureReport(int code, const std::string& message)
{
    char codeText[64];
    snprintf(codeText, sizeof codeText, "%d \\(0x%.4x\\)", code, code);
    return "Error: eglGetError\\(\\): " + std::string(codeText) + "\n\n" + plainFailureReport(message);
}

std::string plainFailureReport(const std::string& message)
{
    return "Error: " + message + " at [^\n]*EGLRuntime\\.cpp:[0-9]+\n\n";
}

std::string traceText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

const std::vector<std::string> shellShutDown = {"eglBindAPI(0x30a0)",
                                                "eglMakeCurrent(no surface, context)",
                                                "eglMakeCurrent(no surface, no context)",
                                                "eglDestroyContext",
                                                "eglDestroySurface",
                                                "eglTerminate",
                                                "XDestroyWindow",
                                                "XCloseDisplay"};
