// Forms, picture boxes and timers: the widgets the core is written against.
// The portable classes keep the properties; a backend peer (ui/backend.h)
// does what the platform has to do (windows, drawing, messages).
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "ui/backend.h"
#include "ui/font.h"
#include "ui/picture.h"
#include "ui/types.h"

namespace ui {

// A top-level window. Left, Top, Width and Height are in twips.
class Form {
 public:
  Form();
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Design settings.
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }
  bool KeyPreview = true;

  WindowHandle Handle();
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int twips);
  void SetTop(int twips);
  void SetWidth(int twips);
  void SetHeight(int twips);
  void Move(int left, int top);
  // Becomes a child window of `parent` and fills its upper-left corner
  // (width and height in twips).
  void AttachToParent(WindowHandle parent, int width, int height);

  Colour BackColor() const { return back_colour_; }
  void SetBackColor(Colour colour);
  // The font controls on the form use unless given their own.
  Font AmbientFont{.Size = 9.75};

  void Show();
  bool Visible() const { return visible_; }
  // Runs OnUnload, then destroys the window.
  void Unload();
  bool Loaded() const { return loaded_; }

  // Draws into a window a screen-saver host made, at that window's size,
  // instead of a window of its own. The form then follows the host's size.
  void AdoptHostWindow(WindowHandle host);
  bool Hosted() const { return host_ != 0; }
  WindowHandle HostWindow() const { return host_; }
  // The host's window in pixels: what a hosted form fills.
  Point HostSize() { return Peer().HostSize(); }

  // Events. Keys: the key and the shift state (1 shift, 2 ctrl, 4 alt).
  std::function<void(Key key, int shift)> OnKeyDown;
  std::function<void()> OnUnload;
  // The host window changed its size, or the screen a form covers did (a
  // browser's window).
  std::function<void()> OnResize;

  FormPeer& Peer();

 private:
  void ApplyBounds();
  std::unique_ptr<FormPeer> peer_;
  std::string caption_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  Colour back_colour_ = 0;
  bool visible_ = false;
  bool loaded_ = true;
  WindowHandle host_ = 0;
};

// A picture box on a form, positioned in the form's pixels; a persistent
// surface that keeps what was drawn until it is cleared.
class PictureBox {
 public:
  explicit PictureBox(Form& parent);
  ~PictureBox();
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  Form& Parent() { return parent_; }
  WindowHandle Handle();
  void Move(int x, int y, int width, int height);
  void SetWidth(int pixels);
  void SetHeight(int pixels);
  int Left() const { return x_; }
  int Top() const { return y_; }
  int ScaleWidth() const { return width_; }
  int ScaleHeight() const { return height_; }

  Colour BackColor() const { return back_colour_; }
  // Like the platform's picture box, changing the background clears the surface.
  void SetBackColor(Colour colour);
  Colour FillColor = 0;

  void Cls();
  // A one-pixel circle outline; the inside stays as it was.
  void Circle(int x, int y, int radius, Colour colour);
  void Line(int x1, int y1, int x2, int y2, Colour colour);
  // Draws a picture at (x, y): at its own size, or stretched to width x height.
  void PaintPicture(const Picture& picture, int x, int y, int width = -1, int height = -1);
  // Draws a source rectangle of a picture stretched into a destination rectangle.
  void PaintPicture(const Picture& picture, const Rect& dest, const Rect& source);
  void Refresh();
  void SetFocus();

  // Events: button 1 left, 2 right, 4 middle; x and y in pixels.
  std::function<void()> OnClick;
  std::function<void(int button, int shift, float x, float y)> OnMouseDown;
  std::function<void(int button, int shift, float x, float y)> OnMouseMove;
  std::function<void(int button, int shift, float x, float y)> OnMouseUp;
  // The system took the mouse away while a button was held: its release
  // will not come here.
  std::function<void()> OnCaptureLost;

  PictureBoxPeer& Peer() { return *peer_; }

 private:
  Form& parent_;
  std::unique_ptr<PictureBoxPeer> peer_;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  Colour back_colour_ = 0;
};

// A timer that ticks only inside DoEvents.
class Timer {
 public:
  Timer(int interval_ms = 0);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  int Interval() const { return interval_; }
  void SetInterval(int ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  std::function<void()> OnTick;

 private:
  void Apply();
  std::unique_ptr<TimerPeer> peer_;
  int interval_ = 0;
  bool enabled_ = false;
};

}  // namespace ui
