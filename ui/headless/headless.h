// The headless backend as tests see it: a fake clock, scripted input, the
// system calls recorded as text, and the pixels of every picture box.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/form.h"
#include "ui/types.h"

namespace headless {

// Thrown by ui::sys::EndProcess: the process would end here.
struct ProcessExit {
  int code = 0;
};

struct Config {
  std::string command_line;
  // A screen-saver host's window the display is to draw into (0: none).
  ui::WindowHandle host_window = 0;
  std::string app_path = ".";  // a real directory; "\" in paths is read as "/"
  int screen_width_px = 1024;
  int screen_height_px = 768;
  // Every monitor together; empty: the primary screen alone.
  ui::Rect desktop_px{};
  int twips_per_pixel = ui::kDesignTwipsPerPixel;
  // The screen's dots per inch; when set, twips per pixel follows from it
  // the way the Win32 backend computes it.
  int dpi = 0;
  bool saver_asks_password = false;
  bool password_accepted = true;
  double start_seconds_since_midnight = 36000.5;
  double ms_per_do_events = 0;  // fake time that passes in every DoEvents
  double wait_step_ms = 10;     // longest step of the clock while events are awaited
  ui::Point cursor{};
  bool cursor_known = true;
  // The window that owns the program's forms (the preview's host).
  ui::WindowHandle form_owner = 0;
  // The user's local application-data folder ("" = unknown).
  std::string local_app_data;
  // Folders (path prefixes) where files cannot be created or replaced.
  std::vector<std::string> unwritable_folders;
  // The new file is written, then the disk fills before it is complete.
  bool fail_replace_after_writing = false;
  // Off: picture boxes count what is drawn on them without keeping its
  // pixels (a desktop too large to keep in memory).
  bool keep_pixels = true;
  // Safety net for RunEventLoop in tests that never end the program.
  long max_event_loop_passes = 1000000;
};

// A fresh process: default config, clock at 0, no calls, no windows, the
// random generator at its start state, no hooks or queued input.
void Reset();
Config& config();

// Fake clock in milliseconds. Waiting for events advances it, ticking timers on the way.
double NowMs();
void AdvanceMs(double ms);

// System calls in the order made, e.g. "ShowCursor(0)" or
// "SetScreenSaverRunning(1)".
const std::vector<std::string>& Calls();
std::vector<std::string> CallsStartingWith(std::string_view prefix);
void ClearCalls();

// A window of another program, found by FindWindowByTitle and GetWindowRect.
ui::WindowHandle AddForeignWindow(const std::string& title, ui::Rect rect = {});
// Destroys a foreign window; the program's forms that were made its children
// with AttachToParent are destroyed with it, their unload running as it would.
void RemoveForeignWindow(ui::WindowHandle window);
// Gives a foreign window a new rectangle; the forms drawing into it hear of
// the new size in the next DoEvents.
void ResizeForeignWindow(ui::WindowHandle window, ui::Rect rect);
// The parent AttachToParent gave a window, or 0.
ui::WindowHandle ParentOf(ui::WindowHandle window);
// How often a foreign window was asked to close.
int CloseRequestsTo(ui::WindowHandle window);

// Runs at the start of every DoEvents, before queued input is delivered.
void SetIdleHook(std::function<void()> hook);

// Input, delivered in order by the next DoEvents.
void PostKeyDown(ui::Form& form, ui::Key key, int shift = 0);
void PostMouseMove(ui::PictureBox& box, float x, float y, int button = 0);
void PostMouseDown(ui::PictureBox& box, int button, float x, float y);
void PostMouseUp(ui::PictureBox& box, int button, float x, float y);
void PostClick(ui::PictureBox& box);
// The system takes the mouse away from the box (another window captured it).
void PostCaptureLost(ui::PictureBox& box);

struct CircleRecord {
  int x = 0;
  int y = 0;
  int radius = 0;
  ui::Colour colour = 0;
};

struct Surface {
  int width = 0;
  int height = 0;
  std::vector<ui::Colour> pixels;
  long circles = 0;
  long clears = 0;
  CircleRecord last_circle;
  ui::Colour At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  long Count(ui::Colour colour) const;
};
const Surface& SurfaceOf(ui::PictureBox& box);

struct WindowState {
  ui::WindowHandle handle = 0;
  bool created = false;
  bool visible = false;
  bool destroyed = false;
  ui::Rect bounds;  // pixels
  std::string caption;
};
const WindowState& StateOf(ui::Form& form);

}  // namespace headless
