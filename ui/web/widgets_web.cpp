// The settings window's controls in the browser: the combo box and the
// spinner are the page's own controls over the form's canvas; the palette
// picture and the program's own buttons are layers painted into it.
#include <algorithm>
#include <cmath>

#include "ui/backend.h"
#include "ui/common/control_face.h"
#include "ui/common/font_faces.h"
#include "ui/common/raster.h"
#include "ui/user_control.h"
#include "ui/web/backend_web.h"
#include "ui/web/browser.h"
#include "ui/widgets.h"

namespace ui::web {
namespace {

Rect Intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

// Copies the part of a picture of colour values at `origin` that lies in
// `clip` into the form's image.
void CopyInto(std::uint32_t* frame, int frame_width, const Picture& picture, Point origin, const Rect& clip) {
  const Rect a = Intersect(clip, Rect{origin.x, origin.y, origin.x + picture.width, origin.y + picture.height});
  for (int y = a.top; y < a.bottom; ++y)
    for (int x = a.left; x < a.right; ++x)
      frame[static_cast<std::size_t>(y) * frame_width + x] = Rgba(picture.At(x - origin.x, y - origin.y));
}

// One of the page's controls inside a canvas: the canvas's place, inside
// its frame, plus the control's own, in the form's CSS pixels.
class PageControl {
 public:
  PageControl(Canvas& canvas, int id) : canvas_(canvas), form_(WindowOf(canvas.Box().Parent())), id_(id) {}
  ~PageControl() { form_.ForgetLayout(layout_); }
  void Start() {
    layout_ = form_.OnLayout([this] { Place(); });
  }
  void SetBounds(int x, int y, int w, int h) {
    x_ = x, y_ = y, w_ = w, h_ = h;
    Place();
  }
  void SetFont(const Font& font) {
    font_ = font;
    Place();
  }
  int Id() const { return id_; }
  int FormId() const { return form_.Id(); }

 private:
  void Place() {
    const int inset = (canvas_.Width() - canvas_.ClientWidth()) / 2;
    const double s = form_.CssPerPixel();
    tess_control_place(id_, (canvas_.Left() + inset + x_) * s, (canvas_.Top() + inset + y_) * s, w_ * s, h_ * s);
    tess_control_font(id_, CssFamilies(font_.Name).c_str(), FontPixels(font_) * s, font_.Weight);
  }
  Canvas& canvas_;
  FormWindow& form_;
  const int id_;
  int layout_ = 0;
  int x_ = 0, y_ = 0, w_ = 1, h_ = 1;
  Font font_;
};

class WebComboBoxPeer : public ComboBoxPeer {
 public:
  explicit WebComboBoxPeer(Canvas& container) : control_(container, NextId()) {
    tess_combo_create(control_.Id(), control_.FormId());
    control_.Start();
  }
  void SetBounds(int x, int y, int w, int h) override { control_.SetBounds(x, y, w, h); }
  void SetFont(const Font& font) override { control_.SetFont(font); }
  void SetText(const std::string& text) override { tess_combo_set_text(control_.Id(), text.c_str()); }
  std::string Text() override {
    std::string text(64, '\0');
    const int length = tess_combo_text(control_.Id(), text.data(), static_cast<int>(text.size()));
    if (length > static_cast<int>(text.size())) {
      text.resize(length);
      tess_combo_text(control_.Id(), text.data(), length);
    }
    text.resize(std::min<std::size_t>(length, text.size()));
    return text;
  }
  void AddItem(const std::string& item) override { tess_combo_add(control_.Id(), item.c_str()); }
  WindowHandle Handle() override { return static_cast<WindowHandle>(control_.Id()); }

