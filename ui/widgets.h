// Widgets beyond forms and picture boxes: picture boxes that act as
// containers for windowless labels, images and rectangle outlines painted over
// a persistent image; a combo box and a vertical scroll bar (native windows on
// Win32); an 8-bit palette picture whose bits the program changes in place;
// custom cursors.
//
// A Canvas is a picture box with a persistent image of its own (what the
// program draws with Line or BitBlt stays until the next Cls) and a list of
// windowless controls in z-order, bottom first. Whenever either changes, the
// affected rectangle is composed again and handed to the box's surface, so the
// backend only ever shows finished pixels.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/font.h"
#include "ui/form.h"
#include "ui/picture.h"
#include "ui/types.h"

namespace ui {

class Canvas;

// A cursor image from a .cur file: the first image of the file.
struct CursorImage {
  int width = 0;
  int height = 0;
  int hot_x = 0;
  int hot_y = 0;
  // The image as the file stores it (BITMAPINFOHEADER, palette, XOR and AND masks).
  std::span<const unsigned char> image;
  bool Empty() const { return image.empty(); }
};
// Parses the bytes of a .cur file; an empty image when they are not one.
CursorImage ParseCursor(std::span<const unsigned char> bytes);

using MouseHandler = std::function<void(int button, int shift, float x, float y)>;

// Base of labels, images and outlines: no window of their own; the container
// paints them and routes the mouse to them.
class Windowless {
 public:
  explicit Windowless(Canvas& container);
  virtual ~Windowless();
  Windowless(const Windowless&) = delete;
  Windowless& operator=(const Windowless&) = delete;

