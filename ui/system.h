// The system services the program calls by name. Every text is UTF-8; a
// backend converts to the system's code page where the ANSI entry points are
// used. Each backend (ui/win32, ui/headless, ...) defines these functions.
#pragma once
#include <string>

#include "ui/types.h"

namespace ui::sys {

// --- Process -------------------------------------------------------------
// How the program was started.
struct LaunchRequest {
  // The screen-saver switches ("/s", "/p 1234", "/c", ...), as the program
  // reads them; empty when none was given.
  std::string command_line;
  // A window a screen-saver host made for the display to draw into, at its
  // size; 0 when the display opens a window of its own. The host then
  // decides when the saver ends: input does not end it.
  WindowHandle host_window = 0;
};
LaunchRequest Launch();
// The arguments main was given, for the backends that read them from there.
void TakeArguments(int argc, char** argv);
// The directory that holds the executable, without a trailing separator
// (except where the system reports a drive root such as "C:\").
std::string AppPath();
// Ends the process at once: no further event is handled.
[[noreturn]] void EndProcess(int exit_code);
// Where the settings window is a program of its own: runs it in this
// process's place, with the arguments this one was given. Should it not
// start, the program ends with exit code 1 and says why.
[[noreturn]] void StartSettingsProgram();
// Reports an error that stops the program, the way the language runtime does.
void ReportFatalError(const std::string& text);
// Tells the user something went wrong, in a message box owned by `owner`,
// and returns when it is closed.
void ShowWarning(WindowHandle owner, const std::string& text, const std::string& title);
// Seconds since midnight, local time, with fractions (for reseeding).
double SecondsSinceMidnight();

// Whether the saver itself asks for the password before it ends and offers
// the password change (the Windows 9x line); elsewhere the system does it.
bool SaverAsksPassword();

// Opens the file for sequential reading and closes it again; false on any error
// (missing file, a directory, no permission).
bool CanOpenForReading(const std::string& path);

// --- Windows ---------------------------------------------------------------
// A top-level window whose title is exactly `title` (any class), or 0.
WindowHandle FindWindowByTitle(const std::string& title);
// Shows or hides the mouse pointer; returns the new display count.
int ShowCursor(bool show);
// Tells the system whether a screen saver runs (the older line then keeps
// the task-switching keys from the user).
void SetScreenSaverRunning(bool running);
// Switches the system's screen-saver timeout on again.
void ReactivateScreenSaver();
// Puts the window above every window that is not topmost, where it stands,
// without activating it.
void MakeTopmost(WindowHandle window);
// The window's rectangle in screen pixels; false when there is no such window.
bool GetWindowRect(WindowHandle window, Rect& rect);
// Makes a top-level window a child window of `parent`: first its style,
// then its parent.
void AttachToParent(WindowHandle window, WindowHandle parent);
// Asks the window that owns `window` to close, without waiting for it.
void NotifyOwnerClosed(WindowHandle window);
bool GetCursorPos(Point& point);
WindowHandle WindowFromPoint(Point point);
// The system's animation of a caption moving from one rectangle to another
// (a window opening from, or closing into, a point).
void AnimateCaption(WindowHandle window, const Rect& from, const Rect& to);
// Makes the process's windows use real device pixels on a high-DPI screen.
void DeclareDpiAware();

// --- The saver's own password (where SaverAsksPassword) ------------------------
// Asks for the password; true when the saver may end.
bool VerifyPassword(WindowHandle window);
// Lets the user set a new password, in a dialog owned by `window`.
void ChangePassword(WindowHandle window);

}  // namespace ui::sys
