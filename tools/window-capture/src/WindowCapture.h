#ifndef WINDOW_CAPTURE_H
#define WINDOW_CAPTURE_H

#include <cstdint>
#include <string>
#include <vector>

// Xlib's header stays out of this interface: its macros (None, Bool, Status) clash with
// names in the code that includes it.
struct _XDisplay;

namespace capture {

using WindowId = unsigned long;

// The first mapped top-level window with this title, waiting up to the time-out; 0 if none.
WindowId waitForWindow(_XDisplay* display, const std::string& title, double timeoutSeconds);

// RGBA pixels of the window as the server holds them, rows from the top, alpha 255.
std::vector<std::uint8_t> readPixels(_XDisplay* display, WindowId window, int& width, int& height);

// What a window manager sends when the user closes the window.
void requestClose(_XDisplay* display, WindowId window);

} // namespace capture

#endif
