// The portable half of the container widgets: the persistent image, the
// composition of windowless controls over it, and the routing of the mouse.
#include <algorithm>
#include <cmath>

#include "ui/common/raster.h"
#include "ui/widgets.h"

namespace ui {
namespace {

Rect Intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}
Rect Union(const Rect& a, const Rect& b) {
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}
// A container rectangle in the coordinates of a picture whose top left is at `origin`.
Rect Local(const Rect& r, Point origin) {
  return Rect{r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y};
}
bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
bool Contains(const Rect& r, int x, int y) { return x >= r.left && y >= r.top && x < r.right && y < r.bottom; }

// Fills the part of a container rectangle that lies in the clip.
void FillRect(Picture& target, Point origin, const Rect& clip, const Rect& r, Colour c) {
  const Rect a = Intersect(r, clip);
  for (int y = a.top; y < a.bottom; ++y)
    for (int x = a.left; x < a.right; ++x) Plot(PixelGrid::Of(target), x - origin.x, y - origin.y, c);
}

// A one-pixel rectangle outline on the inner edge of r.
void Outline(Picture& target, Point origin, const Rect& clip, const Rect& r, Colour c) {
  if (IsEmpty(r)) return;
  FillRect(target, origin, clip, Rect{r.left, r.top, r.right, r.top + 1}, c);
  FillRect(target, origin, clip, Rect{r.left, r.bottom - 1, r.right, r.bottom}, c);
  FillRect(target, origin, clip, Rect{r.left, r.top, r.left + 1, r.bottom}, c);
  FillRect(target, origin, clip, Rect{r.right - 1, r.top, r.right, r.bottom}, c);
}

std::uint32_t Le32(std::span<const unsigned char> b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
int Le16(std::span<const unsigned char> b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

}  // namespace

// --- Cursor files ------------------------------------------------------------

CursorImage ParseCursor(std::span<const unsigned char> bytes) {
  CursorImage c;
  // ICONDIR (6 bytes, type 2 = cursor) and the first ICONDIRENTRY (16 bytes).
  if (bytes.size() < 22 || Le16(bytes, 0) != 0 || Le16(bytes, 2) != 2 || Le16(bytes, 4) < 1) return c;
  const std::uint32_t size = Le32(bytes, 14), offset = Le32(bytes, 18);
  if (offset > bytes.size() || size > bytes.size() - offset || size < 40) return c;
  c.width = bytes[6] ? bytes[6] : 256;
  c.height = bytes[7] ? bytes[7] : 256;
  c.hot_x = Le16(bytes, 10);
  c.hot_y = Le16(bytes, 12);
  c.image = bytes.subspan(offset, size);
  return c;
}

// --- Windowless controls -------------------------------------------------------

Windowless::Windowless(Canvas& container) : container_(container) { container_.Add(this); }
Windowless::~Windowless() { container_.Remove(this); }

void Windowless::Move(int x, int y, int width, int height) {
  const Rect old = Bounds();
  x_ = x;
  y_ = y;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  InvalidateRect(Union(old, Bounds()));
}

void Windowless::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Invalidate();
}

void Windowless::Invalidate() { container_.Invalidate(Bounds()); }
void Windowless::InvalidateRect(const Rect& r) { container_.Invalidate(r); }

Label::Label(Canvas& container) : Windowless(container), font_(container.AmbientFont) {}

void Label::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Fit();
  Invalidate();
}
void Label::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Invalidate();
}
void Label::SetAutoSize(bool auto_size) {
  auto_size_ = auto_size;
  Fit();
  Invalidate();
}
void Label::SetBorder(bool border) {
  border_ = border;
  Fit();
  Invalidate();
}
void Label::SetAlignment(Alignment alignment) {
  alignment_ = alignment;
  Invalidate();
}
void Label::SetForeColor(Colour colour) {
  fore_ = colour;
  Invalidate();
}
void Label::SetBackColor(Colour colour) {
  back_ = colour;
  Invalidate();
}
void Label::SetFont(const Font& font) {
  font_ = font;
  Fit();
  Invalidate();
}
void Label::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Invalidate();
}

