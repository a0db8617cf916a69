#ifndef KORVO_X11_PLATFORM_H
#define KORVO_X11_PLATFORM_H

#include "Platform.h"
#include "XConnectionWatch.h"

#include <X11/Xlib.h>

namespace KorvoSDK {

// The platform on Xlib: one top-level window titled "main" of class "OGLES".
// Its Display* and Window are the EGL native display and window.
class X11Platform final : public Platform {
public:
    // Opens the display named by $DISPLAY and maps the window at the asked client size.
    // No display to open ends the process with an "Error: " line naming it, status 1, and so
    // does losing the display later (see XConnectionWatch).
    void openWindow(std::int32_t width, std::int32_t height) override;
    // A close request (WM_DELETE_WINDOW) gives QuitRequested, a button-1 press LeftClick
    // with clickX and clickY updated, every other event NoEvent.
    WindowEvent pollWindow() override;
    void closeWindow() override;

private:
    Display* xDisplay() const { return static_cast<Display*>(display); }
    WindowEvent translate(const XEvent& event);

    Atom deleteWindowAtom;
    XEvent lastEvent;
    XConnectionWatch connectionWatch;
};

} // namespace KorvoSDK

#endif
