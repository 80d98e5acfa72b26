// The portable half of control hosting: the property storage, the caption
// label's bookkeeping, unit conversion and the routing of mouse events.
#include "ui/user_control.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "base/numeric.h"
#include "ui/backend.h"
#include "ui/common/control_face.h"

namespace ui {
namespace {

bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The numeric reading of a value, when it has one.
std::optional<double> NumberOf(const PropertyValue& v) {
  if (const bool* b = v.AsBool()) return *b ? -1.0 : 0.0;
  if (const std::int32_t* n = v.AsNumber()) return static_cast<double>(*n);
  if (const std::string* t = v.AsText()) return base::num::TryReadStrict(*t);
  return std::nullopt;
}

}  // namespace

bool PropertyValue::SameAs(const PropertyValue& other) const {
  if (Empty() || other.Empty()) return Empty() && other.Empty();
  if (const Font* f = AsFont()) return other.AsFont() && *f == *other.AsFont();
  if (other.AsFont()) return false;
  if (AsText() && other.AsText()) return *AsText() == *other.AsText();
  const auto a = NumberOf(*this), b = NumberOf(other);
  return a && b && *a == *b;
}

std::vector<std::pair<std::string, PropertyValue>>::const_iterator PropertyBag::Find(std::string_view key) const {
  return std::find_if(entries_.begin(), entries_.end(), [key](const auto& e) { return SameKey(e.first, key); });
}

PropertyValue PropertyBag::ReadProperty(std::string_view key, const PropertyValue& default_value) const {
  auto it = Find(key);
  return it == entries_.end() ? default_value : it->second;
}

void PropertyBag::WriteProperty(std::string_view key, const PropertyValue& value, const PropertyValue& default_value) {
  auto it = Find(key);
  if (!default_value.Empty() && value.SameAs(default_value)) {
    if (it != entries_.end()) entries_.erase(it);
    return;
  }
  if (it != entries_.end()) {
    entries_[static_cast<std::size_t>(it - entries_.begin())].second = value;
  } else {
    entries_.emplace_back(std::string(key), value);
  }
}

bool PropertyBag::Contains(std::string_view key) const { return Find(key) != entries_.end(); }

// --- ControlLabel ----------------------------------------------------------

void ControlLabel::Changed() { owner_.Peer().LabelChanged(*this); }

void ControlLabel::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed();
}
void ControlLabel::SetFont(const Font& font) {
  font_ = font;
  Changed();
}
void ControlLabel::FontChanged() { Changed(); }
void ControlLabel::SetForeColor(Colour colour) {
  fore_colour_ = colour;
  Changed();
}
void ControlLabel::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Changed();
}
void ControlLabel::Move(double left, double top, double width, double height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed();
}

Rect ControlLabel::PixelBounds() const {
  const auto px = [](double twips) { return static_cast<std::int32_t>(std::lround(twips / kControlTwipsPerPixel)); };
  return Rect{px(left_), px(top_), px(left_ + width_), px(top_ + height_)};
}

// --- UserControl -----------------------------------------------------------

UserControl::UserControl(Form& container)
    : container_(container), peer_(CreateUserControlPeer(*this, container)), label_(*this) {}

UserControl::~UserControl() {
  // Destroying the window may move the focus: nothing reaches the owner now.
  OnMouseDown = OnMouseMove = OnMouseUp = nullptr;
  OnGotFocus = OnLostFocus = OnResize = nullptr;
  OnPropertyChanged = nullptr;
  label_.OnMouseDown = label_.OnMouseMove = label_.OnMouseUp = nullptr;
}

WindowHandle UserControl::Handle() { return peer_->Handle(); }

void UserControl::Move(int x, int y, int width, int height) {
  const bool resized = width != width_ || height != height_;
  x_ = x;
  y_ = y;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  peer_->SetBoundsPixels(x_, y_, width_, height_);
  if (resized && OnResize) OnResize();
}

int UserControl::ToPixels(double value) const {
  return static_cast<int>(std::lround(scale_ == ScaleUnit::Twips ? value / kControlTwipsPerPixel : value));
}

