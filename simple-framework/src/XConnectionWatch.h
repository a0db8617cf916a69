#ifndef KORVO_X_CONNECTION_WATCH_H
#define KORVO_X_CONNECTION_WATCH_H

#include <X11/Xlib.h>

#include <thread>

namespace KorvoSDK {

// Ends the program with "Error: Lost the connection to X display "NAME"" and status 1 when
// the X server goes away under it, whichever part of the program meets the dead connection
// first: Xlib (its I/O error handler), EGL's driver, which talks to the server on the same
// connection and may retry forever (Mesa's software swap does) or fail or crash (a thread
// waits for the server to hang up), or a failure that the lost display caused (logError, a
// crash and exit check for it first).
class XConnectionWatch {
public:
    XConnectionWatch() = default;
    ~XConnectionWatch() { stop(); }
    XConnectionWatch(const XConnectionWatch&) = delete;
    XConnectionWatch& operator=(const XConnectionWatch&) = delete;

    // Right after the connection is opened.
    void start(Display* connection);
    // Before the program closes the connection itself.
    void stop();

private:
    int wakeFd = -1;
    std::thread watcher;
};

} // namespace KorvoSDK

#endif
