#include "TestProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

TestProcess::TestProcess(const Options& options)
{
    // A file rather than a pipe: a chatty child never blocks on a full pipe while the test
    // is busy elsewhere.
    char name[] = "/tmp/korvo-stderr-XXXXXX";
    errorFile = mkstemp(name);
    if (errorFile < 0)
        return;
    unlink(name);
    child = fork();
    if (child == 0) {
        dup2(errorFile, STDERR_FILENO);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
            _exit(127);
        for (const auto& [name, value] : options.environment)
            setenv(name.c_str(), value.c_str(), 1);
        for (const auto& name : options.unsetEnvironment)
            unsetenv(name.c_str());
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(options.executable.c_str()));
        for (const auto& argument : options.arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(options.executable.c_str(), argv.data());
        _exit(127);
    }
}

TestProcess::~TestProcess()
{
    if (child > 0 && !ended) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    if (errorFile >= 0)
        close(errorFile);
}

void TestProcess::readStandardError()
{
    if (errorFile < 0)
        return;
    errorText.clear();
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
        const ssize_t count = pread(errorFile, buffer, sizeof buffer, offset);
        if (count <= 0)
            break;
        errorText.append(buffer, static_cast<size_t>(count));
        offset += count;
    }
}

bool TestProcess::running()
{
    if (ended || child <= 0)
        return false;
    int childStatus = 0;
    if (waitpid(child, &childStatus, WNOHANG) == child) {
        ended = true;
        status = WIFEXITED(childStatus) ? WEXITSTATUS(childStatus) : 128 + WTERMSIG(childStatus);
        return false;
    }
    return true;
}

int TestProcess::waitForExit(double timeoutSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (running()) {
        if (std::chrono::steady_clock::now() > deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    readStandardError();
    return status;
}

std::string TestProcess::standardError()
{
    readStandardError();
    return errorText;
}

std::string buildPath(const std::string& relative) { return std::string(KORVO_BUILD_ROOT) + "/" + relative; }

int runToCompletion(const TestProcess::Options& options, std::string& standardError, double timeoutSeconds)
{
    TestProcess process(options);
    const int status = process.waitForExit(timeoutSeconds);
    standardError = process.standardError();
    return status;
}
