// Screen metrics on X: the monitors from Xinerama (or RandR 1.5 where
// Xinerama is off), the dots per inch from the desktop's Xft.dpi setting,
// and the pointer shapes.
#include <X11/Xresource.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <cstdlib>
#include <cstring>

#include "ui/common/twips.h"
#include "ui/screen.h"
#include "ui/x11/backend_x11.h"
#include "ui/x11/monitors.h"

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

MonitorLayout Layout() {
  Display* d = Dpy();
  // Xinerama first: servers that join screens without RandR outputs for
  // each (Xephyr, Xvfb +xinerama) report them there only; on Xorg it lists
  // RandR's monitors, the primary first.
  int primary = 0;
  std::vector<Rect> monitors = XineramaMonitors(d);
  if (monitors.empty()) monitors = RandrMonitors(d, primary);
  const Rect screen{0, 0, DisplayWidth(d, X().screen), DisplayHeight(d, X().screen)};
  return LayoutOf(monitors, primary, screen);
}

// The desktop's font resolution (Xft.dpi), which desktops scale by; 96
// where it is not set.
int ReadDpi() {
  const char* resources = XResourceManagerString(Dpy());
  if (!resources) return 96;
  XrmDatabase db = XrmGetStringDatabase(resources);
  char* type = nullptr;
  XrmValue value{};
  int dpi = 96;
  if (db && XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) dpi = std::atoi(value.addr);
  if (db) XrmDestroyDatabase(db);
  return dpi > 0 ? dpi : 96;
}

int Dpi() {
  if (!X().dpi) X().dpi = ReadDpi();
  return X().dpi;
}

Rect InTwips(const Rect& r) {
  const int t = screen::TwipsPerPixelX();
  return Rect{r.left * t, r.top * t, r.right * t, r.bottom * t};
}

}  // namespace

void ApplyPointer(Window window) {
  X11Backend& b = X();
  Display* d = Dpy();
  if (b.cursor_count < 0) {
    if (!b.blank_cursor) {
      static const char empty[1] = {0};
      const Pixmap pixmap = XCreateBitmapFromData(d, DefaultRootWindow(d), empty, 1, 1);
      XColor black{};
      b.blank_cursor = XCreatePixmapCursor(d, pixmap, pixmap, &black, &black, 0, 0);
      XFreePixmap(d, pixmap);
    }
    XDefineCursor(d, window, b.blank_cursor);
  } else if (b.mouse_pointer == screen::kHourglassPointer) {
    if (!b.watch_cursor) b.watch_cursor = XCreateFontCursor(d, XC_watch);
    XDefineCursor(d, window, b.watch_cursor);
  } else {
    XUndefineCursor(d, window);
  }
}

void ApplyPointerEverywhere() {
  for (const auto& [window, sink] : X().windows) ApplyPointer(window);
  XFlush(Dpy());
}

}  // namespace ui::x11

namespace ui::screen {

int WidthTwips() {
  const Rect p = x11::Layout().primary;
  return (p.right - p.left) * TwipsPerPixelX();
}
int HeightTwips() {
  const Rect p = x11::Layout().primary;
  return (p.bottom - p.top) * TwipsPerPixelY();
}
Rect DesktopTwips() { return x11::InTwips(x11::Layout().desktop); }
int TwipsPerPixelX() { return TwipsPerPixelAt(x11::Dpi()); }
int TwipsPerPixelY() { return TwipsPerPixelAt(x11::Dpi()); }

void SetMousePointer(int pointer) {
  x11::X().mouse_pointer = pointer;
  x11::ApplyPointerEverywhere();
}
int MousePointer() { return x11::X().mouse_pointer; }

}  // namespace ui::screen
