#include "app/ini_profile.h"

#include <gtest/gtest.h>

#include <string>

namespace app::ini {
namespace {

using namespace std::string_literals;

// The six settings keys in code page 932, in the order they are written.
const std::string kStopTime = "\x92\xE2\x8E\x7E\x8E\x9E\x8A\xD4";
const std::string kBackground = "\x94\x77\x8C\x69\x90\x46";
const std::string kRandomBackground = "\x94\x77\x8C\x69\x90\x46\xD7\xDD\xC0\xDE\xD1";
const std::string kBgmKind = "BGM\x8B\xE6\x95\xAA";
const std::string kBgmRepeat = "BGM\xD8\xCB\xDF\xB0\xC4";
const std::string kBgmFile = "BGM\xCC\xA7\xB2\xD9";
// "C:\音楽\表.mp3": the second byte of 表 is 0x5C, the path separator's byte.
const std::string kMusicPath = "C:\\\x89\xB9\x8A\x79\\\x95\x5C.mp3";

std::string Get(std::string_view file, std::string_view section, std::string_view key, std::string_view fallback = "",
                std::size_t size = 256) {
  return GetString(file, section, key, fallback, size);
}

std::string SavedSettings() {
  std::string file;
  file = PutString(file, "Section", kStopTime, " 3");
  file = PutString(file, "Section", kBackground, " 16777215");
  file = PutString(file, "Section", kRandomBackground, " 1");
  file = PutString(file, "Section", kBgmKind, " 2");
  file = PutString(file, "Section", kBgmRepeat, " 0");
  file = PutString(file, "Section", kBgmFile, kMusicPath);
  return file;
}

TEST(IniWrite, SixSettingsFromNothingGiveTheExactFile) {
  const std::string expected = "[Section]\r\n" + kStopTime + "= 3\r\n" + kBackground + "= 16777215\r\n" +
                               kRandomBackground + "= 1\r\n" + kBgmKind + "= 2\r\n" + kBgmRepeat + "= 0\r\n" +
                               kBgmFile + "=" + kMusicPath + "\r\n";
  EXPECT_EQ(SavedSettings(), expected);
}

TEST(IniWrite, SavingTheSameSettingsAgainChangesNoByte) {
  const std::string once = SavedSettings();
  std::string twice = once;
  twice = PutString(twice, "Section", kStopTime, " 3");
  twice = PutString(twice, "Section", kBgmFile, kMusicPath);
  EXPECT_EQ(twice, once);
}

TEST(IniRead, SavedSettingsReadBackTrimmed) {
  const std::string file = SavedSettings();
  EXPECT_EQ(Get(file, "Section", kStopTime), "3");
  EXPECT_EQ(Get(file, "Section", kBackground), "16777215");
  EXPECT_EQ(Get(file, "Section", kRandomBackground), "1");
  EXPECT_EQ(Get(file, "Section", kBgmKind), "2");
  EXPECT_EQ(Get(file, "Section", kBgmRepeat), "0");
  EXPECT_EQ(Get(file, "Section", kBgmFile), kMusicPath);
}

TEST(IniRead, KeyThatIsAPrefixOfAnotherIsADifferentKey) {
  // 背景色 is the start of 背景色ﾗﾝﾀﾞﾑ; each must find its own line.
  const std::string file = "[Section]\r\n" + kRandomBackground + "=1\r\n" + kBackground + "=255\r\n";
  EXPECT_EQ(Get(file, "Section", kBackground), "255");
  EXPECT_EQ(Get(file, "Section", kRandomBackground), "1");
}

TEST(IniRead, MissingFileSectionOrKeyGiveTheDefault) {
  EXPECT_EQ(Get("", "Section", kStopTime, "dflt"), "dflt");
  EXPECT_EQ(Get("", "Section", kStopTime), "");
  const std::string file = "[Other]\r\n" + kStopTime + "=5\r\n";
  EXPECT_EQ(Get(file, "Section", kStopTime, "dflt"), "dflt");
  EXPECT_EQ(Get(file, "Other", kBackground, "dflt"), "dflt");
  EXPECT_EQ(Get(file, "Other", kStopTime, "dflt"), "5");
  // A present but empty value is a value, not a missing key.
  EXPECT_EQ(Get("[S]\nk=\n", "S", "k", "dflt"), "");
  // Keys before the first section belong to no section.
  EXPECT_EQ(Get("k=1\n[S]\n", "S", "k", "dflt"), "dflt");
}

TEST(IniRead, DefaultLosesTrailingBlanksAndIsCut) {
  EXPECT_EQ(Get("", "S", "k", "  d e  \t"), "  d e");
  EXPECT_EQ(Get("", "S", "k", "abcdef", 4), "abc");
}

TEST(IniRead, NamesIgnoreAsciiCaseAndBlanksAround) {
  const std::string file = "[sEcTiOn]\r\n  bgm" + kBgmKind.substr(3) + "  =1\r\n[ Other ]\r\nx=2\r\n";
  EXPECT_EQ(Get(file, "SECTION", kBgmKind), "1");
  EXPECT_EQ(Get(file, " section\t", "  " + kBgmKind + " "), "1");
  EXPECT_EQ(Get(file, "other", "X"), "2");
}

TEST(IniRead, DoubleByteCharactersAreNeverSplit) {
  // 0x83 0x41 and 0x83 0x61 differ only in a trail byte that looks like 'A' / 'a'.
  EXPECT_EQ(Get("[S]\r\n\x83\x61=small\r\n", "S", "\x83\x41", "none"), "none");
  EXPECT_EQ(Get("[S]\r\n\x83\x41=big\r\n", "S", "\x83\x41", "none"), "big");
  // The trail byte of ゾ (0x83 0x5D) looks like "]" but does not close a section name.
  EXPECT_EQ(Get("[\x83\x5D\r\nk=1\r\n", "\x83", "k", "none"), "none");
  EXPECT_EQ(Get("[\x83\x5D]\r\nk=1\r\n", "\x83\x5D", "k", "none"), "1");
}

TEST(IniRead, ValueLosesBlanksAndOnePairOfMatchingQuotes) {
  const std::string file =
      "[S]\r\n"
      "a=  spaced out \t\r\n"
      "b=\" kept inside \"\r\n"
      "c='single'\r\n"
      "d=\"mixed'\r\n"
      "e=\"\"twice\"\"\r\n"
      "f=\"\r\n"
      "g= \"\" \r\n"
      "h=x=y\r\n";
  EXPECT_EQ(Get(file, "S", "a"), "spaced out");
  EXPECT_EQ(Get(file, "S", "b"), " kept inside ");
  EXPECT_EQ(Get(file, "S", "c"), "single");
  EXPECT_EQ(Get(file, "S", "d"), "\"mixed'");
  EXPECT_EQ(Get(file, "S", "e"), "\"twice\"");
  EXPECT_EQ(Get(file, "S", "f"), "\"");
  EXPECT_EQ(Get(file, "S", "g"), "");
  EXPECT_EQ(Get(file, "S", "h"), "x=y");
}

TEST(IniRead, LongValueIsCutToTheBuffer) {
  const std::string value = std::string(100, 'a') + std::string(100, 'b') + std::string(100, 'c');
  const std::string file = PutString("", "Section", kBgmFile, value);
  EXPECT_EQ(Get(file, "Section", kBgmFile), value.substr(0, 255));
  EXPECT_EQ(Get(file, "Section", kBgmFile, "", 1), "");
  EXPECT_EQ(Get(file, "Section", kBgmFile, "", 0), "");
  EXPECT_EQ(Get(file, "Section", kBgmFile, "", 1000), value);
}

TEST(IniRead, FirstOfDuplicateKeysAndSectionsWins) {
  const std::string file = "[S]\r\nk=first\r\nK=second\r\n[T]\r\nk=t\r\n[s]\r\nk=third\r\nonly=later\r\n";
  EXPECT_EQ(Get(file, "S", "k"), "first");
  EXPECT_EQ(Get(file, "T", "k"), "t");
  EXPECT_EQ(Get(file, "S", "only", "dflt"), "dflt");
}

TEST(IniRead, AllLineEndsAreAccepted) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    const std::string file = std::string("[S]") + end + "a=1" + end + "b=2" + end + "[T]" + end + "a=3";
    EXPECT_EQ(Get(file, "S", "a"), "1");
    EXPECT_EQ(Get(file, "S", "b"), "2");
    EXPECT_EQ(Get(file, "T", "a"), "3");
  }
  EXPECT_EQ(Get("[S]\n\ra=1\r\r\nb=2", "S", "b"), "2");
}

