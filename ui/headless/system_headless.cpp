// System services of the headless backend: recorded, answered from the
// test's configuration, and backed by real files for the settings.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ui/codepage.h"
#include "ui/common/twips.h"
#include "ui/headless/mci_sim.h"
#include "ui/headless/state.h"
#include "ui/random.h"
#include "ui/screen.h"
#include "ui/system.h"

namespace headless {
namespace detail {

Process& P() {
  static Process process;
  return process;
}

void Record(std::string call) { P().calls.push_back(std::move(call)); }

std::filesystem::path HostPath(const std::string& path) {
  std::string p = path;
#ifndef _WIN32
  for (char& c : p)
    if (c == '\\') c = '/';
#endif
  return std::filesystem::path(reinterpret_cast<const char8_t*>(p.c_str()));
}

}  // namespace detail

using detail::P;
using detail::Record;

void Reset() {
  for (auto* t : P().timers) t->timer = nullptr;
  P() = detail::Process{};
  mci::Reset();
  ui::ResetRandom();
}

Config& config() { return P().config; }
double NowMs() { return P().now_ms; }
void AdvanceMs(double ms) { P().now_ms += ms; }
const std::vector<std::string>& Calls() { return P().calls; }
void ClearCalls() { P().calls.clear(); }

std::vector<std::string> CallsStartingWith(std::string_view prefix) {
  std::vector<std::string> out;
  for (const auto& c : P().calls)
    if (std::string_view(c).substr(0, prefix.size()) == prefix) out.push_back(c);
  return out;
}

ui::WindowHandle AddForeignWindow(const std::string& title, ui::Rect rect) {
  const ui::WindowHandle h = P().next_handle++;
  P().foreign[h] = {title, rect, {}};
  return h;
}

void RemoveForeignWindow(ui::WindowHandle window) {
  P().foreign.erase(window);
  std::vector<const WindowState*> children;
  for (const auto* f : P().forms)
    if (f->created && !f->destroyed && ParentOf(f->handle) == window) children.push_back(f);
  for (const auto* f : children) {
    auto it = P().destroy_form.find(f);
    if (it != P().destroy_form.end() && !f->destroyed) it->second();
  }
}

ui::WindowHandle ParentOf(ui::WindowHandle window) {
  auto it = P().parents.find(window);
  return it == P().parents.end() ? 0 : it->second;
}

std::vector<std::string> MessagesPostedTo(ui::WindowHandle window) {
  auto it = P().foreign.find(window);
  return it == P().foreign.end() ? std::vector<std::string>{} : it->second.posted;
}

void SetIdleHook(std::function<void()> hook) { P().idle_hook = std::move(hook); }

long Surface::Count(ui::Colour colour) const {
  long n = 0;
  for (auto p : pixels) n += p == colour;
  return n;
}

}  // namespace headless