double UserControl::ScaleWidth() const { return scale_ == ScaleUnit::Twips ? static_cast<double>(Width()) : width_; }
double UserControl::ScaleHeight() const { return scale_ == ScaleUnit::Twips ? static_cast<double>(Height()) : height_; }

void UserControl::Cls() { peer_->Clear(back_colour_); }

void UserControl::PaintPicture(const Picture& picture, double x, double y, double width, double height, double source_x,
                               double source_y, double source_width, double source_height) {
  const int dx = ToPixels(x), dy = ToPixels(y), sx = ToPixels(source_x), sy = ToPixels(source_y);
  peer_->PaintPicture(picture, Rect{dx, dy, dx + ToPixels(width), dy + ToPixels(height)},
                      Rect{sx, sy, sx + ToPixels(source_width), sy + ToPixels(source_height)});
}

void UserControl::PaintVerticalGradient(const Rect& rect, Colour top, Colour bottom) {
  peer_->PaintVerticalGradient(rect, top, bottom);
}

void UserControl::Refresh() { peer_->Refresh(); }

void UserControl::SetOpaque(bool opaque) {
  opaque_ = opaque;
  peer_->SetOpaque(opaque);
}

void UserControl::PropertyChanged(const std::string& name) {
  if (OnPropertyChanged) OnPropertyChanged(name);
}

void UserControl::SetFocus() { peer_->TakeFocus(); }

UserControl::Target UserControl::HitTest(float x, float y) const {
  const Rect r = label_.PixelBounds();
  const bool on_label = label_.Enabled() && x >= r.left && x < r.right && y >= r.top && y < r.bottom;
  return on_label ? Target::Label : Target::Control;
}

void UserControl::Dispatch(Target target, const ControlMouseHandler& label_handler,
                           const ControlMouseHandler& control_handler, int button, int shift, float x, float y) {
  // Event positions are in the control's twips; the label's are relative to itself.
  const float tx = x * kControlTwipsPerPixel, ty = y * kControlTwipsPerPixel;
  if (target == Target::Label) {
    if (label_handler)
      label_handler(button, shift, tx - static_cast<float>(label_.Left()), ty - static_cast<float>(label_.Top()));
  } else if (control_handler) {
    control_handler(button, shift, tx, ty);
  }
}

void UserControl::DeliverMouseDown(int button, int shift, float x, float y) {
  if (captured_ == Target::None) captured_ = HitTest(x, y);
  const Target target = captured_;
  Dispatch(target, label_.OnMouseDown, OnMouseDown, button, shift, x, y);
}

void UserControl::DeliverMouseMove(int buttons_held, int shift, float x, float y) {
  const Target target = captured_ != Target::None ? captured_ : HitTest(x, y);
  Dispatch(target, label_.OnMouseMove, OnMouseMove, buttons_held, shift, x, y);
}

void UserControl::DeliverMouseUp(int button, int buttons_still_held, int shift, float x, float y) {
  const Target target = captured_ != Target::None ? captured_ : HitTest(x, y);
  if (buttons_still_held == 0) captured_ = Target::None;
  Dispatch(target, label_.OnMouseUp, OnMouseUp, button, shift, x, y);
}

void UserControl::DeliverFocus(bool gained) {
  if (gained == has_focus_) return;
  has_focus_ = gained;
  if (gained && OnGotFocus) OnGotFocus();
  if (!gained && OnLostFocus) OnLostFocus();
}

Picture FaceWithCaption(const ControlLabel& label, const Picture& surface) {
  Picture face = surface;
  if (label.Caption().empty() || face.Empty()) return face;
  const Rect b = label.PixelBounds();
  const Rect clip{std::max(b.left, 0), std::max(b.top, 0), std::min(b.right, face.width),
                  std::min(b.bottom, face.height)};
  if (clip.right > clip.left && clip.bottom > clip.top)
    DrawTextInto(face, b, clip, label.Caption(), label.FontObject(), label.ForeColor(), Alignment::Center,
                 label.Enabled(), true);
  return face;
}

}  // namespace ui
