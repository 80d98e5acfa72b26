// The event pump and the timers of the browser backend. The program's loops
// run in WebAssembly; a wait for events gives the browser control (Asyncify
// unwinds the program's stack and winds it up again), and so does a loop
// that has not waited for a frame's time, so that input, painting and the
// page go on.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>

#include "ui/backend.h"
#include "ui/web/backend_web.h"
#include "ui/web/browser.h"

namespace ui::web {
namespace {

// The longest the program keeps the browser waiting: a frame.
constexpr double kFrameMs = 1000.0 / 60;
// Reading the clock is a call into the browser, and the loops yield after
// every ring and every pixel of a ray: of a run of calls without a wait in
// between, the first and every 16th look at the clock.
constexpr unsigned kCallsPerLook = 16;

std::int64_t Microseconds(double ms) { return static_cast<std::int64_t>(ms * 1000); }

// The form a key goes to: the last one shown that takes keys.
Form* KeyboardForm() {
  const auto& forms = Backend().forms;
  for (auto it = forms.rbegin(); it != forms.rend(); ++it)
    if ((*it)->Visible() && (*it)->OnKeyDown) return *it;
  return nullptr;
}

// A form that covered the viewport follows it to its new size.
void ScreenResized() {
  std::vector<Form*> covering;
  for (Form* f : Backend().forms)
    if (WindowOf(*f).CoversScreen()) covering.push_back(f);
  for (Form* f : covering)
    if (f->OnResize) f->OnResize();
}

void Dispatch(const WebEvent& e) {
  WebBackend& b = Backend();
  switch (e.type) {
    case kKeyDown:
      if (Form* form = KeyboardForm()) form->OnKeyDown(static_cast<Key>(e.key), e.shift);
      return;
    case kCloseSaver: return CloseForms(true);
    case kScreenResized: return ScreenResized();
    case kFocusAway:
      for (auto& [id, window] : b.windows_by_id) window->FocusLayer(nullptr);
      return;
    case kSpinnerStep: {
      const auto it = b.control_events.find(e.window);
      if (it != b.control_events.end()) it->second(e);
      return;
    }
    default: {
      const auto it = b.windows_by_id.find(e.window);
      if (it != b.windows_by_id.end()) it->second->Event(e);
    }
  }
}

void FireDueTimers() {
  const double now = MonotonicMs();
  // A tick may start or stop timers: walk a copy of the list.
  const std::vector<TimerEntry*> timers = Backend().timers;
  for (TimerEntry* t : timers) {
    const auto& live = Backend().timers;
    if (std::find(live.begin(), live.end(), t) == live.end() || now < t->due_ms) continue;
    t->due_ms = now + t->interval_ms;
    if (t->timer && t->timer->OnTick) t->timer->OnTick();
  }
}

// Everything that arrived since the last look, then the timers that fell due.
// A handler's own call of DoEvents looks at once.
void HandleEverything() {
  Backend().calls_since_look = 0;
  WebEvent event;
  while (tess_next_event(&event)) Dispatch(event);
  FireDueTimers();
}

double NextTimerDue(double limit) {
  for (const TimerEntry* t : Backend().timers) limit = std::min(limit, t->due_ms);
  return limit;
}

void WaitUntil(double until_ms) {
  const double left = until_ms - MonotonicMs();
  if (left > 0) tess_wait_events(left);
  Backend().last_yield_ms = MonotonicMs();
  Backend().calls_since_look = 0;
}

class WebTimerPeer : public TimerPeer {
 public:
  explicit WebTimerPeer(Timer& timer) { entry_.timer = &timer; }
  ~WebTimerPeer() override { Stop(); }
  void Start(int interval_ms) override {
    entry_.interval_ms = interval_ms;
    entry_.due_ms = MonotonicMs() + interval_ms;
    auto& timers = Backend().timers;
    if (std::find(timers.begin(), timers.end(), &entry_) == timers.end()) timers.push_back(&entry_);
  }
  void Stop() override {
    auto& timers = Backend().timers;
    timers.erase(std::remove(timers.begin(), timers.end(), &entry_), timers.end());
  }

 private:
  TimerEntry entry_;
};

}  // namespace

WebBackend& Backend() {
  static WebBackend backend;
  return backend;
}

int NextId() { return tess_new_id(); }

void PresentAll() {
  for (auto& [id, window] : Backend().windows_by_id) window->Present();
  Backend().last_present_ms = MonotonicMs();
}

void CloseForms(bool only_screen_covering) {
  const std::vector<Form*> forms = Backend().forms;
  for (Form* f : forms) {
    const auto& now = Backend().forms;
    if (std::find(now.begin(), now.end(), f) == now.end()) continue;
    if (!only_screen_covering || WindowOf(*f).CoversScreen()) f->Unload();
  }
}

}  // namespace ui::web

namespace ui {

using web::Backend;

std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) { return std::make_unique<web::WebTimerPeer>(timer); }

double MonotonicMs() { return emscripten_get_now(); }

// Cheap when nothing is due: the loops call it after every ring and every
// pixel of a ray.
void DoEvents() {
  web::WebBackend& b = Backend();
  if (b.calls_since_look++ % web::kCallsPerLook != 0) return;
  const double now = MonotonicMs();
  if (now - b.last_yield_ms >= web::kFrameMs) {
    web::PresentAll();
    tess_yield();
    b.last_yield_ms = MonotonicMs();
  }
  if (!b.look.Due(web::Microseconds(now))) return;
  web::HandleEverything();
}

void ProcessEventsUntil(double deadline_ms, const std::function<bool()>& done) {
  for (;;) {
    web::PresentAll();
    web::HandleEverything();
    if (done && done()) return;
    if (MonotonicMs() >= deadline_ms) return;
    web::WaitUntil(web::NextTimerDue(deadline_ms));
  }
}

void ProcessEventsFor(std::uint32_t milliseconds, const std::function<bool()>& done) {
  ProcessEventsUntil(MonotonicMs() + milliseconds, done);
}

void RunEventLoop() {
  while (Backend().live_forms > 0) {
    web::PresentAll();
    web::HandleEverything();
    if (Backend().live_forms == 0) return;
    web::WaitUntil(web::NextTimerDue(MonotonicMs() + 1000));
  }
}

}  // namespace ui
