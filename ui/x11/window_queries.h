// What the X server knows of any program's windows, asked through a given
// connection (the display program's own, or the toolkit's in the settings
// program): a window by its exact title (the second-start guard), the one
// under a point, a window's rectangle, and where the pointer is.
#pragma once
#include <X11/Xlib.h>

#include <string>

#include "ui/types.h"

namespace ui::x11 {

// The title a window shows: _NET_WM_NAME (UTF-8), else WM_NAME.
std::string TitleOf(Display* display, Window window);

// The atoms a title is stored under in UTF-8 (_NET_WM_NAME, UTF8_STRING).
struct TitleAtoms {
  Atom net_wm_name = 0, utf8 = 0;
};

// A window whose title is exactly `title`, searched below the root (top-level
// windows lie a level or two below it under a window manager); 0 when there
// is none.
Window FindByTitle(Display* display, const std::string& title, const TitleAtoms& atoms);

// The deepest window under a point of the root, or the root itself.
Window WindowAt(Display* display, int x, int y);

// A window's rectangle in root pixels; false when there is no such window.
bool WindowRect(Display* display, Window window, Rect& rect);

// The pointer's place on the root; false when it is on another screen.
bool PointerPosition(Display* display, Point& point);

}  // namespace ui::x11