TEST(IniRead, CommentsAndLinesWithoutEqualsAreIgnored) {
  const std::string file = "[S]\r\n;k=commented\r\n  ; k=also\r\nk\r\ngarbage line\r\nk=real\r\n";
  EXPECT_EQ(Get(file, "S", "k"), "real");
  EXPECT_EQ(Get(file, "S", ";k", "dflt"), "dflt");
  EXPECT_EQ(Get(file, "S", "garbage line", "dflt"), "dflt");
}

TEST(IniRead, GarbageWithoutEqualsGivesTheDefault) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) {
    const char c = static_cast<char>((i * 7919 + 13) % 256);
    garbage += (c == '=' || c == '\0') ? 'x' : c;
  }
  EXPECT_EQ(Get(garbage, "Section", kStopTime, "dflt"), "dflt");
  EXPECT_EQ(Get("[Section]\r\n" + garbage, "Section", kStopTime, "dflt"), "dflt");
}

TEST(IniRead, NulByteEndsTheFile) {
  const std::string file = "[S]\r\na=1\r\n\0b=2\r\n"s;
  EXPECT_EQ(Get(file, "S", "a"), "1");
  EXPECT_EQ(Get(file, "S", "b", "dflt"), "dflt");
  EXPECT_EQ(Get("[S]\r\nab=1\0x"s, "S", "ab\0c"s), "1");
}

