// Characters code page 932 cannot hold, in every build the same: the
// Windows build through the system's conversion, the others through the
// program's own table. A character Windows' best fit would write as a
// look-alike (the yen sign as a backslash, the wave dash as the full-width
// tilde) becomes '?', so that a path holding one is refused, never saved as
// another path; the full-width forms themselves keep their codes.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "ui/codepage.h"

namespace {

TEST(Cp932Unstorable, LookAlikesOfBestFitBecomeQuestionMarks) {
  for (const char* text : {"¥", "〜", "¢", "£", "¬", "‖", "−", "é"}) {
    EXPECT_EQ(ui::Utf8ToCp932(text), "?") << text;
    EXPECT_FALSE(ui::FitsCp932(std::string("C:\\音楽\\") + text + ".mp3")) << text;
  }
}

TEST(Cp932Unstorable, TheFullWidthFormsKeepTheirCodes) {
  const std::pair<const char*, const char*> cases[] = {
      {"～", "\x81\x60"}, {"￥", "\x81\x8F"}, {"￠", "\x81\x91"}, {"￡", "\x81\x92"},
      {"￢", "\x81\xCA"}, {"∥", "\x81\x61"},  {"－", "\x81\x7C"},
  };
  for (const auto& [text, bytes] : cases) {
    EXPECT_EQ(ui::Utf8ToCp932(text), bytes) << text;
    EXPECT_TRUE(ui::FitsCp932(text)) << text;
  }
}

}  // namespace
