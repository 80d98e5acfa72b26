// The settings window's forms, picture boxes, containers, timers and event
// pump on GTK 3. A form is a borderless GTK window with a fixed container;
// its picture boxes are layers painted into the window itself, bottom first,
// and the native widgets and controls sit above them in X windows of their
// own.
#include "ui/widgets.h"

#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <vector>

#include "ui/backend.h"
#include "ui/common/raster.h"
#include "ui/gtk/backend_gtk.h"
#include "ui/gtk/screen_scale.h"
#include "ui/posix/process.h"
#include "ui/x11/input_x11.h"
#include "ui/x11/monitors.h"

namespace ui::gtk {
namespace {

// GDK's modifier and button masks are X's own: the one X translation serves.
static_assert(GDK_SHIFT_MASK == ShiftMask && GDK_CONTROL_MASK == ControlMask && GDK_MOD1_MASK == Mod1Mask &&
              GDK_BUTTON1_MASK == Button1Mask && GDK_BUTTON2_MASK == Button2Mask && GDK_BUTTON3_MASK == Button3Mask);

// The light rays yield a hundred times a ray, so the time is read from the
// kernel's coarse clock (one tick, 1 to 4 ms): a third of the precise
// clock's cost, and the queue is then looked at once a tick.
std::int64_t CoarseMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
  return static_cast<std::int64_t>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

// A signal asked the program to end: the forms unload as when the system
// closes them, also while a dialog runs its own loop. Before the first form
// there is nothing to close, and nothing to lose: the program ends.
void HandleEndRequest() {
  if (!posix::TakeEndRequest()) return;
  if (Backend().forms.empty()) sys::EndProcess(0);
  CloseAllForms();
}

gboolean OnWake(gint, GIOCondition, gpointer) {
  HandleEndRequest();
  return G_SOURCE_CONTINUE;
}

bool Inside(const Rect& r, double x, double y) { return x >= r.left && y >= r.top && x < r.right && y < r.bottom; }

// Whether a window manager runs that moves windows on request.
bool ManagerMovesWindows(GtkWidget* window) {
  GdkScreen* screen = gtk_widget_get_screen(window);
  return GDK_IS_X11_SCREEN(screen) &&
         gdk_x11_screen_supports_net_wm_hint(screen, gdk_atom_intern_static_string("_NET_WM_MOVERESIZE"));
}

// GTK scales the windows of a session that asks for it by GDK_SCALE or a
// desktop's scaling factor; a session that only raises Xft.dpi gets the same
// whole factor set here, with GTK's own text (choosers, message boxes) kept
// at the size that resolution asks for.
void AdoptSessionScale() {
  GdkDisplay* display = gdk_display_get_default();
  const int gdk_scale = gdk_window_get_scale_factor(gdk_get_default_root_window());
  const int dpi = x11::QueryDpi(GDK_DISPLAY_XDISPLAY(display));
  const int scale = SessionScale(gdk_scale, std::getenv("GDK_SCALE") != nullptr, dpi);
  Backend().scale = scale;
  // The program's pixels keep this resolution when a window's scale is
  // lowered to fit its monitor.
  Backend().dpi = LogicalDpi(dpi, scale);
  if (scale == gdk_scale) return;
  gdk_x11_display_set_window_scale(display, scale);
  g_object_set(gtk_settings_get_default(), "gtk-xft-dpi", dpi * 1024 / scale, nullptr);
}

// A window too large for its monitor's work area at the session's scale is
// shown at the largest whole scale at which it fits (at 3x a settings
// window is taller than a 1080-line screen). Decided as soon as its size is
// known, before the program places it on the logical screen.
void FitScaleTo(int width, int height) {
  GtkBackend& b = Backend();
  const Rect work = x11::WorkArea(XDisplay(), x11::QueryLayout(XDisplay()).primary);
  const int scale = FittingScale(b.scale, width, height, work);
  if (scale == b.scale) return;
  b.scale = scale;
  gdk_x11_display_set_window_scale(gdk_display_get_default(), scale);
}

// Where the form's window goes, in GTK's (logical) units: wholly on the
// primary monitor, or with its top left on it when it is larger.
Point PlaceOnScreen(const Rect& logical) {
  const int scale = Backend().scale;
  const Rect monitor = x11::QueryLayout(XDisplay()).primary;
  const Rect device = PlaceOnMonitor(logical, scale, monitor);
  return Point{device.left / scale, device.top / scale};
}

class GtkFormPeer : public FormPeer, public FormWindow {
 public:
  explicit GtkFormPeer(Form& form) : form_(form) {
    EnsureStarted();
    Backend().forms.push_back(&form_);
    Backend().form_windows[&form_] = this;
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(window_);
    gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_widget_add_events(window_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
    fixed_ = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(window_), fixed_);
    g_signal_connect(fixed_, "draw", G_CALLBACK(OnDraw), this);
    g_signal_connect(window_, "button-press-event", G_CALLBACK(OnButtonPress), this);
    g_signal_connect(window_, "button-release-event", G_CALLBACK(OnButtonRelease), this);
    g_signal_connect(window_, "motion-notify-event", G_CALLBACK(OnMotion), this);
    g_signal_connect(window_, "grab-broken-event", G_CALLBACK(OnGrabBroken), this);
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
    ++Backend().live_forms;
  }
  ~GtkFormPeer() override {
    Destroy();
    auto& forms = Backend().forms;
    forms.erase(std::remove(forms.begin(), forms.end(), &form_), forms.end());
    Backend().form_windows.erase(&form_);
    if (window_) g_object_unref(window_);
  }

