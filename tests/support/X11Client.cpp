#include "X11Client.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <png.h>

#include <chrono>
#include <cstdio>
#include <thread>

X11Client::X11Client(const std::string& displayName)
{
    display = XOpenDisplay(displayName.c_str());
}

X11Client::~X11Client()
{
    if (display != nullptr)
        XCloseDisplay(display);
}

Window X11Client::waitForWindow(const std::string& title, double timeoutSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    do {
        Window root, parent;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count; ++i) {
                XWindowAttributes attributes;
                char* name = nullptr;
                if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
                    XFetchName(display, children[i], &name) && name != nullptr) {
                    const bool matches = title == name;
                    XFree(name);
                    if (matches) {
                        const Window found = children[i];
                        XFree(children);
                        return found;
                    }
                }
            }
            if (children != nullptr)
                XFree(children);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return 0;
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

void X11Client::click(Window window, int x, int y)
{
    movePointer(window, x, y);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
}

void X11Client::pressKey(const char* keysymName)
{
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
}

void X11Client::requestClose(Window window)
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

std::vector<std::uint8_t> X11Client::readPixels(Window window, int& width, int& height)
{
    std::vector<std::uint8_t> rgba;
    XWindowAttributes attributes;
    width = height = 0;
    if (!XGetWindowAttributes(display, window, &attributes))
        return rgba;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return rgba;
    width = attributes.width;
    height = attributes.height;
    rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            std::uint8_t* out = &rgba[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4];
            out[0] = static_cast<std::uint8_t>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask));
            out[1] = static_cast<std::uint8_t>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask));
            out[2] = static_cast<std::uint8_t>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
            out[3] = 255;
        }
    }
    XDestroyImage(image);
    return rgba;
}

bool savePng(const std::string& path, const std::vector<std::uint8_t>& rgba, int width, int height)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, &rgba[static_cast<size_t>(y) * static_cast<size_t>(width) * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(file) == 0;
}
