// Forms and picture boxes on X: a form is a borderless window the window
// manager leaves alone (or a host's window it draws into), a picture box a
// child window with a persistent image.
#include <X11/Xutil.h>

#include <algorithm>

#include "ui/form.h"
#include "ui/x11/backend_x11.h"
#include "ui/x11/input_x11.h"
#include "ui/x11/surface_x11.h"

namespace ui::x11 {
namespace {

constexpr long kFormEvents = KeyPressMask | StructureNotifyMask | ExposureMask;
// A host's window: only its size and its end; the host owns its input.
constexpr long kHostEvents = StructureNotifyMask | ExposureMask;
constexpr long kBoxEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | ExposureMask | KeyPressMask;

class X11FormPeer : public FormPeer {
 public:
  explicit X11FormPeer(Form& form) : form_(form) { Backend().forms.push_back(&form_); }
  ~X11FormPeer() override {
    Destroy();
    auto& forms = Backend().forms;
    forms.erase(std::remove(forms.begin(), forms.end(), &form_), forms.end());
  }

  WindowHandle Handle() override { return Window(); }
  ::Window Window() {
    if (!window_ && !destroyed_) Create();
    return window_;
  }
  bool Hosted() const { return hosted_; }

  void SetCaption(const std::string& caption) override {
    caption_ = caption;
    if (window_ && !hosted_) SetTitle(window_, caption_);
  }
  void SetBoundsPixels(int x, int y, int w, int h) override {
    x_ = x, y_ = y, w_ = std::max(w, 1), h_ = std::max(h, 1);
    if (window_ && !hosted_) XMoveResizeWindow(Dpy(), window_, x_, y_, w_, h_);
  }
  void SetBackColor(Colour colour) override {
    back_ = colour;
    if (window_ && !hosted_) XSetWindowBackground(Dpy(), window_, ScreenPixel(colour));
  }
  void Show() override {
    if (hosted_) return;
    XMapRaised(Dpy(), Window());
  }
  void Destroy() override {
    if (!window_) return;
    const ::Window w = window_;
    window_ = 0;
    destroyed_ = true;
    --Backend().live_forms;
    Forget(w);
    if (!hosted_ && !gone_) XDestroyWindow(Dpy(), w);
    XFlush(Dpy());
  }
  void AdoptHost(WindowHandle host) override {
    hosted_ = true;
    window_ = static_cast<::Window>(host);
    ++Backend().live_forms;
    XSelectInput(Dpy(), window_, kHostEvents);
    XWindowAttributes a;
    if (XGetWindowAttributes(Dpy(), window_, &a)) w_ = a.width, h_ = a.height;
    else Backend().host_lost = true;
    Listen(window_, [this](XEvent& e) { OnEvent(e); });
  }

  Point HostSize() override { return Point{w_, h_}; }

 private:
  void Create() {
    window_ = CreatePlainWindow(DefaultRootWindow(Dpy()), x_, y_, w_, h_, true);
    ++Backend().live_forms;
    XSetWindowBackground(Dpy(), window_, ScreenPixel(back_));
    XSelectInput(Dpy(), window_, kFormEvents);
    SetTitle(window_, caption_);
    XSetWMProtocols(Dpy(), window_, &Backend().wm_delete, 1);
    ApplyPointer(window_);
    Listen(window_, [this](XEvent& e) { OnEvent(e); });
  }

