// Forms, picture boxes and timers of the headless backend. A picture box is a
// pixel buffer; a timer ticks on the fake clock inside DoEvents.
#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/backend.h"
#include "ui/common/raster.h"
#include "ui/form.h"
#include "ui/headless/state.h"

namespace headless {
namespace {

using detail::TheProcess;

void Unregister(WindowState* state) {
  auto& forms = TheProcess().forms;
  forms.erase(std::remove(forms.begin(), forms.end(), state), forms.end());
}

class HeadlessFormPeer : public ui::FormPeer {
 public:
  explicit HeadlessFormPeer(ui::Form& form) {
    TheProcess().forms.push_back(&state_);
    TheProcess().destroy_form[&state_] = [&form] { form.Unload(); };
    TheProcess().resize_form[&state_] = [&form] {
      if (form.OnResize) form.OnResize();
    };
  }
  ~HeadlessFormPeer() override {
    Unregister(&state_);
    TheProcess().destroy_form.erase(&state_);
    TheProcess().resize_form.erase(&state_);
  }

  ui::WindowHandle Handle() override {
    if (!state_.created) {
      state_.created = true;
      state_.handle = TheProcess().next_handle++;
    }
    return state_.handle;
  }
  void SetCaption(const std::string& caption) override { state_.caption = caption; }
  void SetBoundsPixels(int x, int y, int w, int h) override { state_.bounds = {x, y, x + w, y + h}; }
  void SetBackColor(ui::Colour) override {}
  void Show() override {
    Handle();
    state_.visible = true;
  }
  void Destroy() override {
    state_.visible = false;
    state_.destroyed = true;
  }
  void AdoptHost(ui::WindowHandle host) override {
    detail::Record("AdoptHost(" + std::to_string(host) + ")");
    TheProcess().parents[Handle()] = host;
  }
  ui::Point HostSize() override {
    const ui::Rect host = TheProcess().foreign[ParentOf(Handle())].rect;
    return ui::Point{host.right - host.left, host.bottom - host.top};
  }

  WindowState state_;
};

class HeadlessPictureBoxPeer : public ui::PictureBoxPeer {
 public:
  ui::WindowHandle Handle() override {
    if (!handle_) handle_ = TheProcess().next_handle++;
    return handle_;
  }
  void SetBoundsPixels(int, int, int w, int h) override {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == surface_.width && h == surface_.height) return;
    if (TheProcess().config.keep_pixels) {
      ui::ResizeKeeping(surface_, w, h, back_);
    } else {
      surface_.width = w, surface_.height = h;
      surface_.pixels.clear();
    }
  }
  void Clear(ui::Colour back) override {
    back_ = back;
    std::fill(surface_.pixels.begin(), surface_.pixels.end(), back);
    ++surface_.clears;
  }
  void Circle(int cx, int cy, int r, ui::Colour colour) override {
    ++surface_.circles;
    surface_.last_circle = {cx, cy, r, colour};
    if (Kept()) ui::DrawCircle(ui::PixelGrid::Of(surface_), cx, cy, r, colour);
  }
  void Line(int x1, int y1, int x2, int y2, ui::Colour colour) override {
    if (Kept()) ui::DrawLine(ui::PixelGrid::Of(surface_), x1, y1, x2, y2, colour);
  }
  void PaintPicture(const ui::Picture& pic, const ui::Rect& d, const ui::Rect& s) override {
    if (Kept()) ui::StretchNearest(ui::PixelGrid::Of(surface_), pic, d, s);
  }
  void Refresh() override {}
  void Focus() override {}

  Surface surface_;

 private:
  bool Kept() const { return !surface_.pixels.empty(); }
  ui::WindowHandle handle_ = 0;
  ui::Colour back_ = 0;
};

class HeadlessTimerPeer : public ui::TimerPeer {
 public:
  explicit HeadlessTimerPeer(ui::Timer& timer) { entry_.timer = &timer; }
  ~HeadlessTimerPeer() override { Stop(); }
  void Start(int interval_ms) override {
    Stop();
    entry_.interval = interval_ms;
    entry_.next_due = TheProcess().now_ms + interval_ms;
    TheProcess().timers.push_back(&entry_);
  }
  void Stop() override {
    auto& timers = TheProcess().timers;
    timers.erase(std::remove(timers.begin(), timers.end(), &entry_), timers.end());
  }

 private:
  detail::TimerEntry entry_;
};

}  // namespace

