// The settings window when it opens: the settings shown in the controls,
// the placement, the zoom from the cursor, the gradient and the tiled panel,
// and settings a hand-edited file can hold.
#include <cmath>
#include <filesystem>
#include <set>

#include "settings_dialog/Tessellane_P_Layout.h"
#include "tests/settings_dialog_support.h"
#include "ui/headless/headless.h"

namespace {

using settings_dialog_testing::SettingsDialogTest;

bool Shows(ui::Image& image, ui::Image& store) {
  return image.GetPicture() && !image.GetPicture()->Empty() && image.GetPicture() == store.GetPicture();
}

TEST_F(SettingsDialogTest, DefaultSettingsAreShown) {
  auto& d = Open();
  EXPECT_EQ(d.lbl_Stop_Time.Caption(), "3秒");
  EXPECT_EQ(d.VS_Time.Value(), 3);
  EXPECT_EQ(d.lbl_Color.BackColor(), 0);
  EXPECT_TRUE(Shows(d.Img_Rdm, d.Img_Ra(1)));
  EXPECT_TRUE(Shows(d.Img_BGM(0), d.Img_Opt(1)));
  EXPECT_TRUE(Shows(d.Img_BGM(1), d.Img_Opt(0)));
  EXPECT_TRUE(Shows(d.Img_BGM(2), d.Img_Opt(0)));
  EXPECT_EQ(d.BGM_Repeat.Text(), "");
  ASSERT_EQ(d.BGM_Repeat.List().size(), 31u);
  EXPECT_EQ(d.BGM_Repeat.List().front(), "");
  EXPECT_EQ(d.BGM_Repeat.List()[7], "7");
  EXPECT_EQ(d.BGM_Repeat.List().back(), "30");
  EXPECT_EQ(d.lbl_Fname.Caption(), "");
  EXPECT_EQ(d.Cmd_CAN.Caption(), "ｷｬﾝｾﾙ");
  EXPECT_EQ(d.Cmd_Set.Caption(), "設定");
  EXPECT_EQ(d.Cmd_Color.Caption(), "...");
  EXPECT_EQ(d.Cmd_BGM.Caption(), "...");
  for (controls::Command* b : {&d.Cmd_CAN, &d.Cmd_Set, &d.Cmd_Color, &d.Cmd_BGM}) {
    EXPECT_EQ(b->Font().Name, "ＭＳ Ｐゴシック");
    EXPECT_DOUBLE_EQ(b->Font().Size, 9.75);
  }
  EXPECT_EQ(d.lbl_URL.Caption(), settings_dialog::kHomePageUrl);
  const auto& window = headless::StateOf(d.Form);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.caption, "テセレーンの設定");
  EXPECT_EQ(d.Dragging, 0);
}

TEST_F(SettingsDialogTest, EditedSettingsAreShown) {
  const auto music = dir_.path() / "music.mp3";
  testing_support::WriteBytes(music, "ID3");
  auto& d =
      Open("停止時間= 12\r\n背景色= 255\r\n背景色ﾗﾝﾀﾞﾑ= 0\r\nBGM区分= 1\r\nBGMﾘﾋﾟｰﾄ= 7\r\nBGMﾌｧｲﾙ=" + music.string() +
           "\r\n");
  EXPECT_EQ(d.lbl_Stop_Time.Caption(), "12秒");
  EXPECT_EQ(d.VS_Time.Value(), 12);
  EXPECT_EQ(d.lbl_Color.BackColor(), ui::Rgb(255, 0, 0));
  EXPECT_TRUE(Shows(d.Img_Rdm, d.Img_Ra(0)));
  EXPECT_TRUE(Shows(d.Img_BGM(1), d.Img_Opt(1)));
  EXPECT_TRUE(Shows(d.Img_BGM(0), d.Img_Opt(0)));
  EXPECT_TRUE(Shows(d.Img_BGM(2), d.Img_Opt(0)));
  EXPECT_EQ(d.BGM_Repeat.Text(), "7");
  EXPECT_EQ(d.lbl_Fname.Caption(), music.string());
}

