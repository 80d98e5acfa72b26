// Forms, picture boxes and canvases in the browser. A form is an element of
// the page holding a canvas; its picture boxes are layers composed into the
// form's image, bottom first, and what changed is copied to the canvas once
// a frame. A layer that fills its form alone (the display, the preview) is
// copied straight from its own image.
#include <algorithm>
#include <cmath>

#include "ui/backend.h"
#include "ui/common/cursor_pixels.h"
#include "ui/common/raster.h"
#include "ui/web/backend_web.h"
#include "ui/web/browser.h"
#include "ui/widgets.h"

namespace ui::web {
namespace {

Rect Intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}
bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
bool Inside(const Rect& r, double x, double y) { return x >= r.left && y >= r.top && x < r.right && y < r.bottom; }
long long Area(const Rect& r) { return IsEmpty(r) ? 0 : 1LL * (r.right - r.left) * (r.bottom - r.top); }
Rect Union(const Rect& a, const Rect& b) {
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}
Rect Offset(const Rect& r, int dx, int dy) { return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

// The viewport in program pixels.
Rect ScreenRect() {
  double width = 0, height = 0, ratio = 1;
  tess_viewport(&width, &height, &ratio);
  const double scale = 1 / CssPerPixel();
  return Rect{0, 0, static_cast<int>(std::lround(width * scale)), static_cast<int>(std::lround(height * scale))};
}

void FillRect(std::uint32_t* frame, int frame_width, const Rect& r, std::uint32_t word) {
  if (IsEmpty(r)) return;
  for (int y = r.top; y < r.bottom; ++y)
    std::fill_n(frame + static_cast<std::size_t>(y) * frame_width + r.left, r.right - r.left, word);
}

class WebFormPeer : public FormPeer, public FormWindow {
 public:
  explicit WebFormPeer(Form& form) : form_(form), id_(NextId()) {
    Backend().forms.push_back(&form_);
    Backend().form_windows[&form_] = this;
    Backend().windows_by_id[id_] = this;
    ++Backend().live_forms;
    tess_form_create(id_, "");
  }
  ~WebFormPeer() override {
    Destroy();
    auto& forms = Backend().forms;
    forms.erase(std::remove(forms.begin(), forms.end(), &form_), forms.end());
    Backend().form_windows.erase(&form_);
  }

  // --- FormPeer
  WindowHandle Handle() override { return destroyed_ ? 0 : static_cast<WindowHandle>(id_); }
  void SetCaption(const std::string& caption) override { tess_form_title(id_, caption.c_str()); }
  void SetBoundsPixels(int x, int y, int w, int h) override {
    w = std::max(w, 0), h = std::max(h, 0);
    if (w != bounds_.right - bounds_.left || h != bounds_.bottom - bounds_.top) {
      frame_.assign(static_cast<std::size_t>(w) * h, Rgba(back_));
      Repaint(Rect{0, 0, w, h});
    }
    bounds_ = Rect{x, y, x + w, y + h};
    covers_screen_ = bounds_ == ScreenRect();
    Place();
  }
  void SetBackColor(Colour colour) override {
    back_ = colour;
    tess_form_colour(id_, colour);
    Repaint(Rect{0, 0, Width(), Height()});
  }
  void Show() override {
    if (destroyed_) return;
    Place();
    tess_form_show(id_, form_.OnKeyDown ? 1 : 0);
    ApplyPointer();
  }
  void Destroy() override {
    if (destroyed_) return;
    destroyed_ = true;
    --Backend().live_forms;
    Backend().windows_by_id.erase(id_);
    tess_form_destroy(id_);
  }
  // Nothing in a page hosts a saver's window: the display always has its own.
  void AdoptHost(WindowHandle) override {}
  Point HostSize() override { return Point{}; }

  // --- FormWindow
  int Id() const override { return id_; }
  void AddLayer(Layer* layer) override { layers_.push_back(layer); }
  void RemoveLayer(Layer* layer) override {
    layers_.erase(std::remove(layers_.begin(), layers_.end(), layer), layers_.end());
    if (captured_ == layer) captured_ = nullptr;
    if (focused_ == layer) focused_ = nullptr;
    if (under_pointer_ == layer) under_pointer_ = nullptr;
  }
  void Restack(Layer* layer, bool to_top) override {
    layers_.erase(std::remove(layers_.begin(), layers_.end(), layer), layers_.end());
    if (to_top) layers_.push_back(layer);
    else layers_.insert(layers_.begin(), layer);
    Repaint(layer->Bounds());
  }
  void Repaint(const Rect& area) override {
    const Rect a = Intersect(area, Rect{0, 0, Width(), Height()});
    if (!IsEmpty(a)) dirty_.Add(a);
  }
  double CssPerPixel() const override { return css_per_pixel_; }
  void FocusLayer(Layer* layer) override {
    if (layer == focused_) return;
    Layer* previous = focused_;
    focused_ = layer;
    if (previous) previous->FocusLost();
  }
  int OnLayout(std::function<void()> place) override {
    place();
    layouts_[++last_layout_] = std::move(place);
    return last_layout_;
  }
  void ForgetLayout(int id) override { layouts_.erase(id); }
  void Relayout() override { Place(); }
  bool CoversScreen() const override { return covers_screen_ && !destroyed_; }
  WindowHandle HandleAt(double css_x, double css_y) const override {
    const Layer* layer = HitTest(css_x / css_per_pixel_, css_y / css_per_pixel_);
    return layer && layer->OwnHandle() ? layer->OwnHandle() : static_cast<WindowHandle>(id_);
  }

  void Present() override {
    if (dirty_.Empty() || destroyed_) return;
    const std::uint32_t* image = Direct();
    for (const Rect& r : dirty_.Rects()) {
      if (!image) Compose(r);
      tess_form_present(id_, image ? image : frame_.data(), Width(), Height(), r.left, r.top, r.right - r.left,
                        r.bottom - r.top);
    }
    dirty_.Clear();
  }

  void Event(const WebEvent& e) override {
    const float x = static_cast<float>(e.x / css_per_pixel_), y = static_cast<float>(e.y / css_per_pixel_);
    switch (e.type) {
      case kPointerDown: return PointerDown(e.button, e.shift, x, y);
      case kPointerMove: return PointerMove(e.buttons, e.shift, x, y);
      case kPointerUp: return PointerUp(e.button, e.shift, x, y);
      case kPointerLost: return PointerLost();
    }
  }

  // The pointer shape for ShowCursor, the screen-wide pointer and the
  // control under the pointer.
  void ApplyPointer() {
    const WebBackend& b = Backend();
    int pointer = 0;
    if (b.cursor_count < 0) pointer = 1;
    else if (b.mouse_pointer == screen::kHourglassPointer) pointer = 2;
    else if (pointer_image_) pointer = PointerFor(pointer_image_);
    if (pointer == pointer_ || destroyed_) return;
    pointer_ = pointer;
    tess_form_pointer(id_, pointer);
  }

 private:
  int Width() const { return bounds_.right - bounds_.left; }
  int Height() const { return bounds_.bottom - bounds_.top; }

  void Place() {
    if (destroyed_) return;
    css_per_pixel_ = web::CssPerPixel();
    const double s = css_per_pixel_;
    tess_form_place(id_, bounds_.left * s, bounds_.top * s, Width() * s, Height() * s, Width(), Height());
    for (auto& [id, place] : layouts_) place();
  }

  const std::uint32_t* Direct() const {
    if (layers_.size() != 1 || !layers_.front()->Shown() || layers_.front()->Bounds() != Rect{0, 0, Width(), Height()})
      return nullptr;
    return layers_.front()->DirectImage();
  }

  void Compose(const Rect& r) {
    FillRect(frame_.data(), Width(), r, Rgba(back_));
    for (Layer* layer : layers_) {
      const Rect clip = Intersect(r, layer->Bounds());
      if (layer->Shown() && !IsEmpty(clip)) layer->Paint(frame_.data(), Width(), clip);
    }
  }

  Layer* HitTest(double x, double y) const {
    for (auto it = layers_.rbegin(); it != layers_.rend(); ++it)
      if ((*it)->Shown() && Inside((*it)->Bounds(), x, y)) return *it;
    return nullptr;
  }

  void PointerDown(int button, int shift, float x, float y) {
    if (!captured_) captured_ = HitTest(x, y);
    buttons_ |= button;
    if (Layer* target = captured_) {
      const Rect b = target->Bounds();
      target->MouseDown(button, shift, x - b.left, y - b.top);
    }
  }
  void PointerMove(int buttons, int shift, float x, float y) {
    Layer* target = captured_ ? captured_ : HitTest(x, y);
    if (!captured_) ShowPointerOf(target, x, y);
    if (target) {
      const Rect b = target->Bounds();
      target->MouseMove(buttons, shift, x - b.left, y - b.top);
    }
  }
  void PointerUp(int button, int shift, float x, float y) {
    Layer* target = captured_ ? captured_ : HitTest(x, y);
    buttons_ &= ~button;
    if (buttons_ == 0) captured_ = nullptr;
    if (target) {
      const Rect b = target->Bounds();
      target->MouseUp(button, buttons_, shift, x - b.left, y - b.top);
    }
  }
  void PointerLost() {
    Layer* target = captured_;
    buttons_ = 0;
    captured_ = nullptr;
    if (target) target->CaptureLost();
  }
  void ShowPointerOf(Layer* layer, float x, float y) {
    under_pointer_ = layer;
    const CursorImage* image = nullptr;
    if (layer) {
      const Rect b = layer->Bounds();
      image = layer->CursorAt(x - b.left, y - b.top);
    }
    pointer_image_ = image;
    ApplyPointer();
  }

  Form& form_;
  const int id_;
  Rect bounds_{};
  Colour back_ = 0;
  bool destroyed_ = false;
  bool covers_screen_ = false;
  double css_per_pixel_ = 1;
  std::vector<std::uint32_t> frame_;
  DirtyRegion dirty_;
  std::vector<Layer*> layers_;
  Layer* captured_ = nullptr;
  Layer* focused_ = nullptr;
  Layer* under_pointer_ = nullptr;
  int buttons_ = 0;
  const CursorImage* pointer_image_ = nullptr;
  int pointer_ = -1;
  std::map<int, std::function<void()>> layouts_;
  int last_layout_ = 0;
};

// A picture box: a persistent image in the canvas's own words, with a
// sunken frame around it when its container asks for one.
class WebPictureBoxPeer : public PictureBoxPeer, public Layer, public BoxLayer {
 public:
  WebPictureBoxPeer(PictureBox& box, Form& parent) : box_(box), form_(WindowOf(parent)) {
    form_.AddLayer(this);
    Backend().box_layers[&box_] = this;
  }
  ~WebPictureBoxPeer() override {
    Backend().box_layers.erase(&box_);
    form_.RemoveLayer(this);
  }

  // --- PictureBoxPeer
  WindowHandle Handle() override { return handle_; }
  void SetBoundsPixels(int x, int y, int w, int h) override {
    form_.Repaint(bounds_);
    bounds_ = Rect{x, y, x + std::max(w, 0), y + std::max(h, 0)};
    Reshape();
  }
  void Clear(Colour back) override {
    back_ = back;
    Fill(Grid(), static_cast<Colour>(Rgba(back)));
    Changed(Rect{0, 0, width_, height_});
  }
  void Circle(int x, int y, int r, Colour colour) override {
    DrawCircle(Grid(), x, y, r, static_cast<Colour>(Rgba(colour)));
    Changed(Rect{x - r, y - r, x + r + 1, y + r + 1});
  }
  void Line(int x1, int y1, int x2, int y2, Colour colour) override {
    DrawLine(Grid(), x1, y1, x2, y2, static_cast<Colour>(Rgba(colour)));
    Changed(Rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1});
  }
  void PaintPicture(const Picture& picture, const Rect& dest, const Rect& source) override {
    Picture words = picture;
    for (Colour& c : words.pixels) c = static_cast<Colour>(Rgba(c));
    StretchNearest(Grid(), words, dest, source);
    Changed(dest);
  }
  void Refresh() override {}
  void Focus() override {}

  // --- Layer
  Rect Bounds() const override { return bounds_; }
  bool Shown() const override { return shown_; }
  void Paint(std::uint32_t* frame, int frame_width, const Rect& clip) override {
    if (sunken_)
      for (const EdgeLine& line : SunkenEdge(bounds_))
        FillRect(frame, frame_width, Intersect(line.rect, clip), Rgba(line.colour));
    const Rect image = Offset(Rect{0, 0, width_, height_}, bounds_.left + Inset(), bounds_.top + Inset());
    const Rect a = Intersect(clip, image);
    for (int y = a.top; y < a.bottom; ++y)
      std::copy_n(&image_[static_cast<std::size_t>(y - image.top) * width_ + (a.left - image.left)], a.right - a.left,
                  frame + static_cast<std::size_t>(y) * frame_width + a.left);
  }
  const std::uint32_t* DirectImage() const override {
    return sunken_ || image_.empty() ? nullptr : reinterpret_cast<const std::uint32_t*>(image_.data());
  }
  void MouseDown(int button, int shift, float x, float y) override { input_.MouseDown(button, shift, x, y); }
  void MouseMove(int buttons, int shift, float x, float y) override { input_.MouseMove(buttons, shift, x, y); }
  void MouseUp(int button, int, int shift, float x, float y) override {
    input_.MouseUp(button, shift, x, y, Point{bounds_.right - bounds_.left, bounds_.bottom - bounds_.top});
  }
  void CaptureLost() override { input_.CaptureLost(); }
  const CursorImage* CursorAt(float x, float y) override { return input_.CursorAt(x, y); }

  // --- BoxLayer
  void SetSunken(bool sunken) override {
    sunken_ = sunken;
    Reshape();
  }
  void SetShown(bool shown) override {
    shown_ = shown;
    form_.Repaint(bounds_);
  }
  void Restack(bool to_top) override { form_.Restack(this, to_top); }
  void SetCursorSource(CursorSource source) override { input_.SetCursorSource(std::move(source)); }

 private:
  int Inset() const { return sunken_ ? 2 : 0; }
  PixelGrid Grid() { return PixelGrid(image_.data(), width_, height_); }

  // The image is the area inside the frame, kept across a new size.
  void Reshape() {
    input_.SetInset(Inset());
    const int w = std::max(bounds_.right - bounds_.left - 2 * Inset(), 0);
    const int h = std::max(bounds_.bottom - bounds_.top - 2 * Inset(), 0);
    if (w != width_ || h != height_) {
      Picture kept{width_, height_, std::move(image_)};
      ResizeKeeping(kept, w, h, static_cast<Colour>(Rgba(back_)));
      image_ = std::move(kept.pixels);
      width_ = w, height_ = h;
    }
    form_.Repaint(bounds_);
  }

  void Changed(const Rect& r) {
    const Rect a = Intersect(r, Rect{0, 0, width_, height_});
    if (!IsEmpty(a)) form_.Repaint(Offset(a, bounds_.left + Inset(), bounds_.top + Inset()));
  }

  PictureBox& box_;
  FormWindow& form_;
  WindowHandle handle_ = static_cast<WindowHandle>(NextId());
  BoxInput input_{box_};
  Rect bounds_{};
  std::vector<Colour> image_;
  int width_ = 0, height_ = 0;
  Colour back_ = 0;
  bool sunken_ = false, shown_ = true;
};

}  // namespace

