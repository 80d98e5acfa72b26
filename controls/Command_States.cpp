// The Command button's transition table and geometry.
#include "controls/Command_States.h"

#include <string>

#include "base/numeric.h"
#include "base/runtime_error.h"

namespace controls {

using base::num::kFalse;
using base::num::kTrue;

// Rows of one notification are tested in order, each against the state the
// rows before it left.

Reaction OnFocusGained(CommandState& s) {
  if (!s.EnabledFlag) return {};
  if (s.ButtonState != StateHover) {
    s.ButtonState = StateFocused;
    return {Face::Selected};
  }
  s.ButtonState = StateFocusedHover;  // focus arriving under the cursor looks pressed
  return {Face::Pressed};
}

Reaction OnFocusLost(CommandState& s) {
  if (!s.EnabledFlag) return {};
  if (s.ButtonState != StateIdle) {
    s.ButtonState = StateIdle;
    return {Face::Normal};
  }
  return {};
}

Reaction OnMouseDown(CommandState& s, int button) {
  if (!s.EnabledFlag) return {};
  if (button == 1) {
    s.MouseIsDown = kTrue;
    return {Face::Pressed};
  }
  return {};
}

Reaction OnMouseMove(CommandState& s) {
  if (!s.EnabledFlag) return {};
  if (s.ButtonState == StateIdle) {
    s.ButtonState = StateHover;
    return {Face::HighLight};
  }
  if (s.ButtonState == StateFocused && !s.MouseIsDown) {
    s.ButtonState = StateFocusedHover;
    return {Face::HighLightSelect};
  }
  return {};
}

Reaction OnMouseUp(CommandState& s, int button) {
  if (!s.EnabledFlag) return {};
  Reaction r;
  if (button == 1) {
    s.MouseIsDown = kFalse;
    if (s.ButtonState == StateHover) r.face = Face::Normal;
    else if (s.ButtonState == StateFocusedHover) r.face = Face::HighLightSelect;
  }
  // A focused button that the leave test found away from the cursor since the
  // press is the one way to cancel a click.
  r.click = s.ButtonState != StateFocused;
  return r;
}

Reaction OnLeaveHover(CommandState& s) {
  if (!s.EnabledFlag) return {};
  if (s.ButtonState == StateHover) {
    s.ButtonState = StateIdle;
    return {Face::Normal};
  }
  if (s.ButtonState == StateFocusedHover) {
    s.ButtonState = StateFocused;
    return {Face::Selected};
  }
  return {};
}

std::int16_t GradientDirection(std::uint8_t button_state, std::int16_t previous) {
  switch (button_state) {
    case StateIdle:
    case StateFocused: return kFalse;
    case StateHover: return kTrue;
    default: return previous;  // StateFocusedHover, and 0 before Initialize
  }
}

std::array<std::optional<FramePiece>, 8> FramePieces(int W, int H) {
  using base::num::Add16;
  constexpr int kCorner = 60;
  std::array<std::optional<FramePiece>, 8> pieces;
  // Each piece on its own: a size that overflows 16 bits loses only the pieces that use it.
  const auto piece = [&pieces](std::size_t i, auto make) { base::ResumeNext([&] { pieces[i] = make(); }); };
  pieces[0] = FramePiece{0, 0, kCorner, kCorner, 1, 1, kCorner, kCorner};
  piece(1, [&] { return FramePiece{60, 1, 840, kCorner, 60, 1, Add16(W, -120), kCorner}; });
  piece(2, [&] { return FramePiece{900, 1, kCorner, kCorner, Add16(W, -60), 1, kCorner, kCorner}; });
  piece(3, [&] { return FramePiece{900, 60, kCorner, 255, Add16(W, -60), 60, kCorner, Add16(H, -120)}; });
  piece(4, [&] { return FramePiece{900, 315, kCorner, kCorner, Add16(W, -60), Add16(H, -60), kCorner, kCorner}; });
  piece(5, [&] { return FramePiece{60, 315, 840, kCorner, 60, Add16(H, -60), Add16(W, -120), kCorner}; });
  piece(6, [&] { return FramePiece{0, 315, kCorner, kCorner, 1, Add16(H, -60), kCorner, kCorner}; });
  piece(7, [&] { return FramePiece{1, 60, kCorner, 255, 1, 60, kCorner, Add16(H, -120)}; });
  return pieces;
}

double CaptionTop(int H, double label_height) { return (H - label_height - 20) / 2; }

ui::Colour GradientColour(std::string_view colour_text) {
  // The digits of the number, six of them: a colour whose red pair is zero
  // keeps its pairs in place.
  const auto value = static_cast<std::int64_t>(base::num::ReadStrict(colour_text));
  std::string digits = base::num::HexText(value);
  if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
  const auto channel = [&digits](std::size_t at) {
    return static_cast<int>(base::num::ReadStrict("&H" + digits.substr(at, 2)));
  };
  return ui::Rgb(channel(0), channel(2), channel(4));
}

}  // namespace controls
