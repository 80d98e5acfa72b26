// Loading the settings file: defaults, number conversions that fail, the
// music file that must exist, and the writer's bytes.
#include "app/Tessellane_B.h"
#include "app/settings_values.h"
#include "app/text.h"
#include "tests/test_support.h"

namespace {

using testing_support::HeadlessTest;
using testing_support::WriteIni;

class SettingsTest : public HeadlessTest {
 protected:
  app::Tessellane_B Load(const std::string& lines) {
    WriteIni(dir_, lines);
    app::Tessellane_B b;
    b.LoadSettings();
    return b;
  }
};

TEST_F(SettingsTest, MissingFileGivesTheDefaults) {
  app::Tessellane_B b;
  b.LoadSettings();
  EXPECT_EQ(b.StopTime, 3);
  EXPECT_EQ(b.BackgroundColor, 0);
  EXPECT_EQ(b.RandomBackground, 1);
  EXPECT_EQ(b.BgmKind, 0);
  EXPECT_EQ(b.BgmRepeat, 0);
  EXPECT_EQ(b.BgmFile, "");
}

TEST_F(SettingsTest, NumbersAreFlooredAndBadOnesLeaveZeroNotTheDefault) {
  EXPECT_EQ(Load("停止時間=7.9\r\n").StopTime, 7);
  EXPECT_EQ(Load("停止時間=-2.5\r\n").StopTime, -3);
  EXPECT_EQ(Load("停止時間=abc\r\n").StopTime, 0);
  EXPECT_EQ(Load("停止時間=40000\r\n").StopTime, 0);
  EXPECT_EQ(Load("停止時間=7x\r\n").StopTime, 0);
  EXPECT_EQ(Load("停止時間= 12 \r\n").StopTime, 12);
  EXPECT_EQ(Load("背景色ﾗﾝﾀﾞﾑ=abc\r\n").RandomBackground, 0);
  EXPECT_EQ(Load("BGMﾘﾋﾟｰﾄ=&H1F\r\n").BgmRepeat, 31);
  EXPECT_EQ(Load("BGM区分=7\r\n").BgmKind, 7);
}

TEST_F(SettingsTest, ColourIsRoundedToThirtyTwoBits) {
  EXPECT_EQ(Load("背景色=&HFF\r\n").BackgroundColor, 255);
  EXPECT_EQ(Load("背景色= 16777215\r\n").BackgroundColor, 16777215);
  EXPECT_EQ(Load("背景色=2.5\r\n").BackgroundColor, 2);
  EXPECT_EQ(Load("背景色=3.5\r\n").BackgroundColor, 4);
  EXPECT_EQ(Load("背景色=9999999999\r\n").BackgroundColor, 0);
}

TEST_F(SettingsTest, KeysAreMatchedInCodePage932) {
  // Written by hand in bytes: the file is what a Japanese system writes.
  testing_support::WriteBytes(dir_.Ini(),
                              "[Section]\r\n\x92\xE2\x8E\x7E\x8E\x9E\x8A\xD4= 9\r\n"
                              "\x94\x77\x8C\x69\x90\x46\xD7\xDD\xC0\xDE\xD1= 0\r\n");
  app::Tessellane_B b;
  b.LoadSettings();
  EXPECT_EQ(b.StopTime, 9);
  EXPECT_EQ(b.RandomBackground, 0);
}

TEST_F(SettingsTest, MissingMusicFileSwitchesFileMusicOffButKeepsCd) {
  auto file_music = Load("BGM区分=2\r\nBGMﾌｧｲﾙ=" + dir_.str() + "\\none.mp3\r\n");
  EXPECT_EQ(file_music.BgmKind, 0);
  EXPECT_EQ(file_music.BgmFile, "");
  auto cd = Load("BGM区分=1\r\nBGMﾌｧｲﾙ=" + dir_.str() + "\\none.mp3\r\n");
  EXPECT_EQ(cd.BgmKind, 1);
  EXPECT_EQ(cd.BgmFile, "");
}

TEST_F(SettingsTest, ExistingMusicFileIsKeptEvenWithJapaneseName) {
  testing_support::WriteBytes(dir_.path() / std::filesystem::path(u8"曲 1.mp3"), "ID3");
  const std::string path = dir_.str() + "\\曲 1.mp3";
  auto b = Load("BGM区分=2\r\nBGMﾌｧｲﾙ=" + path + "\r\n");
  EXPECT_EQ(b.BgmKind, 2);
  EXPECT_EQ(b.BgmFile, path);
}

TEST_F(SettingsTest, DirectoryCountsAsMissingWithOrWithoutSeparator) {
  std::filesystem::create_directory(dir_.path() / "music");
  EXPECT_EQ(Load("BGM区分=2\r\nBGMﾌｧｲﾙ=" + dir_.str() + "\\music\r\n").BgmKind, 0);
  EXPECT_EQ(Load("BGM区分=2\r\nBGMﾌｧｲﾙ=" + dir_.str() + "\\music\\\r\n").BgmKind, 0);
  EXPECT_FALSE(app::Tessellane_B::FileExists(dir_.str() + "\\music\\"));
}

TEST_F(SettingsTest, LongValueIsReadAsItsFirst255Bytes) {
  const std::string value(300, 'x');
  WriteIni(dir_, "BGMﾌｧｲﾙ=" + value + "\r\n");
  EXPECT_EQ(app::Tessellane_B::ReadIniString("Section", "BGMﾌｧｲﾙ", dir_.str() + "\\" + app::kIniFileName),
            std::string(255, 'x'));
}

TEST_F(SettingsTest, SavingWritesAllSixKeysAsCodePage932LinesInOrder) {
  app::SettingsValues values;
  values.StopTime = 3;
  values.BackgroundColor = 16777215;
  values.RandomBackground = 1;
  values.BgmKind = 2;
  values.BgmRepeat = 0;
  values.BgmFile = "C:\\音楽\\a.mp3";
  app::SettingsSave save;
  save.Write(values);
  std::string failure;
  ASSERT_TRUE(save.Commit(failure)) << failure;
  const std::string expected =
      "[Section]\r\n\x92\xE2\x8E\x7E\x8E\x9E\x8A\xD4= 3\r\n\x94\x77\x8C\x69\x90\x46= 16777215\r\n"
      "\x94\x77\x8C\x69\x90\x46\xD7\xDD\xC0\xDE\xD1= 1\r\n\x42\x47\x4D\x8B\xE6\x95\xAA= 2\r\n"
      "\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4= 0\r\n\x42\x47\x4D\xCC\xA7\xB2\xD9=C:\\\x89\xB9\x8A\x79\\a.mp3\r\n";
  EXPECT_EQ(testing_support::ReadBytes(dir_.Ini()), expected);
  app::Tessellane_B b;
  b.LoadSettings();
  EXPECT_EQ(b.BackgroundColor, 16777215);
}

// Today's editors save UTF-8, with or without a byte-order mark: every key
// is found, the music path included; a save over such a file writes code
// page 932 throughout and keeps the other lines.
TEST_F(SettingsTest, AFileSavedAsUtf8IsReadAndSavedBackInCodePage932) {
  testing_support::WriteBytes(dir_.path() / std::filesystem::path(u8"曲.mp3"), "ID3");
  const std::string music = dir_.str() + "\\曲.mp3";
  const std::string lines =
      "[Section]\r\n停止時間=7\r\n背景色ﾗﾝﾀﾞﾑ=0\r\nBGM区分=2\r\nBGMﾌｧｲﾙ=" + music + "\r\n[他]\r\nメモ=残す\r\n";
  for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
    testing_support::WriteBytes(dir_.Ini(), mark + lines);
    app::Tessellane_B b;
    b.LoadSettings();
    EXPECT_EQ(b.StopTime, 7) << mark.size();
    EXPECT_EQ(b.RandomBackground, 0) << mark.size();
    EXPECT_EQ(b.BgmKind, 2) << mark.size();
    EXPECT_EQ(b.BgmFile, music) << mark.size();

    app::SettingsSave save;
    save.Write(b);
    std::string failure;
    ASSERT_TRUE(save.Commit(failure)) << failure;
    const std::string saved = testing_support::ReadBytes(dir_.Ini());
    EXPECT_EQ(saved.substr(0, 22), "[Section]\r\n\x92\xE2\x8E\x7E\x8E\x9E\x8A\xD4= 7") << mark.size();
    EXPECT_NE(saved.find(ui::Utf8ToCp932("[他]\r\nメモ=残す\r\n")), std::string::npos) << mark.size();
    EXPECT_EQ(saved.find("\xEF\xBB\xBF"), std::string::npos) << mark.size();
  }
}

