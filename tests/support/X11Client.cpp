#include "X11Client.h"

#include "PngIo.h"
#include "WindowCapture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

X11Client::X11Client(const std::string& displayName) { display = XOpenDisplay(displayName.c_str()); }

X11Client::~X11Client()
{
    if (display != nullptr)
        XCloseDisplay(display);
}

Window X11Client::waitForWindow(const std::string& title, double timeoutSeconds)
{
    return capture::waitForWindow(display, title, timeoutSeconds);
}

X11Client::WindowFacts X11Client::facts(Window window)
{
    WindowFacts result;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes)) {
        result.x = attributes.x;
        result.y = attributes.y;
        result.width = attributes.width;
        result.height = attributes.height;
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name != nullptr) {
        result.title = name;
        XFree(name);
    }
    XClassHint hint = {};
    if (XGetClassHint(display, window, &hint)) {
        result.instanceName = hint.res_name ? hint.res_name : "";
        result.className = hint.res_class ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    return result;
}

void X11Client::movePointer(Window window, int x, int y)
{
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XSync(display, False);
}

void X11Client::click(Window window, int x, int y, unsigned button)
{
    movePointer(window, x, y);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
}

void X11Client::pressKey(const char* keysymName)
{
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
}

void X11Client::requestClose(Window window) { capture::requestClose(display, window); }

std::vector<std::uint8_t> X11Client::readPixels(Window window, int& width, int& height)
{
    return capture::readPixels(display, window, width, height);
}

bool savePng(const std::string& path, const std::vector<std::uint8_t>& rgba, int width, int height)
{
    std::string error;
    return imageio::writePng(path, etc::Image{width, height, rgba}, error);
}
