// Finding windows of any program on the X server: by exact title (the
// second-start guard) and under a point.
#pragma once
#include <X11/Xlib.h>

#include <string>

namespace ui::x11 {

// The title a window shows: _NET_WM_NAME (UTF-8), else WM_NAME.
std::string TitleOf(Display* display, Window window);

// A window whose title is exactly `title`, searched from the root down
// (top-level windows lie a level or two below it under a window manager);
// 0 when there is none.
Window FindByTitle(Display* display, const std::string& title);

// The deepest window under a point of the root, or the root itself.
Window WindowAt(Display* display, int x, int y);

}  // namespace ui::x11
