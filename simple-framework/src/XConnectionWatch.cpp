#include "XConnectionWatch.h"

#include "Diagnostics.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace KorvoSDK {

namespace {

// The connection being watched, -1 when none; read from signal handlers.
std::atomic<int> watchedFd{-1};
// Made in advance: the report may come from a signal handler, where only write() is safe.
char lostMessage[512];
std::size_t lostMessageLength = 0;

// Every path that sees the loss ends here; the first reports it. The process ends without
// exit's clean-up, which would run the drivers' and talk to the dead server again.
[[noreturn]] void reportLostDisplay()
{
    static std::atomic_flag reported = ATOMIC_FLAG_INIT;
    if (!reported.test_and_set()) {
        const ssize_t written = write(STDERR_FILENO, lostMessage, lostMessageLength);
        (void)written;
        _exit(1);
    }
    for (;;)
        pause();
}

bool hungUp(int fd, int timeoutMilliseconds)
{
    pollfd connection = {fd, POLLRDHUP, 0};
    return poll(&connection, 1, timeoutMilliseconds) > 0 && (connection.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void reportIfLost()
{
    const int fd = watchedFd.load();
    if (fd >= 0 && hungUp(fd, 0))
        reportLostDisplay();
}

int onXIOError(Display*) { reportLostDisplay(); }

// A crash inside the driver on the dead connection: reported as the loss. Otherwise the
// handler is gone (SA_RESETHAND) and the fault, repeated, ends the process as it would have.
void onFault(int) { reportIfLost(); }

void installHandlers()
{
    // Writing to a closed connection would otherwise end the program silently with SIGPIPE;
    // ignored, the write fails and the loss is reported.
    signal(SIGPIPE, SIG_IGN);
    XSetIOErrorHandler(onXIOError);
    setErrorCauseCheck(reportIfLost);
    struct sigaction fault = {};
    fault.sa_handler = onFault;
    fault.sa_flags = SA_RESETHAND;
    // softpipe has been seen to divide by zero on the dead connection.
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE})
        sigaction(signal, &fault, nullptr);
    // Failures that exit without a message.
    static bool exitCheckInstalled = false;
    if (!exitCheckInstalled)
        atexit(reportIfLost);
    exitCheckInstalled = true;
}

// Waits for the server to hang up (POLLRDHUP: no event wakes this thread) or for stop().
void watch(int connectionFd, int wakeFd)
{
    pollfd fds[2] = {{connectionFd, POLLRDHUP, 0}, {wakeFd, POLLIN, 0}};
    while (poll(fds, 2, -1) < 0 && errno == EINTR) { }
    if (fds[1].revents == 0 && (fds[0].revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0)
        reportLostDisplay();
}

} // namespace

void XConnectionWatch::start(Display* connection)
{
    const int length = snprintf(lostMessage, sizeof lostMessage, "Error: Lost the connection to X display \"%s\"\n",
                                DisplayString(connection));
    lostMessageLength = std::min(static_cast<std::size_t>(std::max(length, 0)), sizeof lostMessage - 1);
    installHandlers();
    watchedFd = ConnectionNumber(connection);
    wakeFd = eventfd(0, EFD_CLOEXEC);
    if (wakeFd >= 0)
        watcher = std::thread(watch, ConnectionNumber(connection), wakeFd);
}

void XConnectionWatch::stop()
{
    watchedFd = -1;
    if (watcher.joinable()) {
        const std::uint64_t one = 1;
        while (write(wakeFd, &one, sizeof one) < 0 && errno == EINTR) { }
        watcher.join();
    }
    if (wakeFd >= 0)
        close(wakeFd);
    wakeFd = -1;
}

} // namespace KorvoSDK
