// What the backends that paint a form's picture boxes, palette picture and
// buttons into the form's own window share (GTK, the browser): a layer's
// place and input, the dress a canvas gives its picture box's layer, and
// the picture box's own mouse rules.
#pragma once
#include <functional>
#include <memory>

#include "ui/backend.h"
#include "ui/form.h"
#include "ui/types.h"

namespace ui {

struct CursorImage;
class Canvas;

// Something painted into a form's window, in the form's pixels, with the
// mouse routed to it. Positions relative to the layer's top left.
class Layer {
 public:
  virtual ~Layer() = default;
  virtual Rect Bounds() const = 0;
  virtual bool Shown() const { return true; }
  virtual void MouseDown(int button, int shift, float x, float y) {}
  virtual void MouseMove(int buttons, int shift, float x, float y) {}
  virtual void MouseUp(int button, int buttons_still_held, int shift, float x, float y) {}
  virtual void CaptureLost() {}
  // The pointer a control under (x, y) asks for; null for the default.
  virtual const CursorImage* CursorAt(float x, float y) { return nullptr; }
};

using CursorSource = std::function<const CursorImage*(float x, float y)>;

// A picture box's layer as its container (a canvas) dresses it: a sunken
// frame, visibility, stacking, and the pointers of the controls on it.
class BoxLayer {
 public:
  virtual ~BoxLayer() = default;
  virtual void SetSunken(bool sunken) = 0;
  virtual void SetShown(bool shown) = 0;
  virtual void Restack(bool to_top) = 0;
  virtual void SetCursorSource(CursorSource cursor_at) = 0;
};

// The canvas's peer over its box's layer.
std::unique_ptr<CanvasPeer> CanvasPeerOver(Canvas& canvas, BoxLayer& box);

// A picture box's mouse, positions relative to its layer: moved inside the
// sunken frame; a press and a release of the same button on the box make a
// click; the pointer the canvas's control under the mouse asks for.
class BoxInput {
 public:
  explicit BoxInput(PictureBox& box) : box_(box) {}
  void SetInset(int inset) { inset_ = inset; }
  void SetCursorSource(CursorSource source) { cursor_at_ = std::move(source); }
  void MouseDown(int button, int shift, float x, float y);
  void MouseMove(int buttons, int shift, float x, float y);
  // `size`: the layer's outer size, for whether the release was on the box.
  void MouseUp(int button, int shift, float x, float y, Point size);
  void CaptureLost();
  const CursorImage* CursorAt(float x, float y) const;

 private:
  PictureBox& box_;
  CursorSource cursor_at_;
  int inset_ = 0;
  int pressed_ = 0;
};

}  // namespace ui
