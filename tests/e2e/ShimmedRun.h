#ifndef SHIMMED_RUN_H
#define SHIMMED_RUN_H

#include "FaultShim.h"
#include "ProgramPaths.h"
#include "TestProcess.h"
#include "X11Client.h"
#include "XvfbServer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A program of the build tree (path relative to it) started in its own folder, or in `folder`,
// on its own X server with the fault shim preloaded.
class ShimmedRun {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;
    explicit ShimmedRun(const std::string& program, const ShimSettings& settings = {}, const std::string& folder = "",
                        const Environment& environment = {});
    ~ShimmedRun();
    ShimmedRun(const ShimmedRun&) = delete;
    ShimmedRun& operator=(const ShimmedRun&) = delete;

    TestProcess& process() { return *child; }
    X11Client& client() { return x11; }
    bool serverStarted() const { return server.ok() && x11.ok(); }
    std::string displayName() const { return server.displayName(); }

    // Waits until the program has presented `count` frames, by its trace; false if it ended first
    // or the time ran out.
    bool waitForSwaps(int count, double timeoutSeconds = 30);
    // Waits until `done` holds; false if the program ended first or the time ran out.
    bool waitFor(const std::function<bool()>& done, double timeoutSeconds = 30);
    // A close request to the program's window, then its exit status (-1 if it did not end).
    int closeAndWait(double timeoutSeconds = 30);
    std::vector<std::string> trace() const { return readTrace(tracePath); }

private:
    XvfbServer server;
    X11Client x11{server.displayName()};
    std::string tracePath;
    std::unique_ptr<TestProcess> child;
};

// The EGL and window shut-down that follows every program's own tear-down, as traced.
extern const std::vector<std::string> shellShutDown;

// The lines one to a line, for a failure message.
std::string traceText(const std::vector<std::string>& lines);

// The exact stderr of an EGL failure report (two lines) and of a plain one, as regular expressions.
std::string eglFailureReport(int code, const std::string& message);
std::string plainFailureReport(const std::string& message);

#endif
