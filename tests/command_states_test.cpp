// The Command button's transition table, driven row by row without a window,
// and its geometry and colour rules.
#include "controls/Command_States.h"

#include <gtest/gtest.h>

#include "base/runtime_error.h"

namespace controls {
namespace {

constexpr std::int16_t T = -1, F = 0;

CommandState Enabled(std::uint8_t button_state, std::int16_t mouse_is_down = F) {
  CommandState s;
  s.ButtonState = button_state;
  s.MouseIsDown = mouse_is_down;
  s.EnabledFlag = T;
  return s;
}

struct Row {
  const char* name;
  std::uint8_t before;
  std::int16_t mouse_down_before;
  Reaction (*notify)(CommandState&);
  std::uint8_t after;
  std::int16_t mouse_down_after;
  Reaction reaction;
};

Reaction Gained(CommandState& s) { return OnFocusGained(s); }
Reaction Lost(CommandState& s) { return OnFocusLost(s); }
Reaction LeftDown(CommandState& s) { return OnMouseDown(s, 1); }
Reaction RightDown(CommandState& s) { return OnMouseDown(s, 2); }
Reaction MiddleDown(CommandState& s) { return OnMouseDown(s, 4); }
Reaction Move(CommandState& s) { return OnMouseMove(s); }
Reaction LeftUp(CommandState& s) { return OnMouseUp(s, 1); }
Reaction RightUp(CommandState& s) { return OnMouseUp(s, 2); }
Reaction MiddleUp(CommandState& s) { return OnMouseUp(s, 4); }
Reaction Leave(CommandState& s) { return OnLeaveHover(s); }

constexpr Face N = Face::None;

const Row kTable[] = {
    // focus gained
    {"focus in idle", StateIdle, F, Gained, StateFocused, F, {Face::Selected}},
    {"focus in focused", StateFocused, F, Gained, StateFocused, F, {Face::Selected}},
    {"focus while hovering looks pressed", StateHover, F, Gained, StateFocusedHover, F, {Face::Pressed}},
    {"focus before Initialize", 0, F, Gained, StateFocused, F, {Face::Selected}},
    // focus lost
    {"blur focused", StateFocused, F, Lost, StateIdle, F, {Face::Normal}},
    {"blur focused hover", StateFocusedHover, T, Lost, StateIdle, T, {Face::Normal}},
    {"blur hover", StateHover, F, Lost, StateIdle, F, {Face::Normal}},
    {"blur idle does nothing", StateIdle, F, Lost, StateIdle, F, {N}},
    // mouse down
    {"left down in hover", StateHover, F, LeftDown, StateHover, T, {Face::Pressed}},
    {"left down in idle", StateIdle, F, LeftDown, StateIdle, T, {Face::Pressed}},
    {"right down does nothing", StateHover, F, RightDown, StateHover, F, {N}},
    {"middle down does nothing", StateFocusedHover, F, MiddleDown, StateFocusedHover, F, {N}},
    // mouse move
    {"enter from idle", StateIdle, F, Move, StateHover, F, {Face::HighLight}},
    {"enter focused", StateFocused, F, Move, StateFocusedHover, F, {Face::HighLightSelect}},
    {"move back while held stays cancelled", StateFocused, T, Move, StateFocused, T, {N}},
    {"move in hover", StateHover, F, Move, StateHover, F, {N}},
    {"move in focused hover", StateFocusedHover, T, Move, StateFocusedHover, T, {N}},
    {"move before Initialize", 0, F, Move, 0, F, {N}},
    // mouse up
    {"left up in hover", StateHover, T, LeftUp, StateHover, F, {Face::Normal, true}},
    {"left up in focused hover", StateFocusedHover, T, LeftUp, StateFocusedHover, F, {Face::HighLightSelect, true}},
    {"left up in idle clicks without a face", StateIdle, T, LeftUp, StateIdle, F, {N, true}},
    {"left up cancelled", StateFocused, T, LeftUp, StateFocused, F, {N, false}},
    {"right up clicks", StateHover, F, RightUp, StateHover, F, {N, true}},
    {"right up in focused hover keeps the flag", StateFocusedHover, T, RightUp, StateFocusedHover, T, {N, true}},
    {"middle up in idle clicks", StateIdle, F, MiddleUp, StateIdle, F, {N, true}},
    {"right up while focused away does not click", StateFocused, F, RightUp, StateFocused, F, {N, false}},
    {"release before Initialize clicks", 0, T, LeftUp, 0, F, {N, true}},
    // leave test
    {"leave hover", StateHover, F, Leave, StateIdle, F, {Face::Normal}},
    {"leave focused hover", StateFocusedHover, T, Leave, StateFocused, T, {Face::Selected}},
    {"leave idle does nothing", StateIdle, F, Leave, StateIdle, F, {N}},
    {"leave focused does nothing", StateFocused, F, Leave, StateFocused, F, {N}},
};

TEST(CommandTransitions, EveryRowOfTheTable) {
  for (const Row& row : kTable) {
    SCOPED_TRACE(row.name);
    CommandState s = Enabled(row.before, row.mouse_down_before);
    const Reaction r = row.notify(s);
    EXPECT_EQ(s.ButtonState, row.after);
    EXPECT_EQ(s.MouseIsDown, row.mouse_down_after);
    EXPECT_EQ(r.face, row.reaction.face);
    EXPECT_EQ(r.click, row.reaction.click);
    EXPECT_EQ(s.EnabledFlag, T);
  }
}

TEST(CommandTransitions, ADisabledButtonIgnoresEverything) {
  for (const Row& row : kTable) {
    SCOPED_TRACE(row.name);
    CommandState s = Enabled(row.before, row.mouse_down_before);
    s.EnabledFlag = F;
    const Reaction r = row.notify(s);
    EXPECT_EQ(s.ButtonState, row.before);
    EXPECT_EQ(s.MouseIsDown, row.mouse_down_before);
    EXPECT_EQ(r, Reaction{});
  }
}

// Sequences across rows: what a user does, step by step.
TEST(CommandTransitions, PressDragOffTickDragBackReleaseIsCancelled) {
  CommandState s = Enabled(StateIdle);
  EXPECT_EQ(OnMouseMove(s).face, Face::HighLight);
  EXPECT_EQ(OnMouseDown(s, 1).face, Face::Pressed);
  EXPECT_EQ(OnFocusGained(s).face, Face::Pressed);  // the click takes the focus
  EXPECT_EQ(s.ButtonState, StateFocusedHover);
  EXPECT_EQ(OnLeaveHover(s).face, Face::Selected);  // dragged off, one tick
  EXPECT_EQ(OnMouseMove(s), Reaction{});            // dragged back: still cancelled
  EXPECT_EQ(OnMouseUp(s, 1), (Reaction{Face::None, false}));
  EXPECT_EQ(s.ButtonState, StateFocused);
  EXPECT_EQ(OnMouseMove(s).face, Face::HighLightSelect);  // the next move after the release
}

TEST(CommandTransitions, WithoutFocusDraggingOffDoesNotCancel) {
  CommandState s = Enabled(StateIdle);
  OnMouseMove(s);
  OnMouseDown(s, 1);
  EXPECT_EQ(OnLeaveHover(s).face, Face::Normal);
  EXPECT_EQ(s.ButtonState, StateIdle);
  EXPECT_TRUE(OnMouseUp(s, 1).click);
}

TEST(CommandTransitions, ReenablingResumesFromTheSameState) {
  CommandState s = Enabled(StateIdle);
  OnMouseMove(s);
  OnMouseDown(s, 1);
  s.EnabledFlag = F;
  EXPECT_EQ(OnMouseUp(s, 1), Reaction{});
  EXPECT_EQ(s.MouseIsDown, T);
  s.EnabledFlag = T;
  EXPECT_EQ(s.ButtonState, StateHover);
  EXPECT_EQ(OnMouseUp(s, 1), (Reaction{Face::Normal, true}));
}

TEST(CommandGradient, DirectionPerState) {
  EXPECT_EQ(GradientDirection(StateIdle, T), F);
  EXPECT_EQ(GradientDirection(StateFocused, T), F);
  EXPECT_EQ(GradientDirection(StateHover, F), T);
  EXPECT_EQ(GradientDirection(StateFocusedHover, F), F);
  EXPECT_EQ(GradientDirection(StateFocusedHover, T), T);
  EXPECT_EQ(GradientDirection(0, T), T);
  EXPECT_EQ(GradientDirection(0, F), F);
}

TEST(CommandGradient, ColourTextsGiveChannelsInTextOrder) {
  EXPECT_EQ(GradientColour("&HFFFFFF"), ui::Rgb(0xFF, 0xFF, 0xFF));
  // Red is the first pair, not the low byte of the colour value.
  EXPECT_EQ(GradientColour("&HC6C5D7"), ui::Rgb(0xC6, 0xC5, 0xD7));
  EXPECT_EQ(GradientColour("&H0000FF"), ui::Rgb(0, 0, 0xFF));
  EXPECT_EQ(GradientColour("&H12"), ui::Rgb(0, 0, 0x12));
  EXPECT_THROW(GradientColour("white"), base::RuntimeError);
}

TEST(CommandFrame, PiecesOfTheWideButton) {
  const auto p = FramePieces(1155, 495);
  const FramePiece expected[8] = {
      {0, 0, 60, 60, 1, 1, 60, 60},          {60, 1, 840, 60, 60, 1, 1035, 60},
      {900, 1, 60, 60, 1095, 1, 60, 60},     {900, 60, 60, 255, 1095, 60, 60, 375},
      {900, 315, 60, 60, 1095, 435, 60, 60}, {60, 315, 840, 60, 60, 435, 1035, 60},
      {0, 315, 60, 60, 1, 435, 60, 60},      {1, 60, 60, 255, 1, 60, 60, 375},
  };
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(p[i].has_value());
    EXPECT_EQ(*p[i], expected[i]);
  }
}

TEST(CommandFrame, PiecesOfTheSquareButton) {
  const auto p = FramePieces(495, 495);
  EXPECT_EQ(p[1]->width, 375);
  EXPECT_EQ(p[5]->width, 375);
  EXPECT_EQ(p[3]->height, 375);
  EXPECT_EQ(p[2]->x, 435);
  EXPECT_EQ(p[4]->y, 435);
}

TEST(CommandFrame, AnOverflowingSizeLosesOnlyThePiecesThatUseIt) {
  const auto p = FramePieces(40000, 495);
  EXPECT_TRUE(p[0].has_value());
  EXPECT_FALSE(p[1] || p[2] || p[3] || p[4] || p[5]);
  EXPECT_TRUE(p[6] && p[7]);
  const auto q = FramePieces(-32700, -32700);  // W - 120 below -32768
  EXPECT_FALSE(q[1] || q[3] || q[5] || q[7]);
  EXPECT_TRUE(q[2] && q[4] && q[6]);
}

TEST(CommandCaption, TopIsCentredWithTheLabelHeight) {
  EXPECT_DOUBLE_EQ(CaptionTop(495, 195), 140);
  EXPECT_DOUBLE_EQ(CaptionTop(420, 195), 102.5);
  EXPECT_DOUBLE_EQ(CaptionTop(100, 195), -57.5);
}

}  // namespace
}  // namespace controls
