// Screen metrics of the display program (monitors.h asks the server) and
// the pointer shapes on its windows.
#include <X11/cursorfont.h>

#include "ui/backend.h"
#include "ui/common/twips.h"
#include "ui/x11/backend_x11.h"
#include "ui/x11/monitors.h"

namespace ui::x11 {
namespace {

int Dpi() {
  if (!Backend().dpi) Backend().dpi = QueryDpi(Dpy());
  return Backend().dpi;
}

Rect InTwips(const Rect& r) {
  const int t = screen::TwipsPerPixelX();
  return Rect{r.left * t, r.top * t, r.right * t, r.bottom * t};
}

}  // namespace

void ApplyPointer(Window window) {
  X11Backend& b = Backend();
  // Making a pointer shape reads the cursor theme's files: it waits until the
  // first picture is on the screen.
  if (!b.presented) {
    b.pointer_pending = true;
    return;
  }
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
  for (const auto& [window, sink] : Backend().windows) ApplyPointer(window);
  XFlush(Dpy());
}

}  // namespace ui::x11

namespace ui::screen {

int WidthTwips() {
  const Rect p = x11::QueryLayout(x11::Dpy()).primary;
  return (p.right - p.left) * TwipsPerPixelX();
}
int HeightTwips() {
  const Rect p = x11::QueryLayout(x11::Dpy()).primary;
  return (p.bottom - p.top) * TwipsPerPixelY();
}
Rect DesktopTwips() { return x11::InTwips(x11::QueryLayout(x11::Dpy()).desktop); }
int TwipsPerPixelX() { return TwipsPerPixelAt(x11::Dpi()); }
int TwipsPerPixelY() { return TwipsPerPixelAt(x11::Dpi()); }

void SetMousePointer(int pointer) {
  x11::Backend().mouse_pointer = pointer;
  x11::ApplyPointerEverywhere();
}
int MousePointer() { return x11::Backend().mouse_pointer; }

}  // namespace ui::screen
