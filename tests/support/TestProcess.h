#ifndef TEST_PROCESS_H
#define TEST_PROCESS_H

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// A program started as a user would start it: in a working folder, with its standard error
// captured, ended by itself or killed on destruction.
class TestProcess {
public:
    struct Options {
        std::string executable;
        std::vector<std::string> arguments;
        std::string workingDirectory;
        // Added to (or removed from) the child's environment.
        std::vector<std::pair<std::string, std::string>> environment;
        std::vector<std::string> unsetEnvironment;
    };

    explicit TestProcess(const Options& options);
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    pid_t pid() const { return child; }
    bool running();
    // The exit status, or -1 if it did not end within the time (it is then still running),
    // or 128 + signal if it was killed.
    int waitForExit(double timeoutSeconds);
    // Everything written to standard error so far.
    std::string standardError();

private:
    void readStandardError();

    pid_t child = -1;
    int errorFile = -1;
    int status = -1;
    bool ended = false;
    std::string errorText;
};

// Path of a built program under the build tree, e.g. "tools/ConfigLister/ConfigLister".
std::string buildPath(const std::string& relative);

// Runs to completion (killed after the time-out) and returns the exit status.
int runToCompletion(const TestProcess::Options& options, std::string& standardError, double timeoutSeconds = 30);

#endif
