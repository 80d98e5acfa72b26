// The settings window's commands: what saving writes and in which order, the
// track box's conversions, the music kind and random-background toggles
// through their images and labels, the spinner, the colour and file dialogs,
// and cancelling.
#include "tests/settings_dialog_support.h"
#include "ui/backend.h"
#include "ui/headless/headless.h"

namespace {

using settings_dialog_testing::SettingsDialogTest;
using Entries = std::vector<std::pair<std::string, std::string>>;

TEST_F(SettingsDialogTest, SavingUnchangedRewritesAllSixKeysInOrderAndEnds) {
  // An existing file with the keys in another order and another section.
  testing_support::WriteIni(dir_, "BGMﾌｧｲﾙ=\r\n停止時間= 5\r\n[Other]\r\nkept=yes\r\n");
  auto& d = Open();
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  // One replacement of the whole file, with every key in it.
  EXPECT_EQ(FileReplacements(), std::vector<std::string>{"ReplaceFile(" + dir_.str() + "\\テセレーン.ini)"});
  EXPECT_EQ(IniEntries(), (Entries{{"BGMﾌｧｲﾙ", ""},
                                   {"停止時間", " 5"},
                                   {"背景色", " 0"},
                                   {"背景色ﾗﾝﾀﾞﾑ", " 1"},
                                   {"BGM区分", " 0"},
                                   {"BGMﾘﾋﾟｰﾄ", " 0"},
                                   {"kept", "yes"}}));
  EXPECT_NE(ui::Cp932ToUtf8(IniBytes()).find("BGMﾘﾋﾟｰﾄ= 0\r\n[Other]\r\nkept=yes\r\n"), std::string::npos);
  EXPECT_TRUE(headless::CallsStartingWith("ShowWarning").empty());
  // Saving closes the window the way every unload does, then ends the program.
  EXPECT_EQ(headless::CallsStartingWith("AnimateCaption").size(), 1u);
  EXPECT_EQ(headless::Calls().back(), "EndProcess(0)");
}

TEST_F(SettingsDialogTest, SavedFileIsCodePage932WithTheKeysInOrderAndReadsBack) {
  auto& d = Open();
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  EXPECT_EQ(IniEntries(), (Entries{{"停止時間", " 3"},
                                   {"背景色", " 0"},
                                   {"背景色ﾗﾝﾀﾞﾑ", " 1"},
                                   {"BGM区分", " 0"},
                                   {"BGMﾘﾋﾟｰﾄ", " 0"},
                                   {"BGMﾌｧｲﾙ", ""}}));
  // The key "停止時間" in code page 932.
  EXPECT_NE(IniBytes().find("\x92\xE2\x8E\x7E\x8E\x9E\x8A\xD4= 3"), std::string::npos);
}

TEST_F(SettingsDialogTest, TrackBoxTextIsReadAsANumberRoundedHalfToEvenElseZero) {
  const std::pair<const char*, const char*> cases[] = {
      {"", " 0"},
      {"7", " 7"},
      {"2.5", " 2"},
      {"3.5", " 4"},
      {" 12 ", " 12"},
      {"abc", " 0"},
      {"7x", " 0"},
      {"&H10", " 16"},
      {"-5", "-5"},
      {"100", " 100"},
      // Outside the 16-bit range: limited to the ends of the list, 0 and 30.
      {"40000", " 30"},
      {"-40000", " 0"},
      {"32767.4", " 32767"},
      {"32767.5", " 30"},
      {"1e300", " 30"},
  };
  for (const auto& [typed, written] : cases) {
    headless::Reset();
    headless::config().app_path = dir_.str();
    std::filesystem::remove(dir_.Ini());
    auto& d = Open();
    headless::PostTypeText(d.BGM_Repeat, typed);
    ui::DoEvents();
    EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); })) << typed;
    const Entries entries = IniEntries();
    ASSERT_EQ(entries.size(), 6u) << typed;
    EXPECT_EQ(entries[4].second, written) << "typed '" << typed << "'";
  }
}

TEST_F(SettingsDialogTest, MusicKindLabelClickEqualsItsMarkClick) {
  auto& d = Open();
  headless::PostClickOn(d.lbl_BGM(1));
  ui::DoEvents();
  EXPECT_EQ(module().BgmKind, 1);
  EXPECT_EQ(d.Img_BGM(1).GetPicture(), d.Img_Opt(1).GetPicture());
  EXPECT_EQ(d.Img_BGM(0).GetPicture(), d.Img_Opt(0).GetPicture());
  EXPECT_EQ(d.Img_BGM(2).GetPicture(), d.Img_Opt(0).GetPicture());

  headless::PostClickOn(d.Img_BGM(2));
  ui::DoEvents();
  EXPECT_EQ(module().BgmKind, 2);
  EXPECT_EQ(d.Img_BGM(2).GetPicture(), d.Img_Opt(1).GetPicture());
  EXPECT_EQ(d.Img_BGM(1).GetPicture(), d.Img_Opt(0).GetPicture());

  // A right click is no click.
  headless::PostClickOn(d.lbl_BGM(0), ui::kRightButton);
  ui::DoEvents();
  EXPECT_EQ(module().BgmKind, 2);

  // The kind is saved; the file chosen or not, it is not checked here.
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  EXPECT_EQ(IniValue("BGM区分"), " 2");
}

