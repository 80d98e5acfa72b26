#include "ui/x11/monitors.h"

#include <algorithm>

namespace ui::x11 {

MonitorLayout LayoutOf(const std::vector<Rect>& monitors, int primary, const Rect& screen) {
  std::vector<Rect> shown;
  for (const Rect& m : monitors)
    if (m.right > m.left && m.bottom > m.top) shown.push_back(m);
  if (shown.empty()) return MonitorLayout{screen, screen};
  MonitorLayout layout{shown[0], shown[0]};
  for (const Rect& m : shown) {
    layout.desktop.left = std::min(layout.desktop.left, m.left);
    layout.desktop.top = std::min(layout.desktop.top, m.top);
    layout.desktop.right = std::max(layout.desktop.right, m.right);
    layout.desktop.bottom = std::max(layout.desktop.bottom, m.bottom);
  }
  if (primary >= 0 && primary < static_cast<int>(monitors.size())) {
    const Rect& p = monitors[primary];
    if (p.right > p.left && p.bottom > p.top) layout.primary = p;
  }
  return layout;
}

}  // namespace ui::x11