TEST(IniWrite, ExistingLineIsReplacedInPlace) {
  const std::string file = "; settings\n[SECTION]\n  KEY = old value \nnext=1\n";
  EXPECT_EQ(PutString(file, "Section", "key", " new"), "; settings\n[SECTION]\nkey= new\nnext=1\n");
}

TEST(IniWrite, MissingKeyGoesAfterTheLastNonBlankLineOfItsSection) {
  const std::string file = "[A]\r\na=1\r\n;note\r\n\r\n  \r\n[B]\r\nb=2\r\n";
  EXPECT_EQ(PutString(file, "a", "c", "3"), "[A]\r\na=1\r\n;note\r\nc=3\r\n\r\n  \r\n[B]\r\nb=2\r\n");
  EXPECT_EQ(PutString("[A]\r\n\r\n[B]\r\n", "A", "c", "3"), "[A]\r\nc=3\r\n\r\n[B]\r\n");
  // The first of two sections of the same name takes the key.
  EXPECT_EQ(PutString("[A]\nx=1\n[A]\ny=2\n", "A", "y", "3"), "[A]\nx=1\ny=3\r\n[A]\ny=2\n");
}

TEST(IniWrite, UnfinishedLastLineIsEndedBeforeAnythingIsAdded) {
  EXPECT_EQ(PutString("[A]\r\na=1", "A", "b", "2"), "[A]\r\na=1\r\nb=2\r\n");
  EXPECT_EQ(PutString("[A]", "A", "b", "2"), "[A]\r\nb=2\r\n");
  EXPECT_EQ(PutString("[A]\r\na=1", "B", "b", "2"), "[A]\r\na=1\r\n[B]\r\nb=2\r\n");
  EXPECT_EQ(PutString("[A]\ra=1\r", "B", "b", "2"), "[A]\ra=1\r[B]\r\nb=2\r\n");
  EXPECT_EQ(PutString("[A]\r\na=1", "A", "a", "2"), "[A]\r\na=2");
}

TEST(IniWrite, MissingSectionIsAppendedAfterGarbage) {
  const std::string garbage = "no structure here\r\nat all";
  const std::string file = PutString(garbage, " Section ", kStopTime, " 3");
  EXPECT_EQ(file, garbage + "\r\n[Section]\r\n" + kStopTime + "= 3\r\n");
  EXPECT_EQ(Get(file, "Section", kStopTime), "3");
}

TEST(IniWrite, BytesAfterANulAreDropped) {
  const std::string file = "[S]\r\na=1\r\n\0junk"s;
  EXPECT_EQ(PutString(file, "S", "b", "2"), "[S]\r\na=1\r\nb=2\r\n");
}

}  // namespace
}  // namespace app::ini