void DirtyRegion::Add(const Rect& r) {
  // Into the rectangle it grows least, when that is little; else apart,
  // while there is room.
  std::size_t best = rects_.size();
  long long best_growth = 0;
  for (std::size_t i = 0; i < rects_.size(); ++i) {
    const long long growth = Area(Union(rects_[i], r)) - Area(rects_[i]) - Area(r);
    if (best == rects_.size() || growth < best_growth) best = i, best_growth = growth;
  }
  if (best == rects_.size() || (best_growth > 0 && rects_.size() < kMostRects)) {
    rects_.push_back(r);
    return;
  }
  rects_[best] = Union(rects_[best], r);
}

double CssPerPixel() {
  if (!Backend().device_pixels) return 1;
  double width = 0, height = 0, ratio = 1;
  tess_viewport(&width, &height, &ratio);
  return ratio > 0 ? 1 / ratio : 1;
}

FormWindow& WindowOf(const Form& form) { return *Backend().form_windows.at(&form); }

int PointerFor(const CursorImage* image) {
  static std::map<const CursorImage*, int> made;
  const auto it = made.find(image);
  if (it != made.end()) return it->second;
  const CursorPixels pixels = CursorRgba(*image);
  const int pointer =
      pixels.Empty() ? 0
                     : tess_cursor_image(pixels.rgba.data(), pixels.width, pixels.height, image->hot_x, image->hot_y);
  made[image] = pointer;
  return pointer;
}

void ApplyPointerEverywhere() {
  for (auto& [form, window] : Backend().form_windows) static_cast<WebFormPeer*>(window)->ApplyPointer();
}

}  // namespace ui::web

namespace ui {

std::unique_ptr<FormPeer> CreateFormPeer(Form& form) { return std::make_unique<web::WebFormPeer>(form); }
std::unique_ptr<PictureBoxPeer> CreatePictureBoxPeer(PictureBox& box, Form& parent) {
  return std::make_unique<web::WebPictureBoxPeer>(box, parent);
}
std::unique_ptr<CanvasPeer> CreateCanvasPeer(Canvas& canvas) {
  return CanvasPeerOver(canvas, *web::Backend().box_layers.at(&canvas.Box()));
}

}  // namespace ui
