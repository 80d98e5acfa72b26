// The display program's backend: one connection to the X server, the
// program's windows and timers, and the event pump the forms' events come
// from. All of its state lives in one X11Backend object.
#pragma once
#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/common/look_throttle.h"
#include "ui/form.h"

namespace ui::x11 {

using Clock = std::chrono::steady_clock;
// The time point of a reading of ui::MonotonicMs, which reads this clock.
inline Clock::time_point ClockPointAt(double monotonic_ms) {
  return Clock::time_point(
      std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(monotonic_ms)));
}

// What the backend does with the events of one of its windows (or of a
// host's window it watches).
struct WindowSink {
  std::function<void(XEvent&)> on_event;
};

struct TimerEntry {
  Timer* timer = nullptr;
  std::chrono::milliseconds interval{0};
  Clock::time_point due{};
  bool running = false;
};

// A surface that collects drawing and copies it to its window when asked.
class Presenter {
 public:
  virtual ~Presenter() = default;
  virtual void Present() = 0;
  // The server lost what a window showed: it is drawn anew at the next Present.
  virtual void Exposed(Window window) = 0;
};

struct X11Backend {
  Display* display = nullptr;
  int screen = 0;
  Atom wm_delete = 0, net_wm_name = 0, utf8_string = 0;
  // Whether the server shares image memory with this program (MIT-SHM that
  // also works: not over a remote connection); -1 until asked.
  int shares_images = -1;
  // An error caught while a request's answer was awaited.
  bool trapped_error = false;

  std::map<Window, WindowSink> windows;
  std::vector<Form*> forms;
  std::vector<TimerEntry*> timers;
  std::vector<Presenter*> presenters;
  int live_forms = 0;
  // ShowCursor's display count: the pointer is hidden below 0.
  int cursor_count = 0;
  // The first picture has been presented; a pointer shape asked for before
  // it is set then.
  bool presented = false;
  bool pointer_pending = false;
  Cursor blank_cursor = 0, watch_cursor = 0;
  // The desktop's dots per inch; 0 until asked.
  int dpi = 0;
  int mouse_pointer = 0;

  // A window of another program the forms draw into went away.
  bool host_lost = false;

  LookThrottle look;
  Clock::time_point last_present{};
};

// The one backend of the process, connected on first use.
X11Backend& Backend();
Display* Dpy();

// Registers a window's event handler; Forget removes it.
void Listen(Window window, std::function<void(XEvent&)> on_event);
void Forget(Window window);

// Copies what every surface drew since the last time to the screen.
void PresentAll();

// Makes a window with the program's visual, borderless and not managed.
Window CreatePlainWindow(Window parent, int x, int y, int width, int height, bool override_redirect);

// Sets a window's title as the window managers and other programs read it.
void SetTitle(Window window, const std::string& title);

// The pointer shape that ShowCursor and SetMousePointer ask for, on every
// window of the program.
void ApplyPointer(Window window);
void ApplyPointerEverywhere();

// Runs requests about windows that may go away at any time (other
// programs'), and waits for the server's answer; false when one failed.
bool Trapped(const std::function<void()>& requests);

// Closes every form the way the system asks a window to close.
void CloseAllForms();

}  // namespace ui::x11
