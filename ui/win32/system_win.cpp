// System services on Windows: thin wrappers over user32, kernel32 and the
// screen-saver password functions. Text arrives as UTF-8; the Unicode entry
// points take it widened, the ANSI ones in the system's code page.
#include <windows.h>

#include "ui/backend.h"
#include "ui/codepage.h"
#include "ui/common/twips.h"
#include "ui/win32/backend_win.h"
#include "ui/win32/modules_win.h"
#include "ui/win32/surfaces_win.h"
#include "ui/win32/text_win.h"
#include "ui/win32/window_win.h"

namespace ui::sys {
namespace {

using win32::HandleOf;
using win32::HwndOf;

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A function of a DLL that only some systems have (the Windows 9x password
// functions, the DPI switch of later systems); null where it is missing.
template <class Fn>
Fn Optional(const wchar_t* dll, const char* name) {
  HMODULE module = win32::LoadedModule(dll);
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The argument text after the program name, as the language runtime gives it.
std::string CommandLineText() {
  const wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  std::wstring args(p);
  while (!args.empty() && (args.back() == L' ' || args.back() == L'\t')) args.pop_back();
  return win32::FromWide(args);
}

}  // namespace

// Windows passes the switches; a saver never runs inside a host's window.
LaunchRequest Launch() { return LaunchRequest{CommandLineText(), 0}; }
// The exact text comes from the system, quoting and all.
void TakeArguments(int, char**) {}

std::string AppPath() {
  wchar_t path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring dir(path, n);
  const auto slash = dir.find_last_of(L'\\');
  if (slash == std::wstring::npos) return {};
  // A drive root keeps its separator ("C:\"), as the system reports it.
  dir.resize(slash == 2 && dir[1] == L':' ? 3 : slash);
  return win32::FromWide(dir);
}

void EndProcess(int exit_code) { ExitProcess(static_cast<UINT>(exit_code)); }

void ReportFatalError(const std::string& text) {
  MessageBoxW(nullptr, win32::Widen(text).c_str(), L"Tessellane", MB_OK | MB_ICONERROR);
}

void ShowWarning(WindowHandle owner, const std::string& text, const std::string& title) {
  MessageBoxW(HwndOf(owner), win32::Widen(text).c_str(), win32::Widen(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

double SecondsSinceMidnight() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
}

namespace {
bool IsWindowsNT() {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL result = GetVersionExA(&v);
#pragma GCC diagnostic pop
  return result == 1 && v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
}  // namespace

// The NT line asks for the saver's password itself.
bool SaverAsksPassword() { return !IsWindowsNT(); }

bool CanOpenForReading(const std::string& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory cannot be opened, as intended.
  HANDLE f = CreateFileW(win32::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  CloseHandle(f);
  return true;
}

WindowHandle FindWindowByTitle(const std::string& title) {
  return HandleOf(FindWindowW(nullptr, win32::Widen(title).c_str()));
}

int ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

void SetScreenSaverRunning(bool running) {
  // The system takes a sign-extended 16-bit True: all bits set.
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? static_cast<UINT>(-1) : 0, nullptr, 0);
}

void ReactivateScreenSaver() { SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0); }

void MakeTopmost(WindowHandle window) {
  ::SetWindowPos(HwndOf(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool GetWindowRect(WindowHandle window, Rect& rect) {
  RECT r{};
  const BOOL ok = ::GetWindowRect(HwndOf(window), &r);
  rect = ok ? Rect{r.left, r.top, r.right, r.bottom} : Rect{};
  return ok != FALSE;
}

void AttachToParent(WindowHandle window, WindowHandle parent) {
  SetWindowLongW(HwndOf(window), GWL_STYLE, GetWindowLongW(HwndOf(window), GWL_STYLE) | WS_CHILD);
  ::SetParent(HwndOf(window), HwndOf(parent));
}

void NotifyOwnerClosed(WindowHandle window) { PostMessageW(::GetWindow(HwndOf(window), GW_OWNER), WM_CLOSE, 0, 0); }

bool GetCursorPos(Point& point) {
  POINT p{};
  if (!::GetCursorPos(&p)) return false;
  point = {p.x, p.y};
  return true;
}

WindowHandle WindowFromPoint(Point point) { return HandleOf(::WindowFromPoint(POINT{point.x, point.y})); }

void AnimateCaption(WindowHandle window, const Rect& from, const Rect& to) {
  const RECT f = ToRect(from), t = ToRect(to);
  ::DrawAnimatedRects(HwndOf(window), IDANI_CAPTION, &f, &t);
}

void DeclareDpiAware() {
  using Fn = BOOL(WINAPI*)();
  if (auto set_aware = Optional<Fn>(L"user32.dll", "SetProcessDPIAware")) set_aware();
}

bool VerifyPassword(WindowHandle window) {
  using Fn = BOOL(WINAPI*)(HWND);
  auto verify = Optional<Fn>(L"password.cpl", "VerifyScreenSavePwd");
  // Without the password library there is no password to ask for.
  return !verify || verify(HwndOf(window)) != FALSE;
}

void ChangePassword(WindowHandle window) {
  using Fn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
  if (auto change = Optional<Fn>(L"mpr.dll", "PwdChangePasswordA")) change("SCRSAVE", HwndOf(window), 0, 0);
}

}  // namespace ui::sys

namespace ui::screen {
namespace {

int LogPixels(int index) {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, index);
  ReleaseDC(nullptr, dc);
  return dpi;
}

}  // namespace

int TwipsPerPixelX() { return TwipsPerPixelAt(LogPixels(LOGPIXELSX)); }
int TwipsPerPixelY() { return TwipsPerPixelAt(LogPixels(LOGPIXELSY)); }
int WidthTwips() { return GetSystemMetrics(SM_CXSCREEN) * TwipsPerPixelX(); }
int HeightTwips() { return GetSystemMetrics(SM_CYSCREEN) * TwipsPerPixelY(); }
Rect DesktopTwips() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const int tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
  return Rect{x * tx, y * ty, (x + w) * tx, (y + h) * ty};
}

void SetMousePointer(int pointer) {
  win32::Backend().mouse_pointer = pointer;
  SetCursor(LoadCursorW(nullptr, pointer == kHourglassPointer ? IDC_WAIT : IDC_ARROW));
}
int MousePointer() { return win32::Backend().mouse_pointer; }

}  // namespace ui::screen