void Label::Fit() {
  if (!auto_size_) return;
  const Point size = MeasureText(caption_, font_);
  const int frame = border_ ? 2 : 0;
  Move(Left(), Top(), size.x + frame, size.y + frame);
}

void Label::Paint(Picture& target, Point origin, const Rect& clip) const {
  const Rect r = Bounds();
  if (!transparent_) FillRect(target, origin, clip, r, back_);
  Rect text = r;
  if (border_) {
    Outline(target, origin, clip, r, 0);
    text = Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
  if (caption_.empty()) return;
  const Rect local_clip = Local(Intersect(clip, text), origin);
  if (IsEmpty(local_clip)) return;
  DrawTextInto(target, Local(text, origin), local_clip, caption_, font_, fore_, alignment_, enabled_, !auto_size_);
}

Image::Image(Canvas& container) : Windowless(container) {}

void Image::SetPicture(std::shared_ptr<const Picture> picture) {
  picture_ = std::move(picture);
  if (!stretch_ && picture_ && !picture_->Empty()) Move(Left(), Top(), picture_->width, picture_->height);
  else Invalidate();
}

void Image::SetStretch(bool stretch) {
  stretch_ = stretch;
  if (!stretch_ && picture_ && !picture_->Empty()) Move(Left(), Top(), picture_->width, picture_->height);
  else Invalidate();
}

void Image::Paint(Picture& target, Point origin, const Rect& clip) const {
  if (!picture_ || picture_->Empty() || Width() <= 0 || Height() <= 0) return;
  // Unstretched, the source rectangle is the control's own size: one pixel per pixel.
  const Rect source = stretch_ ? Rect{0, 0, picture_->width, picture_->height} : Rect{0, 0, Width(), Height()};
  StretchNearest(PixelGrid::Of(target), *picture_, Local(Bounds(), origin), source,
                 Local(Intersect(clip, Bounds()), origin));
}

Shape::Shape(Canvas& container) : Windowless(container) {}
void Shape::SetBorderColor(Colour colour) {
  border_ = colour;
  Invalidate();
}
void Shape::Paint(Picture& target, Point origin, const Rect& clip) const {
  Outline(target, origin, clip, Bounds(), border_);
}

// --- Canvas --------------------------------------------------------------------

Canvas::Canvas(Form& form, bool hidden) {
  if (hidden) return;
  box_ = std::make_unique<PictureBox>(form);
  peer_ = CreateCanvasPeer(*this);
  box_->OnMouseDown = [this](int b, int s, float x, float y) { MouseDown(b, s, x, y); };
  box_->OnMouseMove = [this](int b, int s, float x, float y) { MouseMove(b, s, x, y); };
  box_->OnMouseUp = [this](int b, int s, float x, float y) { MouseUp(b, s, x, y); };
  box_->OnCaptureLost = [this] { DropCapture(); };
}

Canvas::~Canvas() {
  // Controls outlive their registration only if destroyed after the canvas.
  controls_.clear();
}

WindowHandle Canvas::Handle() { return box_ ? box_->Handle() : 0; }

void Canvas::Move(int x, int y, int width, int height) {
  x_ = x;
  y_ = y;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  if (box_) {
    box_->Move(x, y, width_, height_);
    peer_->Attach();
  }
  Resize();
}

void Canvas::SetSunkenBorder(bool sunken) {
  sunken_ = sunken;
  if (peer_) peer_->SetSunkenBorder(sunken);
  Resize();
}

void Canvas::Resize() {
  const int frame = sunken_ ? 4 : 0;
  const int w = std::max(width_ - frame, 0), h = std::max(height_ - frame, 0);
  if (w == image_.width && h == image_.height) {
    Invalidate(Rect{0, 0, w, h});
    return;
  }
  ResizeKeeping(image_, w, h, back_);
  Invalidate(Rect{0, 0, w, h});
}

void Canvas::SetBackColor(Colour colour) {
  back_ = colour;
  Cls();
}

void Canvas::Cls() {
  std::fill(image_.pixels.begin(), image_.pixels.end(), back_);
  Invalidate(Rect{0, 0, image_.width, image_.height});
}

void Canvas::Line(int x1, int y1, int x2, int y2, Colour colour) {
  ++lines_;
  DrawLine(PixelGrid::Of(image_), x1, y1, x2, y2, colour);
  Invalidate(Rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1});
}

