// Hosting of the program's own controls. A user control is a child window of
// its own on a container form: a persistent drawing surface (coordinates in
// twips or pixels), a windowless caption label drawn over it, focus and mouse
// notifications (the control keeps the mouse while a button is held), and a
// property storage the container saves the instance in.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "ui/font.h"
#include "ui/form.h"
#include "ui/picture.h"
#include "ui/types.h"

namespace ui {

// Controls convert between their twips and the screen's pixels themselves, at
// a fixed 96 dpi.
constexpr int kControlTwipsPerPixel = kDesignTwipsPerPixel;

// --- Property storage -------------------------------------------------------

// A stored property value: a Boolean, a whole number, a text or a font.
class PropertyValue {
 public:
  using Data = std::variant<std::monostate, bool, std::int32_t, std::string, Font>;
  PropertyValue() = default;
  PropertyValue(bool v) : data_(v) {}
  PropertyValue(int v) : data_(static_cast<std::int32_t>(v)) {}
  PropertyValue(std::string v) : data_(std::move(v)) {}
  PropertyValue(const char* v) : data_(std::string(v)) {}
  PropertyValue(Font v) : data_(std::move(v)) {}

  const Data& data() const { return data_; }
  bool Empty() const { return std::holds_alternative<std::monostate>(data_); }
  const bool* AsBool() const { return std::get_if<bool>(&data_); }
  const std::int32_t* AsNumber() const { return std::get_if<std::int32_t>(&data_); }
  const std::string* AsText() const { return std::get_if<std::string>(&data_); }
  const Font* AsFont() const { return std::get_if<Font>(&data_); }

  // The comparison the storage makes against a default: a number and a text
  // that reads as the same number are equal ("1" and 1), a Boolean counts as
  // -1 or 0, texts compare exactly, fonts by all their attributes.
  bool SameAs(const PropertyValue& other) const;

 private:
  Data data_;
};

// The container's storage of one control instance: entries in the order they
// were written, keys matched without regard to case.
class PropertyBag {
 public:
  // The stored value, or default_value when the key is not stored.
  PropertyValue ReadProperty(std::string_view key, const PropertyValue& default_value = {}) const;
  // Stores the value; a value equal to the default is not kept (an earlier
  // entry under the key is removed).
  void WriteProperty(std::string_view key, const PropertyValue& value, const PropertyValue& default_value = {});
  bool Contains(std::string_view key) const;
  const std::vector<std::pair<std::string, PropertyValue>>& Entries() const { return entries_; }

 private:
  std::vector<std::pair<std::string, PropertyValue>>::const_iterator Find(std::string_view key) const;
  std::vector<std::pair<std::string, PropertyValue>> entries_;
};

// Mouse events: button 1 left, 2 right, 4 middle; shift 1 shift, 2 ctrl, 4
// alt; x and y in the control's twips.
using ControlMouseHandler = std::function<void(int button, int shift, float x, float y)>;

// The caption label of a control: windowless, drawn over the control's
// surface, centred text on a transparent background. Position in twips.
class ControlLabel {
 public:
  explicit ControlLabel(UserControl& owner) : owner_(owner) {}

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // The label's font object itself; call FontChanged after changing it.
  Font& FontObject() { return font_; }
  const Font& FontObject() const { return font_; }
  void SetFont(const Font& font);
  void FontChanged();
  Colour ForeColor() const { return fore_colour_; }
  void SetForeColor(Colour colour);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  void Move(double left, double top, double width, double height);
  // The label's rectangle in the control's pixels.
  Rect PixelBounds() const;

  ControlMouseHandler OnMouseDown;
  ControlMouseHandler OnMouseMove;
  ControlMouseHandler OnMouseUp;

 private:
  void Changed();
  UserControl& owner_;
  std::string caption_;
  Font font_;
  Colour fore_colour_ = 0;
  bool enabled_ = true;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// A control's window on its container form.
class UserControl {
 public:
  enum class ScaleUnit { Twips, Pixels };

  explicit UserControl(Form& container);
  ~UserControl();
  UserControl(const UserControl&) = delete;
  UserControl& operator=(const UserControl&) = delete;

  Form& Container() { return container_; }
  WindowHandle Handle();

  // Position and size in the container's pixels; runs OnResize when the size
  // changes.
  void Move(int x, int y, int width, int height);
  // The size in twips.
  int Width() const { return width_ * kControlTwipsPerPixel; }
  int Height() const { return height_ * kControlTwipsPerPixel; }

  // Drawing on the persistent surface, in the current scale unit.
  void SetScaleMode(ScaleUnit unit) { scale_ = unit; }
  double ScaleWidth() const;
  double ScaleHeight() const;
  Colour BackColor() const { return back_colour_; }
  void SetBackColor(Colour colour) { back_colour_ = colour; }
  void Cls();
  // A source rectangle of the picture (in the picture's own twips or pixels)
  // stretched into a destination rectangle of the surface.
  void PaintPicture(const Picture& picture, double x, double y, double width, double height, double source_x,
                    double source_y, double source_width, double source_height);
  // In pixels, whatever the scale unit.
  void PaintVerticalGradient(const Rect& rect, Colour top, Colour bottom);
  void Refresh();

  // Background style: true opaque (the painted face shows), false transparent.
  bool Opaque() const { return opaque_; }
  void SetOpaque(bool opaque);

  ControlLabel& Label() { return label_; }
  const ControlLabel& Label() const { return label_; }

  Font AmbientFont() const { return container_.AmbientFont; }
  // Tells the container that a property changed and the instance needs saving.
  void PropertyChanged(const std::string& name);
  std::function<void(const std::string& name)> OnPropertyChanged;

  void SetFocus();

  // Notifications.
  ControlMouseHandler OnMouseDown;
  ControlMouseHandler OnMouseMove;
  ControlMouseHandler OnMouseUp;
  std::function<void()> OnGotFocus;
  std::function<void()> OnLostFocus;
  std::function<void()> OnResize;

  // Entry points of the backends: mouse positions in the control's pixels.
  // A press goes to the label when it is over the enabled label, otherwise
  // to the control; moves and the release go where the press went until no
  // button is held any more.
  void DeliverMouseDown(int button, int shift, float x, float y);
  void DeliverMouseMove(int buttons_held, int shift, float x, float y);
  void DeliverMouseUp(int button, int buttons_still_held, int shift, float x, float y);
  void DeliverFocus(bool gained);

  UserControlPeer& Peer() { return *peer_; }

 private:
  enum class Target { None, Control, Label };
  Target HitTest(float x, float y) const;
  void Dispatch(Target target, const ControlMouseHandler& label_handler, const ControlMouseHandler& control_handler,
                int button, int shift, float x, float y);
  int ToPixels(double value) const;

  Form& container_;
  std::unique_ptr<UserControlPeer> peer_;
  ControlLabel label_;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  ScaleUnit scale_ = ScaleUnit::Twips;
  Colour back_colour_ = kWhite;
  bool opaque_ = true;
  bool has_focus_ = false;
  Target captured_ = Target::None;
};

}  // namespace ui