 private:
  PageControl control_;
};

// The spinner: the scroll bar as tall as its two arrows, as the settings
// window uses it; each arrow is a button of the page.
class WebScrollBarPeer : public ScrollBarPeer {
 public:
  WebScrollBarPeer(VScrollBar& bar, Canvas& container) : control_(container, NextId()) {
    tess_spinner_create(control_.Id(), control_.FormId());
    control_.Start();
    Backend().control_events[control_.Id()] = [&bar](const WebEvent& e) { bar.UserStepped(e.button < 0 ? -1 : 1); };
  }
  ~WebScrollBarPeer() override { Backend().control_events.erase(control_.Id()); }
  void SetBounds(int x, int y, int w, int h) override { control_.SetBounds(x, y, w, h); }
  void SetRange(int) override {}
  void SetPosition(int) override {}
  WindowHandle Handle() override { return static_cast<WindowHandle>(control_.Id()); }

 private:
  PageControl control_;
};

// The picture's bytes are the program's; the canvas gets them through the
// palette when the form is next composed after a Refresh.
class WebPalettePicturePeer : public PalettePicturePeer, public Layer {
 public:
  explicit WebPalettePicturePeer(Form& form) : form_(WindowOf(form)) { form_.AddLayer(this); }
  ~WebPalettePicturePeer() override { form_.RemoveLayer(this); }
  void SetBounds(int x, int y, int w, int h) override {
    form_.Repaint(bounds_);
    bounds_ = Rect{x, y, x + w, y + h};
    form_.Repaint(bounds_);
  }
  void SetSunkenBorder(bool sunken) override {
    sunken_ = sunken;
    form_.Repaint(bounds_);
  }
  BitmapInfo Create(int width, int height, const Palette& palette) override {
    stride_ = (width + 3) / 4 * 4;
    bits_.assign(static_cast<std::size_t>(stride_) * height, 0);
    for (int i = 0; i < 256; ++i) palette_[i] = Rgba(palette[i]);
    width_ = width, height_ = height;
    words_.assign(static_cast<std::size_t>(width) * height, 0);
    Refresh();
    return BitmapInfo{width, height, stride_, 8, bits_.data()};
  }
  void Refresh() override {
    stale_ = true;
    form_.Repaint(PictureArea());
  }
  WindowHandle Handle() override { return handle_; }

  Rect Bounds() const override { return bounds_; }
  void Paint(std::uint32_t* frame, int frame_width, const Rect& clip) override {
    if (sunken_)
      for (const EdgeLine& line : SunkenEdge(bounds_)) {
        const Rect a = Intersect(line.rect, clip);
        for (int y = a.top; y < a.bottom; ++y)
          std::fill_n(frame + static_cast<std::size_t>(y) * frame_width + a.left, std::max(a.right - a.left, 0),
                      Rgba(line.colour));
      }
    if (stale_) {
      ExpandPaletted(bits_.data(), stride_, width_, height_, palette_, words_.data(), width_);
      stale_ = false;
    }
    const Rect picture = PictureArea();
    const Rect a = Intersect(clip, picture);
    for (int y = a.top; y < a.bottom; ++y)
      std::copy_n(&words_[static_cast<std::size_t>(y - picture.top) * width_ + (a.left - picture.left)],
                  std::max(a.right - a.left, 0), frame + static_cast<std::size_t>(y) * frame_width + a.left);
  }

 private:
  // Where the picture lies: inside the frame, cut to it.
  Rect PictureArea() const {
    const int inset = sunken_ ? 2 : 0;
    const Rect inner{bounds_.left + inset, bounds_.top + inset, bounds_.right - inset, bounds_.bottom - inset};
    return Intersect(inner, Rect{inner.left, inner.top, inner.left + width_, inner.top + height_});
  }

  FormWindow& form_;
  WindowHandle handle_ = static_cast<WindowHandle>(NextId());
  Rect bounds_{};
  bool sunken_ = false, stale_ = false;
  std::vector<std::uint8_t> bits_;
  std::vector<std::uint32_t> words_;
  std::uint32_t palette_[256] = {};
  int width_ = 0, height_ = 0, stride_ = 0;
};

// A user control: its persistent surface with the caption over it, painted
// into the form's canvas like a picture box, and a handle of its own that
// the window under the cursor names.
class WebUserControlPeer : public UserControlPeer, public Layer {
 public:
  WebUserControlPeer(UserControl& control, Form& container) : control_(control), form_(WindowOf(container)) {
    form_.AddLayer(this);
    Backend().raisers[handle_] = [this] { form_.Restack(this, true); };
  }
  ~WebUserControlPeer() override {
    Backend().raisers.erase(handle_);
    form_.RemoveLayer(this);
  }