namespace ui::sys {
namespace {

using headless::detail::P;
using headless::detail::Record;

using headless::detail::HostPath;

}  // namespace

std::string CommandLine() { return P().config.command_line; }
std::string AppPath() { return P().config.app_path; }

void EndProcess(int exit_code) {
  Record("EndProcess(" + std::to_string(exit_code) + ")");
  throw headless::ProcessExit{exit_code};
}

void ReportFatalError(const std::string& text) { Record("ReportFatalError(" + text + ")"); }

void ShowWarning(WindowHandle, const std::string& text, const std::string& title) {
  Record("ShowWarning(" + title + "," + text + ")");
}

double SecondsSinceMidnight() { return P().config.start_seconds_since_midnight + P().now_ms / 1000.0; }

int GetVersionEx(OsVersionInfo& info) {
  Record("GetVersionEx(" + std::to_string(info.size) + ")");
  if (info.size != 148) return 0;
  info.platform_id = P().config.windows_nt ? kPlatformWin32Nt : 1;
  info.major = P().config.windows_nt ? 5 : 4;
  return P().config.get_version_result;
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
  for (const auto& [h, w] : P().foreign)
    if (w.title == title) return h;
  for (const auto* f : P().forms)
    if (f->created && !f->destroyed && f->caption == title) return f->handle;
  return 0;
}

int ShowCursor(bool show) {
  Record(std::string("ShowCursor(") + (show ? "1" : "0") + ")");
  return P().cursor_count += show ? 1 : -1;
}

int SystemParametersInfo(std::uint32_t action, std::int32_t param, std::uint32_t flags) {
  Record("SystemParametersInfo(" + std::to_string(action) + "," + std::to_string(param) + "," +
         std::to_string(flags) + ")");
  return 1;
}

int SetWindowPos(WindowHandle window, std::intptr_t insert_after, int x, int y, int cx, int cy,
                 std::uint32_t flags) {
  Record("SetWindowPos(" + std::to_string(insert_after) + "," + std::to_string(x) + "," + std::to_string(y) + "," +
         std::to_string(cx) + "," + std::to_string(cy) + "," + std::to_string(flags) + ")");
  return 1;
}

bool GetWindowRect(WindowHandle window, Rect& rect) {
  Record("GetWindowRect");
  auto it = P().foreign.find(window);
  if (it != P().foreign.end()) {
    rect = it->second.rect;
    return true;
  }
  for (const auto* f : P().forms)
    if (f->handle == window && !f->destroyed) {
      rect = f->bounds;
      return true;
    }
  rect = {};
  return false;
}

namespace {

constexpr int kGwlStyle = -16;
// A form starts as the Win32 backend creates it: WS_POPUP | WS_CLIPCHILDREN.
constexpr std::int32_t kFormStyle = static_cast<std::int32_t>(0x82000000u);

bool IsOwnForm(WindowHandle window) {
  for (const auto* f : P().forms)
    if (f->created && !f->destroyed && f->handle == window) return true;
  return false;
}

std::int32_t StyleOf(WindowHandle window) {
  auto it = P().styles.find(window);
  if (it != P().styles.end()) return it->second;
  return IsOwnForm(window) ? kFormStyle : 0;
}

}  // namespace

std::int32_t GetWindowLong(WindowHandle window, int index) {
  Record("GetWindowLong(" + std::to_string(index) + ")");
  return index == kGwlStyle ? StyleOf(window) : 0;
}

std::int32_t SetWindowLong(WindowHandle window, int index, std::int32_t value) {
  Record("SetWindowLong(" + std::to_string(index) + "," + std::to_string(value) + ")");
  if (index != kGwlStyle) return 0;
  const std::int32_t previous = StyleOf(window);
  P().styles[window] = value;
  return previous;
}

WindowHandle SetParent(WindowHandle child, WindowHandle parent) {
  Record("SetParent(" + std::to_string(parent) + ")");
  // Only an existing window adopts a child.
  if (!P().foreign.count(parent) && !IsOwnForm(parent)) return 0;
  const WindowHandle previous = headless::ParentOf(child);
  P().parents[child] = parent;
  return previous;
}

WindowHandle GetWindow(WindowHandle window, std::uint32_t command) {
  Record("GetWindow(" + std::to_string(command) + ")");
  constexpr std::uint32_t kGwOwner = 4;
  return command == kGwOwner && IsOwnForm(window) ? P().config.form_owner : 0;
}

int PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  Record("PostMessage(" + std::to_string(message) + ")");
  auto it = P().foreign.find(window);
  if (it == P().foreign.end()) return 0;
  it->second.posted.push_back("WM_" + std::to_string(message) + "(" + std::to_string(wparam) + "," +
                              std::to_string(lparam) + ")");
  return 1;
}

bool GetCursorPos(Point& point) {
  Record("GetCursorPos");
  if (!P().config.cursor_known) return false;
  point = P().config.cursor;
  return true;
}

WindowHandle WindowFromPoint(Point) {
  Record("WindowFromPoint");
  return P().window_under_cursor;
}

int DrawAnimatedRects(WindowHandle, int animation, const Rect& from, const Rect& to) {
  Record("DrawAnimatedRects(" + std::to_string(animation) + "," + std::to_string(from.left) + "," +
         std::to_string(from.top) + "," + std::to_string(from.right) + "," + std::to_string(from.bottom) + "->" +
         std::to_string(to.left) + "," + std::to_string(to.top) + "," + std::to_string(to.right) + "," +
         std::to_string(to.bottom) + ")");
  return 1;
}

void DeclareDpiAware() { Record("DeclareDpiAware"); }

int VerifyScreenSavePwd(WindowHandle) {
  Record("VerifyScreenSavePwd");
  return P().config.verify_password_result;
}

int PwdChangePassword(const std::string& registry_key, WindowHandle window) {
  Record("PwdChangePassword(" + registry_key + "," + std::to_string(window) + ")");
  return 1;
}

}  // namespace ui::sys

namespace ui::screen {

using headless::detail::P;

int TwipsPerPixelX() { return P().config.dpi ? TwipsPerPixelAt(P().config.dpi) : P().config.twips_per_pixel; }
int TwipsPerPixelY() { return TwipsPerPixelX(); }
int WidthTwips() { return P().config.screen_width_px * TwipsPerPixelX(); }
int HeightTwips() { return P().config.screen_height_px * TwipsPerPixelY(); }
Rect DesktopTwips() {
  const auto& c = P().config;
  const Rect px = c.desktop_px.right > c.desktop_px.left
                      ? c.desktop_px
                      : Rect{0, 0, c.screen_width_px, c.screen_height_px};
  const int t = TwipsPerPixelX();
  return Rect{px.left * t, px.top * t, px.right * t, px.bottom * t};
}
void SetMousePointer(int pointer) {
  headless::detail::Record("MousePointer(" + std::to_string(pointer) + ")");
  P().mouse_pointer = pointer;
}
int MousePointer() { return P().mouse_pointer; }

}  // namespace ui::screen
