// System services of the settings program: what it asks of X goes through
// GDK's own connection, and a warning is a message box.
#include <gdk/gdkx.h>

#include "ui/backend.h"
#include "ui/common/twips.h"
#include "ui/gtk/backend_gtk.h"
#include "ui/gtk/screen_scale.h"
#include "ui/posix/process.h"
#include "ui/x11/monitors.h"
#include "ui/x11/window_queries.h"

namespace ui::gtk {
namespace {

// Requests about windows that may go away at any time (other programs')
// must not end the program.
template <typename Requests>
void Trapped(Requests requests) {
  EnsureStarted();
  GdkDisplay* display = gdk_display_get_default();
  gdk_x11_display_error_trap_push(display);
  requests();
  gdk_x11_display_error_trap_pop_ignored(display);
}

int Dpi() {
  if (!Backend().dpi) {
    const int desktop_dpi = x11::QueryDpi(XDisplay());  // starts GTK, which decides the scale
    Backend().dpi = LogicalDpi(desktop_dpi, Backend().scale);
  }
  return Backend().dpi;
}

// X speaks device pixels; the program logical ones.
Rect Logical(const Rect& device) { return ToLogical(device, Backend().scale); }
x11::MonitorLayout LogicalLayout() {
  const x11::MonitorLayout device = x11::QueryLayout(XDisplay());
  return x11::MonitorLayout{Logical(device.desktop), Logical(device.primary)};
}

Rect InTwips(const Rect& r) {
  const int t = screen::TwipsPerPixelX();
  return Rect{r.left * t, r.top * t, r.right * t, r.bottom * t};
}

}  // namespace

void ChooseX11Backend() {
  // A GDK_BACKEND naming another backend would leave GDK none to open; the
  // programs this one starts (xdg-open) pick their own again.
  g_unsetenv("GDK_BACKEND");
  gdk_set_allowed_backends("x11");
}

void ApplyPointerEverywhere() {
  EnsureStarted();
  const GtkBackend& b = Backend();
  GdkDisplay* display = gdk_display_get_default();
  GdkCursor* cursor = nullptr;
  if (b.cursor_count < 0) cursor = gdk_cursor_new_for_display(display, GDK_BLANK_CURSOR);
  else if (b.mouse_pointer == screen::kHourglassPointer) cursor = gdk_cursor_new_for_display(display, GDK_WATCH);
  for (const auto& [handle, window] : b.windows)
    if (GdkWindow* w = gtk_widget_get_window(GTK_WIDGET(window))) gdk_window_set_cursor(w, cursor);
  if (cursor) g_object_unref(cursor);
  gdk_display_flush(display);
}

}  // namespace ui::gtk

namespace ui::posix {

// A save under way is finished before the dialog closes.
EndSignalAnswer AnswerToEndSignal() { return EndSignalAnswer::kCloseForms; }

}  // namespace ui::posix

namespace ui::sys {

using gtk::XDisplay;

LaunchRequest Launch() {
  return posix::LaunchWith([] { return DefaultRootWindow(XDisplay()); });
}

void ShowWarning(WindowHandle owner, const std::string& text, const std::string& title) {
  gtk::ShowMessage(owner, text, title);
}

WindowHandle FindWindowByTitle(const std::string& title) {
  WindowHandle found = 0;
  gtk::Trapped([&] {
    const x11::TitleAtoms atoms{gdk_x11_get_xatom_by_name("_NET_WM_NAME"), gdk_x11_get_xatom_by_name("UTF8_STRING")};
    found = x11::FindByTitle(XDisplay(), title, atoms);
  });
  return found;
}

int ShowCursor(bool show) {
  gtk::Backend().cursor_count += show ? 1 : -1;
  gtk::ApplyPointerEverywhere();
  return gtk::Backend().cursor_count;
}

void MakeTopmost(WindowHandle window) {
  XRaiseWindow(XDisplay(), static_cast<Window>(window));
  XFlush(XDisplay());
}

bool GetWindowRect(WindowHandle window, Rect& rect) {
  bool ok = false;
  gtk::Trapped([&] { ok = x11::WindowRect(XDisplay(), static_cast<Window>(window), rect); });
  if (ok) rect = gtk::Logical(rect);
  return ok;
}

void AttachToParent(WindowHandle window, WindowHandle parent) {
  XReparentWindow(XDisplay(), static_cast<Window>(window), static_cast<Window>(parent), 0, 0);
  XFlush(XDisplay());
}

bool GetCursorPos(Point& point) {
  Point device;
  if (!x11::PointerPosition(XDisplay(), device)) return false;
  point = gtk::ToLogical(device, gtk::Backend().scale);
  return true;
}

WindowHandle WindowFromPoint(Point point) {
  const int scale = gtk::Backend().scale;
  WindowHandle found = 0;
  gtk::Trapped([&] { found = x11::WindowAt(XDisplay(), point.x * scale, point.y * scale); });
  return found;
}

}  // namespace ui::sys

namespace ui::screen {

int WidthTwips() {
  const Rect p = gtk::LogicalLayout().primary;
  return (p.right - p.left) * TwipsPerPixelX();
}
int HeightTwips() {
  const Rect p = gtk::LogicalLayout().primary;
  return (p.bottom - p.top) * TwipsPerPixelY();
}
Rect DesktopTwips() { return gtk::InTwips(gtk::LogicalLayout().desktop); }
int TwipsPerPixelX() { return TwipsPerPixelAt(gtk::Dpi()); }
int TwipsPerPixelY() { return TwipsPerPixelAt(gtk::Dpi()); }

void SetMousePointer(int pointer) {
  gtk::Backend().mouse_pointer = pointer;
  gtk::ApplyPointerEverywhere();
}
int MousePointer() { return gtk::Backend().mouse_pointer; }

}  // namespace ui::screen
