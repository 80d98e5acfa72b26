// The portable half of the widgets: property bookkeeping and unit conversion.
#include "ui/form.h"

#include "ui/backend.h"
#include "ui/user_control.h"

namespace ui {

Form::Form() : peer_(CreateFormPeer(*this)) {}
Form::~Form() = default;

FormPeer& Form::Peer() { return *peer_; }
WindowHandle Form::Handle() { return peer_->Handle(); }

void Form::SetCaption(const std::string& caption) {
  caption_ = caption;
  peer_->SetCaption(caption);
}

void Form::ApplyBounds() {
  const int tx = screen::TwipsPerPixelX(), ty = screen::TwipsPerPixelY();
  peer_->SetBoundsPixels(left_ / tx, top_ / ty, width_ / tx, height_ / ty);
}

void Form::SetLeft(int twips) {
  left_ = twips;
  ApplyBounds();
}
void Form::SetTop(int twips) {
  top_ = twips;
  ApplyBounds();
}
void Form::SetWidth(int twips) {
  width_ = twips;
  ApplyBounds();
}
void Form::SetHeight(int twips) {
  height_ = twips;
  ApplyBounds();
}
void Form::Move(int left, int top) {
  left_ = left;
  top_ = top;
  ApplyBounds();
}

void Form::AttachToParent(WindowHandle parent, int width, int height) {
  sys::AttachToParent(Handle(), parent);
  Move(0, 0);
  SetWidth(width);
  SetHeight(height);
}

void Form::AdoptHostWindow(WindowHandle host) {
  host_ = host;
  peer_->AdoptHost(host);
}

void Form::SetBackColor(Colour colour) {
  back_colour_ = colour;
  peer_->SetBackColor(colour);
}

void Form::Show() {
  visible_ = true;
  peer_->Show();
}

void Form::Unload() {
  if (!loaded_) return;
  if (OnUnload) OnUnload();
  loaded_ = false;
  visible_ = false;
  peer_->Destroy();
}

PictureBox::PictureBox(Form& parent) : parent_(parent), peer_(CreatePictureBoxPeer(*this, parent)) {}
PictureBox::~PictureBox() = default;

WindowHandle PictureBox::Handle() { return peer_->Handle(); }

void PictureBox::Move(int x, int y, int width, int height) {
  x_ = x;
  y_ = y;
  width_ = width;
  height_ = height;
  peer_->SetBoundsPixels(x_, y_, width_, height_);
}
void PictureBox::SetWidth(int pixels) { Move(x_, y_, pixels, height_); }
void PictureBox::SetHeight(int pixels) { Move(x_, y_, width_, pixels); }

void PictureBox::SetBackColor(Colour colour) {
  back_colour_ = colour;
  peer_->Clear(colour);
}

void PictureBox::Cls() { peer_->Clear(back_colour_); }
void PictureBox::Circle(int x, int y, int radius, Colour colour) { peer_->Circle(x, y, radius, colour); }
void PictureBox::Line(int x1, int y1, int x2, int y2, Colour colour) { peer_->Line(x1, y1, x2, y2, colour); }
void PictureBox::PaintPicture(const Picture& picture, int x, int y, int width, int height) {
  const int w = width < 0 ? picture.width : width;
  const int h = height < 0 ? picture.height : height;
  peer_->PaintPicture(picture, Rect{x, y, x + w, y + h}, Rect{0, 0, picture.width, picture.height});
}
void PictureBox::PaintPicture(const Picture& picture, const Rect& dest, const Rect& source) {
  peer_->PaintPicture(picture, dest, source);
}
void PictureBox::Refresh() { peer_->Refresh(); }
void PictureBox::SetFocus() { peer_->Focus(); }

Timer::Timer(int interval_ms) : peer_(CreateTimerPeer(*this)), interval_(interval_ms) {}
Timer::~Timer() { peer_->Stop(); }

void Timer::Apply() {
  if (enabled_ && interval_ > 0) peer_->Start(interval_);
  else peer_->Stop();
}
void Timer::SetInterval(int ms) {
  interval_ = ms;
  Apply();
}
void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Apply();
}

}  // namespace ui
