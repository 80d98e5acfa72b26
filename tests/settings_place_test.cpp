// Where the settings are kept: next to the program, or in the per-user copy
// the system uses for programs that may not write their own folder; a save
// that replaces the file in one step, and says so when it cannot.
#include "tests/settings_dialog_support.h"
#include "ui/backend.h"

namespace {

using settings_dialog_testing::SettingsDialogTest;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

TEST(SettingsPlaceTest, UserCopyMirrorsTheProgramFolderWithoutItsDrive) {
  headless::Reset();
  headless::config().local_app_data = "C:\\Users\\桜\\AppData\\Local";
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Program Files\\Tessellane", "C:\\Users\\桜\\AppData\\Local\\VirtualStore\\Program Files\\Tessellane"},
      {"C:\\Windows\\System32", "C:\\Users\\桜\\AppData\\Local\\VirtualStore\\Windows\\System32"},
      {"D:\\", "C:\\Users\\桜\\AppData\\Local\\VirtualStore"},
  };
  for (const auto& [program, user] : cases) {
    headless::config().app_path = program;
    EXPECT_EQ(app::Tessellane_B::UserSettingsPath(), std::string(user) + "\\テセレーン.ini") << program;
  }
  headless::config().local_app_data = "";
  EXPECT_EQ(app::Tessellane_B::UserSettingsPath(), "");
  headless::Reset();
}

class SettingsPlaceDialogTest : public SettingsDialogTest {
 protected:
  SettingsPlaceDialogTest() { headless::config().local_app_data = local_.str(); }
  // Where the per-user copy of this test's program folder lies on disk.
  std::filesystem::path UserIni() const {
    std::string path = app::Tessellane_B::UserSettingsPath();
    for (char& c : path)
      if (c == '\\') c = '/';
    return std::filesystem::path(reinterpret_cast<const char8_t*>(path.c_str()));
  }
  void WriteUserIni(const std::string& utf8_lines) {
    std::filesystem::create_directories(UserIni().parent_path());
    WriteBytes(UserIni(), ui::Utf8ToCp932("[Section]\r\n" + utf8_lines));
  }
  // Opens the dialog, sets the stop time, saves; true when the program ended.
  bool SaveWithStopTime(int seconds) {
    auto& d = Open();
    d.VS_Time.SetValue(seconds);
    return EndsProgram([&] { d.Cmd_Set.Click(); });
  }
  std::vector<std::string> Warnings() const { return headless::CallsStartingWith("ShowWarning"); }
  std::int16_t StopTimeOfNextStart() {
    app::Tessellane_B next;
    next.LoadSettings();
    return next.StopTime;
  }
  TempDir local_;
};

TEST_F(SettingsPlaceDialogTest, AWritableProgramFolderKeepsTheFileNextToTheProgram) {
  testing_support::WriteIni(dir_, "停止時間= 4\r\n");
  EXPECT_TRUE(SaveWithStopTime(9));
  EXPECT_EQ(IniValue("停止時間"), " 9");
  EXPECT_FALSE(std::filesystem::exists(UserIni()));
  EXPECT_TRUE(Warnings().empty());
  EXPECT_EQ(StopTimeOfNextStart(), 9);
}

TEST_F(SettingsPlaceDialogTest, AProgramFolderThatCannotBeWrittenGetsANewUserCopy) {
  testing_support::WriteIni(dir_, "停止時間= 4\r\n[Other]\r\nkept=1\r\n");
  const std::string program_bytes = IniBytes();
  headless::config().unwritable_folders = {dir_.str()};
  EXPECT_TRUE(SaveWithStopTime(12));
  EXPECT_EQ(IniBytes(), program_bytes);
  ASSERT_TRUE(std::filesystem::exists(UserIni()));
  const std::string user = ui::Cp932ToUtf8(ReadBytes(UserIni()));
  EXPECT_NE(user.find("停止時間= 12\r\n"), std::string::npos);
  EXPECT_NE(user.find("[Other]\r\nkept=1\r\n"), std::string::npos);  // the rest came along
  EXPECT_TRUE(Warnings().empty());
  // The next start reads the copy, not the file next to the program.
  EXPECT_EQ(StopTimeOfNextStart(), 12);
}