  void OnEvent(XEvent& e) {
    switch (e.type) {
      case KeyPress: return OnKeyPress(e.xkey);
      case MapNotify: return OnMapped();
      case ConfigureNotify: return OnConfigure(e.xconfigure);
      case Expose:
        // A picture box draws straight into a host's window.
        if (hosted_)
          for (Presenter* p : Backend().presenters) p->Exposed(window_);
        return;
      case DestroyNotify: return OnDestroyed(e.xdestroywindow);
      case ClientMessage:
        if (static_cast<Atom>(e.xclient.data.l[0]) == Backend().wm_delete) form_.Unload();
        return;
    }
  }
  void OnKeyPress(XKeyEvent& e) {
    if (form_.OnKeyDown) form_.OnKeyDown(KeyOf(XLookupKeysym(&e, 0)), ShiftOf(e.state));
  }
  // A form that takes keys gets the keyboard once it shows, as a window
  // the system activates would.
  void OnMapped() {
    if (hosted_ || !form_.OnKeyDown) return;
    XSetInputFocus(Dpy(), window_, RevertToParent, CurrentTime);
    XGrabKeyboard(Dpy(), window_, False, GrabModeAsync, GrabModeAsync, CurrentTime);
  }
  void OnConfigure(const XConfigureEvent& e) {
    if (!hosted_ || (e.width == w_ && e.height == h_)) return;
    w_ = e.width, h_ = e.height;
    if (form_.OnResize) form_.OnResize();
  }
  // The window went with its parent (a preview's host) or a host's window
  // went: the form is unloaded as when the system closes it.
  void OnDestroyed(const XDestroyWindowEvent& e) {
    if (e.window != window_) return;
    gone_ = true;
    form_.Unload();
  }

  Form& form_;
  ::Window window_ = 0;
  std::string caption_;
  int x_ = 0, y_ = 0, w_ = 1, h_ = 1;
  Colour back_ = 0;
  bool hosted_ = false, destroyed_ = false, gone_ = false;
};

class X11PictureBoxPeer : public PictureBoxPeer, public Presenter {
 public:
  X11PictureBoxPeer(PictureBox& box, Form& parent) : box_(box), parent_(parent) {
    Backend().presenters.push_back(this);
  }
  ~X11PictureBoxPeer() override {
    auto& p = Backend().presenters;
    p.erase(std::remove(p.begin(), p.end(), static_cast<Presenter*>(this)), p.end());
    surface_.reset();
    if (window_ && own_window_) {
      Forget(window_);
      XDestroyWindow(Dpy(), window_);
    }
  }

  WindowHandle Handle() override { return Ensure(); }
  void SetBoundsPixels(int x, int y, int w, int h) override {
    Ensure();
    if (own_window_) XMoveResizeWindow(Dpy(), window_, x, y, std::max(w, 1), std::max(h, 1));
    surface_->Resize(w, h, back_);
  }
  void Clear(Colour back) override {
    Ensure();
    back_ = back;
    surface_->Fill(back);
  }
  void Circle(int x, int y, int r, Colour colour) override {
    Ensure();
    const Colour pixel = surface_->Pixel(colour);
    surface_->WithGrid([&](auto grid) { DrawCircle(grid, x, y, r, pixel); });
    surface_->Touch(x - r, y - r, x + r + 1, y + r + 1);
  }
  void Line(int x1, int y1, int x2, int y2, Colour colour) override {
    Ensure();
    const Colour pixel = surface_->Pixel(colour);
    surface_->WithGrid([&](auto grid) { DrawLine(grid, x1, y1, x2, y2, pixel); });
    surface_->Touch(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1);
  }
  void PaintPicture(const Picture& picture, const Rect& dest, const Rect& source) override {
    Ensure();
    const Picture pixels = surface_->InPixels(picture);
    surface_->WithGrid([&](auto grid) { StretchNearest(grid, pixels, dest, source); });
    surface_->Touch(dest.left, dest.top, dest.right, dest.bottom);
  }
  void Refresh() override {
    if (surface_) surface_->Present();
    XFlush(Dpy());
  }
  void Focus() override {}
  void Present() override {
    if (surface_) surface_->Present();
  }
  void Exposed(::Window window) override {
    if (surface_ && window == window_) surface_->TouchAll();
  }

