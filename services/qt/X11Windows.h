#pragma once
// The X11 window list for screen capture, read through xcb from the window manager's
// _NET_CLIENT_LIST. Empty when the program does not run on X11 (Wayland, offscreen): then only
// the desktop is offered.
#include <vector>

#include "services/CaptureWindows.h"

namespace quillet {

// The managed top-level windows in the window manager's order, with titles (UTF-8), their
// position on the root window, whether they are mapped, and whether they are minimised.
std::vector<CaptureWindow> X11TopLevelWindows();

// Asks the window manager to bring the window to the front and raises it over the others.
void RaiseX11Window(unsigned long id);

}  // namespace quillet
