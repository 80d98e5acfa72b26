// Everything a backend provides, in one place: the peers that do for the
// portable widgets what the platform has to do (windows, drawing, input),
// the factories that make them, and the services the program calls by name.
// Each backend (ui/win32, ui/x11 with ui/posix, ui/gtk with ui/posix,
// ui/web, ui/headless) defines what its programs use of it; a new port starts from
// this header and the headless backend, which provides all of it without a
// system. Calls are named for what they are for, not for the system
// function that does them. Text is UTF-8 throughout; a backend converts it
// at its boundary.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ui/font.h"
#include "ui/picture.h"
#include "ui/types.h"

namespace ui {

class Canvas;
class ComboBox;
class ControlLabel;
class Form;
class PalettePictureBox;
class PictureBox;
class Timer;
class UserControl;
class VScrollBar;

// ===== Forms, picture boxes and timers =====================================

// What a backend supplies for a form.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual WindowHandle Handle() = 0;  // creates the window on first use
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetBoundsPixels(int x, int y, int width, int height) = 0;
  virtual void SetBackColor(Colour colour) = 0;
  virtual void Show() = 0;
  virtual void Destroy() = 0;
  // The form draws into `host` (a window of another program) instead of a
  // window of its own; only backends with screen-saver hosts support it.
  virtual void AdoptHost(WindowHandle host) = 0;
  // The pixels of the host's window the form draws into, kept up to date as
  // the host resizes it (hosted forms only).
  virtual Point HostSize() = 0;
};

// What a backend supplies for a picture box: a persistent drawing surface in
// a child window of the form.
class PictureBoxPeer {
 public:
  virtual ~PictureBoxPeer() = default;
  virtual WindowHandle Handle() = 0;
  virtual void SetBoundsPixels(int x, int y, int width, int height) = 0;
  virtual void Clear(Colour back) = 0;
  virtual void Circle(int x, int y, int radius, Colour colour) = 0;
  virtual void Line(int x1, int y1, int x2, int y2, Colour colour) = 0;
  // Copies the source rectangle of a picture into the destination
  // rectangle, stretched or shrunk to its size.
  virtual void PaintPicture(const Picture& picture, const Rect& dest, const Rect& source) = 0;
  virtual void Refresh() = 0;
  virtual void Focus() = 0;
};

class TimerPeer {
 public:
  virtual ~TimerPeer() = default;
  virtual void Start(int interval_ms) = 0;
  virtual void Stop() = 0;
};

// Backend factories (one definition per backend).
std::unique_ptr<FormPeer> CreateFormPeer(Form& form);
std::unique_ptr<PictureBoxPeer> CreatePictureBoxPeer(PictureBox& box, Form& parent);
std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer);

// ===== Containers, native widgets and the palette picture ==================

// What a backend supplies for a canvas beyond its picture box: the mouse
// cursor over windowless controls and the native child windows inside it.
class CanvasPeer {
 public:
  virtual ~CanvasPeer() = default;
  virtual void Attach() = 0;  // the box's window exists
  virtual void SetSunkenBorder(bool sunken) = 0;
  virtual void SetVisible(bool visible) = 0;
  // Below or above every sibling window.
  virtual void ZOrder(bool to_top) = 0;
};

std::unique_ptr<CanvasPeer> CreateCanvasPeer(Canvas& canvas);

class ComboBoxPeer {
 public:
  virtual ~ComboBoxPeer() = default;
  virtual void SetBounds(int x, int y, int width, int height) = 0;
  virtual void SetFont(const Font& font) = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() = 0;
  virtual void AddItem(const std::string& item) = 0;
  virtual WindowHandle Handle() = 0;
};

class ScrollBarPeer {
 public:
  virtual ~ScrollBarPeer() = default;
  virtual void SetBounds(int x, int y, int width, int height) = 0;
  // Positions 0 .. count - 1.
  virtual void SetRange(int count) = 0;
  virtual void SetPosition(int position) = 0;
  virtual WindowHandle Handle() = 0;
};

std::unique_ptr<ComboBoxPeer> CreateComboBoxPeer(ComboBox& box, Canvas& container);
std::unique_ptr<ScrollBarPeer> CreateScrollBarPeer(VScrollBar& bar, Canvas& container);

// What GetObject reports for the bitmap behind a palette picture.
struct BitmapInfo {
  int width = 0;
  int height = 0;
  int width_bytes = 0;  // bytes per scan line
  int bits_pixel = 0;
  std::uint8_t* bits = nullptr;  // scan lines bottom-up: line 0 is the bottom row
};

using Palette = std::array<Colour, 256>;

class PalettePicturePeer {
 public:
  virtual ~PalettePicturePeer() = default;
  virtual void SetBounds(int x, int y, int width, int height) = 0;
  virtual void SetSunkenBorder(bool sunken) = 0;
  virtual BitmapInfo Create(int width, int height, const Palette& palette) = 0;
  virtual void Refresh() = 0;
  virtual WindowHandle Handle() = 0;
};

std::unique_ptr<PalettePicturePeer> CreatePalettePicturePeer(PalettePictureBox& box, Form& form);

// ===== The button control's host ===========================================

// What a backend supplies for a user control. All positions in pixels of the
// control's surface.
class UserControlPeer {
 public:
  virtual ~UserControlPeer() = default;
  virtual WindowHandle Handle() = 0;  // the control's own child window
  virtual void SetBoundsPixels(int x, int y, int width, int height) = 0;
  virtual void Clear(Colour back) = 0;
  virtual void PaintPicture(const Picture& picture, const Rect& dest, const Rect& source) = 0;
  // Fills the rectangle without its right column and bottom row, from the
  // top colour at its upper edge to the bottom colour at its lower edge.
  virtual void PaintVerticalGradient(const Rect& rect, Colour top, Colour bottom) = 0;
  // Opaque: the painted surface shows; transparent: the container shows through.
  virtual void SetOpaque(bool opaque) = 0;
  // The label's text, font, colour, enabled state or position changed.
  virtual void LabelChanged(const ControlLabel& label) = 0;
  // Shows what was painted on the surface now.
  virtual void Refresh() = 0;
  virtual void TakeFocus() = 0;
};

