// System services of the headless backend: recorded, answered from the
// test's configuration, and backed by real files for the settings.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ui/backend.h"
#include "ui/codepage.h"
#include "ui/common/twips.h"
#include "ui/headless/mci_sim.h"
#include "ui/headless/state.h"
#include "ui/random.h"

namespace headless {
namespace detail {

Process& TheProcess() {
  static Process process;
  return process;
}

void Record(std::string call) { TheProcess().calls.push_back(std::move(call)); }

std::filesystem::path HostPath(const std::string& path) {
  std::string p = path;
#ifndef _WIN32
  for (char& c : p)
    if (c == '\\') c = '/';
#endif
  return std::filesystem::path(reinterpret_cast<const char8_t*>(p.c_str()));
}

}  // namespace detail

using detail::Record;
using detail::TheProcess;

void Reset() {
  for (auto* t : TheProcess().timers) t->timer = nullptr;
  TheProcess() = detail::Process{};
  mci::Reset();
  ui::ResetRandom();
}

Config& config() { return TheProcess().config; }
double NowMs() { return TheProcess().now_ms; }
void AdvanceMs(double ms) { TheProcess().now_ms += ms; }
const std::vector<std::string>& Calls() { return TheProcess().calls; }
void ClearCalls() { TheProcess().calls.clear(); }

std::vector<std::string> CallsStartingWith(std::string_view prefix) {
  std::vector<std::string> out;
  for (const auto& c : TheProcess().calls)
    if (std::string_view(c).substr(0, prefix.size()) == prefix) out.push_back(c);
  return out;
}

ui::WindowHandle AddForeignWindow(const std::string& title, ui::Rect rect) {
  const ui::WindowHandle h = TheProcess().next_handle++;
  TheProcess().foreign[h] = {title, rect, {}};
  return h;
}

void RemoveForeignWindow(ui::WindowHandle window) {
  TheProcess().foreign.erase(window);
  std::vector<const WindowState*> children;
  for (const auto* f : TheProcess().forms)
    if (f->created && !f->destroyed && ParentOf(f->handle) == window) children.push_back(f);
  for (const auto* f : children) {
    auto it = TheProcess().destroy_form.find(f);
    if (it != TheProcess().destroy_form.end() && !f->destroyed) it->second();
  }
}

void ResizeForeignWindow(ui::WindowHandle window, ui::Rect rect) {
  TheProcess().foreign[window].rect = rect;
  for (const auto* f : TheProcess().forms)
    if (f->created && !f->destroyed && ParentOf(f->handle) == window)
      TheProcess().input.push_back([f] {
        auto it = TheProcess().resize_form.find(f);
        if (it != TheProcess().resize_form.end()) it->second();
      });
}

ui::WindowHandle ParentOf(ui::WindowHandle window) {
  auto it = TheProcess().parents.find(window);
  return it == TheProcess().parents.end() ? 0 : it->second;
}

int CloseRequestsTo(ui::WindowHandle window) {
  auto it = TheProcess().foreign.find(window);
  return it == TheProcess().foreign.end() ? 0 : it->second.close_requests;
}

void SetIdleHook(std::function<void()> hook) { TheProcess().idle_hook = std::move(hook); }

long Surface::Count(ui::Colour colour) const {
  long n = 0;
  for (auto p : pixels) n += p == colour;
  return n;
}

}  // namespace headless

