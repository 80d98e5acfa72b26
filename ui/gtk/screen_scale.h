// How the settings window meets a HiDPI session. The program works in
// logical pixels (96 to the inch, the pixels its forms were laid out in);
// X gives screens, pointers and windows in device pixels. A session scales
// by GTK's window scale (GDK_SCALE, a desktop's scaling factor) or only by
// its font resolution (Xft.dpi); the window then follows the same whole
// factor either way, so that nothing is scaled twice.
#pragma once
#include "ui/types.h"

namespace ui::gtk {

// Device pixels per logical pixel. GTK's own scale when the session has one
// (or has fixed it, GDK_SCALE=1 included); otherwise the font resolution in
// whole multiples of 96 dpi, rounded down: GTK 3 scales windows by whole
// factors only, and a whole factor keeps the skin's pictures and the rays'
// one-pixel lines sharp when they are stretched nearest.
int SessionScale(int gdk_scale, bool gdk_scale_fixed, int dpi);

// The font resolution the program's logical pixels have: a desktop that
// scales windows states Xft.dpi for its device pixels (192 at twice the
// size); one that leaves it at its default has not asked for smaller text.
int LogicalDpi(int dpi, int scale);

// A rectangle of device pixels in logical pixels (rounded toward the top
// left), and back.
Rect ToLogical(const Rect& device, int scale);
Point ToLogical(const Point& device, int scale);
Rect ToDevice(const Rect& logical, int scale);

// The largest whole scale, at most `scale`, at which a window of the
// logical size fits the work area (device pixels); 1 when none does.
int FittingScale(int scale, int logical_width, int logical_height, const Rect& work_area);

// Where a window with the program's logical bounds goes, in device pixels:
// its bounds scaled, moved wholly onto the monitor where they fit; where they
// do not, the top left (the title strip, the close button, the buttons) is
// kept on the monitor.
Rect PlaceOnMonitor(const Rect& logical, int scale, const Rect& monitor);

}  // namespace ui::gtk