  // --- FormPeer
  WindowHandle Handle() override {
    if (destroyed_) return 0;
    if (!handle_) {
      gtk_widget_realize(window_);
      handle_ = gdk_x11_window_get_xid(gtk_widget_get_window(window_));
      Backend().windows[handle_] = GTK_WINDOW(window_);
    }
    return handle_;
  }
  void SetCaption(const std::string& caption) override { gtk_window_set_title(GTK_WINDOW(window_), caption.c_str()); }
  void SetBoundsPixels(int x, int y, int w, int h) override {
    const bool moved = x != x_ || y != y_;
    x_ = x, y_ = y;
    if (w != w_ || h != h_) {
      w_ = w, h_ = h;
      gtk_widget_set_size_request(fixed_, std::max(w, 1), std::max(h, 1));
      if (!gtk_widget_get_mapped(window_)) FitScaleTo(w, h);
    }
    if (moved && !destroyed_) Move();
  }
  void SetBackColor(Colour colour) override {
    back_colour_ = colour;
    gtk_widget_queue_draw(fixed_);
  }
  void Show() override {
    if (destroyed_) return;
    RunLayout();
    const Point place = PlaceOnScreen(Rect{x_, y_, x_ + w_, y_ + h_});
    gtk_window_move(GTK_WINDOW(window_), place.x, place.y);
    gtk_widget_show_all(window_);
    // GTK hands the focus to the first control that takes it; the system
    // leaves it with the window until a control is clicked or tabbed to.
    gtk_window_set_focus(GTK_WINDOW(window_), nullptr);
    gtk_window_present(GTK_WINDOW(window_));
  }
  void Destroy() override {
    if (destroyed_) return;
    destroyed_ = true;
    --Backend().live_forms;
    Backend().windows.erase(handle_);
    gtk_widget_destroy(window_);
    gdk_display_flush(gdk_display_get_default());
  }
  // The settings window's toolkit draws into no other program's window.
  void AdoptHost(WindowHandle) override {}
  Point HostSize() override { return Point{}; }

