// The settings window's own controls and native widgets on GTK 3: the user
// control (a drawing surface in an X window of its own, its caption drawn
// over it), the editable combo box, the vertical scroll bar and the 8-bit
// palette picture.
// The program's headers first: X's headers define None.
#include "ui/common/control_face.h"
#include "ui/common/raster.h"
#include "ui/gtk/backend_gtk.h"
#include "ui/gtk/text_pango.h"
#include "ui/user_control.h"
#include "ui/widgets.h"
#include "ui/x11/input_x11.h"

#include <gdk/gdkx.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>

namespace ui::gtk {
namespace {

void MakeNative(GtkWidget* widget, gpointer) { gdk_window_ensure_native(gtk_widget_get_window(widget)); }

// The rules that let the native widgets take the small sizes of the
// layout: no minimum sizes, little padding, the scroll bar's arrows shown.
constexpr const char* kNativeCss = R"(
.tess, .tess * { min-height: 0; min-width: 0; margin: 0; }
.tess entry { padding: 0 2px; border-radius: 0; }
.tess button { padding: 0 1px; border-radius: 0; min-width: 10px; }
scrollbar.tess { -GtkScrollbar-has-backward-stepper: true; -GtkScrollbar-has-forward-stepper: true;
                 padding: 0; border: 0; }
scrollbar.tess button { min-width: 21px; min-height: 16px; padding: 0; border: 0; }
scrollbar.tess slider { min-width: 21px; min-height: 1px; margin: 0; border: 0; }
scrollbar.tess trough { min-width: 21px; min-height: 1px; margin: 0; border: 0; }
.tess arrow { min-width: 16px; min-height: 16px; margin: -3px; -gtk-icon-transform: scale(0.625); }
)";

void AddNativeRules() {
  static bool added = false;
  if (added) return;
  added = true;
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kNativeCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

void AddProviderDeep(GtkWidget* widget, gpointer provider) {
  gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(provider),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
  if (GTK_IS_CONTAINER(widget)) gtk_container_forall(GTK_CONTAINER(widget), AddProviderDeep, provider);
}

// Where a native widget of a canvas goes on the form: the canvas's place,
// inside its frame, plus the widget's own place.
struct CanvasPlace {
  Canvas& canvas;
  Rect At(int x, int y, int w, int h) const {
    const int inset = (canvas.Width() - canvas.ClientWidth()) / 2;
    const int left = canvas.Left() + inset + x, top = canvas.Top() + inset + y;
    return Rect{left, top, left + w, top + h};
  }
};

// A native widget inside a canvas, in a holder with an X window of its own.
class NativeChild {
 public:
  NativeChild(Canvas& canvas, GtkWidget* widget)
      : place_{canvas}, form_(WindowOf(canvas.Box().Parent())), widget_(widget), holder_(NativeHolder(widget)) {
    AddNativeRules();
    gtk_style_context_add_class(gtk_widget_get_style_context(widget_), "tess");
    gtk_fixed_put(GTK_FIXED(form_.Fixed()), holder_, 0, 0);
    layout_ = form_.OnLayout([this] { Place(); });
  }
  ~NativeChild() { form_.ForgetLayout(layout_); }
  void SetBounds(int x, int y, int w, int h) {
    x_ = x, y_ = y, w_ = w, h_ = h;
    Place();
  }
  WindowHandle Handle() { return HandleOf(holder_); }
  GtkWidget* Widget() { return widget_; }

 private:
  void Place() {
    const Rect r = place_.At(x_, y_, w_, h_);
    gtk_fixed_move(GTK_FIXED(form_.Fixed()), holder_, r.left, r.top);
    gtk_widget_set_size_request(holder_, std::max(w_, 1), std::max(h_, 1));
    gtk_widget_set_size_request(widget_, std::max(w_, 1), std::max(h_, 1));
  }
  CanvasPlace place_;
  FormWindow& form_;
  GtkWidget* widget_;
  GtkWidget* holder_;
  int layout_ = 0;
  int x_ = 0, y_ = 0, w_ = 1, h_ = 1;
};

class GtkComboBoxPeer : public ComboBoxPeer {
 public:
  explicit GtkComboBoxPeer(Canvas& container) : child_(container, gtk_combo_box_text_new_with_entry()) {
    GtkEntry* entry = Entry();
    gtk_entry_set_width_chars(entry, 1);
    gtk_entry_set_max_width_chars(entry, 1);
    gtk_entry_set_has_frame(entry, TRUE);
  }
  void SetBounds(int x, int y, int w, int h) override { child_.SetBounds(x, y, w, h); }
  void SetFont(const Font& font) override { StyleNative(child_.Widget(), font); }
  void SetText(const std::string& text) override { gtk_entry_set_text(Entry(), text.c_str()); }
  std::string Text() override { return gtk_entry_get_text(Entry()); }
  void AddItem(const std::string& item) override {
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(child_.Widget()), item.c_str());
  }
  WindowHandle Handle() override { return child_.Handle(); }

 private:
  GtkEntry* Entry() { return GTK_ENTRY(gtk_bin_get_child(GTK_BIN(child_.Widget()))); }
  NativeChild child_;
};

// Positions 0 .. count - 1 are the adjustment's values, one page of 1.
class GtkScrollBarPeer : public ScrollBarPeer {
 public:
  GtkScrollBarPeer(VScrollBar& bar, Canvas& container)
      : bar_(bar),
        adjustment_(gtk_adjustment_new(0, 0, 1, 1, 1, 1)),
        child_(container, gtk_scrollbar_new(GTK_ORIENTATION_VERTICAL, adjustment_)) {
    g_signal_connect(adjustment_, "value-changed", G_CALLBACK(OnChanged), this);
    g_signal_connect(child_.Widget(), "button-press-event", G_CALLBACK(OnPress), this);
  }
  void SetBounds(int x, int y, int w, int h) override { child_.SetBounds(x, y, w, h); }
  void SetRange(int count) override {
    setting_ = true;
    gtk_adjustment_configure(adjustment_, gtk_adjustment_get_value(adjustment_), 0, std::max(count, 1), 1, 1, 1);
    setting_ = false;
  }
  void SetPosition(int position) override {
    setting_ = true;
    gtk_adjustment_set_value(adjustment_, position);
    setting_ = false;
  }
  WindowHandle Handle() override { return child_.Handle(); }

