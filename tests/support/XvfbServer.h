#ifndef TEST_XVFB_SERVER_H
#define TEST_XVFB_SERVER_H

#include <string>
#include <sys/types.h>

// A private X server for one test, so that tests can run side by side and each finds
// exactly its own program's window. Killed on destruction.
class XvfbServer {
public:
    explicit XvfbServer(int depth = 24, int width = 1280, int height = 1024);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool ok() const { return !name.empty(); }
    // Ends the server now; its clients lose their connections.
    void stop();
    // ":<number>", for $DISPLAY.
    const std::string& displayName() const { return name; }

private:
    pid_t server = -1;
    std::string name;
};

#endif
