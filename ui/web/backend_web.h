// The browser backend: the program's forms are elements of the page, each
// with a canvas its picture boxes, palette picture and controls are painted
// into, bottom first; the combo box and the spinner are the page's own
// controls over it. Events come from the page's listeners through a queue
// that the event pump takes them from, so handlers run only inside DoEvents
// and its relatives, as on every other system. All of the backend's state
// lives in one WebBackend object.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/common/layer.h"
#include "ui/common/look_throttle.h"
#include "ui/form.h"
#include "ui/picture.h"
#include "ui/types.h"

namespace ui::web {

// One event as the page's listeners queue it (tess_next_event fills it).
struct WebEvent {
  std::int32_t type = 0;
  std::int32_t window = 0;
  std::int32_t button = 0;   // the button pressed or released, or a step's direction
  std::int32_t buttons = 0;  // the buttons held
  std::int32_t shift = 0;
  std::int32_t key = 0;
  double x = 0, y = 0;  // CSS pixels of the form's canvas
};
enum WebEventType : std::int32_t {
  kKeyDown = 1,
  kPointerDown,
  kPointerMove,
  kPointerUp,
  kPointerLost,
  kCloseSaver,     // the tab was hidden or full screen left
  kScreenResized,  // the viewport changed its size
  kSpinnerStep,
  kFocusAway,  // the keyboard went to the page's own control or elsewhere
};

// Rectangles waiting to be shown: a few apart rather than one around them
// all, so that a diagonal band of rings does not send the whole screen.
class DirtyRegion {
 public:
  void Add(const Rect& r);
  bool Empty() const { return rects_.empty(); }
  const std::vector<Rect>& Rects() const { return rects_; }
  void Clear() { rects_.clear(); }

 private:
  static constexpr std::size_t kMostRects = 16;
  std::vector<Rect> rects_;
};

// Something painted into a form's canvas.
class Layer : public ui::Layer {
 public:
  // Paints the part inside `clip` into the form's image (RGBA words).
  virtual void Paint(std::uint32_t* frame, int frame_width, const Rect& clip) = 0;
  virtual void FocusLost() {}
  // A window handle of its own (a user control), or 0.
  virtual WindowHandle OwnHandle() const { return 0; }
  // The whole image, when the layer fills its form with nothing over it:
  // the form then shows it without composing (the display's rings).
  virtual const std::uint32_t* DirectImage() const { return nullptr; }
};

// The page side of a form: its layers in stacking order.
class FormWindow {
 public:
  virtual ~FormWindow() = default;
  virtual int Id() const = 0;
  virtual void AddLayer(Layer* layer) = 0;
  virtual void RemoveLayer(Layer* layer) = 0;
  virtual void Restack(Layer* layer, bool to_top) = 0;
  // The rectangle (form pixels) must be painted again.
  virtual void Repaint(const Rect& area) = 0;
  // CSS pixels per form pixel.
  virtual double CssPerPixel() const = 0;
  // Moves the keyboard focus to `layer` (a user control), telling the one
  // that had it.
  virtual void FocusLayer(Layer* layer) = 0;
  // Runs `place` now and whenever the form moves or its scale changes.
  virtual int OnLayout(std::function<void()> place) = 0;
  // Places the form and its controls anew (the pixel's size changed).
  virtual void Relayout() = 0;
  virtual void ForgetLayout(int id) = 0;
  virtual bool CoversScreen() const = 0;
  // The handle of what lies at a point of the form (CSS pixels from its top
  // left): a control with a window of its own, or the form.
  virtual WindowHandle HandleAt(double css_x, double css_y) const = 0;
  virtual void Present() = 0;
  virtual void Event(const WebEvent& event) = 0;
};

struct TimerEntry {
  Timer* timer = nullptr;
  double interval_ms = 0;
  double due_ms = 0;
};

struct WebBackend {
  // The switches the page started the program with.
  std::string command_line;
  std::vector<Form*> forms;
  std::map<const Form*, FormWindow*> form_windows;
  std::map<int, FormWindow*> windows_by_id;
  // The page's own controls, by id: what their events do.
  std::map<int, std::function<void(const WebEvent&)>> control_events;
  // How each user control goes above its siblings, by its handle.
  std::map<WindowHandle, std::function<void()>> raisers;
  // The layers of the picture boxes, for the canvases that dress them.
  std::map<const PictureBox*, BoxLayer*> box_layers;
  std::vector<TimerEntry*> timers;
  int live_forms = 0;
  // Off: a pixel is a CSS pixel, which the browser scales to the device as
  // the system scales a program that did not declare itself aware of the
  // screen's resolution. On: a pixel is a device pixel.
  bool device_pixels = false;
  // ShowCursor's display count (the pointer is hidden below 0) and the
  // screen-wide pointer.
  int cursor_count = 0;
  int mouse_pointer = 0;
  LookThrottle look;
  unsigned calls_since_look = 0;
  double last_present_ms = 0;
  double last_yield_ms = 0;
};
WebBackend& Backend();

// A new id for a window or a control, unique in the page whatever program
// instance asks (the preview and the display may run side by side).
int NextId();
// CSS pixels per program pixel: 1, or 1 / devicePixelRatio once the program
// uses device pixels.
double CssPerPixel();
FormWindow& WindowOf(const Form& form);
// Shows what every form drew since the last time.
void PresentAll();
// Closes every form the way the system asks a window to close.
void CloseForms(bool only_screen_covering);
// Sets every form's pointer as ShowCursor and SetMousePointer ask.
void ApplyPointerEverywhere();
// The pointer value of a cursor image for tess_form_pointer, made once.
int PointerFor(const CursorImage* image);
// The CSS font families for a font the forms name: the web font made from
// the IPA Gothic fonts for the Japanese Windows fonts.
std::string CssFamilies(const std::string& name);
// A colour value as an opaque RGBA word of the canvas.
inline std::uint32_t Rgba(Colour c) { return static_cast<std::uint32_t>(c & 0xFFFFFF) | 0xFF000000u; }

}  // namespace ui::web
