#include "ui/common/layer.h"

#include <cmath>

#include "ui/widgets.h"

namespace ui {
namespace {

class LayerCanvasPeer : public CanvasPeer {
 public:
  LayerCanvasPeer(Canvas& canvas, BoxLayer& box) : box_(box) {
    box_.SetCursorSource([&canvas](float x, float y) -> const CursorImage* {
      const Windowless* control = canvas.HitTest(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
      return control ? control->MouseIcon : nullptr;
    });
  }
  void Attach() override {}
  void SetSunkenBorder(bool sunken) override { box_.SetSunken(sunken); }
  void SetVisible(bool visible) override { box_.SetShown(visible); }
  void ZOrder(bool to_top) override { box_.Restack(to_top); }

 private:
  BoxLayer& box_;
};

}  // namespace

std::unique_ptr<CanvasPeer> CanvasPeerOver(Canvas& canvas, BoxLayer& box) {
  return std::make_unique<LayerCanvasPeer>(canvas, box);
}

void BoxInput::MouseDown(int button, int shift, float x, float y) {
  if (box_.OnMouseDown) box_.OnMouseDown(button, shift, x - inset_, y - inset_);
  pressed_ = button;
}

void BoxInput::MouseMove(int buttons, int shift, float x, float y) {
  if (box_.OnMouseMove) box_.OnMouseMove(buttons, shift, x - inset_, y - inset_);
}

void BoxInput::MouseUp(int button, int shift, float x, float y, Point size) {
  if (box_.OnMouseUp) box_.OnMouseUp(button, shift, x - inset_, y - inset_);
  const bool inside = x >= 0 && y >= 0 && x < size.x && y < size.y;
  if (pressed_ == button && inside && box_.OnClick) box_.OnClick();
  pressed_ = 0;
}

void BoxInput::CaptureLost() {
  pressed_ = 0;
  if (box_.OnCaptureLost) box_.OnCaptureLost();
}

const CursorImage* BoxInput::CursorAt(float x, float y) const {
  return cursor_at_ ? cursor_at_(x - inset_, y - inset_) : nullptr;
}

}  // namespace ui