TEST_F(SettingsPlaceDialogTest, AnExistingUserCopyIsReadAndSavedEvenWhereTheProgramCouldWrite) {
  testing_support::WriteIni(dir_, "停止時間= 4\r\n");
  WriteUserIni("停止時間= 6\r\n");
  const std::string program_bytes = IniBytes();
  auto& d = Open();
  EXPECT_EQ(d.VS_Time.Value(), 6);
  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  EXPECT_EQ(IniBytes(), program_bytes);
  EXPECT_NE(ui::Cp932ToUtf8(ReadBytes(UserIni())).find("背景色ﾗﾝﾀﾞﾑ= 1"), std::string::npos);
}

// The user's copy is the file being saved: what else it holds stays, and
// nothing of the program folder's file comes into it.
TEST_F(SettingsPlaceDialogTest, ASaveIntoTheUserCopyKeepsItsOwnSections) {
  testing_support::WriteIni(dir_, "停止時間= 4\r\n[Program]\r\nonly_here=1\r\n");
  WriteUserIni("停止時間= 6\r\n[Mine]\r\nkept=桜\r\n");
  const std::string program_bytes = IniBytes();
  EXPECT_TRUE(SaveWithStopTime(11));
  const std::string user = ui::Cp932ToUtf8(ReadBytes(UserIni()));
  EXPECT_NE(user.find("停止時間= 11\r\n"), std::string::npos) << user;
  EXPECT_NE(user.find("[Mine]\r\nkept=桜\r\n"), std::string::npos) << user;
  EXPECT_EQ(user.find("[Program]"), std::string::npos) << user;
  EXPECT_EQ(IniBytes(), program_bytes);
  EXPECT_EQ(StopTimeOfNextStart(), 11);
}

TEST_F(SettingsPlaceDialogTest, AFailedSaveSaysWhereAndWhyAndDamagesNothing) {
  testing_support::WriteIni(dir_, "停止時間= 4\r\n");
  WriteUserIni("停止時間= 6\r\n");
  const std::string program_bytes = IniBytes(), user_bytes = ReadBytes(UserIni());
  headless::config().unwritable_folders = {local_.str()};
  EXPECT_TRUE(SaveWithStopTime(15));
  EXPECT_EQ(IniBytes(), program_bytes);
  EXPECT_EQ(ReadBytes(UserIni()), user_bytes);
  const auto warnings = Warnings();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("設定を保存できませんでした。"), std::string::npos);
  EXPECT_NE(warnings[0].find(app::Tessellane_B::UserSettingsPath()), std::string::npos);
  EXPECT_NE(warnings[0].find("Access is denied."), std::string::npos);
  // Shown before the window closes.
  const auto& calls = headless::Calls();
  EXPECT_LT(
      std::find(calls.begin(), calls.end(), warnings[0]),
      std::find_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("DrawAnimated", 0) == 0; }));
}

TEST_F(SettingsPlaceDialogTest, NeitherPlaceWritableReportsTheUserCopy) {
  headless::config().unwritable_folders = {dir_.str(), local_.str()};
  EXPECT_TRUE(SaveWithStopTime(15));
  EXPECT_FALSE(IniExists());
  EXPECT_FALSE(std::filesystem::exists(UserIni()));
  ASSERT_EQ(Warnings().size(), 1u);
  EXPECT_NE(Warnings()[0].find(app::Tessellane_B::UserSettingsPath()), std::string::npos);
}

TEST_F(SettingsPlaceDialogTest, ADiskThatFillsMidWriteLeavesTheOldFileWhole) {
  testing_support::WriteIni(dir_, "停止時間= 4\r\n");
  const std::string program_bytes = IniBytes();
  headless::config().local_app_data = "";
  headless::config().fail_replace_after_writing = true;
  EXPECT_TRUE(SaveWithStopTime(15));
  EXPECT_EQ(IniBytes(), program_bytes);
  // No half-written new file is left beside it either.
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
    EXPECT_EQ(entry.path().filename(), dir_.Ini().filename());
  ASSERT_EQ(Warnings().size(), 1u);
  EXPECT_NE(Warnings()[0].find(dir_.str() + "\\テセレーン.ini"), std::string::npos);
}

