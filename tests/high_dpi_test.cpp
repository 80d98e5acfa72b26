// Screens set above 1440 dpi, where a pixel is smaller than a twip: every
// window still gets its size in pixels and the display still draws.
#include "app/Tessellane_B.h"
#include "display/Tessellane_R.h"
#include "display/Tessellane_S.h"
#include "settings_dialog/Tessellane_P.h"
#include "tests/test_support.h"
#include "ui/backend.h"
#include "ui/common/twips.h"

namespace {

using testing_support::HeadlessTest;

TEST(TwipsPerPixelTest, FollowsTheDpiAndNeverFallsToZero) {
  EXPECT_EQ(ui::screen::TwipsPerPixelAt(96), 15);
  EXPECT_EQ(ui::screen::TwipsPerPixelAt(120), 12);
  EXPECT_EQ(ui::screen::TwipsPerPixelAt(144), 10);
  EXPECT_EQ(ui::screen::TwipsPerPixelAt(1440), 1);
  EXPECT_EQ(ui::screen::TwipsPerPixelAt(1441), 1);
  EXPECT_EQ(ui::screen::TwipsPerPixelAt(2000), 1);
  EXPECT_EQ(ui::screen::TwipsPerPixelAt(1 << 30), 1);
  // A screen that reports no dpi is taken as 96.
  EXPECT_EQ(ui::screen::TwipsPerPixelAt(0), 15);
  EXPECT_EQ(ui::screen::TwipsPerPixelAt(-5), 15);
}

class HighDpiTest : public HeadlessTest, public ::testing::WithParamInterface<int> {
 protected:
  HighDpiTest() { headless::config().dpi = GetParam(); }
};

TEST_P(HighDpiTest, ScreenMeasuresOneTwipPerPixel) {
  EXPECT_EQ(ui::screen::TwipsPerPixelX(), 1);
  EXPECT_EQ(ui::screen::TwipsPerPixelY(), 1);
  EXPECT_EQ(ui::screen::WidthTwips(), 1024);
  EXPECT_EQ(ui::screen::HeightTwips(), 768);
}

TEST_P(HighDpiTest, DisplayCoversTheScreenAndDrawsRings) {
  app::Tessellane_B module;
  module.CommandLine = "/s";
  module.StopTime = 0;
  display::Tessellane_S s(module);
  headless::SetIdleHook([&] {
    if (headless::SurfaceOf(s.Display).circles >= 200) s.StopLoop = true;
  });
  s.Form_Load();
  EXPECT_EQ(s.Form.Width(), 1024);
  EXPECT_EQ(s.Form.Height(), 768);
  EXPECT_EQ(s.Display.ScaleWidth(), 1024);
  EXPECT_EQ(s.Display.ScaleHeight(), 768);
  EXPECT_EQ(headless::StateOf(s.Form).bounds.right, 1024);
  EXPECT_EQ(headless::StateOf(s.Form).bounds.bottom, 768);
  EXPECT_GE(headless::SurfaceOf(s.Display).circles, 200);
}

TEST_P(HighDpiTest, PreviewFillsItsParentInPixels) {
  const auto parent = headless::AddForeignWindow("", ui::Rect{300, 200, 452, 312});
  app::Tessellane_B module;
  headless::config().command_line = "/p " + std::to_string(parent);
  module.Main();
  ASSERT_TRUE(module.Preview);
  EXPECT_EQ(module.Preview->Form.Width(), 152);
  EXPECT_EQ(module.Preview->Img_Prev.ScaleWidth(), 152);
  EXPECT_EQ(module.Preview->Img_Prev.ScaleHeight(), 112);
}

TEST_P(HighDpiTest, SettingsWindowKeepsItsPixelSize) {
  app::Tessellane_B module;
  module.LoadSettings();
  settings_dialog::Tessellane_P dialog(module);
  dialog.LoadAndShow();
  const auto& bounds = headless::StateOf(dialog.Form).bounds;
  EXPECT_EQ(bounds.right - bounds.left, 446);
  EXPECT_EQ(bounds.bottom - bounds.top, 477);
  EXPECT_EQ(dialog.Form.Width(), 446);
}

INSTANTIATE_TEST_SUITE_P(AboveOneTwipPerPixel, HighDpiTest, ::testing::Values(1441, 2000));

}  // namespace
