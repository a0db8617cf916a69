#ifndef KORVO_PLATFORM_H
#define KORVO_PLATFORM_H

#include <EGL/egl.h>

#include <cstdint>

namespace KorvoSDK {

enum WindowEvent : std::int32_t {
    NoEvent = 0,       // nothing that ends the loop happened
    QuitRequested = 1, // the window was asked to close
    LeftClick = 2,     // button 1 was pressed in the window
};

// The one native window of a windowed program. Platform::instance() is defined by the
// implementation for the system the program is built for (X11Platform on Linux).
class Platform {
public:
    // The one platform object, made on the first call (no window yet). Returns null if it
    // cannot be allocated; a later call tries again.
    static Platform* instance();

    // Frees the object instance() made. Platform has no virtual destructor: the
    // implementation that allocated the object frees it as its own type.
    static void release(Platform* platform);

    virtual void openWindow(std::int32_t width, std::int32_t height) = 0;
    // Takes at most one queued event and never waits.
    virtual WindowEvent pollWindow() = 0;
    virtual void closeWindow() = 0;

    // Sleeps until the window has an event for pollWindow, or until `seconds` have passed;
    // returns at once when an event is already waiting. Defined by the implementation, as
    // instance() is: not one of the window operations above.
    void waitForEvent(float seconds);

    // Position of the last left-button press in window coordinates; -1 until the first.
    std::int32_t clickX;
    std::int32_t clickY;
    // What EGL needs for eglGetDisplay and eglCreateWindowSurface, set by openWindow.
    EGLNativeWindowType window;
    EGLNativeDisplayType display;

protected:
    Platform() = default;
    ~Platform() = default;
};

} // namespace KorvoSDK

#endif
