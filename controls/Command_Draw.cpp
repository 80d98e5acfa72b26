// Painting the Command button's face: the background gradient, the frame cut
// from a state picture and stretched to the button, and the caption on top.
#include "base/numeric.h"
#include "base/runtime_error.h"
#include "controls/Command.h"

namespace controls {
namespace {

// Light at the top of an idle face, dark at its bottom.
constexpr const char* kLight = "&HFFFFFF";
constexpr const char* kDark = "&HC6C5D7";

}  // namespace

void Command::DrawFace(const ui::Picture& picture) {
  using base::ResumeNext;
  state_.InvertGradient = GradientDirection(state_.ButtonState, state_.InvertGradient);
  control_.Cls();
  PaintGradient();

  int W = 0, H = 0;
  const bool have_width = ResumeNext([&] { W = base::num::RoundToInt16(control_.ScaleWidth()); });
  const bool have_height = ResumeNext([&] { H = base::num::RoundToInt16(control_.ScaleHeight()); });
  // A size that could not be read leaves out every piece that depends on it.
  constexpr int kUnreadable = 1 << 20;
  const auto pieces = FramePieces(have_width ? W : kUnreadable, have_height ? H : kUnreadable);
  for (const auto& piece : pieces) {
    // An edge of a button under two corners long would be drawn mirrored:
    // it is left out instead.
    if (!piece || piece->width <= 0 || piece->height <= 0) continue;
    control_.PaintPicture(picture, piece->x, piece->y, piece->width, piece->height, piece->source_x, piece->source_y,
                          piece->source_width, piece->source_height);
  }
  control_.Refresh();

  auto& label = control_.Label();
  if (have_height && have_width) label.Move(0, CaptionTop(H, label.Height()), W, label.Height());
}

void Command::PaintGradient() {
  control_.SetScaleMode(ui::UserControl::ScaleUnit::Pixels);
  const ui::Colour light = GradientColour(kLight), dark = GradientColour(kDark);
  const ui::Rect face{0, 0, static_cast<int>(control_.ScaleWidth()) - 1, static_cast<int>(control_.ScaleHeight()) - 1};
  if (state_.InvertGradient) control_.PaintVerticalGradient(face, dark, light);
  else control_.PaintVerticalGradient(face, light, dark);
  control_.SetScaleMode(ui::UserControl::ScaleUnit::Twips);
  control_.Refresh();
}

void Command::RefreshEnabled() {
  auto& label = control_.Label();
  if (state_.EnabledFlag) {
    DrawFace(Normal);
    label.SetEnabled(true);
  } else {
    DrawFace(Disable);
    label.SetEnabled(false);  // the platform's disabled text
  }
}

void Command::RefreshFace() {
  if (!state_.EnabledFlag) return;
  auto& label = control_.Label();
  label.SetEnabled(true);
  // A button placed anew keeps a black caption until it is first loaded.
  if (state_.FirstRun == 0) label.SetForeColor(0);
  DrawFace(Normal);
}

void Command::UserControl_Resize() { RefreshEnabled(); }

}  // namespace controls
