#include "XConnectionWatch.h"

#include "Diagnostics.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace KorvoSDK {

namespace {

// The handler and the watching thread may see the loss at once: the first reports it. The
// process ends without exit's clean-up, which would run the drivers' and talk to the dead
// server again.
[[noreturn]] void reportLostDisplay(const char* name)
{
    static std::atomic_flag reported = ATOMIC_FLAG_INIT;
    if (!reported.test_and_set()) {
        logError("Lost the connection to X display \"%s\"", name);
        _exit(1);
    }
    for (;;)
        pause();
}

int onXIOError(Display* connection)
{
    reportLostDisplay(DisplayString(connection));
}

} // namespace

void XConnectionWatch::start(Display* connection)
{
    // Writing to a closed connection would otherwise end the program silently with SIGPIPE;
    // ignored, the write fails and the loss is reported.
    signal(SIGPIPE, SIG_IGN);
    XSetIOErrorHandler(onXIOError);
    displayName = DisplayString(connection);
    wakeFd = eventfd(0, EFD_CLOEXEC);
    if (wakeFd < 0)
        return;
    watcher = std::thread(&XConnectionWatch::watch, this, ConnectionNumber(connection));
}

void XConnectionWatch::stop()
{
    if (watcher.joinable()) {
        const std::uint64_t one = 1;
        while (write(wakeFd, &one, sizeof one) < 0 && errno == EINTR) {
        }
        watcher.join();
    }
    if (wakeFd >= 0)
        close(wakeFd);
    wakeFd = -1;
}

// Waits for the server to hang up (POLLRDHUP: no event wakes this thread) or for stop().
void XConnectionWatch::watch(int connectionFd)
{
    pollfd fds[2] = {{connectionFd, POLLRDHUP, 0}, {wakeFd, POLLIN, 0}};
    while (poll(fds, 2, -1) < 0 && errno == EINTR) {
    }
    if (fds[1].revents != 0)
        return;
    if ((fds[0].revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0)
        reportLostDisplay(displayName.c_str());
}

} // namespace KorvoSDK
