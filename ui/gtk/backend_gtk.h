// The settings program's backend: GTK 3 forms, picture boxes, controls and
// timers, GTK's event pump, and what the program asks of X through GDK's own
// connection. All of its state lives in one GtkBackend object. The display
// program never loads it.
#pragma once
#include <gtk/gtk.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/common/layer.h"
#include "ui/common/look_throttle.h"
#include "ui/font.h"
#include "ui/form.h"
#include "ui/picture.h"
#include "ui/types.h"

namespace ui {
struct CursorImage;
class Canvas;
class CanvasPeer;
class ComboBox;
class ComboBoxPeer;
class PalettePictureBox;
class PalettePicturePeer;
class ScrollBarPeer;
class UserControl;
class UserControlPeer;
class VScrollBar;
}  // namespace ui

// Xlib's connection type, without Xlib's macros (None, Bool) in every file.
typedef struct _XDisplay Display;

namespace ui::gtk {

class FormWindow;

struct GtkBackend {
  bool started = false;
  std::vector<Form*> forms;
  // The GTK side of each form and of each picture box, registered by their peers.
  std::map<const Form*, FormWindow*> form_windows;
  std::map<const PictureBox*, BoxLayer*> box_layers;
  int live_forms = 0;
  // The forms' GTK windows by the X ids the program knows them by.
  std::map<WindowHandle, GtkWindow*> windows;
  // How each native child window goes above its siblings.
  std::map<WindowHandle, std::function<void()>> native_windows;
  // Ids of the layers, which X does not know: above every X id.
  WindowHandle next_layer_handle = 0x40000000;
  LookThrottle look;
  // ShowCursor's display count (the pointer is hidden below 0), and the
  // screen-wide pointer.
  int cursor_count = 0;
  int mouse_pointer = 0;
  // The desktop's dots per inch; 0 until asked.
  int dpi = 0;
  // Device pixels per logical pixel, decided when GTK starts.
  int scale = 1;
};
GtkBackend& Backend();

// Starts GTK on first use; the program ends with a message when it cannot.
void EnsureStarted();
// Keeps GDK on X, XWayland in a Wayland session: there a window can place
// itself, and the title search sees it. Called before GTK starts.
void ChooseX11Backend();
// GDK's connection to the X server, for what the program asks of X itself.
Display* XDisplay();
// Closes every form the way the system asks a window to close.
void CloseAllForms();
// A new id for a layer.
WindowHandle NextLayerHandle();
// Shows the pointer ShowCursor and SetMousePointer ask for on every window.
void ApplyPointerEverywhere();

// Something painted into a form's own window (a picture box, the palette
// picture, a user control) with cairo.
class Layer : public ui::Layer {
 public:
  virtual void Paint(cairo_t* cr) = 0;
};

// The GTK side of a form: its window, the fixed container its children sit
// in, and its layers in stacking order.
class FormWindow {
 public:
  virtual ~FormWindow() = default;
  virtual GtkWidget* Fixed() = 0;
  virtual void AddLayer(Layer* layer) = 0;
  virtual void RemoveLayer(Layer* layer) = 0;
  virtual void Restack(Layer* layer, bool to_top) = 0;
  virtual void Repaint(const Rect& area) = 0;
  // Runs `place` now and whenever the children's places must be worked out
  // again (a container moved, the form shows); removed by the returned id.
  virtual int OnLayout(std::function<void()> place) = 0;
  virtual void ForgetLayout(int id) = 0;
};
FormWindow& WindowOf(const Form& form);

// A native child widget of a form (control, combo box, scroll bar) in a
// native X window of its own, so that the window under the cursor names it.
GtkWidget* NativeHolder(GtkWidget* child);
WindowHandle HandleOf(GtkWidget* holder);

// A message box owned by the form whose window is `owner`.
void ShowMessage(WindowHandle owner, const std::string& text, const std::string& title);

// The file chooser's filter: the patterns ("*.MP3;*.WAV") in any case.
GtkFileFilter* MusicFilter(const std::string& description, const std::string& patterns);
// Keeps a colour chooser dialog to its palette: the settings window's
// chooser cannot define colours of one's own.
void KeepToPalette(GtkWidget* chooser_dialog);
// The first widget at or under `widget` with that name, or null.
GtkWidget* FindNamed(GtkWidget* widget, const char* name);

// The GDK cursor of an image, made once; null for the default pointer.
GdkCursor* CursorFor(const CursorImage* image);

// The GTK window of a form's handle, or null.
GtkWindow* WindowFromHandle(WindowHandle handle);

// The CSS that sizes the native widgets as the layout gives them.
void StyleNative(GtkWidget* widget, const Font& font);

// Colour conversions between the program's 0x00BBGGRR and cairo's 0x00RRGGBB.
inline std::uint32_t ToCairo(Colour c) {
  return (static_cast<std::uint32_t>(RedOf(c)) << 16) | (GreenOf(c) << 8) | BlueOf(c);
}
inline Colour FromCairo(std::uint32_t p) { return Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

// A surface of the program's pixels as the source at (x, y): where the
// session scales, each pixel becomes a block of whole device pixels (the
// skin's pictures and the rays' lines stay sharp, not blurred).
void SetPixelSource(cairo_t* cr, cairo_surface_t* pixels, double x, double y);
// Paints a picture's pixels at (x, y) of the cairo context.
void PaintPixels(cairo_t* cr, const Picture& picture, int x, int y);
// The two-pixel sunken frame of a picture box around `outer`.
void PaintSunkenFrame(cairo_t* cr, const Rect& outer);

}  // namespace ui::gtk
