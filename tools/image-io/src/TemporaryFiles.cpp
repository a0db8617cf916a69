#include "TemporaryFiles.h"

#include <climits>
#include <cstring>
#include <unistd.h>

namespace imageio {

namespace {

constexpr int terminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Plain storage, so that the handler can read it without calling anything unsafe there.
struct Slot {
    volatile sig_atomic_t used;
    char path[PATH_MAX];
};
Slot slots[64];
bool handlersInstalled = false;

void removeTemporaryFilesAndEnd(int signal)
{
    for (const Slot& slot : slots)
        if (slot.used)
            ::unlink(slot.path);
    // SA_RESETHAND restored the default action: the signal ends the process once this returns.
    ::raise(signal);
}

void installHandlers()
{
    for (int signal : terminationSignals) {
        struct sigaction current { };
        ::sigaction(signal, nullptr, &current);
        if (current.sa_handler != SIG_DFL)
            continue;
        struct sigaction handler { };
        handler.sa_handler = removeTemporaryFilesAndEnd;
        handler.sa_flags = SA_RESETHAND;
        sigemptyset(&handler.sa_mask);
        for (int other : terminationSignals)
            sigaddset(&handler.sa_mask, other);
        ::sigaction(signal, &handler, nullptr);
    }
    handlersInstalled = true;
}

} // namespace

TerminationSignalsHeld::TerminationSignalsHeld()
{
    sigset_t held;
    sigemptyset(&held);
    for (int signal : terminationSignals)
        sigaddset(&held, signal);
    ::sigprocmask(SIG_BLOCK, &held, &previous);
}

TerminationSignalsHeld::~TerminationSignalsHeld() { ::sigprocmask(SIG_SETMASK, &previous, nullptr); }

bool registerTemporaryFile(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return false;
    TerminationSignalsHeld held;
    if (!handlersInstalled)
        installHandlers();
    for (Slot& slot : slots)
        if (!slot.used) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.used = 1;
            return true;
        }
    return false;
}

void unregisterTemporaryFile(const std::string& path)
{
    TerminationSignalsHeld held;
    for (Slot& slot : slots)
        if (slot.used && path == slot.path) {
            slot.used = 0;
            return;
        }
}

} // namespace imageio