 private:
  static void OnChanged(GtkAdjustment* a, GtkScrollBarPeer* self) {
    if (self->setting_) return;
    self->bar_.UserScrolledTo(static_cast<int>(std::lround(gtk_adjustment_get_value(a))));
  }
  // The bar is as tall as its two arrows: a press on its upper half is one
  // step up, on its lower half one step down, whatever the theme makes of
  // the few pixels between them.
  static gboolean OnPress(GtkWidget* widget, GdkEventButton* e, GtkScrollBarPeer* self) {
    if (e->type != GDK_BUTTON_PRESS || e->button != 1) return TRUE;
    self->bar_.UserStepped(e->y < gtk_widget_get_allocated_height(widget) / 2.0 ? -1 : 1);
    return TRUE;
  }
  VScrollBar& bar_;
  GtkAdjustment* adjustment_;
  NativeChild child_;
  bool setting_ = false;
};

// The picture's bytes are the program's; the screen gets them through the
// palette when the window is next painted after a Refresh.
class GtkPalettePicturePeer : public PalettePicturePeer, public Layer {
 public:
  explicit GtkPalettePicturePeer(Form& form) : form_(WindowOf(form)) { form_.AddLayer(this); }
  ~GtkPalettePicturePeer() override {
    form_.RemoveLayer(this);
    if (mirror_) cairo_surface_destroy(mirror_);
  }
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
    const int stride = (width + 3) / 4 * 4;
    bits_.assign(static_cast<std::size_t>(stride) * height, 0);
    for (int i = 0; i < 256; ++i) palette_[i] = ToCairo(palette[i]);
    if (mirror_) cairo_surface_destroy(mirror_);
    mirror_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    width_ = width, height_ = height, stride_ = stride;
    Refresh();
    return BitmapInfo{width, height, stride, 8, bits_.data()};
  }
  void Refresh() override {
    dirty_ = true;
    form_.Repaint(bounds_);
  }
  WindowHandle Handle() override { return handle_; }

  Rect Bounds() const override { return bounds_; }
  void Paint(cairo_t* cr) override {
    const int inset = sunken_ ? 2 : 0;
    if (sunken_) PaintSunkenFrame(cr, bounds_);
    if (!mirror_) return;
    if (dirty_) Convert();
    cairo_save(cr);
    cairo_rectangle(cr, bounds_.left + inset, bounds_.top + inset, bounds_.right - bounds_.left - 2 * inset,
                    bounds_.bottom - bounds_.top - 2 * inset);
    cairo_clip(cr);
    SetPixelSource(cr, mirror_, bounds_.left + inset, bounds_.top + inset);
    cairo_paint(cr);
    cairo_restore(cr);
  }

 private:
  void Convert() {
    dirty_ = false;
    cairo_surface_flush(mirror_);
    auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(mirror_));
    const int stride = cairo_image_surface_get_stride(mirror_) / 4;
    ExpandPaletted(bits_.data(), stride_, width_, height_, palette_, data, stride);
    cairo_surface_mark_dirty(mirror_);
  }
  FormWindow& form_;
  WindowHandle handle_ = NextLayerHandle();
  Rect bounds_{};
  bool sunken_ = false, dirty_ = false;
  std::vector<std::uint8_t> bits_;
  std::uint32_t palette_[256] = {};
  int width_ = 0, height_ = 0, stride_ = 0;
  cairo_surface_t* mirror_ = nullptr;
};