namespace detail {

// Every timer that is due ticks once; a late timer does not catch up.
void FireDueTimers() {
  const auto due = TheProcess().timers;
  for (TimerEntry* t : due) {
    if (std::find(TheProcess().timers.begin(), TheProcess().timers.end(), t) == TheProcess().timers.end()) continue;
    if (TheProcess().now_ms < t->next_due) continue;
    t->next_due = TheProcess().now_ms + t->interval;
    if (t->timer && t->timer->OnTick) t->timer->OnTick();
  }
}

}  // namespace detail

const Surface& SurfaceOf(ui::PictureBox& box) { return static_cast<HeadlessPictureBoxPeer&>(box.Peer()).surface_; }
const WindowState& StateOf(ui::Form& form) { return static_cast<HeadlessFormPeer&>(form.Peer()).state_; }

void PostKeyDown(ui::Form& form, ui::Key key, int shift) {
  TheProcess().input.push_back([&form, key, shift] {
    if (form.OnKeyDown) form.OnKeyDown(key, shift);
  });
}

void PostMouseMove(ui::PictureBox& box, float x, float y, int button) {
  TheProcess().input.push_back([&box, x, y, button] {
    if (box.OnMouseMove) box.OnMouseMove(button, 0, x, y);
  });
}

void PostMouseDown(ui::PictureBox& box, int button, float x, float y) {
  TheProcess().input.push_back([&box, button, x, y] {
    if (box.OnMouseDown) box.OnMouseDown(button, 0, x, y);
  });
}

void PostMouseUp(ui::PictureBox& box, int button, float x, float y) {
  TheProcess().input.push_back([&box, button, x, y] {
    if (box.OnMouseUp) box.OnMouseUp(button, 0, x, y);
  });
}

void PostClick(ui::PictureBox& box) {
  TheProcess().input.push_back([&box] {
    if (box.OnClick) box.OnClick();
  });
}

void PostCaptureLost(ui::PictureBox& box) {
  TheProcess().input.push_back([&box] {
    if (box.OnCaptureLost) box.OnCaptureLost();
  });
}

}  // namespace headless

namespace ui {

std::unique_ptr<FormPeer> CreateFormPeer(Form& form) { return std::make_unique<headless::HeadlessFormPeer>(form); }
std::unique_ptr<PictureBoxPeer> CreatePictureBoxPeer(PictureBox&, Form&) {
  return std::make_unique<headless::HeadlessPictureBoxPeer>();
}
std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) {
  return std::make_unique<headless::HeadlessTimerPeer>(timer);
}

namespace {

void DeliverPending() {
  auto& p = headless::detail::TheProcess();
  headless::detail::FireDueTimers();
  if (p.idle_hook) p.idle_hook();
  // Only what was pending when the call began; handlers may queue more.
  for (std::size_t n = p.input.size(); n > 0 && !p.input.empty(); --n) {
    auto event = std::move(p.input.front());
    p.input.pop_front();
    event();
  }
}

// When the next timer is due, or never.
double NextTimerDue() {
  double due = std::numeric_limits<double>::infinity();
  for (const auto* t : headless::detail::TheProcess().timers) due = std::min(due, t->next_due);
  return due;
}

}  // namespace

void DoEvents() {
  auto& p = headless::detail::TheProcess();
  p.now_ms += p.config.ms_per_do_events;
  DeliverPending();
}

// The fake clock moves from event to event: to the next timer tick, or by
// the wait step, so that input a test scripts for a given time arrives then.
void ProcessEventsUntil(double deadline_ms, const std::function<bool()>& done) {
  auto& p = headless::detail::TheProcess();
  for (;;) {
    DeliverPending();
    if (done && done()) return;
    if (p.now_ms >= deadline_ms) return;
    p.now_ms = std::min({deadline_ms, NextTimerDue(), p.now_ms + p.config.wait_step_ms});
  }
}

void ProcessEventsFor(std::uint32_t milliseconds, const std::function<bool()>& done) {
  headless::detail::Record("ProcessEventsFor(" + std::to_string(milliseconds) + ")");
  ProcessEventsUntil(headless::detail::TheProcess().now_ms + milliseconds, done);
}

double MonotonicMs() { return headless::detail::TheProcess().now_ms; }

void RunEventLoop() {
  auto& p = headless::detail::TheProcess();
  for (long pass = 0; pass < p.config.max_event_loop_passes; ++pass) {
    const bool any_form = std::any_of(p.forms.begin(), p.forms.end(),
                                      [](const headless::WindowState* f) { return f->created && !f->destroyed; });
    if (!any_form) return;
    p.now_ms += std::max(p.config.ms_per_do_events, 1.0);
    DoEvents();
  }
}

}  // namespace ui
