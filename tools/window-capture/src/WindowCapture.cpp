#include "WindowCapture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

namespace capture {

namespace {

bool isMappedWindowTitled(Display* display, Window window, const std::string& title)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || name == nullptr)
        return false;
    const bool matches = title == name;
    XFree(name);
    return matches;
}

WindowId findWindow(Display* display, const std::string& title)
{
    Window root, parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    WindowId found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i)
        if (isMappedWindowTitled(display, children[i], title))
            found = children[i];
    if (children != nullptr)
        XFree(children);
    return found;
}

std::uint8_t channel(unsigned long pixel, unsigned long mask)
{
    return static_cast<std::uint8_t>((pixel & mask) >> __builtin_ctzl(mask));
}

} // namespace

WindowId waitForWindow(_XDisplay* display, const std::string& title, double timeoutSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    for (;;) {
        if (const WindowId window = findWindow(display, title))
            return window;
        if (std::chrono::steady_clock::now() >= deadline)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::vector<std::uint8_t> readPixels(_XDisplay* display, WindowId window, int& width, int& height)
{
    std::vector<std::uint8_t> rgba;
    width = height = 0;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return rgba;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return rgba;
    width = attributes.width;
    height = attributes.height;
    rgba.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            rgba.push_back(channel(pixel, image->red_mask));
            rgba.push_back(channel(pixel, image->green_mask));
            rgba.push_back(channel(pixel, image->blue_mask));
            rgba.push_back(255);
        }
    }
    XDestroyImage(image);
    return rgba;
}

void requestClose(_XDisplay* display, WindowId window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

} // namespace capture
