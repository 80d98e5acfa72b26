// The event loop and timers on Win32: timers tick only while messages are
// dispatched.
#include <windows.h>

#include <cmath>

#include "ui/backend.h"
#include "ui/form.h"
#include "ui/win32/backend_win.h"
#include "ui/win32/guard_win.h"
#include "ui/win32/surfaces_win.h"
#include "ui/win32/window_win.h"

namespace ui::win32 {
namespace {

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  const auto& timers = Backend().timers;
  auto it = timers.find(id);
  if (it != timers.end() && it->second->OnTick) it->second->OnTick();
}

class Win32TimerPeer : public TimerPeer {
 public:
  explicit Win32TimerPeer(Timer& timer) : timer_(timer) {}
  ~Win32TimerPeer() override { Stop(); }
  void Start(int interval_ms) override {
    Stop();
    id_ = SetTimer(nullptr, 0, static_cast<UINT>(interval_ms), GuardedTimer<TimerProc>);
    if (id_) Backend().timers[id_] = &timer_;
  }
  void Stop() override {
    if (!id_) return;
    KillTimer(nullptr, id_);
    Backend().timers.erase(id_);
    id_ = 0;
  }

 private:
  Timer& timer_;
  UINT_PTR id_ = 0;
};

}  // namespace
}  // namespace ui::win32

namespace ui {

std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) { return std::make_unique<win32::Win32TimerPeer>(timer); }

namespace {

// A look within half a millisecond of the last one is skipped: asking the
// system costs a server round trip under Wine.
bool LookedJustNow() {
  LARGE_INTEGER& frequency = win32::Backend().counter_frequency;
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return !win32::Backend().look.Due(now.QuadPart * 1000000 / frequency.QuadPart);
}

void DispatchPending() {
  ++win32::Backend().dispatch_depth;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  --win32::Backend().dispatch_depth;
}

}  // namespace

void DoEvents() {
  // A handler that asks for pending events (one that changed a picture and
  // wants it seen before it goes on) gets them at once, with everything drawn.
  const bool from_handler = win32::Backend().dispatch_depth > 0;
  if (from_handler) win32::FlushSurfaces();
  else win32::FlushSurfacesIfDue();
  if (!from_handler && LookedJustNow()) return;
  DispatchPending();
}

double MonotonicMs() {
  LARGE_INTEGER& frequency = win32::Backend().counter_frequency;
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000 / static_cast<double>(frequency.QuadPart);
}

void ProcessEventsUntil(double deadline_ms, const std::function<bool()>& done) {
  for (;;) {
    // Wine copies drawing to the screen only while the queue is looked at.
    win32::FlushSurfaces();
    DispatchPending();
    if (done && done()) return;
    const double left = deadline_ms - MonotonicMs();
    if (left <= 0) return;
    // Input, paint and timer messages all wake the wait.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::ceil(left)), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void ProcessEventsFor(std::uint32_t milliseconds, const std::function<bool()>& done) {
  ProcessEventsUntil(MonotonicMs() + milliseconds, done);
}

void RunEventLoop() {
  MSG msg;
  while (win32::LiveForms() > 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    win32::FlushSurfaces();
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace ui