// A music file whose name code page 932 cannot hold could not be found again
// through the settings file: the choice is refused and nothing changes.
TEST_F(SettingsDialogTest, AMusicFileNameTheSettingsFileCannotHoldIsRefused) {
  auto& d = Open();
  for (const char* name : {"C:\\Musique\\été.mp3", "C:\\音楽\\🎵.mp3", "C:\\music\\한국.wav"}) {
    headless::AnswerFileDialog(std::string(name));
    d.Cmd_BGM.Click();
    EXPECT_EQ(module().BgmFile, "") << name;
    EXPECT_EQ(d.lbl_Fname.Caption(), "") << name;
  }
  const auto warnings = headless::CallsStartingWith("ShowWarning");
  ASSERT_EQ(warnings.size(), 3u);
  EXPECT_NE(warnings[0].find("été.mp3"), std::string::npos);
  // Japanese names, half-width katakana included, are fine.
  headless::AnswerFileDialog(std::string("C:\\音楽\\ﾃｽﾄ 曲.mp3"));
  d.Cmd_BGM.Click();
  EXPECT_EQ(module().BgmFile, "C:\\音楽\\ﾃｽﾄ 曲.mp3");
  EXPECT_EQ(headless::CallsStartingWith("ShowWarning").size(), 3u);
}

// The music's command text cannot carry a quote: such a name would never play.
TEST_F(SettingsDialogTest, AMusicFileNameWithAQuoteIsRefused) {
  auto& d = Open();
  const std::string before = "C:\\音楽\\曲.mp3";
  headless::AnswerFileDialog(before);
  d.Cmd_BGM.Click();
  headless::AnswerFileDialog(std::string("C:\\音楽\\\"引用\" の曲.mp3"));
  d.Cmd_BGM.Click();
  EXPECT_EQ(module().BgmFile, before);
  EXPECT_EQ(d.lbl_Fname.Caption(), before);
  const auto warnings = headless::CallsStartingWith("ShowWarning");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("「\"」が含まれている"), std::string::npos);
}

// A path of exactly `bytes` bytes of code page 932 below `folder`: folders
// of kanji (two bytes each), then a file name.
std::string LongJapanesePath(const std::string& folder, std::size_t bytes) {
  const std::string extension = ".mp3";
  std::string path = folder + "\\楽曲";
  std::size_t size = ui::Utf8ToCp932(path).size() + extension.size();
  for (int in_folder = 0; size + 2 <= bytes; ++in_folder) {
    if (in_folder == 40 && size + 3 <= bytes) {
      path += "\\";
      ++size;
      in_folder = 0;
    }
    path += "曲";
    size += 2;
  }
  if (size < bytes) path += "a";
  return path + extension;
}

// Makes the file a path names, with its folders.
void CreateFileAt(const std::string& path) {
  std::string host = path;
  for (char& c : host)
    if (c == '\\') c = '/';
  const std::filesystem::path file(reinterpret_cast<const char8_t*>(host.c_str()));
  std::filesystem::create_directories(file.parent_path());
  WriteBytes(file, "ID3");
}

// The settings file gives back at most 255 bytes of a value: the longest path
// that fits is kept whole, and the music kind with it, at the next start; one
// byte more would come back cut, and is refused like a name code page 932
// cannot hold.
TEST_F(SettingsDialogTest, AMusicPathLongerThanTheSettingsFileReadsBackIsRefused) {
  const std::string longest = LongJapanesePath(dir_.str(), 255);
  const std::string too_long = LongJapanesePath(dir_.str(), 256);
  ASSERT_EQ(ui::Utf8ToCp932(longest).size(), 255u);
  ASSERT_EQ(ui::Utf8ToCp932(too_long).size(), 256u);
  ASSERT_GT(too_long.size(), 280u);  // well past the limit in UTF-8 bytes
  CreateFileAt(longest);
  CreateFileAt(too_long);

  auto& d = Open();
  headless::PostClickOn(d.lbl_BGM(2));
  ui::DoEvents();
  const std::string before = "C:\\音楽\\曲.mp3";
  headless::AnswerFileDialog(before);
  d.Cmd_BGM.Click();
  headless::AnswerFileDialog(too_long);
  d.Cmd_BGM.Click();
  EXPECT_EQ(module().BgmFile, before);
  EXPECT_EQ(d.lbl_Fname.Caption(), before);
  auto warnings = headless::CallsStartingWith("ShowWarning");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("長すぎて"), std::string::npos);
  EXPECT_NE(warnings[0].find(too_long), std::string::npos);

  headless::AnswerFileDialog(longest);
  d.Cmd_BGM.Click();
  EXPECT_EQ(module().BgmFile, longest);
  EXPECT_EQ(d.lbl_Fname.Caption(), longest);
  EXPECT_EQ(headless::CallsStartingWith("ShowWarning").size(), 1u);

  EXPECT_TRUE(EndsProgram([&] { d.Cmd_Set.Click(); }));
  app::Tessellane_B next;
  next.LoadSettings();
  EXPECT_EQ(next.BgmFile, longest);
  EXPECT_EQ(next.BgmKind, 2);
}

}  // namespace