namespace ui::sys {
namespace {

using headless::detail::Record;
using headless::detail::TheProcess;

using headless::detail::HostPath;

}  // namespace

LaunchRequest Launch() { return LaunchRequest{TheProcess().config.command_line, TheProcess().config.host_window}; }
void TakeArguments(int, char**) {}
std::string AppPath() { return TheProcess().config.app_path; }

void EndProcess(int exit_code) {
  Record("EndProcess(" + std::to_string(exit_code) + ")");
  throw headless::ProcessExit{exit_code};
}

void ReportFatalError(const std::string& text) { Record("ReportFatalError(" + text + ")"); }

void ShowWarning(WindowHandle, const std::string& text, const std::string& title) {
  Record("ShowWarning(" + title + "," + text + ")");
}

double SecondsSinceMidnight() {
  return TheProcess().config.start_seconds_since_midnight + TheProcess().now_ms / 1000.0;
}

bool SaverAsksPassword() {
  Record("SaverAsksPassword");
  return TheProcess().config.saver_asks_password;
}

bool CanOpenForReading(const std::string& path) {
  Record("CanOpenForReading(" + path + ")");
  std::error_code ec;
  const auto p = HostPath(path);
  if (std::filesystem::is_directory(p, ec)) return false;
  std::ifstream in(p, std::ios::binary);
  return static_cast<bool>(in);
}

WindowHandle FindWindowByTitle(const std::string& title) {
  Record("FindWindow(" + title + ")");
  for (const auto& [h, w] : TheProcess().foreign)
    if (w.title == title) return h;
  for (const auto* f : TheProcess().forms)
    if (f->created && !f->destroyed && f->caption == title) return f->handle;
  return 0;
}

int ShowCursor(bool show) {
  Record(std::string("ShowCursor(") + (show ? "1" : "0") + ")");
  return TheProcess().cursor_count += show ? 1 : -1;
}

void SetScreenSaverRunning(bool running) {
  Record(std::string("SetScreenSaverRunning(") + (running ? "1" : "0") + ")");
}

void ReactivateScreenSaver() { Record("ReactivateScreenSaver"); }

void MakeTopmost(WindowHandle) { Record("MakeTopmost"); }

bool GetWindowRect(WindowHandle window, Rect& rect) {
  Record("GetWindowRect");
  auto it = TheProcess().foreign.find(window);
  if (it != TheProcess().foreign.end()) {
    rect = it->second.rect;
    return true;
  }
  for (const auto* f : TheProcess().forms)
    if (f->handle == window && !f->destroyed) {
      rect = f->bounds;
      return true;
    }
  rect = {};
  return false;
}

namespace {

bool IsOwnForm(WindowHandle window) {
  for (const auto* f : TheProcess().forms)
    if (f->created && !f->destroyed && f->handle == window) return true;
  return false;
}

}  // namespace

void AttachToParent(WindowHandle window, WindowHandle parent) {
  Record("AttachToParent(" + std::to_string(parent) + ")");
  // Only an existing window adopts a child.
  if (TheProcess().foreign.count(parent) || IsOwnForm(parent)) TheProcess().parents[window] = parent;
}

void NotifyOwnerClosed(WindowHandle window) {
  Record("NotifyOwnerClosed");
  if (!IsOwnForm(window)) return;
  auto it = TheProcess().foreign.find(TheProcess().config.form_owner);
  if (it != TheProcess().foreign.end()) ++it->second.close_requests;
}

bool GetCursorPos(Point& point) {
  Record("GetCursorPos");
  if (!TheProcess().config.cursor_known) return false;
  point = TheProcess().config.cursor;
  return true;
}

WindowHandle WindowFromPoint(Point) {
  Record("WindowFromPoint");
  return TheProcess().window_under_cursor;
}

void AnimateCaption(WindowHandle, const Rect& from, const Rect& to) {
  const auto text = [](const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  };
  Record("AnimateCaption(" + text(from) + "->" + text(to) + ")");
}

void DeclareDpiAware() { Record("DeclareDpiAware"); }

bool VerifyPassword(WindowHandle) {
  Record("VerifyPassword");
  return TheProcess().config.password_accepted;
}

void ChangePassword(WindowHandle window) { Record("ChangePassword(" + std::to_string(window) + ")"); }

}  // namespace ui::sys

namespace ui::screen {

using headless::detail::TheProcess;

int TwipsPerPixelX() {
  return TheProcess().config.dpi ? TwipsPerPixelAt(TheProcess().config.dpi) : TheProcess().config.twips_per_pixel;
}
int TwipsPerPixelY() { return TwipsPerPixelX(); }
int WidthTwips() { return TheProcess().config.screen_width_px * TwipsPerPixelX(); }
int HeightTwips() { return TheProcess().config.screen_height_px * TwipsPerPixelY(); }
Rect DesktopTwips() {
  const auto& c = TheProcess().config;
  const Rect px =
      c.desktop_px.right > c.desktop_px.left ? c.desktop_px : Rect{0, 0, c.screen_width_px, c.screen_height_px};
  const int t = TwipsPerPixelX();
  return Rect{px.left * t, px.top * t, px.right * t, px.bottom * t};
}
void SetMousePointer(int pointer) {
  headless::detail::Record("MousePointer(" + std::to_string(pointer) + ")");
  TheProcess().mouse_pointer = pointer;
}
int MousePointer() { return TheProcess().mouse_pointer; }

}  // namespace ui::screen