  Canvas& Container() { return container_; }
  void Move(int x, int y, int width, int height);
  int Left() const { return x_; }
  int Top() const { return y_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  Rect Bounds() const { return Rect{x_, y_, x_ + width_, y_ + height_}; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Element index within a control array; -1 for a single control.
  int Index = -1;
  std::string Name;
  // Shown while the cursor is over the control; null for the container's cursor.
  const CursorImage* MouseIcon = nullptr;
  std::string ToolTipText;

  // Events, x and y relative to the control. Click: a left press and release
  // on the control.
  std::function<void()> OnClick;
  MouseHandler OnMouseDown;
  MouseHandler OnMouseMove;
  MouseHandler OnMouseUp;
  // Controls without any mouse handler let the mouse through to what lies below.
  bool HandlesMouse() const { return OnClick || OnMouseDown || OnMouseMove || OnMouseUp; }

  // Paints the control into `target`, whose pixel (0, 0) is the container's
  // pixel `origin`; nothing outside `clip` (container pixels) is touched.
  virtual void Paint(Picture& target, Point origin, const Rect& clip) const = 0;

 protected:
  void Invalidate();
  void InvalidateRect(const Rect& r);

 private:
  Canvas& container_;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
};

class Label : public Windowless {
 public:
  explicit Label(Canvas& container);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // Transparent: the container shows through around the text.
  void SetTransparent(bool transparent);
  // Auto-size: the label takes the size of its text (width and height).
  void SetAutoSize(bool auto_size);
  // A single-line border around the label.
  void SetBorder(bool border);
  void SetAlignment(Alignment alignment);
  Colour ForeColor() const { return fore_; }
  void SetForeColor(Colour colour);
  Colour BackColor() const { return back_; }
  void SetBackColor(Colour colour);
  void SetFont(const Font& font);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  void Paint(Picture& target, Point origin, const Rect& clip) const override;

 private:
  void Fit();
  std::string caption_;
  bool transparent_ = false;
  bool auto_size_ = false;
  bool border_ = false;
  Alignment alignment_ = Alignment::Left;
  Colour fore_ = 0;
  Colour back_ = 0x00C0C0C0;
  Font font_;
  bool enabled_ = true;
};

class Image : public Windowless {
 public:
  explicit Image(Canvas& container);

  // The picture is shared, not copied: assigning one image's picture to
  // another is as cheap as the platform's picture objects.
  const std::shared_ptr<const Picture>& GetPicture() const { return picture_; }
  void SetPicture(std::shared_ptr<const Picture> picture);
  // Stretch: the picture is scaled to the control; otherwise the control
  // takes the picture's size.
  void SetStretch(bool stretch);

  void Paint(Picture& target, Point origin, const Rect& clip) const override;

 private:
  std::shared_ptr<const Picture> picture_;
  bool stretch_ = false;
};

// A rectangle outline, one pixel wide, no fill.
class Shape : public Windowless {
 public:
  explicit Shape(Canvas& container);
  void SetBorderColor(Colour colour);
  void Paint(Picture& target, Point origin, const Rect& clip) const override;

 private:
  Colour border_ = 0;
};

// A picture box used as a container with a persistent image.
class Canvas {
 public:
  // A child window of the form; hidden: an image store that is never shown.
  Canvas(Form& form, bool hidden = false);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  WindowHandle Handle();
  // Position and outer size in the form's pixels.
  void Move(int x, int y, int width, int height);
  int Left() const { return x_; }
  int Top() const { return y_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // A two-pixel sunken border inside the outer size; the client area, where
  // drawing and the controls' positions start, lies within it.
  void SetSunkenBorder(bool sunken);
  int ClientWidth() const { return image_.width; }
  int ClientHeight() const { return image_.height; }

  Colour BackColor() const { return back_; }
  // Like the platform's picture box, a new background clears the image.
  void SetBackColor(Colour colour);
  // The font controls on this canvas use unless given their own.
  Font AmbientFont;

  // Drawing on the persistent image.
  void Cls();
  void Line(int x1, int y1, int x2, int y2, Colour colour);
  void PaintPicture(const Picture& picture, int x, int y, int width = -1, int height = -1);
  const Picture& PersistentImage() const { return image_; }
  // Lines drawn since the canvas was made (for inspection).
  long LineCount() const { return lines_; }

  // Sends the box below or above its sibling windows.
  void ZOrder(bool to_top);
  // Paints everything that changed now.
  void Refresh();

  // Composition is held back while held (many changes at once).
  void Hold();
  void Release();

  // The topmost visible control under (x, y) that takes the mouse, or null.
  Windowless* HitTest(int x, int y) const;

  // The composed pixels of a rectangle: image plus controls.
  Picture Compose(const Rect& area) const;
  void Invalidate(const Rect& area);

  PictureBox& Box() { return *box_; }

 private:
  friend class Windowless;
  void Add(Windowless* control);
  void Remove(Windowless* control);
  void Flush();
  void MouseDown(int button, int shift, float x, float y);
  void MouseMove(int button, int shift, float x, float y);
  void MouseUp(int button, int shift, float x, float y);
  void DropCapture();
  void Resize();

  std::unique_ptr<PictureBox> box_;
  std::unique_ptr<CanvasPeer> peer_;
  std::vector<Windowless*> controls_;
  Picture image_;
  Colour back_ = 0x00C0C0C0;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  bool sunken_ = false;
  int hold_ = 0;
  long lines_ = 0;
  bool dirty_ = false;
  Rect dirty_rect_{};
  Windowless* captured_ = nullptr;
  int captured_buttons_ = 0;
  bool left_down_on_captured_ = false;
};

// Copies a rectangle of one canvas's persistent image into another's, as
// BitBlt with SRCCOPY between their device contexts; parts outside either
// image are clipped.
void BitBlt(Canvas& dest, int x, int y, int width, int height, const Canvas& source, int source_x, int source_y);

// --- Native widgets ------------------------------------------------------

// An editable text with a drop-down list, inside a canvas.
class ComboBox {
 public:
  explicit ComboBox(Canvas& container);
  ~ComboBox();
  void Move(int x, int y, int width, int height);
  std::string Text();
  void SetText(const std::string& text);
  void AddItem(const std::string& item);
  const std::vector<std::string>& List() const { return items_; }
  void SetFont(const Font& font);
  WindowHandle Handle() { return peer_->Handle(); }
  ComboBoxPeer& Peer() { return *peer_; }

 private:
  std::unique_ptr<ComboBoxPeer> peer_;
  std::vector<std::string> items_;
};

// A vertical scroll bar inside a canvas. The upper arrow moves the value
// towards Min, the lower one towards Max; Min may be above Max.
class VScrollBar {
 public:
  explicit VScrollBar(Canvas& container);
  ~VScrollBar();
  void Move(int x, int y, int width, int height);
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Value() const { return value_; }
  // A value outside the range is refused (false) and changes nothing.
  bool SetValue(int value);
  // Raised on every change of Value, by the program or the user.
  std::function<void()> OnChange;

  // The backend reports the user's scrolling as a position (0 = at Min).
  void UserScrolledTo(int position);
  // The backend reports one arrow click: -1 upper, +1 lower.
  void UserStepped(int direction);
  WindowHandle Handle() { return peer_->Handle(); }
  ScrollBarPeer& Peer() { return *peer_; }

 private:
  int PositionOf(int value) const;
  std::unique_ptr<ScrollBarPeer> peer_;
  int min_ = 0, max_ = 32767, value_ = 0;
};

// --- The 8-bit palette picture ---------------------------------------------

// A picture box on a form showing one 8-bit picture with a palette. The
// picture's bits are the memory the screen is painted from: a change of a
// byte shows with the next Refresh, nothing is copied.
class PalettePictureBox {
 public:
  explicit PalettePictureBox(Form& form);
  ~PalettePictureBox();
  void Move(int x, int y, int width, int height);
  void SetSunkenBorder(bool sunken);
  // A new picture, every pixel index 0.
  void CreatePicture(int width, int height, const Palette& palette);
  // The bitmap record of the current picture (bits null when there is none).
  BitmapInfo GetObject() const { return info_; }
  const Palette& GetPalette() const { return palette_; }
  void Refresh();
  WindowHandle Handle() { return peer_->Handle(); }
  PalettePicturePeer& Peer() { return *peer_; }

 private:
  std::unique_ptr<PalettePicturePeer> peer_;
  BitmapInfo info_;
  Palette palette_{};
};

// The palette laid out as a 3-3-2 colour cube: index bits RRRGGGBB.
Palette ColourCube332();

}  // namespace ui
