#ifndef KORVO_X_CONNECTION_WATCH_H
#define KORVO_X_CONNECTION_WATCH_H

#include <X11/Xlib.h>

#include <string>
#include <thread>

namespace KorvoSDK {

// Ends the program with "Error: Lost the connection to X display "NAME"" and status 1 when
// the X server goes away under it. Xlib reports the loss through its I/O error handler when
// it notices it first; EGL's drivers talk to the server on the same connection and may not
// give up on a dead one (Mesa's software swap retries its image upload forever), so a thread
// also waits for the server to hang up.
class XConnectionWatch {
public:
    XConnectionWatch() = default;
    ~XConnectionWatch() { stop(); }
    XConnectionWatch(const XConnectionWatch&) = delete;
    XConnectionWatch& operator=(const XConnectionWatch&) = delete;

    // Right after the connection is opened.
    void start(Display* connection);
    // Before the connection is closed by the program itself.
    void stop();

private:
    void watch(int connectionFd);

    std::string displayName;
    int wakeFd = -1;
    std::thread watcher;
};

} // namespace KorvoSDK

#endif
