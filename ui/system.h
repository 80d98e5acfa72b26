// The system services the program calls by name. Every text is UTF-8; a
// backend converts to the system's code page where the ANSI entry points are
// used. Each backend (ui/win32, ui/headless, ...) defines these functions.
#pragma once
#include <cstdint>
#include <string>

#include "ui/types.h"

namespace ui::sys {

// --- Process -------------------------------------------------------------
// The command-line text without the program name, as the system passed it.
std::string CommandLine();
// The directory that holds the executable, without a trailing separator
// (except where the system reports a drive root such as "C:\").
std::string AppPath();
// Ends the process at once: no further event is handled.
[[noreturn]] void EndProcess(int exit_code);
// Reports an error that stops the program, the way the language runtime does.
void ReportFatalError(const std::string& text);
// Tells the user something went wrong, in a message box owned by `owner`,
// and returns when it is closed.
void ShowWarning(WindowHandle owner, const std::string& text, const std::string& title);
// Seconds since midnight, local time, with fractions (for reseeding).
double SecondsSinceMidnight();

// --- kernel32 ------------------------------------------------------------
struct OsVersionInfo {
  std::uint32_t size = 148;  // dwOSVersionInfoSize of OSVERSIONINFOA
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platform_id = 0;  // 2 = VER_PLATFORM_WIN32_NT
};
constexpr std::uint32_t kPlatformWin32Nt = 2;
// GetVersionExA: returns the call's own result (nonzero on success).
int GetVersionEx(OsVersionInfo& info);

// Opens the file for sequential reading and closes it again; false on any error
// (missing file, a directory, no permission).
bool CanOpenForReading(const std::string& path);

// --- user32 --------------------------------------------------------------
// A top-level window whose title is exactly `title` (any class), or 0.
WindowHandle FindWindowByTitle(const std::string& title);
// ShowCursor: returns the new display count.
int ShowCursor(bool show);
// SystemParametersInfoA with a null pointer; returns the call's result.
int SystemParametersInfo(std::uint32_t action, std::int32_t param, std::uint32_t flags);
constexpr std::uint32_t kSpiSetScreenSaveActive = 17;
constexpr std::uint32_t kSpiSetScreenSaverRunning = 97;
int SetWindowPos(WindowHandle window, std::intptr_t insert_after, int x, int y, int cx, int cy,
                 std::uint32_t flags);
constexpr std::intptr_t kHwndTopmost = -1;
constexpr std::uint32_t kSwpNoSizeNoMoveNoActivate = 0x13;
bool GetWindowRect(WindowHandle window, Rect& rect);
std::int32_t GetWindowLong(WindowHandle window, int index);
std::int32_t SetWindowLong(WindowHandle window, int index, std::int32_t value);
WindowHandle SetParent(WindowHandle child, WindowHandle parent);
WindowHandle GetWindow(WindowHandle window, std::uint32_t command);
int PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
bool GetCursorPos(Point& point);
WindowHandle WindowFromPoint(Point point);
// DrawAnimatedRects with IDANI_CAPTION from `from` to `to`.
int DrawAnimatedRects(WindowHandle window, int animation, const Rect& from, const Rect& to);
// Makes the process's windows use real device pixels on a high-DPI screen.
void DeclareDpiAware();

// --- Screen-saver password functions (Windows 9x only) ---------------------
// VerifyScreenSavePwd of password.cpl: nonzero when the saver may end.
int VerifyScreenSavePwd(WindowHandle window);
// PwdChangePasswordA of mpr.dll with two zero reserved arguments.
int PwdChangePassword(const std::string& registry_key, WindowHandle window);

}  // namespace ui::sys