void Canvas::PaintPicture(const Picture& picture, int x, int y, int width, int height) {
  if (picture.Empty()) return;
  const int w = width < 0 ? picture.width : width, h = height < 0 ? picture.height : height;
  if (w <= 0 || h <= 0) return;
  StretchNearest(PixelGrid::Of(image_), picture, Rect{x, y, x + w, y + h}, Rect{0, 0, picture.width, picture.height});
  Invalidate(Rect{x, y, x + w, y + h});
}

void Canvas::ZOrder(bool to_top) {
  if (peer_) peer_->ZOrder(to_top);
}

void Canvas::Refresh() {
  Flush();
  if (box_) box_->Refresh();
}

void Canvas::Hold() { ++hold_; }
void Canvas::Release() {
  if (hold_ > 0 && --hold_ == 0) Flush();
}

void Canvas::Add(Windowless* control) { controls_.push_back(control); }
void Canvas::Remove(Windowless* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  if (captured_ == control) captured_ = nullptr;
}

Windowless* Canvas::HitTest(int x, int y) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if ((*it)->Visible() && (*it)->HandlesMouse() && Contains((*it)->Bounds(), x, y)) return *it;
  return nullptr;
}

Picture Canvas::Compose(const Rect& area) const {
  const Rect a = Intersect(area, Rect{0, 0, image_.width, image_.height});
  Picture out;
  if (IsEmpty(a)) return out;
  out.width = a.right - a.left;
  out.height = a.bottom - a.top;
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    std::copy_n(&image_.pixels[static_cast<std::size_t>(a.top + y) * image_.width + a.left], out.width,
                &out.pixels[static_cast<std::size_t>(y) * out.width]);
  const Point origin{a.left, a.top};
  for (const Windowless* c : controls_) {
    if (!c->Visible()) continue;
    const Rect clip = Intersect(a, c->Bounds());
    if (!IsEmpty(clip)) c->Paint(out, origin, clip);
  }
  return out;
}

void Canvas::Invalidate(const Rect& area) {
  if (!box_) return;
  const Rect a = Intersect(area, Rect{0, 0, image_.width, image_.height});
  if (IsEmpty(a)) return;
  dirty_rect_ = dirty_ ? Union(dirty_rect_, a) : a;
  dirty_ = true;
  if (hold_ == 0) Flush();
}

void Canvas::Flush() {
  if (!dirty_ || !box_) return;
  dirty_ = false;
  const Rect a = dirty_rect_;
  const Picture composed = Compose(a);
  if (!composed.Empty()) box_->PaintPicture(composed, a, Rect{0, 0, composed.width, composed.height});
}

void Canvas::DropCapture() {
  captured_ = nullptr;
  captured_buttons_ = 0;
  left_down_on_captured_ = false;
}