std::unique_ptr<UserControlPeer> CreateUserControlPeer(UserControl& control, Form& container);

// ===== Text ================================================================

enum class Alignment { Left = 0, Right = 1, Center = 2 };

// Puts a child window above its siblings (a window of a control that lies
// over a container).
void BringToTop(WindowHandle child);

// Text for the composition, drawn by the backend's font engine. `box` and
// `clip` are in the target's pixels; alignment within the box; word_wrap
// breaks lines at the box's width (long words too); a disabled text is
// embossed.
void DrawTextInto(Picture& target, const Rect& box, const Rect& clip, std::string_view text, const Font& font,
                  Colour colour, Alignment alignment, bool enabled, bool word_wrap);
// Width and height in pixels of a single line of text.
Point MeasureText(std::string_view text, const Font& font);

// ===== Events and time =====================================================

// Handles every pending window event (input, paint, timer ticks) and returns.
// Event handlers run nested inside this call; timers tick only here.
void DoEvents();

// Handles window events as they arrive for `milliseconds`, waiting for them
// in between without using the processor; returns early once `done` answers
// true after an event. What was drawn stays on screen meanwhile.
void ProcessEventsFor(std::uint32_t milliseconds, const std::function<bool()>& done);

// The same until MonotonicMs() reaches `deadline_ms`: a paced loop waits for
// its next frame here.
void ProcessEventsUntil(double deadline_ms, const std::function<bool()>& done);

// Waits for and handles window events until no form is loaded any more.
void RunEventLoop();

// Milliseconds from an arbitrary start on a clock that only moves forward:
// unlike the time of day, it does not jump when the user or the network sets
// the clock. Waiting for events (ProcessEventsUntil) measures on it too.
double MonotonicMs();

// ===== Code page 932 =======================================================

// Bytes that are not valid in the source encoding become U+FFFD / '?'.
std::string Utf8ToCp932(std::string_view utf8);
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace ui

// ===== Process, windows, dialogs and sound =================================

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

// The colour of text in windows, in the user's colour scheme.
Colour WindowTextColour();

// The colour dialog, opening on black without its custom-colour part
// unfolded; the system's first sixteen colours are its custom colours.
// Nothing when the user cancels.
std::optional<Colour> ChooseColour(WindowHandle owner);

// The open-file dialog with one filter (its description and its patterns,
// such as "*.MP3;*.WAV"). A path must fit 254 characters; nothing when the
// user cancels or the path is longer.
std::optional<std::string> ChooseMusicFile(WindowHandle owner, const std::string& title,
                                           const std::string& filter_description, const std::string& patterns);

// Opens a document or web address with the program the system associates
// with it.
void OpenDocument(WindowHandle window, const std::string& target);

// mciSendString with callback window 0. With a reply buffer (reply not null
// and reply_length > 0) the system gets a buffer of reply_length characters
// that starts with the current text of *reply; afterwards *reply is that
// buffer up to its first NUL. Returns 0 or the MCI error code.
int MciSendString(const std::string& command, std::string* reply, std::size_t reply_length);

// mciGetErrorString into a buffer of `length` characters; `text` receives the
// buffer up to its first NUL. Nonzero when a description was written.
int MciGetErrorString(int code, std::string& text, std::size_t length);

// Plays a wave file over and over without waiting for it; nonzero on success.
int PlaySoundLooped(const std::string& file);
// Stops whatever PlaySoundLooped plays; nonzero on success.
int StopSound();

// How many wave-output devices the system has (0: none).
int WaveOutputDevices();

}  // namespace ui::sys

// ===== Screen ==============================================================

namespace ui::screen {

// The primary monitor.
int WidthTwips();
int HeightTwips();
// What all monitors together cover (the virtual screen); left and top are
// negative where a monitor lies left of or above the primary one.
Rect DesktopTwips();
int TwipsPerPixelX();
int TwipsPerPixelY();
// The screen-wide mouse pointers, numbered as the forms' language numbers them.
constexpr int kDefaultPointer = 0;
constexpr int kHourglassPointer = 11;
void SetMousePointer(int pointer);
int MousePointer();

}  // namespace ui::screen

// ===== Files ===============================================================

namespace ui::files {

// The file's first `max_bytes` bytes (all of them when it is shorter), or
// nothing when it cannot be opened for reading.
std::optional<std::string> Read(const std::string& path, std::size_t max_bytes);

// Writes `bytes` into a new file beside `path`, flushed to the disk, and
// moves it over `path` in one step: afterwards the file is the old one or the
// new one, never a part of either. False, with the system's reason (in the
// system's language), when that could not be done; no new file is left over.
// Where `path` is a symbolic link (a dotfile manager's), the link stays and
// the file it leads to is replaced.
bool Replace(const std::string& path, std::string_view bytes, std::string& reason);

// Creates the folder and every missing folder above it.
bool CreateFolders(const std::string& folder, std::string& reason);

// Where a settings file named `file_name` lives. The program's own copy is
// read when there is no per-user copy; a save goes to the per-user copy
// once it exists, else to the program's copy, else to a new per-user copy.
struct SettingsPlaces {
  std::string program_copy;  // next to the program; "" where there is none
  std::string user_copy;     // the user's own; "" when the user's folder is unknown
};
SettingsPlaces SettingsFilePlaces(const std::string& file_name);

}  // namespace ui::files
