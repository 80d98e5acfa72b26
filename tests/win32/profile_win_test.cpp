// The Win32 backend against the real system: the profile functions with code
// page 932 keys, and the byte-level INI reader of the other backends checked
// against what the system's own reader gives for the same files.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "app/Tessellane_B.h"
#include "app/ini_profile.h"
#include "ui/backend.h"
#include "ui/codepage.h"
#include "ui/win32/text_win.h"

namespace {

std::filesystem::path TempDir() {
  std::random_device rd;
  auto p = std::filesystem::temp_directory_path() / ("tess-w32-" + std::to_string(rd()));
  std::filesystem::create_directories(p);
  return p;
}

std::string Utf8(const std::filesystem::path& p) {
  const auto s = p.u8string();
  return std::string(s.begin(), s.end());
}

std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class ProfileWin : public ::testing::Test {
 protected:
  ProfileWin() : dir_(TempDir()), ini_(dir_ / std::filesystem::path(u8"テセレーン.ini")) {}
  ~ProfileWin() override { std::filesystem::remove_all(dir_); }
  std::string File() const { return Utf8(ini_); }
  std::filesystem::path dir_;
  std::filesystem::path ini_;
};

TEST_F(ProfileWin, SystemCodePageIs932) { EXPECT_EQ(GetACP(), 932u); }

TEST_F(ProfileWin, WrittenKeysAreCodePage932BytesAndReadBack) {
  std::string written;
  app::Tessellane_B::WriteIniString("Section", "背景色ﾗﾝﾀﾞﾑ", " 1", written);
  app::Tessellane_B::WriteIniString("Section", "BGMﾌｧｲﾙ", "C:\\音楽 フォルダ\\曲.mp3", written);
  std::string reason;
  ASSERT_TRUE(ui::files::Replace(File(), written, reason)) << reason;
  const std::string bytes = ReadBytes(ini_);
  EXPECT_NE(bytes.find("\x94\x77\x8C\x69\x90\x46\xD7\xDD\xC0\xDE\xD1="), std::string::npos);
  EXPECT_EQ(app::Tessellane_B::ReadIniString("Section", "背景色ﾗﾝﾀﾞﾑ", File()), "1");
  EXPECT_EQ(app::Tessellane_B::ReadIniString("Section", "BGMﾌｧｲﾙ", File()), "C:\\音楽 フォルダ\\曲.mp3");
}

TEST_F(ProfileWin, LoadSettingsFindsTheFileNextToTheProgram) {
  EXPECT_FALSE(ui::sys::AppPath().empty());
  EXPECT_NE(ui::sys::AppPath().back(), '\\');
}

TEST_F(ProfileWin, DirectoriesAndMissingFilesCannotBeOpened) {
  EXPECT_FALSE(app::Tessellane_B::FileExists(Utf8(dir_)));
  EXPECT_FALSE(app::Tessellane_B::FileExists(Utf8(dir_) + "\\"));
  EXPECT_FALSE(app::Tessellane_B::FileExists(Utf8(dir_ / "none.mp3")));
  std::ofstream(dir_ / std::filesystem::path(u8"曲 1.mp3")) << "x";
  EXPECT_TRUE(app::Tessellane_B::FileExists(Utf8(dir_ / std::filesystem::path(u8"曲 1.mp3"))));
}

// The reader used where there are no profile functions must give what they give.
TEST_F(ProfileWin, ByteLevelReaderAgreesWithTheSystem) {
  const std::string files[] = {
      "[Section]\r\nkey= 3 \r\nKEY=4\r\n",
      "[section]\r\n  key  =  \"quoted\"  \r\n",
      "garbage\r\n[Section]\r\nnoequals\r\nkey=\r\nkey=later\r\n",
      "[Section]\nkey=lf only\n[Other]\nkey=other\n",
      "[Other]\r\nkey=1\r\n[Section]\r\nkey=2\r\n[Section]\r\nkey=3\r\n",
      "[Section]\r\nkey='single'\r\n",
      "[Section]\r\nkey=" + std::string(300, 'v') + "\r\n",
      "[Section]\r\n\x94\x77\x8C\x69\x90\x46=\x83\x5C\x83\x74\x83\x67\r\n",
      "[Section]\r\n;key=comment\r\nkey=value ; not a comment\r\n",
  };
  const std::string keys[] = {"key", "\x94\x77\x8C\x69\x90\x46", "missing"};
  for (const std::string& bytes : files) {
    std::ofstream(ini_, std::ios::binary | std::ios::trunc) << bytes;
    for (const std::string& key : keys) {
      char buffer[256] = {};
      GetPrivateProfileStringA("Section", key.c_str(), "", buffer, sizeof buffer,
                               ui::win32::ToAnsi(Utf8(ini_)).c_str());
      EXPECT_EQ(app::ini::GetString(bytes, "Section", key, "", 256), std::string(buffer)) << bytes << " / " << key;
    }
  }
}

// The system's own profile writer, given the same file, finds what ours wrote.
TEST_F(ProfileWin, TheSystemReadsWhatTheProgramWrote) {
  std::string bytes = "[Other]\r\nx=1\r\n";
  app::Tessellane_B::WriteIniString("Section", "停止時間", " 7", bytes);
  std::string reason;
  ASSERT_TRUE(ui::files::Replace(File(), bytes, reason)) << reason;
  char buffer[256] = {};
  GetPrivateProfileStringA("Section", "\x92\xE2\x8E\x7E\x8E\x9E\x8A\xD4", "", buffer, sizeof buffer,
                           ui::win32::ToAnsi(File()).c_str());
  EXPECT_STREQ(buffer, "7");
}

// A replacement leaves no file of its own behind, and a file that cannot be
// written keeps its bytes.
TEST_F(ProfileWin, ReplaceLeavesTheOldFileWhenItCannotWrite) {
  std::string reason;
  ASSERT_TRUE(ui::files::Replace(File(), "old", reason));
  ASSERT_TRUE(ui::files::Replace(File(), "new", reason));
  EXPECT_EQ(ReadBytes(ini_), "new");
  EXPECT_FALSE(std::filesystem::exists(dir_ / std::filesystem::path(u8"テセレーン.ini.new")));
  // A folder that does not exist: nothing to write into.
  EXPECT_FALSE(ui::files::Replace(Utf8(dir_ / "none" / "x.ini"), "x", reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_TRUE(ui::files::CreateFolders(Utf8(dir_ / "a" / "b"), reason)) << reason;
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "a" / "b"));
  // Every Windows user has a local application-data folder: the per-user copy is known.
  const auto places = ui::files::SettingsFilePlaces("x.ini");
  EXPECT_NE(places.user_copy.find("\\VirtualStore\\"), std::string::npos) << places.user_copy;
  EXPECT_EQ(places.program_copy, ui::sys::AppPath() + "\\x.ini");
}

}  // namespace
