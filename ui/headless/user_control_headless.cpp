// User controls of the headless backend: the surface is a pixel buffer, the
// gradient fill and the stretched copies are computed as the system would,
// and mouse and focus input are scripted by the tests.
#include <algorithm>
#include <cmath>

#include "ui/common/raster.h"
#include "ui/headless/headless_controls.h"
#include "ui/headless/state.h"

namespace headless {
namespace {

using detail::TheProcess;

class HeadlessUserControlPeer : public ui::UserControlPeer {
 public:
  explicit HeadlessUserControlPeer(ui::UserControl& control) : control_(control) {}
  ~HeadlessUserControlPeer() override {
    if (TheProcess().focused_control == &control_) TheProcess().focused_control = nullptr;
  }

  ui::WindowHandle Handle() override {
    if (!handle_) handle_ = TheProcess().next_handle++;
    return handle_;
  }
  void SetBoundsPixels(int, int, int w, int h) override {
    Handle();
    if (w == surface_.width && h == surface_.height) return;
    // A new size starts from a cleared surface, as a new bitmap would.
    surface_.width = w;
    surface_.height = h;
    surface_.pixels.assign(static_cast<std::size_t>(w) * h, back_);
  }
  void Clear(ui::Colour back) override {
    back_ = back;
    std::fill(surface_.pixels.begin(), surface_.pixels.end(), back);
    ++surface_.clears;
    surface_.copies.clear();
  }
  void PaintPicture(const ui::Picture& pic, const ui::Rect& d, const ui::Rect& s) override {
    surface_.copies.push_back({&pic, d, s});
    ui::StretchNearest(ui::PixelGrid::Of(surface_), pic, d, s);
  }
  // As the system fills a rectangle: the right column and bottom row stay out.
  void PaintVerticalGradient(const ui::Rect& r, ui::Colour top, ui::Colour bottom) override {
    ++surface_.gradient_fills;
    surface_.last_gradient = {r, top, bottom};
    // 16-bit channels, mixed and cut back to bytes as the system does.
    const int span = r.bottom - r.top;
    const auto mix = [](int c0, int c1, double t) { return static_cast<int>((c0 << 8) + ((c1 - c0) << 8) * t) >> 8; };
    for (int y = r.top; y < r.bottom; ++y) {
      const double t = span > 0 ? static_cast<double>(y - r.top) / span : 0;
      const ui::Colour c =
          ui::Rgb(mix(ui::RedOf(top), ui::RedOf(bottom), t), mix(ui::GreenOf(top), ui::GreenOf(bottom), t),
                  mix(ui::BlueOf(top), ui::BlueOf(bottom), t));
      for (int x = r.left; x < r.right; ++x) Plot(x, y, c);
    }
  }
  void SetOpaque(bool opaque) override { surface_.opaque = opaque; }
  void LabelChanged(const ui::ControlLabel&) override { ++surface_.label_changes; }
  void Refresh() override { ++surface_.refreshes; }
  void TakeFocus() override { MoveFocusTo(this); }

  static void MoveFocusTo(HeadlessUserControlPeer* target) {
    ui::UserControl* const next = target ? &target->control_ : nullptr;
    ui::UserControl* const previous = TheProcess().focused_control;
    if (previous == next) return;
    TheProcess().focused_control = next;
    if (previous) previous->DeliverFocus(false);
    if (next) next->DeliverFocus(true);
  }

  ui::UserControl& control_;
  ControlSurface surface_;
  int buttons_held_ = 0;

 private:
  void Plot(int x, int y, ui::Colour colour) { ui::Plot(ui::PixelGrid::Of(surface_), x, y, colour); }
  ui::WindowHandle handle_ = 0;
  ui::Colour back_ = ui::kWhite;
};

HeadlessUserControlPeer& PeerOf(ui::UserControl& control) {
  return static_cast<HeadlessUserControlPeer&>(control.Peer());
}

}  // namespace

const ControlSurface& SurfaceOf(ui::UserControl& control) { return PeerOf(control).surface_; }

void PostMouseMove(ui::UserControl& control, float x, float y, int buttons_held) {
  TheProcess().input.push_back([&control, x, y, buttons_held] { control.DeliverMouseMove(buttons_held, 0, x, y); });
}

void PostMouseDown(ui::UserControl& control, int button, float x, float y, bool take_focus) {
  TheProcess().input.push_back([&control, button, x, y, take_focus] {
    auto& peer = PeerOf(control);
    peer.buttons_held_ |= button;
    control.DeliverMouseDown(button, 0, x, y);
    if (button == 1 && take_focus) HeadlessUserControlPeer::MoveFocusTo(&peer);
  });
}

void PostMouseUp(ui::UserControl& control, int button, float x, float y) {
  TheProcess().input.push_back([&control, button, x, y] {
    auto& peer = PeerOf(control);
    peer.buttons_held_ &= ~button;
    control.DeliverMouseUp(button, peer.buttons_held_, 0, x, y);
  });
}

void PostFocus(ui::UserControl& control) {
  TheProcess().input.push_back([&control] { HeadlessUserControlPeer::MoveFocusTo(&PeerOf(control)); });
}

void PostFocusAway() {
  TheProcess().input.push_back([] { HeadlessUserControlPeer::MoveFocusTo(nullptr); });
}

bool HasCapture(ui::UserControl& control) { return PeerOf(control).buttons_held_ != 0; }

ui::UserControl* FocusedControl() { return TheProcess().focused_control; }

void SetWindowUnderCursor(ui::WindowHandle window) { TheProcess().window_under_cursor = window; }

}  // namespace headless

namespace ui {

std::unique_ptr<UserControlPeer> CreateUserControlPeer(UserControl& control, Form&) {
  return std::make_unique<headless::HeadlessUserControlPeer>(control);
}

}  // namespace ui
