// The settings window's own chrome: dragging by the title strip, the close
// button, and the link.
#include "tests/settings_dialog_support.h"
#include "ui/backend.h"
#include "ui/headless/headless.h"

namespace {

using settings_dialog_testing::SettingsDialogTest;

TEST_F(SettingsDialogTest, DraggingTheTitleStripMovesTheWindowWithTheGrabbedPointUnderTheCursor) {
  auto& d = Open();
  ASSERT_EQ(d.Form.Left(), 4335);
  headless::config().cursor = {300, 120};
  headless::PostMouseDownOn(d.Image1, ui::kLeftButton, 200, 10);
  ui::DoEvents();
  EXPECT_EQ(d.Dragging, 1);
  EXPECT_EQ(d.DragOffsetX, 165);
  EXPECT_EQ(d.DragOffsetY, 120 * 15 - 1455);

  headless::config().cursor = {400, 150};
  // Far outside the strip: the capture still brings the moves to it.
  headless::PostMouseMove(d.Surface.Box(), 250, 300, ui::kLeftButton);
  ui::DoEvents();
  EXPECT_EQ(d.Form.Left(), 5835);
  EXPECT_EQ(d.Form.Top(), 150 * 15 - 345);
  EXPECT_EQ(headless::StateOf(d.Form).bounds.left, 389);
  EXPECT_EQ(headless::StateOf(d.Form).bounds.top, 127);

  headless::PostMouseUp(d.Surface.Box(), ui::kLeftButton, 250, 300);
  ui::DoEvents();
  EXPECT_EQ(d.Dragging, 0);
  headless::config().cursor = {10, 10};
  headless::PostMouseMoveOn(d.Image1, 0, 5, 5);
  ui::DoEvents();
  EXPECT_EQ(d.Form.Left(), 5835);
}

TEST_F(SettingsDialogTest, TheTitleTextOverTheStripDragsToo) {
  auto& d = Open();
  headless::config().cursor = {320, 104};
  headless::PostMouseDownOn(d.lbl(2), ui::kLeftButton, 3, 3);
  ui::DoEvents();
  EXPECT_EQ(d.Dragging, 1);
}

TEST_F(SettingsDialogTest, RightOrMiddleButtonDoesNotDragButItsReleaseEndsADrag) {
  auto& d = Open();
  headless::config().cursor = {300, 120};
  for (int button : {ui::kRightButton, ui::kMiddleButton}) {
    headless::PostMouseDownOn(d.Image1, button, 50, 5);
    headless::config().cursor = {400, 200};
    headless::PostMouseMoveOn(d.Image1, button, 60, 5);
    ui::DoEvents();
    EXPECT_EQ(d.Dragging, 0);
    EXPECT_EQ(d.Form.Left(), 4335);
    headless::PostMouseUpOn(d.Image1, button, 60, 5);
    ui::DoEvents();
  }
  d.Dragging = 1;
  headless::PostMouseUpOn(d.Image1, ui::kRightButton, 60, 5);
  ui::DoEvents();
  EXPECT_EQ(d.Dragging, 0);
}

TEST_F(SettingsDialogTest, OffsetThatDoesNotFitSixteenBitsKeepsThePreviousOne) {
  auto& d = Open();
  d.DragOffsetX = 7;
  headless::config().cursor = {3000, 120};  // 45000 - 4335 does not fit
  d.Image1_MouseDown(ui::kLeftButton, 0, 0, 0);
  EXPECT_EQ(d.DragOffsetX, 7);
  EXPECT_EQ(d.DragOffsetY, 345);
}

TEST_F(SettingsDialogTest, CloseButtonShowsItsPressedPictureAndClosesOnReleaseAnywhere) {
  auto& d = Open();
  ASSERT_EQ(d.ImgExit.GetPicture(), d.imgImages(0).GetPicture());
  headless::PostMouseDownOn(d.ImgExit, ui::kLeftButton, 7, 7);
  ui::DoEvents();
  EXPECT_EQ(d.ImgExit.GetPicture(), d.imgImages(1).GetPicture());
  EXPECT_NE(d.imgImages(0).GetPicture(), d.imgImages(1).GetPicture());
  EXPECT_TRUE(headless::StateOf(d.Form).visible);
  // Released far from the button, over the animation.
  headless::PostMouseUp(d.Surface.Box(), ui::kLeftButton, 100, 150);
  EXPECT_TRUE(DeliverEndsProgram());
  EXPECT_EQ(d.ImgExit.GetPicture(), d.imgImages(0).GetPicture());
  EXPECT_TRUE(FileReplacements().empty());
  EXPECT_EQ(headless::CallsStartingWith("AnimateCaption").size(), 1u);
  EXPECT_TRUE(headless::StateOf(d.Form).destroyed);
}

TEST_F(SettingsDialogTest, LinkOpensTheHomePageWithAnyButtonUnderTheHourglass) {
  auto& d = Open();
  int pointer_during = -1;
  headless::SetOpenDocumentHook([&] { pointer_during = ui::screen::MousePointer(); });
  for (int button : {ui::kLeftButton, ui::kRightButton, ui::kMiddleButton}) {
    headless::ClearCalls();
    pointer_during = -1;
    headless::PostMouseDownOn(d.lbl_URL, button, 4, 4);
    headless::PostMouseUpOn(d.lbl_URL, button, 4, 4);
    ui::DoEvents();
    EXPECT_EQ(headless::CallsStartingWith("OpenDocument"),
              std::vector<std::string>{"OpenDocument(" + std::string(settings_dialog::kHomePageUrl) + ",pointer=11)"})
        << button;
    EXPECT_EQ(pointer_during, 11);
    EXPECT_EQ(ui::screen::MousePointer(), 0);
  }
}

TEST_F(SettingsDialogTest, CloseButtonAndLinkCarryTheCustomCursor) {
  auto& d = Open();
  ASSERT_FALSE(d.CustomCursor.Empty());
  EXPECT_EQ(d.CustomCursor.width, 32);
  EXPECT_EQ(d.CustomCursor.height, 32);
  EXPECT_EQ(d.CustomCursor.hot_x, 12);
  EXPECT_EQ(d.CustomCursor.hot_y, 10);
  EXPECT_EQ(d.ImgExit.MouseIcon, &d.CustomCursor);
  EXPECT_EQ(d.lbl_URL.MouseIcon, &d.CustomCursor);
  EXPECT_EQ(d.Image1.MouseIcon, nullptr);
}

TEST(SkinImages, HaveTheirDesignedSizes) {
  const std::pair<const char*, std::pair<int, int>> sizes[] = {
      {"dialog_title.jpg", {500, 22}},    {"dialog_exit.jpg", {15, 15}},         {"dialog_exit_pressed.jpg", {16, 15}},
      {"dialog_option_on.jpg", {13, 13}}, {"dialog_option_off.jpg", {13, 13}},   {"dialog_check_on.jpg", {12, 12}},
      {"dialog_check_off.jpg", {12, 12}}, {"dialog_panel_strip.bmp", {579, 21}},
  };
  for (const auto& [name, size] : sizes) {
    const ui::Picture& p = ui::EmbeddedPicture(name);
    EXPECT_EQ(p.width, size.first) << name;
    EXPECT_EQ(p.height, size.second) << name;
  }
  // The strip is a 24-bit BMP.
  const auto strip = ui::EmbeddedAsset("dialog_panel_strip.bmp");
  ASSERT_GT(strip.size(), 30u);
  EXPECT_EQ(strip[28] | (strip[29] << 8), 24);
}

// A release the window never sees (the left button let go outside it after
// a right click in between) must not keep a control holding the mouse.
TEST_F(SettingsDialogTest, ALostReleaseLeavesNoControlHoldingTheMouse) {
  auto& d = Open("背景色ﾗﾝﾀﾞﾑ=0\r\n");
  headless::PostMouseDownOn(d.Image1, ui::kLeftButton, 50, 5);
  headless::PostClickOn(d.Image1, ui::kRightButton);
  headless::PostClickOn(d.Img_Rdm);
  ui::DoEvents();
  EXPECT_EQ(module().RandomBackground, 1);
  EXPECT_EQ(d.Dragging, 0);  // the press went to the mark, not the strip

  // The system taking the mouse away from a pressed close button frees it:
  // the next release elsewhere does not close the window.
  auto& e = Open("背景色ﾗﾝﾀﾞﾑ=0\r\n");
  headless::PostMouseDownOn(e.ImgExit, ui::kLeftButton, 7, 7);
  headless::PostCaptureLost(e.Surface.Box());
  headless::PostMouseDownOn(e.Img_Rdm, ui::kRightButton, 3, 3);
  headless::PostMouseUpOn(e.Img_Rdm, ui::kRightButton, 3, 3);
  EXPECT_FALSE(DeliverEndsProgram());
  headless::PostClickOn(e.Img_Rdm);
  EXPECT_FALSE(DeliverEndsProgram());
  EXPECT_EQ(module().RandomBackground, 1);
}

}  // namespace