void Canvas::MouseDown(int button, int shift, float x, float y) {
  // A press of a button still counted as held: its release went elsewhere,
  // and the press belongs to where it is made.
  if (captured_buttons_ & button) DropCapture();
  Windowless* target =
      captured_ ? captured_ : HitTest(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
  if (!target) return;
  if (!captured_) left_down_on_captured_ = false;
  captured_ = target;
  captured_buttons_ |= button;
  if (button == kLeftButton) left_down_on_captured_ = true;
  if (target->OnMouseDown) target->OnMouseDown(button, shift, x - target->Left(), y - target->Top());
}

void Canvas::MouseMove(int button, int shift, float x, float y) {
  Windowless* target =
      captured_ ? captured_ : HitTest(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
  if (target && target->OnMouseMove) target->OnMouseMove(button, shift, x - target->Left(), y - target->Top());
}

void Canvas::MouseUp(int button, int shift, float x, float y) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  Windowless* target = captured_ ? captured_ : HitTest(ix, iy);
  if (!target) return;
  const bool click =
      button == kLeftButton && captured_ == target && left_down_on_captured_ && Contains(target->Bounds(), ix, iy);
  captured_buttons_ &= ~button;
  if (captured_buttons_ == 0) captured_ = nullptr;
  if (button == kLeftButton) left_down_on_captured_ = false;
  if (target->OnMouseUp) target->OnMouseUp(button, shift, x - target->Left(), y - target->Top());
  if (click && target->OnClick) target->OnClick();
}

void BitBlt(Canvas& dest, int x, int y, int width, int height, const Canvas& source, int source_x, int source_y) {
  // A stretch to the same size copies pixel for pixel.
  StretchNearest(PixelGrid::Of(const_cast<Picture&>(dest.PersistentImage())), source.PersistentImage(),
                 Rect{x, y, x + width, y + height}, Rect{source_x, source_y, source_x + width, source_y + height});
  dest.Invalidate(Rect{x, y, x + width, y + height});
}

// --- Native widgets ----------------------------------------------------------------

ComboBox::ComboBox(Canvas& container) : peer_(CreateComboBoxPeer(*this, container)) {
  peer_->SetFont(container.AmbientFont);
}
ComboBox::~ComboBox() = default;
void ComboBox::Move(int x, int y, int width, int height) { peer_->SetBounds(x, y, width, height); }
std::string ComboBox::Text() { return peer_->Text(); }
void ComboBox::SetText(const std::string& text) { peer_->SetText(text); }
void ComboBox::AddItem(const std::string& item) {
  items_.push_back(item);
  peer_->AddItem(item);
}
void ComboBox::SetFont(const Font& font) { peer_->SetFont(font); }

VScrollBar::VScrollBar(Canvas& container) : peer_(CreateScrollBarPeer(*this, container)) {
  peer_->SetRange(max_ - min_ + 1);
}
VScrollBar::~VScrollBar() = default;
void VScrollBar::Move(int x, int y, int width, int height) { peer_->SetBounds(x, y, width, height); }

int VScrollBar::PositionOf(int value) const { return std::abs(value - min_); }

void VScrollBar::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  const int lo = std::min(min_, max_), hi = std::max(min_, max_);
  peer_->SetRange(hi - lo + 1);
  const int clamped = std::clamp(value_, lo, hi);
  if (clamped != value_) {
    value_ = clamped;
    if (OnChange) OnChange();
  }
  peer_->SetPosition(PositionOf(value_));
}

bool VScrollBar::SetValue(int value) {
  if (value < std::min(min_, max_) || value > std::max(min_, max_)) return false;
  peer_->SetPosition(PositionOf(value));
  if (value == value_) return true;
  value_ = value;
  if (OnChange) OnChange();
  return true;
}

void VScrollBar::UserScrolledTo(int position) {
  const int count = std::abs(max_ - min_);
  position = std::clamp(position, 0, count);
  SetValue(min_ <= max_ ? min_ + position : min_ - position);
}

void VScrollBar::UserStepped(int direction) { UserScrolledTo(PositionOf(value_) + direction); }

PalettePictureBox::PalettePictureBox(Form& form) : peer_(CreatePalettePicturePeer(*this, form)) {}
PalettePictureBox::~PalettePictureBox() = default;
void PalettePictureBox::Move(int x, int y, int width, int height) { peer_->SetBounds(x, y, width, height); }
void PalettePictureBox::SetSunkenBorder(bool sunken) { peer_->SetSunkenBorder(sunken); }
void PalettePictureBox::CreatePicture(int width, int height, const Palette& palette) {
  palette_ = palette;
  info_ = peer_->Create(width, height, palette);
}
void PalettePictureBox::Refresh() { peer_->Refresh(); }

Palette ColourCube332() {
  static constexpr int kRedGreen[8] = {0, 32, 64, 96, 128, 160, 192, 255};
  static constexpr int kBlue[4] = {0, 64, 128, 255};
  Palette p{};
  for (int i = 0; i < 256; ++i) p[i] = Rgb(kRedGreen[(i >> 5) & 7], kRedGreen[(i >> 2) & 7], kBlue[i & 3]);
  return p;
}

}  // namespace ui