  // --- FormWindow
  GtkWidget* Fixed() override { return fixed_; }
  void AddLayer(Layer* layer) override { layers_.push_back(layer); }
  void RemoveLayer(Layer* layer) override {
    layers_.erase(std::remove(layers_.begin(), layers_.end(), layer), layers_.end());
    if (captured_ == layer) captured_ = nullptr;
  }
  void Restack(Layer* layer, bool to_top) override {
    RemoveLayer(layer);
    if (to_top) layers_.push_back(layer);
    else layers_.insert(layers_.begin(), layer);
    Repaint(layer->Bounds());
  }
  void Repaint(const Rect& a) override {
    if (a.right > a.left && a.bottom > a.top)
      gtk_widget_queue_draw_area(fixed_, a.left, a.top, a.right - a.left, a.bottom - a.top);
  }
  int OnLayout(std::function<void()> place) override {
    place();
    layouts_[++last_layout_] = std::move(place);
    return last_layout_;
  }
  void ForgetLayout(int id) override { layouts_.erase(id); }

 private:
  void RunLayout() {
    for (auto& [id, place] : layouts_) place();
  }

  // A move asked for while the left button is held on the window is a drag
  // of the window: where a window manager runs it moves the window until the
  // button is released, holding the mouse itself, so the press ends here as
  // a release would, and the program's own moves wait for the next press.
  // Elsewhere the window goes where it is asked to.
  void Move() {
    if (manager_drags_) return;
    if ((buttons_ & kLeftButton) && gtk_widget_get_mapped(window_) && ManagerMovesWindows(window_)) {
      gtk_window_begin_move_drag(GTK_WINDOW(window_), 1, press_root_x_, press_root_y_, press_time_);
      manager_drags_ = true;
      Layer* target = captured_;
      buttons_ = 0;
      captured_ = nullptr;
      if (target) {
        const Rect b = target->Bounds();
        target->MouseUp(kLeftButton, 0, 0, static_cast<float>(last_x_ - b.left), static_cast<float>(last_y_ - b.top));
      }
      return;
    }
    gtk_window_move(GTK_WINDOW(window_), x_, y_);
  }
  void EndPressHere() {
    Layer* target = captured_;
    buttons_ = 0;
    captured_ = nullptr;
    if (target) target->CaptureLost();
  }

  Layer* HitTest(double x, double y) const {
    for (auto it = layers_.rbegin(); it != layers_.rend(); ++it)
      if ((*it)->Shown() && Inside((*it)->Bounds(), x, y)) return *it;
    return nullptr;
  }
  bool OwnWindow(GdkWindow* w) const { return w == gtk_widget_get_window(window_); }

  // The pointer of the control under the cursor (the close button's and the
  // link's own), set when it changes.
  void ShowPointer(Layer* layer, double x, double y) {
    const CursorImage* image = nullptr;
    if (layer) {
      const Rect b = layer->Bounds();
      image = layer->CursorAt(static_cast<float>(x - b.left), static_cast<float>(y - b.top));
    }
    if (image == pointer_) return;
    pointer_ = image;
    gdk_window_set_cursor(gtk_widget_get_window(window_), CursorFor(image));
  }