// A user control: its persistent surface and caption painted into the
// form's window like a picture box, with an input-only X window of its own
// over it, so that the window under the cursor names the control. While a
// button is held GTK keeps the mouse on it.
class GtkUserControlPeer : public UserControlPeer, public Layer {
 public:
  GtkUserControlPeer(UserControl& control, Form& container) : control_(control), form_(WindowOf(container)) {
    box_ = gtk_event_box_new();
    gtk_event_box_set_visible_window(GTK_EVENT_BOX(box_), FALSE);
    gtk_event_box_set_above_child(GTK_EVENT_BOX(box_), TRUE);
    gtk_widget_set_can_focus(box_, TRUE);
    gtk_widget_add_events(
        box_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK | GDK_FOCUS_CHANGE_MASK);
    g_signal_connect(box_, "realize", G_CALLBACK(OnRealize), this);
    g_signal_connect(box_, "button-press-event", G_CALLBACK(OnPress), this);
    g_signal_connect(box_, "button-release-event", G_CALLBACK(OnRelease), this);
    g_signal_connect(box_, "motion-notify-event", G_CALLBACK(OnMotion), this);
    g_signal_connect(box_, "focus-in-event", G_CALLBACK(OnFocusIn), this);
    g_signal_connect(box_, "focus-out-event", G_CALLBACK(OnFocusOut), this);
    g_signal_connect(box_, "grab-broken-event", G_CALLBACK(OnGrabBroken), this);
    gtk_fixed_put(GTK_FIXED(form_.Fixed()), box_, 0, 0);
    form_.AddLayer(this);
    Resize(1, 1);
  }
  ~GtkUserControlPeer() override {
    form_.RemoveLayer(this);
    Backend().native_windows.erase(handle_);
    g_signal_handlers_disconnect_by_data(box_, this);
  }

  // --- UserControlPeer
  WindowHandle Handle() override {
    if (!handle_) {
      gtk_widget_realize(box_);
      if (input_) {
        handle_ = gdk_x11_window_get_xid(input_);
        Backend().native_windows[handle_] = [this] {
          form_.Restack(this, true);
          gdk_window_raise(input_);
        };
      }
    }
    return handle_;
  }
  void SetBoundsPixels(int x, int y, int w, int h) override {
    form_.Repaint(bounds_);
    bounds_ = Rect{x, y, x + std::max(w, 0), y + std::max(h, 0)};
    gtk_fixed_move(GTK_FIXED(form_.Fixed()), box_, x, y);
    gtk_widget_set_size_request(box_, std::max(w, 1), std::max(h, 1));
    if (w != surface_.width || h != surface_.height) Resize(w, h);
    form_.Repaint(bounds_);
  }
  void Clear(Colour back) override {
    back_ = back;
    std::fill(surface_.pixels.begin(), surface_.pixels.end(), back);
    Redraw();
  }
  void PaintPicture(const Picture& pic, const Rect& d, const Rect& s) override {
    StretchNearest(PixelGrid::Of(surface_), pic, d, s);
    Redraw();
  }
  void PaintVerticalGradient(const Rect& r, Colour top, Colour bottom) override {
    VerticalGradient(PixelGrid::Of(surface_), r, top, bottom);
    Redraw();
  }
  void SetOpaque(bool) override { Redraw(); }
  void LabelChanged(const ControlLabel&) override { Redraw(); }
  void Refresh() override { Redraw(); }
  void TakeFocus() override { gtk_widget_grab_focus(box_); }

  // --- Layer: the surface with the caption over it.
  Rect Bounds() const override { return bounds_; }
  void Paint(cairo_t* cr) override {
    const Picture face = FaceWithCaption(control_.Label(), surface_);
    PaintPixels(cr, face, bounds_.left, bounds_.top);
  }

 private:
  void Redraw() { form_.Repaint(bounds_); }
  void Resize(int w, int h) {
    surface_.width = std::max(w, 0);
    surface_.height = std::max(h, 0);
    surface_.pixels.assign(static_cast<std::size_t>(surface_.width) * surface_.height, back_);
    Redraw();
  }

