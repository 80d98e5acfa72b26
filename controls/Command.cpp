// The Command button: its composition, Initialize, and the mouse, focus and
// hover notifications turned into faces and Click events.
#include "controls/Command.h"

#include "base/runtime_error.h"
#include "ui/backend.h"

namespace controls {
namespace {

// The design surface and caption label, in twips.
constexpr int kDesignWidth = 1755;
constexpr int kDesignHeight = 420;
constexpr double kLabelLeft = 0, kLabelTop = 90, kLabelWidth = 1635, kLabelHeight = 195;
constexpr int kHoverPollMs = 100;

ui::Font DesignFont() {
  ui::Font font;
  font.Name = "ＭＳ Ｐゴシック";
  font.Size = 9.75;
  font.Weight = 400;
  font.Charset = 128;
  return font;
}

}  // namespace

Command::Command(ui::Form& container, Blank)
    : control_(container),
      HighLight(ui::EmbeddedPicture("button_highlight.bmp")),
      Pressed(ui::EmbeddedPicture("button_pressed.bmp")),
      Normal(ui::EmbeddedPicture("button_normal.bmp")),
      Disable(ui::EmbeddedPicture("button_disable.bmp")),
      HighLightSelect(ui::EmbeddedPicture("button_highlight_select.bmp")),
      Selected(ui::EmbeddedPicture("button_selected.bmp")) {
  Create();
}

Command::Command(ui::Form& container, NewInstance) : Command(container, Blank{}) { UserControl_InitProperties(); }

Command::Command(ui::Form& container, const ui::PropertyBag& stored) : Command(container, Blank{}) {
  UserControl_ReadProperties(stored);
}

Command::Command(ui::Form& container) : Command(container, ui::PropertyBag{}) {}

Command::~Command() { tmr_mouse_.SetEnabled(false); }

void Command::Create() {
  auto& label = control_.Label();
  label.SetCaption("Command");
  label.SetFont(DesignFont());
  label.SetForeColor(0);
  label.Move(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight);
  control_.Move(0, 0, kDesignWidth / ui::kControlTwipsPerPixel, kDesignHeight / ui::kControlTwipsPerPixel);

  control_.OnMouseDown = [this](int b, int s, float x, float y) { UserControl_MouseDown(b, s, x, y); };
  control_.OnMouseMove = [this](int b, int s, float x, float y) { UserControl_MouseMove(b, s, x, y); };
  control_.OnMouseUp = [this](int b, int s, float x, float y) { UserControl_MouseUp(b, s, x, y); };
  label.OnMouseDown = [this](int b, int s, float x, float y) { LblMsg_MouseDown(b, s, x, y); };
  label.OnMouseMove = [this](int b, int s, float x, float y) { LblMsg_MouseMove(b, s, x, y); };
  label.OnMouseUp = [this](int b, int s, float x, float y) { LblMsg_MouseUp(b, s, x, y); };
  control_.OnGotFocus = [this] { UserControl_GotFocus(); };
  control_.OnLostFocus = [this] { UserControl_LostFocus(); };
  control_.OnResize = [this] { UserControl_Resize(); };
  tmr_mouse_.OnTick = [this] { TmrMouse_Timer(); };
}

void Command::Move(int x, int y, int width, int height) { control_.Move(x, y, width, height); }

ui::WindowHandle Command::Handle() { return control_.Handle(); }

void Command::Initialize() {
  state_.ButtonState = StateIdle;
  tmr_mouse_.SetInterval(kHoverPollMs);
  tmr_mouse_.SetEnabled(true);
}

const ui::Picture& Command::PictureOf(Face face) const {
  switch (face) {
    case Face::HighLight: return HighLight;
    case Face::Pressed: return Pressed;
    case Face::Selected: return Selected;
    case Face::HighLightSelect: return HighLightSelect;
    case Face::Disable: return Disable;
    default: return Normal;
  }
}

void Command::Apply(const Reaction& reaction) {
  if (reaction.face != Face::None) DrawFace(PictureOf(reaction.face));
  if (reaction.click && Click) Click();
}

// --- Mouse and focus ---------------------------------------------------------

void Command::UserControl_MouseDown(int Button, int, float, float) { Apply(OnMouseDown(state_, Button)); }
void Command::UserControl_MouseMove(int, int, float, float) { Apply(OnMouseMove(state_)); }
void Command::UserControl_MouseUp(int Button, int, float, float) { Apply(OnMouseUp(state_, Button)); }

// The caption spans the button's width: it behaves like the rest of the face.
void Command::LblMsg_MouseDown(int Button, int Shift, float X, float Y) { UserControl_MouseDown(Button, Shift, X, Y); }
void Command::LblMsg_MouseMove(int Button, int Shift, float X, float Y) { UserControl_MouseMove(Button, Shift, X, Y); }
void Command::LblMsg_MouseUp(int Button, int Shift, float X, float Y) { UserControl_MouseUp(Button, Shift, X, Y); }

void Command::UserControl_GotFocus() { Apply(OnFocusGained(state_)); }
void Command::UserControl_LostFocus() { Apply(OnFocusLost(state_)); }

void Command::LeaveHover() { Apply(OnLeaveHover(state_)); }

// No notification tells the button that the cursor has gone: every tick asks
// which window is under the cursor. The caption has no window of its own, so
// anywhere over the button that is the button's own window; anything else
// (the container, another control, a window covering the button) means the
// cursor has left. LeaveHover repaints only when a hover state falls back.
void Command::TmrMouse_Timer() {
  ui::Point cursor{};
  ui::sys::GetCursorPos(cursor);
  const ui::WindowHandle under = ui::sys::WindowFromPoint(cursor);
  if (under != control_.Handle()) LeaveHover();
}

}  // namespace controls