  // The form's own colour first, as the system fills a window's background;
  // the layers cover it where they lie.
  static gboolean OnDraw(GtkWidget*, cairo_t* cr, GtkFormPeer* self) {
    const std::uint32_t c = ToCairo(self->back_colour_);
    cairo_set_source_rgb(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
    cairo_paint(cr);
    for (Layer* layer : self->layers_)
      if (layer->Shown()) layer->Paint(cr);
    return FALSE;  // the native children are drawn over the layers
  }
  static gboolean OnButtonPress(GtkWidget*, GdkEventButton* e, GtkFormPeer* self) {
    const int button = x11::ButtonOf(e->button);
    if (e->type != GDK_BUTTON_PRESS || !button || !self->OwnWindow(e->window)) return FALSE;
    if (!self->captured_) self->captured_ = self->HitTest(e->x, e->y);
    self->buttons_ |= button;
    self->manager_drags_ = false;
    self->last_x_ = e->x, self->last_y_ = e->y;
    self->press_root_x_ = static_cast<int>(e->x_root), self->press_root_y_ = static_cast<int>(e->y_root);
    self->press_time_ = e->time;
    if (Layer* target = self->captured_) {
      const Rect b = target->Bounds();
      target->MouseDown(button, x11::ShiftOf(e->state), static_cast<float>(e->x - b.left),
                        static_cast<float>(e->y - b.top));
    }
    return TRUE;
  }
  static gboolean OnButtonRelease(GtkWidget*, GdkEventButton* e, GtkFormPeer* self) {
    const int button = x11::ButtonOf(e->button);
    if (!button || !self->OwnWindow(e->window)) return FALSE;
    Layer* target = self->captured_ ? self->captured_ : self->HitTest(e->x, e->y);
    self->buttons_ &= ~button;
    if (self->buttons_ == 0) self->captured_ = nullptr;
    if (target) {
      const Rect b = target->Bounds();
      target->MouseUp(button, self->buttons_, x11::ShiftOf(e->state), static_cast<float>(e->x - b.left),
                      static_cast<float>(e->y - b.top));
    }
    return TRUE;
  }
  static gboolean OnMotion(GtkWidget*, GdkEventMotion* e, GtkFormPeer* self) {
    if (!self->OwnWindow(e->window)) return FALSE;
    self->last_x_ = e->x, self->last_y_ = e->y;
    Layer* target = self->captured_ ? self->captured_ : self->HitTest(e->x, e->y);
    if (!self->captured_) self->ShowPointer(target, e->x, e->y);
    if (target) {
      const Rect b = target->Bounds();
      target->MouseMove(x11::ButtonsOf(e->state), x11::ShiftOf(e->state), static_cast<float>(e->x - b.left),
                        static_cast<float>(e->y - b.top));
    }
    return TRUE;
  }
  static gboolean OnGrabBroken(GtkWidget*, GdkEventGrabBroken*, GtkFormPeer* self) {
    if (self->buttons_) self->EndPressHere();
    return FALSE;
  }
  static gboolean OnDelete(GtkWidget*, GdkEvent*, GtkFormPeer* self) {
    self->form_.Unload();
    return TRUE;
  }

  Form& form_;
  GtkWidget* window_ = nullptr;
  GtkWidget* fixed_ = nullptr;
  WindowHandle handle_ = 0;
  int x_ = 0, y_ = 0, w_ = 0, h_ = 0;
  bool destroyed_ = false;
  Colour back_colour_ = 0;
  std::vector<Layer*> layers_;
  Layer* captured_ = nullptr;
  int buttons_ = 0;
  int press_root_x_ = 0, press_root_y_ = 0;
  double last_x_ = 0, last_y_ = 0;
  const CursorImage* pointer_ = nullptr;
  bool manager_drags_ = false;
  guint32 press_time_ = 0;
  std::map<int, std::function<void()>> layouts_;
  int last_layout_ = 0;
};

// A picture box: a persistent image painted into the form's window, with a
// sunken frame around it when its container asks for one.
class GtkPictureBoxPeer : public PictureBoxPeer, public Layer, public BoxLayer {
 public:
  GtkPictureBoxPeer(PictureBox& box, Form& parent) : box_(box), form_(WindowOf(parent)) {
    form_.AddLayer(this);
    Backend().box_layers[&box_] = this;
  }
  ~GtkPictureBoxPeer() override {
    Backend().box_layers.erase(&box_);
    form_.RemoveLayer(this);
    if (mirror_) cairo_surface_destroy(mirror_);
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
    std::fill(image_.pixels.begin(), image_.pixels.end(), back);
    Changed(Rect{0, 0, image_.width, image_.height});
  }
  void Circle(int x, int y, int r, Colour colour) override {
    DrawCircle(PixelGrid::Of(image_), x, y, r, colour);
    Changed(Rect{x - r, y - r, x + r + 1, y + r + 1});
  }
  void Line(int x1, int y1, int x2, int y2, Colour colour) override {
    DrawLine(PixelGrid::Of(image_), x1, y1, x2, y2, colour);
    Changed(Rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1});
  }
  void PaintPicture(const Picture& picture, const Rect& dest, const Rect& source) override {
    StretchNearest(PixelGrid::Of(image_), picture, dest, source);
    Changed(dest);
  }
  void Refresh() override {}
  void Focus() override {}