  // The event box's input-only window, made an X window of its own.
  static void OnRealize(GtkWidget* box, GtkUserControlPeer* self) {
    GdkWindow* parent = gtk_widget_get_window(box);
    for (GList* l = gdk_window_peek_children(parent); l; l = l->next) {
      gpointer owner = nullptr;
      gdk_window_get_user_data(GDK_WINDOW(l->data), &owner);
      if (owner == box) self->input_ = GDK_WINDOW(l->data);
    }
    if (self->input_) gdk_window_ensure_native(self->input_);
  }
  static gboolean OnPress(GtkWidget*, GdkEventButton* e, GtkUserControlPeer* self) {
    const int button = x11::ButtonOf(e->button);
    if (e->type != GDK_BUTTON_PRESS || !button) return TRUE;
    self->buttons_ |= button;
    self->control_.DeliverMouseDown(button, x11::ShiftOf(e->state), static_cast<float>(e->x), static_cast<float>(e->y));
    // A left click gives the control the focus; the other buttons do not.
    if (button == kLeftButton && !gtk_widget_has_focus(self->box_)) gtk_widget_grab_focus(self->box_);
    return TRUE;
  }
  static gboolean OnRelease(GtkWidget*, GdkEventButton* e, GtkUserControlPeer* self) {
    const int button = x11::ButtonOf(e->button);
    if (!button) return TRUE;
    self->buttons_ &= ~button;
    self->control_.DeliverMouseUp(button, self->buttons_, x11::ShiftOf(e->state), static_cast<float>(e->x),
                                  static_cast<float>(e->y));
    return TRUE;
  }
  static gboolean OnMotion(GtkWidget*, GdkEventMotion* e, GtkUserControlPeer* self) {
    self->control_.DeliverMouseMove(x11::ButtonsOf(e->state), x11::ShiftOf(e->state), static_cast<float>(e->x),
                                    static_cast<float>(e->y));
    return TRUE;
  }
  static gboolean OnFocusIn(GtkWidget*, GdkEventFocus*, GtkUserControlPeer* self) {
    self->control_.DeliverFocus(true);
    return FALSE;
  }
  static gboolean OnFocusOut(GtkWidget*, GdkEventFocus*, GtkUserControlPeer* self) {
    self->control_.DeliverFocus(false);
    return FALSE;
  }
  static gboolean OnGrabBroken(GtkWidget*, GdkEventGrabBroken*, GtkUserControlPeer* self) {
    self->buttons_ = 0;
    return FALSE;
  }

  UserControl& control_;
  FormWindow& form_;
  GtkWidget* box_ = nullptr;
  GdkWindow* input_ = nullptr;
  WindowHandle handle_ = 0;
  Rect bounds_{};
  Picture surface_;
  Colour back_ = kWhite;
  int buttons_ = 0;
};

}  // namespace

GtkWidget* NativeHolder(GtkWidget* child) {
  GtkWidget* box = gtk_event_box_new();
  gtk_event_box_set_visible_window(GTK_EVENT_BOX(box), TRUE);
  g_signal_connect(box, "realize", G_CALLBACK(MakeNative), nullptr);
  gtk_container_add(GTK_CONTAINER(box), child);
  return box;
}

WindowHandle HandleOf(GtkWidget* holder) {
  gtk_widget_realize(holder);
  GdkWindow* window = gtk_widget_get_window(holder);
  gdk_window_ensure_native(window);
  const WindowHandle handle = gdk_x11_window_get_xid(window);
  Backend().native_windows[handle] = [window] { gdk_window_raise(window); };
  return handle;
}

void StyleNative(GtkWidget* widget, const Font& font) {
  GtkCssProvider* provider = gtk_css_provider_new();
  const std::string css = "* { font-family: \"" + PangoFamilyFor(font.Name) +
                          "\"; font-size: " + std::to_string(FontPixels(font)) +
                          "px; font-weight: " + std::to_string(font.Weight) + "; }";
  gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
  AddProviderDeep(widget, provider);
  g_object_unref(provider);
}

}  // namespace ui::gtk

namespace ui {

std::unique_ptr<UserControlPeer> CreateUserControlPeer(UserControl& control, Form& container) {
  return std::make_unique<gtk::GtkUserControlPeer>(control, container);
}
std::unique_ptr<ComboBoxPeer> CreateComboBoxPeer(ComboBox&, Canvas& container) {
  return std::make_unique<gtk::GtkComboBoxPeer>(container);
}
std::unique_ptr<ScrollBarPeer> CreateScrollBarPeer(VScrollBar& bar, Canvas& container) {
  return std::make_unique<gtk::GtkScrollBarPeer>(bar, container);
}
std::unique_ptr<PalettePicturePeer> CreatePalettePicturePeer(PalettePictureBox&, Form& form) {
  return std::make_unique<gtk::GtkPalettePicturePeer>(form);
}

void BringToTop(WindowHandle child) {
  const auto& windows = gtk::Backend().native_windows;
  const auto it = windows.find(child);
  if (it != windows.end()) it->second();
}

}  // namespace ui