TEST_F(SettingsDialogTest, MusicKindFromAFileOutsideTheRangeIsReplacedByAClick) {
  auto& d = Open("BGM区分= 7\r\n");
  headless::PostClickOn(d.lbl_BGM(0));
  ui::DoEvents();
  EXPECT_EQ(module().BgmKind, 0);
  EXPECT_EQ(d.Img_BGM(0).GetPicture(), d.Img_Opt(1).GetPicture());
}

TEST_F(SettingsDialogTest, RandomToggleTwiceRestoresValueAndPicture) {
  auto& d = Open();
  ASSERT_EQ(module().RandomBackground, 1);
  headless::PostClickOn(d.lbl_B_Rdm);
  ui::DoEvents();
  EXPECT_EQ(module().RandomBackground, 0);
  EXPECT_EQ(d.Img_Rdm.GetPicture(), d.Img_Ra(0).GetPicture());
  headless::PostClickOn(d.Img_Rdm);
  ui::DoEvents();
  EXPECT_EQ(module().RandomBackground, 1);
  EXPECT_EQ(d.Img_Rdm.GetPicture(), d.Img_Ra(1).GetPicture());
  EXPECT_NE(d.Img_Ra(0).GetPicture(), d.Img_Ra(1).GetPicture());
}

TEST_F(SettingsDialogTest, RandomValueOutsideZeroAndOneBecomesOnWithItsMark) {
  auto& d = Open("背景色ﾗﾝﾀﾞﾑ= 2\r\n");
  d.Img_Rdm_Click();
  EXPECT_EQ(module().RandomBackground, 1);
  EXPECT_EQ(d.Img_Rdm.GetPicture(), d.Img_Ra(1).GetPicture());
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  EXPECT_EQ(IniValue("背景色ﾗﾝﾀﾞﾑ"), " 1");
}

TEST_F(SettingsDialogTest, SpinnerUpperArrowRaisesAndTheLabelFollowsWithinOneToTwenty) {
  auto& d = Open();
  headless::PostScrollArrow(d.VS_Time, -1);
  ui::DoEvents();
  EXPECT_EQ(d.VS_Time.Value(), 4);
  EXPECT_EQ(d.lbl_Stop_Time.Caption(), "4秒");
  for (int i = 0; i < 10; ++i) headless::PostScrollArrow(d.VS_Time, +1);
  ui::DoEvents();
  EXPECT_EQ(d.VS_Time.Value(), 1);
  EXPECT_EQ(d.lbl_Stop_Time.Caption(), "1秒");
  for (int i = 0; i < 25; ++i) headless::PostScrollArrow(d.VS_Time, -1);
  ui::DoEvents();
  EXPECT_EQ(d.lbl_Stop_Time.Caption(), "20秒");
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  EXPECT_EQ(IniValue("停止時間"), " 20");
}

TEST_F(SettingsDialogTest, StopTimeTheSpinnerCannotHoldIsSavedAsTheSpinnersValue) {
  auto& d = Open("停止時間= 99\r\n");
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  EXPECT_EQ(IniValue("停止時間"), " 20");
}

TEST_F(SettingsDialogTest, ColourDialogChangesOnlyTheSwatchUntilSaved) {
  auto& d = Open();
  headless::AnswerColourDialog(ui::Rgb(0x40, 0x80, 0xFF));
  d.Cmd_Color.Click();
  EXPECT_EQ(d.lbl_Color.BackColor(), ui::Rgb(0x40, 0x80, 0xFF));
  EXPECT_EQ(module().BackgroundColor, 0);
  EXPECT_FALSE(IniExists());

  const auto& calls = headless::ColourDialogCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].owner, d.Form.Handle());

  // Cancelled: nothing changes.
  headless::AnswerColourDialog(std::nullopt);
  d.Cmd_Color.Click();
  EXPECT_EQ(d.lbl_Color.BackColor(), ui::Rgb(0x40, 0x80, 0xFF));

  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  EXPECT_EQ(IniValue("背景色"), " " + std::to_string(ui::Rgb(0x40, 0x80, 0xFF)));
}