  // --- Layer
  Rect Bounds() const override { return bounds_; }
  bool Shown() const override { return shown_; }
  void Paint(cairo_t* cr) override {
    if (sunken_) PaintSunkenFrame(cr, bounds_);
    if (!mirror_) return;
    cairo_save(cr);
    SetPixelSource(cr, mirror_, bounds_.left + Inset(), bounds_.top + Inset());
    cairo_rectangle(cr, bounds_.left + Inset(), bounds_.top + Inset(), image_.width, image_.height);
    cairo_fill(cr);
    cairo_restore(cr);
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

  // The image is the area inside the frame, kept across a new size.
  void Reshape() {
    input_.SetInset(Inset());
    const int w = std::max(bounds_.right - bounds_.left - 2 * Inset(), 0);
    const int h = std::max(bounds_.bottom - bounds_.top - 2 * Inset(), 0);
    if (w != image_.width || h != image_.height) {
      ResizeKeeping(image_, w, h, back_);
      if (mirror_) cairo_surface_destroy(mirror_);
      mirror_ = w > 0 && h > 0 ? cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h) : nullptr;
      Changed(Rect{0, 0, w, h});
    }
    form_.Repaint(bounds_);
  }

  // Copies the changed pixels to the image cairo paints from.
  void Changed(const Rect& r) {
    if (!mirror_) return;
    const Rect a{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, image_.width),
                 std::min(r.bottom, image_.height)};
    if (a.right <= a.left || a.bottom <= a.top) return;
    cairo_surface_flush(mirror_);
    auto* data = cairo_image_surface_get_data(mirror_);
    const int stride = cairo_image_surface_get_stride(mirror_);
    for (int y = a.top; y < a.bottom; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
      for (int x = a.left; x < a.right; ++x) row[x] = ToCairo(image_.At(x, y));
    }
    cairo_surface_mark_dirty_rectangle(mirror_, a.left, a.top, a.right - a.left, a.bottom - a.top);
    const int dx = bounds_.left + Inset(), dy = bounds_.top + Inset();
    form_.Repaint(Rect{a.left + dx, a.top + dy, a.right + dx, a.bottom + dy});
  }

  PictureBox& box_;
  FormWindow& form_;
  WindowHandle handle_ = NextLayerHandle();
  BoxInput input_{box_};
  Rect bounds_{};
  Picture image_;
  cairo_surface_t* mirror_ = nullptr;
  Colour back_ = 0;
  bool sunken_ = false, shown_ = true;
};

// Timers tick inside GTK's pump, which runs only inside DoEvents and its
// relatives (and inside a dialog's own loop, as on Windows).
class GtkTimerPeer : public TimerPeer {
 public:
  explicit GtkTimerPeer(Timer& timer) : timer_(timer) { EnsureStarted(); }
  ~GtkTimerPeer() override { Stop(); }
  void Start(int interval_ms) override {
    Stop();
    source_ = g_timeout_add(static_cast<guint>(std::max(interval_ms, 1)), Tick, this);
  }
  void Stop() override {
    if (source_) g_source_remove(source_);
    source_ = 0;
  }

 private:
  static gboolean Tick(gpointer data) {
    auto* self = static_cast<GtkTimerPeer*>(data);
    if (self->timer_.OnTick) self->timer_.OnTick();
    return G_SOURCE_CONTINUE;
  }
  Timer& timer_;
  guint source_ = 0;
};

void RunPending() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

}  // namespace

GtkBackend& Backend() {
  static GtkBackend backend;
  return backend;
}