// What tells the two encodings apart: no key in code page 932 is well-formed
// UTF-8, while any text in UTF-8 is.
TEST(Utf8CheckTest, CodePage932KeysAreNeverWellFormedUtf8) {
  for (const auto& key : app::kSettingKeys) {
    EXPECT_TRUE(app::text::IsUtf8(key.key)) << key.key;
    EXPECT_FALSE(app::text::IsUtf8(ui::Utf8ToCp932(std::string(key.key) + "=1"))) << key.key;
  }
  EXPECT_TRUE(app::text::IsUtf8("ascii \xF0\x9F\x8E\xB5 \xEF\xBF\xBF \xF4\x8F\xBF\xBF"));
  // Overlong forms, surrogates, past U+10FFFF, cut short, a stray continuation.
  for (const char* bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x81",
                          "a\x80"
                          "b"})
    EXPECT_FALSE(app::text::IsUtf8(bad)) << bad;
  // A character cut short at the end of the bytes looked at, though the
  // memory after them would complete it.
  EXPECT_FALSE(app::text::IsUtf8(std::string_view("\xE3\x81\x82", 2)));
  EXPECT_FALSE(app::text::IsUtf8(std::string_view("a\xC3\xA9", 2)));
}

TEST_F(SettingsTest, WriterCutsSectionAndKeyAt128Characters) {
  const std::string long_key = std::string(127, 'k') + "鍵鍵";
  std::string bytes;
  app::Tessellane_B::WriteIniString("Section", long_key, "v", bytes);
  testing_support::WriteBytes(dir_.Ini(), bytes);
  EXPECT_EQ(
      app::Tessellane_B::ReadIniString("Section", std::string(127, 'k') + "鍵", dir_.str() + "\\" + app::kIniFileName),
      "v");
}

