#ifndef TEST_X11_CLIENT_H
#define TEST_X11_CLIENT_H

#include <cstdint>
#include <string>
#include <vector>

// Xlib's own header is kept out of the tests: its macros (None, Bool, Status) clash with
// GoogleTest's names.
struct _XDisplay;
using Window = unsigned long;

// Looks at and drives another program's window on an X server, as a user would.
class X11Client {
public:
    explicit X11Client(const std::string& displayName);
    ~X11Client();
    X11Client(const X11Client&) = delete;
    X11Client& operator=(const X11Client&) = delete;

    bool ok() const { return display != nullptr; }

    // The first mapped top-level window with this title, waiting up to the time-out; 0 if none.
    Window waitForWindow(const std::string& title, double timeoutSeconds = 20);

    struct WindowFacts {
        int x = 0, y = 0, width = 0, height = 0;
        std::string title;
        std::string instanceName, className;
    };
    WindowFacts facts(Window window);

    // Real input through the XTEST extension: the pointer moves to the window position and
    // the button (1 unless told) goes down and up.
    void click(Window window, int x, int y, unsigned button = 1);
    void movePointer(Window window, int x, int y);
    void pressKey(const char* keysymName);
    // What a window manager sends when the user closes the window.
    void requestClose(Window window);

    // RGBA pixels of the window as the server holds them, rows from the top.
    std::vector<std::uint8_t> readPixels(Window window, int& width, int& height);

private:
    _XDisplay* display = nullptr;
};

// Writes RGBA pixels as a PNG, for screenshots of what a test saw.
bool savePng(const std::string& path, const std::vector<std::uint8_t>& rgba, int width, int height);

#endif