 private:
  // The window and its image are made on first use. In a host's window the
  // box draws straight into it and takes no input.
  ::Window Ensure() {
    if (window_) return window_;
    if (parent_.Hosted()) {
      window_ = static_cast<::Window>(parent_.HostWindow());
    } else {
      own_window_ = true;
      window_ = CreatePlainWindow(static_cast<::Window>(parent_.Handle()), box_.Left(), box_.Top(),
                                  std::max(box_.ScaleWidth(), 1), std::max(box_.ScaleHeight(), 1), false);
      XSelectInput(Dpy(), window_, kBoxEvents);
      ApplyPointer(window_);
      XMapWindow(Dpy(), window_);
      Listen(window_, [this](XEvent& e) { OnEvent(e); });
    }
    surface_ = std::make_unique<Surface>(window_);
    return window_;
  }

  void OnEvent(XEvent& e) {
    switch (e.type) {
      case Expose: surface_->TouchAll(); return;
      case ButtonPress: return OnButton(e.xbutton, true);
      case ButtonRelease: return OnButton(e.xbutton, false);
      case MotionNotify:
        if (box_.OnMouseMove)
          box_.OnMouseMove(ButtonsOf(e.xmotion.state), ShiftOf(e.xmotion.state), static_cast<float>(e.xmotion.x),
                           static_cast<float>(e.xmotion.y));
        return;
      case KeyPress:
        if (parent_.KeyPreview && parent_.OnKeyDown)
          parent_.OnKeyDown(KeyOf(XLookupKeysym(&e.xkey, 0)), ShiftOf(e.xkey.state));
        return;
    }
  }
  // A press and a release of the same button on the box make a click.
  void OnButton(const XButtonEvent& e, bool down) {
    const int button = ButtonOf(e.button);
    if (button == 0) return;  // the wheel
    const float x = static_cast<float>(e.x), y = static_cast<float>(e.y);
    const int shift = ShiftOf(e.state);
    if (down) {
      pressed_ = button;
      if (box_.OnMouseDown) box_.OnMouseDown(button, shift, x, y);
      return;
    }
    if (box_.OnMouseUp) box_.OnMouseUp(button, shift, x, y);
    const bool inside = x >= 0 && y >= 0 && x < box_.ScaleWidth() && y < box_.ScaleHeight();
    if (pressed_ == button && inside && box_.OnClick) box_.OnClick();
    pressed_ = 0;
  }

  PictureBox& box_;
  ui::Form& parent_;
  ::Window window_ = 0;
  bool own_window_ = false;
  std::unique_ptr<Surface> surface_;
  Colour back_ = 0;
  int pressed_ = 0;
};

}  // namespace

Window CreatePlainWindow(Window parent, int x, int y, int width, int height, bool override_redirect) {
  Display* d = Dpy();
  XSetWindowAttributes a{};
  a.override_redirect = override_redirect ? True : False;
  a.background_pixmap = None;
  a.bit_gravity = NorthWestGravity;
  return XCreateWindow(d, parent, x, y, std::max(width, 1), std::max(height, 1), 0, CopyFromParent, InputOutput,
                       CopyFromParent, CWOverrideRedirect | CWBackPixmap | CWBitGravity, &a);
}

void SetTitle(Window window, const std::string& title) {
  Display* d = Dpy();
  // WM_NAME for older readers: plain ASCII as it is (Xlib's conversion of
  // other text loads the locale's tables, which a display start can do
  // without), other text converted; _NET_WM_NAME in UTF-8.
  const bool ascii = std::all_of(title.begin(), title.end(), [](char c) { return (c & 0x80) == 0; });
  if (ascii) XStoreName(d, window, title.c_str());
  else Xutf8SetWMProperties(d, window, title.c_str(), title.c_str(), nullptr, 0, nullptr, nullptr, nullptr);
  XChangeProperty(d, window, Backend().net_wm_name, Backend().utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
}

}  // namespace ui::x11

namespace ui {

std::unique_ptr<FormPeer> CreateFormPeer(Form& form) { return std::make_unique<x11::X11FormPeer>(form); }
std::unique_ptr<PictureBoxPeer> CreatePictureBoxPeer(PictureBox& box, Form& parent) {
  return std::make_unique<x11::X11PictureBoxPeer>(box, parent);
}

}  // namespace ui
