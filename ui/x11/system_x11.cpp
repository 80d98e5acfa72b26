// System services of the native Linux backend.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>

#include "ui/system.h"
#include "ui/x11/backend_gtk.h"
#include "ui/x11/backend_x11.h"
#include "ui/x11/launch_args.h"
#include "ui/x11/window_search.h"

namespace ui::sys {

using x11::Dpy;
using x11::X;

void TakeArguments(int argc, char** argv) {
  auto& b = X();
  b.program_path = argc > 0 ? argv[0] : "tessellane";
  b.arguments.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
}

LaunchRequest Launch() {
  const char* env = std::getenv("XSCREENSAVER_WINDOW");
  const x11::LaunchArgs args = x11::ParseLaunchArgs(X().arguments, env ? env : "");
  switch (args.action) {
    case x11::LaunchArgs::Action::kHelp: std::cout << x11::Usage(X().program_path); EndProcess(0);
    case x11::LaunchArgs::Action::kBad:
      std::cerr << X().program_path << ": " << args.error << "\n" << x11::Usage(X().program_path);
      EndProcess(1);
    case x11::LaunchArgs::Action::kEndAtOnce: EndProcess(0);
    case x11::LaunchArgs::Action::kHosted:
      return LaunchRequest{{}, args.root ? DefaultRootWindow(Dpy()) : static_cast<WindowHandle>(args.window)};
    case x11::LaunchArgs::Action::kRun: break;
  }
  return LaunchRequest{args.command_line, 0};
}

std::string AppPath() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string dir(path, static_cast<std::size_t>(n));
  const auto slash = dir.rfind('/');
  return slash == 0 ? "/" : dir.substr(0, slash);
}

// The server frees every window and picture of the connection when it
// closes; the shared image memory was marked for removal when it was made.
void EndProcess(int exit_code) {
  std::fflush(nullptr);
  if (X().display) XCloseDisplay(X().display);
  std::_Exit(exit_code);
}

void ReportFatalError(const std::string& text) { std::cerr << "tessellane: " << text << std::endl; }

void ShowWarning(WindowHandle owner, const std::string& text, const std::string& title) {
  if (x11::UsesGtk()) return x11::gtk::ShowMessage(owner, text, title);
  std::cerr << title << ": " << text << std::endl;
}

double SecondsSinceMidnight() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_nsec / 1e9;
}

// The screen locker asks for the password, not the saver.
bool SaverAsksPassword() { return false; }

// Without O_NONBLOCK a named pipe given as the music file would hold the
// start until something wrote to it.
bool CanOpenForReading(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  const bool file = fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
  close(fd);
  return file;
}

WindowHandle FindWindowByTitle(const std::string& title) {
  WindowHandle found = 0;
  x11::Trapped([&] { found = x11::FindByTitle(Dpy(), title); });
  return found;
}

int ShowCursor(bool show) {
  X().cursor_count += show ? 1 : -1;
  x11::ApplyPointerEverywhere();
  return X().cursor_count;
}

// The server's own blanking and the desktop's saver keep their settings:
// they are the user's, and a setting changed here would outlive a crash.
void SetScreenSaverRunning(bool) {}
void ReactivateScreenSaver() {}

void MakeTopmost(WindowHandle window) {
  XRaiseWindow(Dpy(), static_cast<Window>(window));
  XFlush(Dpy());
}

bool GetWindowRect(WindowHandle window, Rect& rect) {
  bool ok = false;
  x11::Trapped([&] {
    XWindowAttributes a;
    Window child;
    int x = 0, y = 0;
    if (!window || !XGetWindowAttributes(Dpy(), static_cast<Window>(window), &a)) return;
    XTranslateCoordinates(Dpy(), static_cast<Window>(window), DefaultRootWindow(Dpy()), 0, 0, &x, &y, &child);
    rect = Rect{x, y, x + a.width, y + a.height};
    ok = true;
  });
  return ok;
}

void AttachToParent(WindowHandle window, WindowHandle parent) {
  XReparentWindow(Dpy(), static_cast<Window>(window), static_cast<Window>(parent), 0, 0);
  XFlush(Dpy());
}

// X windows have no owner to tell: the program ends with its last form.
void NotifyOwnerClosed(WindowHandle) {}

bool GetCursorPos(Point& point) {
  Window root, child;
  int x, y, wx, wy;
  unsigned int mask;
  if (!XQueryPointer(Dpy(), DefaultRootWindow(Dpy()), &root, &child, &x, &y, &wx, &wy, &mask)) return false;
  point = Point{x, y};
  return true;
}

WindowHandle WindowFromPoint(Point point) {
  WindowHandle found = 0;
  x11::Trapped([&] { found = x11::WindowAt(Dpy(), point.x, point.y); });
  return found;
}

// X has no such animation.
void AnimateCaption(WindowHandle, const Rect&, const Rect&) {}

// X pixels are the device's pixels.
void DeclareDpiAware() {}

bool VerifyPassword(WindowHandle) { return true; }
void ChangePassword(WindowHandle) {}

}  // namespace ui::sys
