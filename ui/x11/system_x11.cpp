// System services of the display program that ask the X server.
#include <iostream>

#include "ui/backend.h"
#include "ui/posix/process.h"
#include "ui/x11/backend_x11.h"
#include "ui/x11/window_queries.h"

namespace ui::x11 {
namespace {

// "-window": a hack's window of its own, which a window manager frames and
// the user resizes and closes; the display draws into it as into a host's,
// so input does not end it.
WindowHandle HackWindow() {
  Display* d = Dpy();
  const Window window = CreatePlainWindow(DefaultRootWindow(d), 0, 0, 640, 480, false);
  XSetWindowBackground(d, window, BlackPixel(d, Backend().screen));
  SetTitle(window, "Tessellane");
  XSetWMProtocols(d, window, &Backend().wm_delete, 1);
  XMapWindow(d, window);
  XFlush(d);
  return window;
}

}  // namespace
}  // namespace ui::x11

namespace ui::posix {

// Nothing of the display outlives the process: the server frees its windows
// and its shared images are marked for removal.
EndSignalAnswer AnswerToEndSignal() { return EndSignalAnswer::kEndAtOnce; }

}  // namespace ui::posix

namespace ui::sys {

using x11::Backend;
using x11::Dpy;

LaunchRequest Launch() {
  return posix::LaunchWith([] { return DefaultRootWindow(Dpy()); }, x11::HackWindow);
}

// The display has no dialogs: what it has to tell goes where a hack's
// messages go.
void ShowWarning(WindowHandle, const std::string& text, const std::string& title) {
  std::cerr << title << ": " << text << std::endl;
}

WindowHandle FindWindowByTitle(const std::string& title) {
  WindowHandle found = 0;
  const x11::TitleAtoms atoms{Backend().net_wm_name, Backend().utf8_string};
  x11::Trapped([&] { found = x11::FindByTitle(Dpy(), title, atoms); });
  return found;
}

int ShowCursor(bool show) {
  Backend().cursor_count += show ? 1 : -1;
  x11::ApplyPointerEverywhere();
  return Backend().cursor_count;
}

void MakeTopmost(WindowHandle window) {
  XRaiseWindow(Dpy(), static_cast<Window>(window));
  XFlush(Dpy());
}

bool GetWindowRect(WindowHandle window, Rect& rect) {
  bool ok = false;
  x11::Trapped([&] { ok = x11::WindowRect(Dpy(), static_cast<Window>(window), rect); });
  return ok;
}

void AttachToParent(WindowHandle window, WindowHandle parent) {
  XReparentWindow(Dpy(), static_cast<Window>(window), static_cast<Window>(parent), 0, 0);
  XFlush(Dpy());
}

bool GetCursorPos(Point& point) { return x11::PointerPosition(Dpy(), point); }

WindowHandle WindowFromPoint(Point point) {
  WindowHandle found = 0;
  x11::Trapped([&] { found = x11::WindowAt(Dpy(), point.x, point.y); });
  return found;
}

}  // namespace ui::sys
