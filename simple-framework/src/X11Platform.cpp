#include "X11Platform.h"

#include "Diagnostics.h"
#include "EGLRuntime.h"

#include <X11/Xutil.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <poll.h>

namespace KorvoSDK {

namespace {

Platform* singleton = nullptr;

// The window manager may place the window elsewhere; we ask for the top-left corner as the
// other platforms do, and for a fixed size, since nothing handles resizing.
void setFixedSize(Display* display, Window window, int width, int height)
{
    XSizeHints* hints = XAllocSizeHints();
    checkAllocation(hints);
    hints->flags = PPosition | PMinSize | PMaxSize;
    hints->x = 0;
    hints->y = 0;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
}

void setClass(Display* display, Window window)
{
    XClassHint* classHint = XAllocClassHint();
    checkAllocation(classHint);
    char name[] = "OGLES";
    classHint->res_name = name;
    classHint->res_class = name;
    XSetClassHint(display, window, classHint);
    XFree(classHint);
}

// Returns once the server has mapped the window, so the first frame is not lost.
void waitUntilMapped(Display* display, Window window)
{
    XEvent event;
    do {
        XWindowEvent(display, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
}

} // namespace

Platform* Platform::instance()
{
    if (singleton != nullptr)
        return singleton;
    X11Platform* platform = new (std::nothrow) X11Platform;
    if (platform != nullptr) {
        platform->clickX = -1;
        platform->clickY = -1;
        EGLRuntime::multisampleDontCare = true;
    }
    singleton = platform;
    return singleton;
}

void Platform::release(Platform* platform) { delete static_cast<X11Platform*>(platform); }

void X11Platform::openWindow(std::int32_t width, std::int32_t height)
{
    Display* connection = XOpenDisplay(nullptr);
    if (connection == nullptr) {
        const char* name = XDisplayName(nullptr);
        if (name[0] == '\0')
            logError("Cannot open an X display: $DISPLAY is not set");
        else
            logError("Cannot open X display \"%s\"", name);
        exit(1);
    }
    display = connection;
    connectionWatch.start(connection);

    const int screen = DefaultScreen(connection);
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = BlackPixel(connection, screen);
    attributes.event_mask = StructureNotifyMask | ButtonPressMask | KeyPressMask | KeyReleaseMask | ExposureMask;
    const Window handle = XCreateWindow(connection, RootWindow(connection, screen), 0, 0, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                        CWBackPixel | CWEventMask, &attributes);
    window = handle;

    XStoreName(connection, handle, "main");
    setClass(connection, handle);
    setFixedSize(connection, handle, width, height);
    deleteWindowAtom = XInternAtom(connection, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(connection, handle, &deleteWindowAtom, 1);

    XMapRaised(connection, handle);
    waitUntilMapped(connection, handle);
}

WindowEvent X11Platform::pollWindow()
{
    if (XPending(xDisplay()) == 0)
        return NoEvent;
    XNextEvent(xDisplay(), &lastEvent);
    return translate(lastEvent);
}

void Platform::waitForEvent(float seconds)
{
    Display* connection = static_cast<Display*>(display);
    // XPending also sends what is buffered and reads what has arrived, so an empty queue
    // here means the connection itself has to become readable.
    if (XPending(connection) > 0)
        return;
    pollfd readable = {ConnectionNumber(connection), POLLIN, 0};
    poll(&readable, 1, static_cast<int>(std::ceil(seconds * 1000.0f)));
}

WindowEvent X11Platform::translate(const XEvent& event)
{
    if (event.type == ClientMessage && event.xclient.format == 32 &&
        static_cast<Atom>(event.xclient.data.l[0]) == deleteWindowAtom)
        return QuitRequested;
    if (event.type == ButtonPress && event.xbutton.button == Button1) {
        clickX = event.xbutton.x;
        clickY = event.xbutton.y;
        return LeftClick;
    }
    return NoEvent;
}

void X11Platform::closeWindow()
{
    XDestroyWindow(xDisplay(), static_cast<Window>(window));
    connectionWatch.stop();
    XCloseDisplay(xDisplay());
}

} // namespace KorvoSDK