TEST_F(SettingsDialogTest, FileDialogIsAskedWithItsTitleAndFilterAndChangesOnlyTheFile) {
  auto& d = Open();
  headless::AnswerFileDialog("C:\\音楽\\曲.mp3");
  d.Cmd_BGM.Click();
  EXPECT_EQ(module().ApiResult, 1);
  EXPECT_EQ(module().BgmFile, "C:\\音楽\\曲.mp3");
  EXPECT_EQ(d.lbl_Fname.Caption(), "C:\\音楽\\曲.mp3");
  EXPECT_EQ(module().BgmKind, 0);

  const auto& calls = headless::FileDialogCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].title, "ﾌｧｲﾙを開く");
  EXPECT_EQ(calls[0].filter_description, "BGMﾌｧｲﾙ (MP3 WAV)");
  EXPECT_EQ(calls[0].patterns, "*.MP3;*.WAV");
  EXPECT_EQ(calls[0].owner, d.Form.Handle());

  // Cancelled: the previous file and its label stay.
  headless::AnswerFileDialog(std::nullopt);
  d.Cmd_BGM.Click();
  EXPECT_EQ(module().ApiResult, 0);
  EXPECT_EQ(module().BgmFile, "C:\\音楽\\曲.mp3");
  EXPECT_EQ(d.lbl_Fname.Caption(), "C:\\音楽\\曲.mp3");

  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  EXPECT_EQ(IniValue("BGMﾌｧｲﾙ"), "C:\\音楽\\曲.mp3");
}

// A name code page 932 cannot hold would be saved as another name: it is
// refused when chosen, with the reason, and the file chosen before stays.
TEST_F(SettingsDialogTest, AFileNameTheSettingsFileCannotHoldIsRefusedWithItsReason) {
  auto& d = Open();
  headless::AnswerFileDialog("C:\\音楽\\曲.mp3");
  d.Cmd_BGM.Click();
  headless::AnswerFileDialog("C:\\音楽\\¥100.mp3");
  d.Cmd_BGM.Click();
  const auto warnings = headless::CallsStartingWith("ShowWarning");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("記録できない文字"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[0].find("¥100.mp3"), std::string::npos) << warnings[0];
  EXPECT_EQ(module().BgmFile, "C:\\音楽\\曲.mp3");
  EXPECT_EQ(d.lbl_Fname.Caption(), "C:\\音楽\\曲.mp3");
}

TEST_F(SettingsDialogTest, ChoosingAFileThenCancellingWritesNothing) {
  testing_support::WriteIni(dir_, "停止時間= 4\r\n");
  const std::string before = IniBytes();
  auto& d = Open();
  headless::AnswerFileDialog("C:\\a.wav");
  d.Cmd_BGM.Click();
  headless::PostClickOn(d.lbl_BGM(2));
  headless::PostClickOn(d.lbl_B_Rdm);
  ui::DoEvents();
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_CAN.Click(); }));
  EXPECT_TRUE(FileReplacements().empty());
  EXPECT_EQ(IniBytes(), before);
  EXPECT_EQ(headless::CallsStartingWith("AnimateCaption").size(), 1u);
}

TEST_F(SettingsDialogTest, CancellingWithoutAFileCreatesNone) {
  auto& d = Open();
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_CAN.Click(); }));
  EXPECT_FALSE(IniExists());
}

TEST_F(SettingsDialogTest, EveryChangeTogetherIsSavedAndReadsBack) {
  auto& d = Open();
  headless::PostScrollArrow(d.VS_Time, -1);
  headless::PostScrollArrow(d.VS_Time, -1);
  headless::PostClickOn(d.lbl_B_Rdm);
  headless::PostClickOn(d.lbl_BGM(1));
  headless::PostTypeText(d.BGM_Repeat, "12");
  ui::DoEvents();
  headless::AnswerColourDialog(ui::Rgb(1, 2, 3));
  d.Cmd_Color.Click();
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  app::Tessellane_B reread;
  reread.LoadSettings();
  EXPECT_EQ(reread.StopTime, 5);
  EXPECT_EQ(reread.BackgroundColor, ui::Rgb(1, 2, 3));
  EXPECT_EQ(reread.RandomBackground, 0);
  EXPECT_EQ(reread.BgmKind, 1);
  EXPECT_EQ(reread.BgmRepeat, 12);
}

TEST_F(SettingsDialogTest, ButtonsAreInitialisedOnceAndCanBeSwitchedOffTogether) {
  auto& d = Open();
  d.InitialiseButtons(d, false, false);
  for (controls::Command* b : {&d.Cmd_CAN, &d.Cmd_Set, &d.Cmd_Color, &d.Cmd_BGM}) EXPECT_FALSE(b->Enabled());
  d.InitialiseButtons(d, false, true);
  for (controls::Command* b : {&d.Cmd_CAN, &d.Cmd_Set, &d.Cmd_Color, &d.Cmd_BGM}) EXPECT_TRUE(b->Enabled());
}

}  // namespace
