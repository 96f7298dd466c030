#pragma once

#include "client/x11/X11Display.h"

#include <functional>
#include <string>
#include <vector>

namespace mw {

using WindowTest = std::function<bool(Window)>;

// The top-level client windows, topmost first: the window manager's stacking list when
// `windowManager` runs, else the root's children in stacking order, each replaced by the client
// window inside it when a frame holds one.
std::vector<Window> ClientWindowsTopmostFirst(const X11Display& x, bool windowManager);

// The topmost client window titled exactly `title`, else the topmost one whose title begins with
// it, leaving out the windows `isOurs` claims; None when no window matches.
Window FindClientWindow(const X11Display& x, const std::string& title, bool windowManager,
                        const WindowTest& isOurs);

// True when the window with the keyboard focus, or one of its ancestors, passes `test`.
bool FocusIsWithin(const X11Display& x, const WindowTest& test);
// True when the focus is on `window` or inside it.
bool FocusIsOn(const X11Display& x, Window window);

// Asks for `window` to come to the front with the focus: through the window manager when one
// runs, else by mapping and raising it and, once it is viewable, setting the focus. Answers
// whether the request was made; without a window manager it is repeated until it was.
bool RequestActivation(const X11Display& x, Window window, bool windowManager);

bool WindowExists(const X11Display& x, Window window);

} // namespace mw
