// The skinned push button `Command` (programmatic identifier
// "Tessellane.Command"): a face painted from six state pictures over a
// two-colour vertical gradient, a centred caption, its own hover, focus and
// press tracking, and a Click event.
//
// This header is the button's public face as the settings dialog uses it;
// the state, drawing and tracking members follow the button's own design.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "controls/Command_States.h"
#include "ui/font.h"
#include "ui/form.h"
#include "ui/picture.h"
#include "ui/types.h"
#include "ui/user_control.h"

namespace controls {

class Command {
 public:
  // Placed on a container form, at a position and size in the form's pixels.
  // Loaded from a property storage that holds nothing: every property at its
  // default (enabled, caption "Command", the container's font, black text).
  explicit Command(ui::Form& container);
  // Loaded from the container's stored instance.
  Command(ui::Form& container, const ui::PropertyBag& stored);
  // Placed anew, nothing loaded: disabled until the first read of Enabled
  // brings it up.
  struct NewInstance {};
  Command(ui::Form& container, NewInstance);
  ~Command();
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  void Move(int x, int y, int width, int height);

  // Properties.
  std::string Caption() const;
  void SetCaption(const std::string& New_Caption);
  ui::Font Font() const;
  void SetFont(const ui::Font& New_Font);
  ui::Colour FontColour();
  void SetFontColour(ui::Colour New_FontColour);
  bool Enabled();
  void SetEnabled(bool New_Enabled);
  bool Visible();
  void SetVisible(bool New_Visible);

  // Starts hover tracking. Draws nothing.
  void Initialize();

  // Raised when a mouse button is released over an enabled button (see the
  // tracking rules).
  std::function<void()> Click;

  ui::WindowHandle Handle();

  // The caption's font object itself, not a copy: a change of its name or
  // size shows on the caption at once.
  class CaptionFont {
   public:
    void SetName(const std::string& name);
    void SetSize(double points);

   private:
    friend class Command;
    explicit CaptionFont(ui::ControlLabel& label) : label_(&label) {}
    ui::ControlLabel* label_;
  };
  CaptionFont FontObject();

  // Visible as the platform stores it: 0 for a transparent background, 255
  // for an opaque one. Any non-zero value written makes it opaque.
  std::uint8_t VisibleValue();
  void SetVisibleValue(std::uint8_t New_Visible);

  // Container notifications.
  void UserControl_InitProperties();
  void UserControl_ReadProperties(const ui::PropertyBag& PropBag);
  void UserControl_WriteProperties(ui::PropertyBag& PropBag);

  // The instance state, for the container's tests and tools.
  const CommandState& State() const { return state_; }
  ui::UserControl& Surface() { return control_; }
  ui::ControlLabel& LblMsg() { return control_.Label(); }
  ui::Timer& TmrMouse() { return tmr_mouse_; }
  // The picture a face is painted from (the six hidden image elements).
  const ui::Picture& PictureOf(Face face) const;

  // The control's own routines.
  void DrawFace(const ui::Picture& picture);
  void RefreshEnabled();
  void RefreshFace();
  void LeaveHover();

 private:
  // Composed, with every field zero, before anything is initialised or loaded.
  struct Blank {};
  Command(ui::Form& container, Blank);
  void Create();
  void PaintGradient();
  void Apply(const Reaction& reaction);
  void MarkChanged(const std::string& name) { control_.PropertyChanged(name); }

  // Notification handlers.
  void UserControl_MouseDown(int Button, int Shift, float X, float Y);
  void UserControl_MouseMove(int Button, int Shift, float X, float Y);
  void UserControl_MouseUp(int Button, int Shift, float X, float Y);
  void LblMsg_MouseDown(int Button, int Shift, float X, float Y);
  void LblMsg_MouseMove(int Button, int Shift, float X, float Y);
  void LblMsg_MouseUp(int Button, int Shift, float X, float Y);
  void UserControl_GotFocus();
  void UserControl_LostFocus();
  void UserControl_Resize();
  void TmrMouse_Timer();

  ui::UserControl control_;
  ui::Timer tmr_mouse_;
  // The six face pictures (960 x 375 twips each), never shown themselves.
  const ui::Picture& HighLight;
  const ui::Picture& Pressed;
  const ui::Picture& Normal;
  const ui::Picture& Disable;
  const ui::Picture& HighLightSelect;
  const ui::Picture& Selected;
  CommandState state_;
};

}  // namespace controls
