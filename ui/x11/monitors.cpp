#include "ui/x11/monitors.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstdlib>

#include "ui/backend.h"

namespace ui::x11 {
namespace {

std::vector<Rect> RandrMonitors(Display* d, int& primary) {
  std::vector<Rect> out;
  int event_base, error_base, major = 0, minor = 0;
  if (!XRRQueryExtension(d, &event_base, &error_base) || !XRRQueryVersion(d, &major, &minor)) return out;
  if (major < 1 || (major == 1 && minor < 5)) return out;
  int count = 0;
  XRRMonitorInfo* monitors = XRRGetMonitors(d, DefaultRootWindow(d), True, &count);
  for (int i = 0; i < count; ++i) {
    const XRRMonitorInfo& m = monitors[i];
    if (m.primary) primary = i;
    out.push_back(Rect{m.x, m.y, m.x + m.width, m.y + m.height});
  }
  if (monitors) XRRFreeMonitors(monitors);
  return out;
}

std::vector<Rect> XineramaMonitors(Display* d) {
  std::vector<Rect> out;
  int event_base, error_base;
  if (!XineramaQueryExtension(d, &event_base, &error_base) || !XineramaIsActive(d)) return out;
  int count = 0;
  XineramaScreenInfo* screens = XineramaQueryScreens(d, &count);
  for (int i = 0; i < count; ++i) {
    const auto& s = screens[i];
    out.push_back(Rect{s.x_org, s.y_org, s.x_org + s.width, s.y_org + s.height});
  }
  if (screens) XFree(screens);
  return out;
}

}  // namespace

MonitorLayout QueryLayout(Display* d) {
  int primary = 0;
  std::vector<Rect> monitors = XineramaMonitors(d);
  if (monitors.empty()) monitors = RandrMonitors(d, primary);
  const Rect screen{0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))};
  return LayoutOf(monitors, primary, screen);
}

int QueryDpi(Display* d) {
  const char* resources = XResourceManagerString(d);
  if (!resources) return 96;
  XrmDatabase db = XrmGetStringDatabase(resources);
  char* type = nullptr;
  XrmValue value{};
  int dpi = 96;
  if (db && XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) dpi = std::atoi(value.addr);
  if (db) XrmDestroyDatabase(db);
  return dpi > 0 ? dpi : 96;
}

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

namespace ui::x11 {
namespace {

// The CARDINAL values of a property of the root window.
std::vector<long> RootCardinals(Display* d, const char* name) {
  const Atom property = XInternAtom(d, name, True);
  std::vector<long> values;
  if (property == 0) return values;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, DefaultRootWindow(d), property, 0, 1024, False, XA_CARDINAL, &type, &format, &count, &after,
                         &data) == Success &&
      data && format == 32)
    values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
  if (data) XFree(data);
  return values;
}

}  // namespace

Rect WorkArea(Display* display, const Rect& monitor) {
  const std::vector<long> areas = RootCardinals(display, "_NET_WORKAREA");
  const std::vector<long> desktop = RootCardinals(display, "_NET_CURRENT_DESKTOP");
  const std::size_t at = 4 * static_cast<std::size_t>(desktop.empty() ? 0 : desktop[0]);
  if (areas.size() < at + 4) return monitor;
  const Rect work{static_cast<int>(areas[at]), static_cast<int>(areas[at + 1]),
                  static_cast<int>(areas[at] + areas[at + 2]), static_cast<int>(areas[at + 1] + areas[at + 3])};
  const Rect both{std::max(work.left, monitor.left), std::max(work.top, monitor.top),
                  std::min(work.right, monitor.right), std::min(work.bottom, monitor.bottom)};
  return both.right > both.left && both.bottom > both.top ? both : monitor;
}

}  // namespace ui::x11

namespace ui::sys {

// A pixel on X is the device's pixel: there is nothing to declare.
void DeclareDpiAware() {}

}  // namespace ui::sys