TEST_F(SettingsTest, GarbageFileLoadsWithoutCrashing) {
  std::mt19937 gen(7);
  std::string bytes(64 * 1024, '\0');
  for (auto& c : bytes) c = static_cast<char>(gen());
  testing_support::WriteBytes(dir_.Ini(), "[Section]\r\n停止時間\r\n" + bytes);
  app::Tessellane_B b;
  b.LoadSettings();
  EXPECT_EQ(b.BgmKind, 0);
}

TEST_F(SettingsTest, DuplicateKeysAndLinesWithoutEqualsReadLikeTheProfileFunctions) {
  auto b = Load("停止時間\r\n停止時間=5\r\n停止時間=9\r\n背景色ﾗﾝﾀﾞﾑ=0\r\n");
  EXPECT_EQ(b.StopTime, 5);
  EXPECT_EQ(b.RandomBackground, 0);
}

TEST_F(SettingsTest, InvalidCodePage932MusicPathIsNotFoundAndCleared) {
  testing_support::WriteBytes(dir_.Ini(), std::string("[Section]\r\n\x42\x47\x4D\x8B\xE6\x95\xAA=2\r\n") +
                                              "\x42\x47\x4D\xCC\xA7\xB2\xD9=C:\\\x81\xFF\xA0\xFD.mp3\r\n");
  app::Tessellane_B b;
  b.LoadSettings();
  EXPECT_EQ(b.BgmKind, 0);
  EXPECT_EQ(b.BgmFile, "");
}

// A settings file of `size` bytes of code page 932: the section, filler
// lines, then `tail` (UTF-8) ending exactly at `tail_end`, then more filler.
std::string SizedIni(std::size_t size, const std::string& tail, std::size_t tail_end) {
  const std::string tail_bytes = ui::Utf8ToCp932(tail);
  std::string bytes = "[Section]\r\n";
  auto fill_to = [&](std::size_t end) {
    while (bytes.size() + 2 < end)
      bytes += std::string(std::min<std::size_t>(end - bytes.size() - 2, 78), 'x') + "\r\n";
    bytes.resize(end, '\n');
  };
  fill_to(tail_end - tail_bytes.size());
  bytes += tail_bytes;
  fill_to(size);
  return bytes;
}

constexpr std::size_t kMiB = 1 << 20;

TEST_F(SettingsTest, AFileOfUpToOneMiBIsReadWhole) {
  testing_support::WriteBytes(dir_.Ini(), SizedIni(kMiB, "停止時間=11\r\n", kMiB));
  app::Tessellane_B b;
  b.LoadSettings();
  EXPECT_EQ(b.StopTime, 11);
  app::SettingsSave save;
  save.Write(b);
  std::string failure;
  EXPECT_TRUE(save.Commit(failure)) << failure;
}

// Past the first MiB nothing is read, nor the line the limit cuts in two
// ("停止時間=12345" must not come back as 12).
TEST_F(SettingsTest, OnlyTheWholeLinesOfTheFirstMiBAreRead) {
  const std::string cut = "停止時間=12345\r\n";
  const std::size_t cut_end = kMiB + ui::Utf8ToCp932(cut).size() - 11;  // the limit falls after "=12"
  testing_support::WriteBytes(dir_.Ini(), SizedIni(3 * kMiB, "背景色=255\r\n" + cut + "背景色ﾗﾝﾀﾞﾑ=0\r\n",
                                                   cut_end + ui::Utf8ToCp932("背景色ﾗﾝﾀﾞﾑ=0\r\n").size()));
  app::Tessellane_B b;
  b.LoadSettings();
  EXPECT_EQ(b.BackgroundColor, 255);
  EXPECT_EQ(b.StopTime, 3);
  EXPECT_EQ(b.RandomBackground, 1);
}

// A save writes the whole file: over one larger than what was read it would
// drop the rest, so it is refused, with the reason, and the file stays.
TEST_F(SettingsTest, ASaveOverAFileLargerThanOneMiBIsRefused) {
  const std::string bytes = SizedIni(kMiB + 1, "停止時間=11\r\n", 100);
  testing_support::WriteBytes(dir_.Ini(), bytes);
  app::Tessellane_B b;
  b.LoadSettings();
  EXPECT_EQ(b.StopTime, 11);
  app::SettingsSave save;
  b.StopTime = 20;
  save.Write(b);
  std::string failure;
  EXPECT_FALSE(save.Commit(failure));
  EXPECT_EQ(failure.rfind("設定を保存できませんでした。\r\n\r\n" + dir_.str() + "\\テセレーン.ini\r\n", 0), 0u)
      << failure;
  EXPECT_NE(failure.find("大きすぎます"), std::string::npos) << failure;
  EXPECT_EQ(testing_support::ReadBytes(dir_.Ini()), bytes);
}

}  // namespace
