// The desktop as the monitors make it up: the rectangle they cover together
// (the area the display fills, its rings bouncing off its edges) and the
// primary one.
#pragma once
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

}  // namespace ui::x11