TEST_F(SettingsDialogTest, WindowIsCentredAcrossAndAThirdDown) {
  auto& d = Open();
  EXPECT_EQ(d.Form.Width(), 446 * 15);
  EXPECT_EQ(d.Form.Height(), 477 * 15);
  EXPECT_EQ(d.Form.Left(), 4335);
  EXPECT_EQ(d.Form.Top(), 1455);
  const auto& bounds = headless::StateOf(d.Form).bounds;
  EXPECT_EQ(bounds.left, 289);
  EXPECT_EQ(bounds.top, 97);
  EXPECT_EQ(bounds.right - bounds.left, 446);
  EXPECT_EQ(bounds.bottom - bounds.top, 477);
}

TEST_F(SettingsDialogTest, WindowTallerThanTheScreenGetsANegativeTopTruncatedTowardZero) {
  // At 16 twips per pixel: (301 - 477) * 16 / 3 = -938.67, which truncates to -938 (floor would give -939).
  headless::config().twips_per_pixel = 16;
  headless::config().screen_height_px = 301;
  auto& d = Open();
  EXPECT_EQ(d.Form.Top(), -938);
  EXPECT_EQ(d.Form.Left(), (1024 * 16 - 446 * 16) / 2);
}

TEST_F(SettingsDialogTest, ZoomsOpenFromTheCursorOrFromTheCornerWhenItIsUnknown) {
  headless::config().cursor = {500, 400};
  Open();
  EXPECT_EQ(module().ZoomOriginX, 500);
  EXPECT_EQ(module().ZoomOriginY, 400);

  headless::Reset();
  headless::config().app_path = dir_.str();
  headless::config().cursor_known = false;
  headless::SetIdleHook({});
  module_ = std::make_unique<app::Tessellane_B>();
  module_->ZoomOriginX = 77;
  dialog_ = std::make_unique<settings_dialog::Tessellane_P>(*module_);
  dialog_->LoadAndShow();
  EXPECT_EQ(headless::CallsStartingWith("AnimateCaption"),
            std::vector<std::string>{"AnimateCaption(0,0,0,0->289,97,735,574)"});
}

TEST_F(SettingsDialogTest, ACursorBeyondSixteenBitsOnOneAxisKeepsTheOther) {
  // A monitor far to the right: x does not fit, y is still taken.
  headless::config().cursor = {40000, 400};
  Open();
  EXPECT_EQ(module().ZoomOriginX, 0);
  EXPECT_EQ(module().ZoomOriginY, 400);
}

TEST_F(SettingsDialogTest, ClosingZoomsBackToTheCursorAndEndsTheProgram) {
  headless::config().cursor = {500, 400};
  auto& d = Open();
  EXPECT_TRUE(EndsProgram([&] { d.Form.Unload(); }));
  EXPECT_EQ(headless::CallsStartingWith("AnimateCaption"),
            std::vector<std::string>{"AnimateCaption(289,97,735,574->500,400,500,400)"});
  EXPECT_TRUE(headless::StateOf(d.Form).destroyed);
  EXPECT_FALSE(d.DisplayPixels.Attached());
}

TEST_F(SettingsDialogTest, GradientHasOneLinePerRowBothEndsIncludedDarkBlueAtTopAndBottom) {
  auto& d = Open();
  const ui::Picture& surface = d.Surface.PersistentImage();
  ASSERT_EQ(surface.height, 477);
  // Rows 0 to H: H + 1 lines, the last one below the client area.
  EXPECT_EQ(d.Surface.LineCount(), 478);
  for (int x : {0, 200, 445}) {
    EXPECT_EQ(surface.At(x, 0), ui::Rgb(0, 0, 30));
    EXPECT_EQ(surface.At(x, 1), ui::Rgb(1, 1, 31));
    EXPECT_EQ(surface.At(x, 100), ui::Rgb(135, 135, 165));
    EXPECT_EQ(surface.At(x, 238), ui::Rgb(220, 220, 250));
    EXPECT_EQ(surface.At(x, 476), ui::Rgb(1, 1, 31));
  }
  // The composed window shows the gradient where no control lies.
  const auto& shown = headless::SurfaceOf(d.Surface.Box());
  EXPECT_EQ(shown.At(5, 300), surface.At(5, 300));
}

TEST_F(SettingsDialogTest, PanelIsTiledWithTheStripRowAfterRow) {
  auto& d = Open();
  const ui::Picture& strip = d.Pic_Mbl.PersistentImage();
  ASSERT_EQ(strip.width, 579);
  ASSERT_EQ(strip.height, 21);
  const ui::Picture& panel = d.Pic_1.PersistentImage();
  ASSERT_GT(panel.height, 126);
  long mismatches = 0;
  for (int y = 0; y < panel.height; ++y)
    for (int x = 0; x < panel.width; ++x) mismatches += panel.At(x, y) != strip.At(x, y % 21);
  EXPECT_EQ(mismatches, 0);
  // The strip has stripes: row 0 and row 20 differ, so the row phase is really tested.
  EXPECT_NE(strip.At(10, 0), strip.At(10, 20));
}

