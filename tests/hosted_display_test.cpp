// The display inside a window a screen-saver host made: it fills that
// window, follows its size, leaves input, the pointer and the stacking to
// the host, and ends when the window goes.
#include <algorithm>

#include "app/Tessellane_B.h"
#include "display/Tessellane_S.h"
#include "tests/test_support.h"

namespace {

using testing_support::HeadlessTest;

class HostedDisplayTest : public HeadlessTest {
 protected:
  HostedDisplayTest() {
    host_ = headless::AddForeignWindow("host", ui::Rect{100, 50, 420, 290});
    headless::config().host_window = host_;
    headless::config().command_line = "";
  }
  ui::WindowHandle host_ = 0;
  app::Tessellane_B module_;
};

TEST_F(HostedDisplayTest, StartsWithoutGuardCursorOrTopmostAndDrawsIntoTheHost) {
  // A display of our own already runs: a host's display starts all the same.
  headless::AddForeignWindow(app::kDisplayTitle);
  headless::config().command_line = "/s";
  headless::SetIdleHook([] { throw headless::ProcessExit{7}; });
  EXPECT_EQ(testing_support::ExitCodeOf([this] { app::RunProgram(module_); }), 7);

  EXPECT_TRUE(headless::CallsStartingWith("FindWindow").empty());
  EXPECT_EQ(headless::CallsStartingWith("AdoptHost"),
            std::vector<std::string>{"AdoptHost(" + std::to_string(host_) + ")"});
  EXPECT_TRUE(headless::CallsStartingWith("MakeTopmost").empty());
  EXPECT_TRUE(headless::CallsStartingWith("ShowCursor").empty());
  EXPECT_TRUE(headless::CallsStartingWith("SetScreenSaverRunning").empty());
  // The settings are read as for a display of its own.
  EXPECT_FALSE(headless::CallsStartingWith("ReadFile").empty());
}

TEST_F(HostedDisplayTest, FillsTheHostIgnoresInputFollowsItsSizeAndEndsWithIt) {
  display::Tessellane_S display(module_);
  display.Form.AdoptHostWindow(host_);
  int pass = 0;
  int width_before = 0, width_after = 0, height_after = 0;
  long clears_before_resize = 0;
  double cycle_before = -1, restarted_at = -1;
  std::int16_t pos_after_restart = 0;
  headless::SetIdleHook([&] {
    ++pass;
    if (pass == 2) {
      width_before = display.Display.ScaleWidth();
      // Neither a key, a click, a press nor a diagonal move ends a hosted display.
      headless::PostKeyDown(display.Form, ui::Key::kOtherKey);
      headless::PostClick(display.Display);
      headless::PostMouseDown(display.Display, ui::kLeftButton, 3, 3);
      headless::PostMouseMove(display.Display, 10, 10);
      headless::PostMouseMove(display.Display, 40, 50);
    }
    if (pass == 100) {
      clears_before_resize = headless::SurfaceOf(display.Display).clears;
      cycle_before = display.CycleStartedAt;
      headless::ResizeForeignWindow(host_, ui::Rect{0, 0, 500, 400});
    }
    if (pass == 101) {
      width_after = display.Display.ScaleWidth();
      height_after = display.Display.ScaleHeight();
    }
    if (pass > 100 && restarted_at < 0 && display.CycleStartedAt != cycle_before) {
      restarted_at = headless::NowMs();
      pos_after_restart = display.PosX;
    }
    if (pass == 300) headless::RemoveForeignWindow(host_);
    if (pass > 400) throw headless::ProcessExit{9};
  });
  // The window going away ends the drawing loop: Form_Load returns.
  EXPECT_NO_THROW(display.Form_Load());
  EXPECT_EQ(width_before, 320);
  // The host's size comes from the form, which knows its host: the system is
  // not asked again.
  EXPECT_TRUE(headless::CallsStartingWith("GetWindowRect").empty());
  // The picture follows the new size at once ...
  EXPECT_EQ(width_after, 500);
  EXPECT_EQ(height_after, 400);
  // ... and a new cycle starts from the corner once the old one has had half a second.
  EXPECT_EQ(pos_after_restart, 14);
  EXPECT_GE(restarted_at, cycle_before + 500);
  EXPECT_LE(restarted_at, cycle_before + 500 + headless::config().wait_step_ms);
  EXPECT_GT(headless::SurfaceOf(display.Display).clears, clears_before_resize);
  EXPECT_GT(pass, 200);
  EXPECT_LT(pass, 400);
  EXPECT_TRUE(display.Restored);
}

}  // namespace
