// System services in the browser: the switches the page starts the program
// with, its end, the windows of the page, the pointer and the screen (the
// viewport, in CSS pixels or, once the program says it is aware of the
// screen's resolution, device pixels).
#include <cmath>

#include "ui/backend.h"
#include "ui/web/backend_web.h"
#include "ui/web/browser.h"

namespace ui::web {
namespace {

constexpr int kTwipsPerPixel = kDesignTwipsPerPixel;
constexpr const char* kProgramName = "テセレーン";

int ToPixels(double css) { return static_cast<int>(std::lround(css / CssPerPixel())); }

Rect ViewportPixels() {
  double width = 0, height = 0, ratio = 1;
  tess_viewport(&width, &height, &ratio);
  return Rect{0, 0, ToPixels(width), ToPixels(height)};
}

Rect InTwips(const Rect& r) {
  return Rect{r.left * kTwipsPerPixel, r.top * kTwipsPerPixel, r.right * kTwipsPerPixel, r.bottom * kTwipsPerPixel};
}

}  // namespace
}  // namespace ui::web

namespace ui::sys {

using web::Backend;

void TakeArguments(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) line += (i > 1 ? " " : "") + std::string(argv[i]);
  Backend().command_line = line;
}

// The page never hosts the display in a window of its own making.
LaunchRequest Launch() { return LaunchRequest{Backend().command_line, 0}; }

// The program's files live in the browser's storage, not in a folder.
std::string AppPath() { return ""; }

void EndProcess(int exit_code) {
  web::PresentAll();
  tess_end_process(exit_code);
  __builtin_unreachable();
}

void ReportFatalError(const std::string& text) { tess_message(text.c_str(), web::kProgramName); }

void ShowWarning(WindowHandle, const std::string& text, const std::string& title) {
  tess_message(text.c_str(), title.c_str());
}

double SecondsSinceMidnight() { return tess_seconds_since_midnight(); }

WindowHandle FindWindowByTitle(const std::string& title) {
  return static_cast<WindowHandle>(tess_find_title(title.c_str()));
}

int ShowCursor(bool show) {
  Backend().cursor_count += show ? 1 : -1;
  web::ApplyPointerEverywhere();
  return Backend().cursor_count;
}

// A form lies over the page from the moment it shows.
void MakeTopmost(WindowHandle) {}

bool GetWindowRect(WindowHandle window, Rect& rect) {
  double css[4] = {};
  if (!tess_window_rect(static_cast<int>(window), css)) {
    rect = {};
    return false;
  }
  rect = Rect{web::ToPixels(css[0]), web::ToPixels(css[1]), web::ToPixels(css[2]), web::ToPixels(css[3])};
  return true;
}

void AttachToParent(WindowHandle window, WindowHandle parent) {
  tess_form_attach(static_cast<int>(window), static_cast<int>(parent));
}

bool GetCursorPos(Point& point) {
  double x = 0, y = 0;
  if (!tess_pointer_position(&x, &y)) return false;
  point = Point{web::ToPixels(x), web::ToPixels(y)};
  return true;
}

WindowHandle WindowFromPoint(Point point) {
  const double scale = web::CssPerPixel();
  double local_x = 0, local_y = 0;
  const int id = tess_window_at(point.x * scale, point.y * scale, &local_x, &local_y);
  const auto it = Backend().windows_by_id.find(id);
  return it == Backend().windows_by_id.end() ? static_cast<WindowHandle>(id) : it->second->HandleAt(local_x, local_y);
}

// From here on a pixel is a device pixel: the rings are one device pixel
// wide on a high-resolution screen. Forms placed before follow.
void DeclareDpiAware() {
  if (Backend().device_pixels) return;
  Backend().device_pixels = true;
  for (const auto& [form, window] : Backend().form_windows) window->Relayout();
}

}  // namespace ui::sys

namespace ui::screen {

using web::Backend;

// The viewport is the whole screen the program knows: it cannot reach past
// the browser's window.
int WidthTwips() { return web::InTwips(web::ViewportPixels()).right; }
int HeightTwips() { return web::InTwips(web::ViewportPixels()).bottom; }
Rect DesktopTwips() { return web::InTwips(web::ViewportPixels()); }
int TwipsPerPixelX() { return web::kTwipsPerPixel; }
int TwipsPerPixelY() { return web::kTwipsPerPixel; }

void SetMousePointer(int pointer) {
  Backend().mouse_pointer = pointer;
  web::ApplyPointerEverywhere();
}
int MousePointer() { return Backend().mouse_pointer; }

}  // namespace ui::screen
