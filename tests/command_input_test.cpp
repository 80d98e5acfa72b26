// The Command button driven like a user drives it: mouse, focus and the
// 100-ms hover timer on a headless form.
#include <gtest/gtest.h>

#include "tests/command_support.h"

namespace command_testing {
namespace {

using controls::StateFocused;
using controls::StateFocusedHover;
using controls::StateHover;
using controls::StateIdle;

TEST_F(CommandTest, TypicalClickFromEnterToFocusLeavingAgain) {
  auto b = Place();
  b->Initialize();

  Enter(*b);
  EXPECT_EQ(b->State().ButtonState, StateHover);
  EXPECT_TRUE(Shows(*b, Face::HighLight));
  EXPECT_TRUE(DarkAtTop(*b));

  headless::PostMouseDown(b->Surface(), 1, 5, 5);
  Run();
  EXPECT_EQ(b->State().ButtonState, StateFocusedHover);
  EXPECT_TRUE(Shows(*b, Face::Pressed));
  EXPECT_TRUE(headless::HasCapture(b->Surface()));
  EXPECT_EQ(Clicks(*b), 0);

  headless::PostMouseUp(b->Surface(), 1, 5, 5);
  Run();
  EXPECT_FALSE(headless::HasCapture(b->Surface()));
  EXPECT_TRUE(Shows(*b, Face::HighLightSelect));
  EXPECT_EQ(Clicks(*b), 1);

  Tick(form_.Handle());  // the cursor went to the form
  EXPECT_EQ(b->State().ButtonState, StateFocused);
  EXPECT_TRUE(Shows(*b, Face::Selected));
  EXPECT_FALSE(DarkAtTop(*b));

  headless::PostFocusAway();
  Run();
  EXPECT_EQ(b->State().ButtonState, StateIdle);
  EXPECT_TRUE(Shows(*b, Face::Normal));
  EXPECT_EQ(Clicks(*b), 1);
}

TEST_F(CommandTest, OtherButtonsClickWithoutAPressedFaceOrFocus) {
  auto b = Place();
  b->Initialize();
  Enter(*b);
  for (int button : {2, 4}) {
    SCOPED_TRACE(button);
    const long paints = Paints(*b);
    headless::PostMouseDown(b->Surface(), button, 5, 5);
    headless::PostMouseUp(b->Surface(), button, 5, 5);
    Run();
    EXPECT_EQ(Paints(*b), paints);
    EXPECT_TRUE(Shows(*b, Face::HighLight));
    EXPECT_EQ(b->State().ButtonState, StateHover);
    EXPECT_EQ(headless::FocusedControl(), nullptr);
  }
  EXPECT_EQ(Clicks(*b), 2);
}

TEST_F(CommandTest, PressAndReleaseWithoutFocusPaintsNormalUnderTheCursor) {
  auto b = Place();
  b->Initialize();
  Enter(*b);
  headless::PostMouseDown(b->Surface(), 1, 5, 5, /*take_focus=*/false);
  headless::PostMouseUp(b->Surface(), 1, 5, 5);
  Run();
  EXPECT_TRUE(Shows(*b, Face::Normal));
  EXPECT_TRUE(DarkAtTop(*b));  // still hovering
  EXPECT_EQ(b->State().ButtonState, StateHover);
  EXPECT_EQ(Clicks(*b), 1);
}

TEST_F(CommandTest, KeyboardFocusWhileHoveringLooksPressed) {
  auto b = Place();
  b->Initialize();
  Enter(*b);
  headless::PostFocus(b->Surface());
  Run();
  EXPECT_EQ(b->State().ButtonState, StateFocusedHover);
  EXPECT_TRUE(Shows(*b, Face::Pressed));
  EXPECT_EQ(b->State().MouseIsDown, 0);
  EXPECT_EQ(Clicks(*b), 0);
}

TEST_F(CommandTest, PressDragOffTickDragBackReleaseCancels) {
  auto b = Place();
  b->Initialize();
  Enter(*b);
  headless::PostMouseDown(b->Surface(), 1, 5, 5);
  headless::PostMouseMove(b->Surface(), -30, 5, 1);  // still delivered: the button holds the mouse
  Run();
  Tick(form_.Handle());
  EXPECT_TRUE(Shows(*b, Face::Selected));
  headless::SetWindowUnderCursor(b->Handle());
  headless::PostMouseMove(b->Surface(), 5, 5, 1);
  headless::PostMouseUp(b->Surface(), 1, 5, 5);
  Run();
  EXPECT_EQ(Clicks(*b), 0);
  EXPECT_TRUE(Shows(*b, Face::Selected));
  EXPECT_EQ(b->State().ButtonState, StateFocused);

  Tick(b->Handle());  // ticks over the button change nothing
  EXPECT_TRUE(Shows(*b, Face::Selected));
  headless::PostMouseMove(b->Surface(), 6, 5);
  Run();
  EXPECT_TRUE(Shows(*b, Face::HighLightSelect));
  EXPECT_EQ(b->State().ButtonState, StateFocusedHover);
}

TEST_F(CommandTest, DraggingOffWithoutFocusStillClicks) {
  auto b = Place();
  b->Initialize();
  Enter(*b);
  headless::PostMouseDown(b->Surface(), 1, 5, 5, /*take_focus=*/false);
  Run();
  Tick(form_.Handle());
  EXPECT_EQ(b->State().ButtonState, StateIdle);
  headless::PostMouseUp(b->Surface(), 1, -30, 5);
  Run();
  EXPECT_EQ(Clicks(*b), 1);
}

TEST_F(CommandTest, OfFourButtonsOnlyTheOneUnderTheCursorHovers) {
  auto cancel = Place(352, 216, 77, 33), save = Place(352, 252, 77, 33);
  auto colour = Place(360, 156, 33, 33), file = Place(52, 388, 33, 33);
  Command* all[] = {cancel.get(), save.get(), colour.get(), file.get()};
  for (Command* b : all) b->Initialize();
  const auto hovering = [&] {
    int n = 0;
    for (Command* b : all) n += b->State().ButtonState == StateHover;
    return n;
  };
  for (Command* target : all) {
    // Moving from one button to the next: the new one hears the move at once,
    // the old one finds out on its next tick.
    headless::PostMouseMove(target->Surface(), 3, 3);
    Run();
    Tick(target->Handle());
    EXPECT_EQ(hovering(), 1);
    EXPECT_EQ(target->State().ButtonState, StateHover);
  }
  Tick(form_.Handle());
  EXPECT_EQ(hovering(), 0);
}

TEST_F(CommandTest, ATimerTickRepaintsOnlyWhenAHoverStateFallsBack) {
  auto b = Place();
  b->Initialize();
  Enter(*b);
  const long after_enter = Paints(*b);
  headless::ClearCalls();
  for (int i = 0; i < 10; ++i) Tick(b->Handle());
  EXPECT_EQ(Paints(*b), after_enter);
  EXPECT_EQ(headless::CallsStartingWith("WindowFromPoint").size(), 10u);

  Tick(0);  // a window of another program covers the button
  EXPECT_EQ(Paints(*b), after_enter + 1);
  EXPECT_TRUE(Shows(*b, Face::Normal));
  for (int i = 0; i < 10; ++i) Tick(form_.Handle());
  EXPECT_EQ(Paints(*b), after_enter + 1);
}

TEST_F(CommandTest, BeforeInitializeNothingHoversAndNoTimerRuns) {
  auto b = Place();
  headless::ClearCalls();
  Enter(*b);
  EXPECT_EQ(b->State().ButtonState, 0);
  for (int i = 0; i < 5; ++i) Tick(form_.Handle());
  EXPECT_TRUE(headless::CallsStartingWith("WindowFromPoint").empty());
  headless::PostMouseDown(b->Surface(), 1, 5, 5, false);
  headless::PostMouseUp(b->Surface(), 1, 5, 5);
  Run();
  EXPECT_EQ(Clicks(*b), 1);
  b->Initialize();
  Tick(form_.Handle());
  EXPECT_EQ(headless::CallsStartingWith("WindowFromPoint").size(), 1u);
}

TEST_F(CommandTest, TheCaptionBehavesLikeTheRestOfTheFace) {
  auto b = Place();
  b->Initialize();
  const ui::Rect label = b->LblMsg().PixelBounds();
  const float cx = (label.left + label.right) / 2.0f, cy = (label.top + label.bottom) / 2.0f;
  headless::SetWindowUnderCursor(b->Handle());
  headless::PostMouseMove(b->Surface(), cx, cy);
  Run();
  EXPECT_TRUE(Shows(*b, Face::HighLight));
  headless::PostMouseDown(b->Surface(), 1, cx, cy, /*take_focus=*/false);
  Run();
  EXPECT_TRUE(Shows(*b, Face::Pressed));
  EXPECT_EQ(b->State().MouseIsDown, -1);
  headless::PostMouseUp(b->Surface(), 1, cx, cy);
  Run();
  EXPECT_EQ(b->State().MouseIsDown, 0);
  EXPECT_TRUE(Shows(*b, Face::Normal));
  EXPECT_EQ(Clicks(*b), 1);
}

TEST_F(CommandTest, ADisabledButtonNeitherTracksNorClicksAndResumesWhenEnabled) {
  auto b = Place();
  b->Initialize();
  b->SetEnabled(false);
  const long paints = Paints(*b);
  Enter(*b);
  headless::PostMouseDown(b->Surface(), 1, 5, 5);
  headless::PostMouseUp(b->Surface(), 1, 5, 5);
  Run();
  Tick(form_.Handle());
  EXPECT_EQ(Clicks(*b), 0);
  EXPECT_EQ(Paints(*b), paints);
  EXPECT_EQ(b->State().ButtonState, StateIdle);
  EXPECT_TRUE(Shows(*b, Face::Disable));

  b->SetEnabled(true);
  Enter(*b);
  EXPECT_EQ(b->State().ButtonState, StateHover);
}

}  // namespace
}  // namespace command_testing