TEST_F(SettingsDialogTest, SettingsOutsideTheControlsRangesOpenTheWindowAndShowWhatTheyCan) {
  auto& d = Open("停止時間= 99\r\n背景色ﾗﾝﾀﾞﾑ= 2\r\nBGM区分= 7\r\n");
  EXPECT_EQ(d.lbl_Stop_Time.Caption(), "99秒");
  EXPECT_EQ(d.VS_Time.Value(), 20);
  EXPECT_EQ(d.Img_Rdm.GetPicture(), nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Shows(d.Img_BGM(i), d.Img_Opt(0))) << i;
  EXPECT_TRUE(headless::StateOf(d.Form).visible);

  headless::Reset();
  headless::config().app_path = dir_.str();
  auto& zero = Open("停止時間= 0\r\n");
  EXPECT_EQ(zero.lbl_Stop_Time.Caption(), "0秒");
  EXPECT_EQ(zero.VS_Time.Value(), 20);
}

TEST_F(SettingsDialogTest, LongestReadablePathIsShownAndSavedUnchanged) {
  // The reader returns at most 255 bytes: a path of exactly 255 bytes survives.
  std::string path = dir_.str() + "/";
  path += std::string(255 - path.size() - 4, 'a') + ".mp3";
  ASSERT_EQ(path.size(), 255u);
  ASSERT_LE(255 - dir_.str().size(), 255u);
  testing_support::WriteBytes(std::filesystem::path(path), "RIFF");
  auto& d = Open("BGM区分= 2\r\nBGMﾌｧｲﾙ=" + path + "\r\n");
  EXPECT_EQ(module().BgmKind, 2);
  EXPECT_EQ(d.lbl_Fname.Caption(), path);
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  app::Tessellane_B reread;
  reread.LoadSettings();
  EXPECT_EQ(reread.BgmFile, path);
  EXPECT_EQ(reread.BgmKind, 2);
}

TEST_F(SettingsDialogTest, PathWithBytesThatAreNotCodePage932OpensAndSavesWhatWasLoaded) {
  // 0x81 followed by a blank is no valid double-byte character.
  testing_support::WriteBytes(dir_.Ini(),
                              "[Section]\r\nBGM\x8B\xE6\x95\xAA= 2\r\nBGM\xCC\xA7\xB2\xD9=C:\\\x81 x.mp3\r\n");
  auto& d = Open();
  EXPECT_TRUE(headless::StateOf(d.Form).visible);
  // Such a file cannot be found: the loader drops it and the music with it.
  EXPECT_EQ(d.lbl_Fname.Caption(), module().BgmFile);
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  EXPECT_EQ(IniEntries().size(), 6u);
  EXPECT_EQ(IniValue("BGM区分"), " 0");
  EXPECT_EQ(IniValue("BGMﾌｧｲﾙ"), module().BgmFile);
}

TEST_F(SettingsDialogTest, LayoutTableHoldsEveryControlOnceInsideItsContainerOrInTheImageStore) {
  std::set<std::pair<std::string, int>> seen;
  for (const auto& row : settings_dialog::Layout()) {
    EXPECT_TRUE(seen.insert({std::string(row.name), row.index}).second) << row.name << row.index;
    EXPECT_GT(row.width, 0);
    EXPECT_GT(row.height, 0);
  }
  EXPECT_EQ(seen.size(), 37u);
  auto& d = Open();
  // Every control placed from the table is where the table says.
  for (ui::Windowless* c : {static_cast<ui::Windowless*>(&d.lbl_Fname), static_cast<ui::Windowless*>(&d.Img_BGM(2)),
                            static_cast<ui::Windowless*>(&d.Shape(6))}) {
    const auto& row = settings_dialog::LayoutOf(d, c);
    EXPECT_EQ(c->Left(), row.x) << c->Name;
    EXPECT_EQ(c->Top(), row.y) << c->Name;
    EXPECT_EQ(&c->Container(), row.where == settings_dialog::Container::Panel ? &d.Pic_1 : &d.Surface);
  }
}

}  // namespace
