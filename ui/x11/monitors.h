// The desktop as the monitors make it up: the rectangle they cover together
// (the area the display fills, its rings bouncing off its edges) and the
// primary one.
#pragma once
#include <X11/Xlib.h>

#include <vector>

#include "ui/types.h"

namespace ui::x11 {

struct MonitorLayout {
  Rect desktop;
  Rect primary;
};

// `monitors` in screen pixels; `primary` an index into it (any other value:
// the first monitor); with no monitor at all the whole `screen`.
MonitorLayout LayoutOf(const std::vector<Rect>& monitors, int primary, const Rect& screen);

// The layout the server reports: the monitors from Xinerama (servers that
// join screens without RandR outputs for each report them there only; on
// Xorg it lists RandR's monitors, the primary first), from RandR 1.5 where
// Xinerama is off.
MonitorLayout QueryLayout(Display* display);

// The part of the monitor that windows may take: the window manager's work
// area of the current desktop (_NET_WORKAREA, without its panels) within the
// monitor, or the whole monitor where there is none.
Rect WorkArea(Display* display, const Rect& monitor);

// The desktop's font resolution (Xft.dpi), which desktops scale by; 96
// where it is not set.
int QueryDpi(Display* display);

}  // namespace ui::x11
