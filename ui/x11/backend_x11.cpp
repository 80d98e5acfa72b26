// The connection, the event pump and the timers of the native Linux backend.
#include "ui/x11/backend_x11.h"

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ui/backend.h"
#include "ui/fatal.h"

namespace ui::x11 {
namespace {

// Drawing reaches the screen about once per display frame.
constexpr auto kFrame = std::chrono::milliseconds(16);

std::int64_t Microseconds(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::microseconds>(t.time_since_epoch()).count();
}

// An error about a window of another program (a host or a preview parent
// that went away) ends the program as the window's destruction does; any
// other error is the program's own fault.
int OnXError(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow || error->error_code == BadDrawable) {
    Backend().host_lost = true;
    return 0;
  }
  char text[256];
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "tessellane: X error: %s (request %d)\n", text, error->request_code);
  return 0;
}

// The server went away: nothing is left to draw on.
int OnXIOError(Display*) { std::_Exit(0); }

void Connect(X11Backend& b) {
  b.display = XOpenDisplay(nullptr);
  if (!b.display) {
    std::fprintf(stderr, "tessellane: cannot open the display \"%s\"\n", XDisplayName(nullptr));
    std::_Exit(1);
  }
  b.screen = DefaultScreen(b.display);
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(OnXIOError);
  // One round trip for every name the backend uses.
  char* names[] = {const_cast<char*>("WM_DELETE_WINDOW"), const_cast<char*>("_NET_WM_NAME"),
                   const_cast<char*>("UTF8_STRING")};
  Atom atoms[std::size(names)] = {};
  XInternAtoms(b.display, names, static_cast<int>(std::size(names)), False, atoms);
  b.wm_delete = atoms[0];
  b.net_wm_name = atoms[1];
  b.utf8_string = atoms[2];
}

void Dispatch(XEvent& event) {
  auto& windows = Backend().windows;
  const auto it = windows.find(event.xany.window);
  if (it == windows.end()) return;
  // The handler may end the window (and erase its entry): call a copy.
  const auto handler = it->second.on_event;
  handler(event);
}

void DispatchPending() {
  Display* d = Dpy();
  while (XPending(d) > 0) {
    XEvent event;
    XNextEvent(d, &event);
    Dispatch(event);
  }
}

void FireDueTimers() {
  const auto now = Clock::now();
  // A tick may start or stop timers: walk a copy of the list.
  const std::vector<TimerEntry*> timers = Backend().timers;
  for (TimerEntry* t : timers) {
    if (std::find(Backend().timers.begin(), Backend().timers.end(), t) == Backend().timers.end()) continue;
    if (!t->running || now < t->due) continue;
    t->due = now + t->interval;
    if (t->timer && t->timer->OnTick) t->timer->OnTick();
  }
}

// Everything that can end or change the program between two steps of a
// loop: a host's window gone, input, timers. (A signal ends the program in
// its handler.)
void HandleEverything() {
  X11Backend& b = Backend();
  const bool host_lost = b.host_lost;
  b.host_lost = false;
  if (host_lost) CloseAllForms();
  DispatchPending();
  FireDueTimers();
}

Clock::time_point NextTimerDue(Clock::time_point limit) {
  for (const TimerEntry* t : Backend().timers)
    if (t->running) limit = std::min(limit, t->due);
  return limit;
}

// Sleeps until an event, a lost host or `until`.
void WaitUntil(Clock::time_point until) {
  const auto now = Clock::now();
  if (until <= now || Backend().host_lost) return;
  XFlush(Dpy());
  if (XPending(Dpy()) > 0 || Backend().host_lost) return;
  pollfd connection{ConnectionNumber(Dpy()), POLLIN, 0};
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1;
  poll(&connection, 1, static_cast<int>(std::min<long long>(ms, 1000)));
}

}  // namespace

X11Backend& Backend() {
  static X11Backend backend;
  return backend;
}

Display* Dpy() {
  X11Backend& b = Backend();
  if (!b.display) Connect(b);
  return b.display;
}

void Listen(Window window, std::function<void(XEvent&)> on_event) {
  Backend().windows[window].on_event = std::move(on_event);
}
void Forget(Window window) { Backend().windows.erase(window); }

void PresentAll() {
  X11Backend& b = Backend();
  for (Presenter* p : b.presenters) p->Present();
  b.last_present = Clock::now();
  if (!b.presented && !b.presenters.empty()) {
    b.presented = true;
    if (b.pointer_pending) ApplyPointerEverywhere();
  }
  XFlush(Dpy());
}

namespace {
int TrapError(Display*, XErrorEvent*) {
  Backend().trapped_error = true;
  return 0;
}
}  // namespace

bool Trapped(const std::function<void()>& requests) {
  Display* d = Dpy();
  XSync(d, False);
  Backend().trapped_error = false;
  auto* previous = XSetErrorHandler(TrapError);
  requests();
  XSync(d, False);
  XSetErrorHandler(previous);
  return !Backend().trapped_error;
}

void CloseAllForms() {
  const std::vector<Form*> forms = Backend().forms;
  for (Form* f : forms)
    if (std::find(Backend().forms.begin(), Backend().forms.end(), f) != Backend().forms.end()) f->Unload();
}

}  // namespace ui::x11

namespace ui {

using x11::Backend;
using x11::Clock;

void DoEvents() {
  const auto now = Clock::now();
  if (now - Backend().last_present >= x11::kFrame) x11::PresentAll();
  if (!Backend().look.Due(x11::Microseconds(now)) && !Backend().host_lost) return;
  x11::HandleEverything();
}

void ProcessEventsUntil(double deadline_ms, const std::function<bool()>& done) {
  const auto end = x11::ClockPointAt(deadline_ms);
  for (;;) {
    x11::PresentAll();
    x11::HandleEverything();
    if (done && done()) return;
    if (Clock::now() >= end) return;
    x11::WaitUntil(x11::NextTimerDue(end));
  }
}

void ProcessEventsFor(std::uint32_t milliseconds, const std::function<bool()>& done) {
  ProcessEventsUntil(MonotonicMs() + milliseconds, done);
}

void RunEventLoop() {
  while (Backend().live_forms > 0) {
    x11::PresentAll();
    x11::HandleEverything();
    if (Backend().live_forms == 0) return;
    x11::WaitUntil(x11::NextTimerDue(Clock::now() + std::chrono::seconds(1)));
  }
}

// Timers tick on the monotonic clock, inside the event pump.
class X11TimerPeer : public TimerPeer {
 public:
  explicit X11TimerPeer(Timer& timer) { entry_.timer = &timer; }
  ~X11TimerPeer() override { Stop(); }
  void Start(int interval_ms) override {
    entry_.interval = std::chrono::milliseconds(interval_ms);
    entry_.due = Clock::now() + entry_.interval;
    entry_.running = true;
    auto& timers = Backend().timers;
    if (std::find(timers.begin(), timers.end(), &entry_) == timers.end()) timers.push_back(&entry_);
  }
  void Stop() override {
    entry_.running = false;
    auto& timers = Backend().timers;
    timers.erase(std::remove(timers.begin(), timers.end(), &entry_), timers.end());
  }

 private:
  x11::TimerEntry entry_;
};

std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) { return std::make_unique<X11TimerPeer>(timer); }

}  // namespace ui
