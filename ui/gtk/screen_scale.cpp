#include "ui/gtk/screen_scale.h"

#include <algorithm>

namespace ui::gtk {
namespace {

constexpr int kLogicalDpi = 96;

int FloorDiv(int value, int by) { return value / by - (value % by != 0 && value < 0); }

// The nearest start of a span of `size` on [low, high) that lies inside it,
// or `low` when the span is longer.
int Clamped(int start, int size, int low, int high) { return std::max(std::min(start, high - size), low); }

}  // namespace

int SessionScale(int gdk_scale, bool gdk_scale_fixed, int dpi) {
  if (gdk_scale > 1 || gdk_scale_fixed) return std::max(gdk_scale, 1);
  return std::max(dpi / kLogicalDpi, 1);
}

int LogicalDpi(int dpi, int scale) { return scale > 1 ? std::max(dpi / scale, kLogicalDpi) : dpi; }

Rect ToLogical(const Rect& d, int scale) {
  return Rect{FloorDiv(d.left, scale), FloorDiv(d.top, scale), FloorDiv(d.right, scale), FloorDiv(d.bottom, scale)};
}

Point ToLogical(const Point& d, int scale) { return Point{FloorDiv(d.x, scale), FloorDiv(d.y, scale)}; }

Rect ToDevice(const Rect& l, int scale) {
  return Rect{l.left * scale, l.top * scale, l.right * scale, l.bottom * scale};
}

int FittingScale(int scale, int logical_width, int logical_height, const Rect& work_area) {
  const int width = work_area.right - work_area.left, height = work_area.bottom - work_area.top;
  for (; scale > 1; --scale)
    if (logical_width * scale <= width && logical_height * scale <= height) return scale;
  return 1;
}

Rect PlaceOnMonitor(const Rect& logical, int scale, const Rect& monitor) {
  const Rect d = ToDevice(logical, scale);
  const int w = d.right - d.left, h = d.bottom - d.top;
  const int left = Clamped(d.left, w, monitor.left, monitor.right);
  const int top = Clamped(d.top, h, monitor.top, monitor.bottom);
  return Rect{left, top, left + w, top + h};
}

}  // namespace ui::gtk