void EnsureStarted() {
  GtkBackend& b = Backend();
  if (b.started) return;
  b.started = true;
  ChooseX11Backend();
  if (!gtk_init_check(nullptr, nullptr)) {
    std::fprintf(stderr, "tessellane: cannot open the display \"%s\"\n",
                 std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
    std::_Exit(1);
  }
  AdoptSessionScale();
  // A signal's wake-up byte ends a wait of the pump.
  if (posix::WakeDescriptor() >= 0) g_unix_fd_add(posix::WakeDescriptor(), G_IO_IN, OnWake, nullptr);
}

Display* XDisplay() {
  EnsureStarted();
  return GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
}

void CloseAllForms() {
  const std::vector<Form*> forms = Backend().forms;
  for (Form* f : forms) {
    const auto& now = Backend().forms;
    if (std::find(now.begin(), now.end(), f) != now.end()) f->Unload();
  }
}

WindowHandle NextLayerHandle() { return Backend().next_layer_handle++; }

FormWindow& WindowOf(const Form& form) { return *Backend().form_windows.at(&form); }

GtkWindow* WindowFromHandle(WindowHandle handle) {
  const auto it = Backend().windows.find(handle);
  return it == Backend().windows.end() ? nullptr : it->second;
}

}  // namespace ui::gtk

namespace ui {

std::unique_ptr<FormPeer> CreateFormPeer(Form& form) { return std::make_unique<gtk::GtkFormPeer>(form); }
std::unique_ptr<PictureBoxPeer> CreatePictureBoxPeer(PictureBox& box, Form& parent) {
  return std::make_unique<gtk::GtkPictureBoxPeer>(box, parent);
}
std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) { return std::make_unique<gtk::GtkTimerPeer>(timer); }
std::unique_ptr<CanvasPeer> CreateCanvasPeer(Canvas& canvas) {
  return CanvasPeerOver(canvas, *gtk::Backend().box_layers.at(&canvas.Box()));
}

void DoEvents() {
  if (!gtk::Backend().look.Due(gtk::CoarseMicroseconds()) && !posix::EndRequested()) return;
  gtk::HandleEndRequest();
  gtk::RunPending();
}

void ProcessEventsUntil(double deadline_ms, const std::function<bool()>& done) {
  for (;;) {
    gtk::HandleEndRequest();
    gtk::RunPending();
    if (done && done()) return;
    const double left = deadline_ms - MonotonicMs();
    if (left <= 0) return;
    // Waits for an event, a signal or the end of the time.
    bool fired = false;
    const guint wake = g_timeout_add(
        static_cast<guint>(std::ceil(left)),
        [](gpointer f) -> gboolean { return *static_cast<bool*>(f) = true, G_SOURCE_REMOVE; }, &fired);
    g_main_context_iteration(nullptr, TRUE);
    if (!fired) g_source_remove(wake);
  }
}

void ProcessEventsFor(std::uint32_t milliseconds, const std::function<bool()>& done) {
  ProcessEventsUntil(MonotonicMs() + milliseconds, done);
}

void RunEventLoop() {
  while (gtk::Backend().live_forms > 0) {
    gtk::HandleEndRequest();
    if (gtk::Backend().live_forms == 0) return;
    g_main_context_iteration(nullptr, TRUE);
  }
}

}  // namespace ui

namespace ui::gtk {

void SetPixelSource(cairo_t* cr, cairo_surface_t* pixels, double x, double y) {
  cairo_set_source_surface(cr, pixels, x, y);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
}

void PaintPixels(cairo_t* cr, const Picture& picture, int x, int y) {
  if (picture.Empty()) return;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height);
  auto* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int row = 0; row < picture.height; ++row) {
    auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(row) * stride);
    for (int col = 0; col < picture.width; ++col) out[col] = ToCairo(picture.At(col, row));
  }
  cairo_surface_mark_dirty(s);
  cairo_save(cr);
  SetPixelSource(cr, s, x, y);
  cairo_rectangle(cr, x, y, picture.width, picture.height);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_surface_destroy(s);
}

void PaintSunkenFrame(cairo_t* cr, const Rect& r) {
  cairo_save(cr);
  for (const EdgeLine& line : SunkenEdge(r)) {
    const Colour c = line.colour;
    cairo_set_source_rgb(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0);
    const Rect& a = line.rect;
    cairo_rectangle(cr, a.left, a.top, a.right - a.left, a.bottom - a.top);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

}  // namespace ui::gtk
