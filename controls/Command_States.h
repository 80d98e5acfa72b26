// The Command button's instance state and the rules that need no window: the
// transition table of its mouse, focus and hover tracking, the gradient
// direction each state selects, the frame geometry and the caption position.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "ui/types.h"

namespace controls {

enum ButtonStates : std::uint8_t {
  StateIdle = 1,          // no focus, cursor not over the button
  StateHover = 2,         // no focus, cursor over it
  StateFocused = 3,       // focus, cursor not over it
  StateFocusedHover = 4,  // focus and cursor over it
};

// The six face pictures, by the image element that carries each.
enum class Face { None, HighLight, Pressed, Normal, Selected, HighLightSelect, Disable };

// All zero in a newly created button. Booleans are 16-bit: -1 True, 0 False.
struct CommandState {
  std::uint8_t ButtonState = 0;  // 0 until Initialize
  std::int16_t EnabledFlag = 0;
  std::uint8_t FirstRun = 0;
  std::int16_t MouseIsDown = 0;
  std::int16_t InvertGradient = 0;
};

// What one notification does: the face to paint (after the state changed) and
// whether Click is raised (after the face is painted).
struct Reaction {
  Face face = Face::None;
  bool click = false;
  bool operator==(const Reaction&) const = default;
};

// The transition table. Every row applies only while EnabledFlag is set.
Reaction OnFocusGained(CommandState& s);
Reaction OnFocusLost(CommandState& s);
Reaction OnMouseDown(CommandState& s, int button);
Reaction OnMouseMove(CommandState& s);
Reaction OnMouseUp(CommandState& s, int button);
Reaction OnLeaveHover(CommandState& s);

// The gradient direction a face painted in `button_state` gets: True paints
// dark at the top.
std::int16_t GradientDirection(std::uint8_t button_state, std::int16_t previous);

// One piece of the frame: a rectangle of the face picture stretched into a
// rectangle of the button, all in twips.
struct FramePiece {
  int source_x, source_y, source_width, source_height;
  int x, y, width, height;
  bool operator==(const FramePiece&) const = default;
};
// The eight pieces in drawing order for a button of W x H twips; a piece whose
// position or size does not fit the button's 16-bit sizes is missing.
std::array<std::optional<FramePiece>, 8> FramePieces(int W, int H);

// The caption label's top, in twips, for a button H twips high.
double CaptionTop(int H, double label_height);

// A colour text ("&HC6C5D7") as a gradient colour: its hexadecimal digits
// taken in pairs, left to right, as red, green and blue (not the byte order
// of a colour value).
ui::Colour GradientColour(std::string_view colour_text);

}  // namespace controls