  // --- UserControlPeer
  WindowHandle Handle() override { return handle_; }
  void SetBoundsPixels(int x, int y, int w, int h) override {
    form_.Repaint(bounds_);
    bounds_ = Rect{x, y, x + std::max(w, 0), y + std::max(h, 0)};
    if (w != surface_.width || h != surface_.height) {
      surface_.width = std::max(w, 0);
      surface_.height = std::max(h, 0);
      surface_.pixels.assign(static_cast<std::size_t>(surface_.width) * surface_.height, back_);
    }
    form_.Repaint(bounds_);
  }
  void Clear(Colour back) override {
    back_ = back;
    std::fill(surface_.pixels.begin(), surface_.pixels.end(), back);
    form_.Repaint(bounds_);
  }
  void PaintPicture(const Picture& pic, const Rect& d, const Rect& s) override {
    StretchNearest(PixelGrid::Of(surface_), pic, d, s);
    form_.Repaint(bounds_);
  }
  void PaintVerticalGradient(const Rect& r, Colour top, Colour bottom) override {
    VerticalGradient(PixelGrid::Of(surface_), r, top, bottom);
    form_.Repaint(bounds_);
  }
  void SetOpaque(bool) override { form_.Repaint(bounds_); }
  void LabelChanged(const ControlLabel&) override { form_.Repaint(bounds_); }
  void Refresh() override { form_.Repaint(bounds_); }
  void TakeFocus() override { Focus(); }

  // --- Layer
  Rect Bounds() const override { return bounds_; }
  void Paint(std::uint32_t* frame, int frame_width, const Rect& clip) override {
    CopyInto(frame, frame_width, FaceWithCaption(control_.Label(), surface_), Point{bounds_.left, bounds_.top}, clip);
  }
  // A left press gives the control the focus (after its mouse-down), as a
  // click on a window does; the other buttons do not.
  void MouseDown(int button, int shift, float x, float y) override {
    control_.DeliverMouseDown(button, shift, x, y);
    if (button == kLeftButton) Focus();
  }
  void MouseMove(int buttons, int shift, float x, float y) override { control_.DeliverMouseMove(buttons, shift, x, y); }
  void MouseUp(int button, int buttons_still_held, int shift, float x, float y) override {
    control_.DeliverMouseUp(button, buttons_still_held, shift, x, y);
  }
  void FocusLost() override {
    focused_ = false;
    control_.DeliverFocus(false);
  }
  WindowHandle OwnHandle() const override { return handle_; }

 private:
  void Focus() {
    if (focused_) return;
    form_.FocusLayer(this);
    focused_ = true;
    control_.DeliverFocus(true);
  }

  UserControl& control_;
  FormWindow& form_;
  WindowHandle handle_ = static_cast<WindowHandle>(NextId());
  Rect bounds_{};
  Picture surface_;
  Colour back_ = kWhite;
  bool focused_ = false;
};

}  // namespace
}  // namespace ui::web

namespace ui {

std::unique_ptr<UserControlPeer> CreateUserControlPeer(UserControl& control, Form& container) {
  return std::make_unique<web::WebUserControlPeer>(control, container);
}
std::unique_ptr<ComboBoxPeer> CreateComboBoxPeer(ComboBox&, Canvas& container) {
  return std::make_unique<web::WebComboBoxPeer>(container);
}
std::unique_ptr<ScrollBarPeer> CreateScrollBarPeer(VScrollBar& bar, Canvas& container) {
  return std::make_unique<web::WebScrollBarPeer>(bar, container);
}
std::unique_ptr<PalettePicturePeer> CreatePalettePicturePeer(PalettePictureBox&, Form& form) {
  return std::make_unique<web::WebPalettePicturePeer>(form);
}

void BringToTop(WindowHandle child) {
  const auto& raisers = web::Backend().raisers;
  const auto it = raisers.find(child);
  if (it != raisers.end()) it->second();
}

}  // namespace ui
