// The program's own code page 932 conversion (every build but Windows, whose
// conversion is the system's): against Python's cp932 codec over every one-
// and two-byte sequence and every BMP character, then by example.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "ui/codepage.h"

namespace {

std::string Hex(std::string_view bytes) {
  std::string out;
  char buf[4];
  for (unsigned char b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", b);
    out += buf;
  }
  return out;
}

using Cases = std::vector<std::pair<std::string, std::string>>;  // Input, expected output.

// Written by tests/cp932_reference.py at build time.
struct Reference {
  Cases read, written;
};

const Reference& LoadReference() {
  static const Reference reference = [] {
    std::ifstream file(TESS_CP932_REFERENCE, std::ios::binary);
    const std::string data{std::istreambuf_iterator<char>(file), {}};
    Reference r;
    std::size_t at = 0;
    const auto take = [&] {
      const std::size_t n = static_cast<unsigned char>(data.at(at++));
      std::string field = data.substr(at, n);
      at += n;
      return field;
    };
    while (at < data.size()) {
      const char kind = data[at++];
      std::string in = take();
      (kind == 'D' ? r.read : r.written).emplace_back(std::move(in), take());
    }
    return r;
  }();
  return reference;
}

// Runs every case, naming the first few that differ.
template <typename Convert>
void ExpectAll(const Cases& cases, Convert convert) {
  int wrong = 0;
  for (const auto& [in, want] : cases) {
    const std::string got = convert(in);
    if (got != want && ++wrong <= 10) ADD_FAILURE() << Hex(in) << "gives " << Hex(got) << "instead of " << Hex(want);
  }
  EXPECT_EQ(wrong, 0);
}

TEST(Cp932ReferenceTest, EveryOneAndTwoByteSequenceReadsAsPythonReadsIt) {
  const Cases& cases = LoadReference().read;
  ASSERT_EQ(cases.size(), 0x100u + 0x10000u);
  ExpectAll(cases, ui::Cp932ToUtf8);
}

// Characters with one code (or none); those with several are judged by
// Windows' own choices below.
TEST(Cp932ReferenceTest, EveryBmpCharacterOfOneCodeIsWrittenAsPythonWritesIt) {
  const Cases& cases = LoadReference().written;
  ASSERT_GT(cases.size(), 0x10000u - 0x800u - 800u);
  ExpectAll(cases, ui::Utf8ToCp932);
}

TEST(Cp932ReferenceTest, WhatCodePage932HoldsComesBack) {
  const Reference& reference = LoadReference();
  int wrong = 0;
  const auto expect = [&](bool ok, const std::string& what) {
    if (!ok && ++wrong <= 10) ADD_FAILURE() << what;
  };
  for (const auto& [bytes, text] : reference.read) {
    if (text.find("\xEF\xBF\xBD") == std::string::npos) expect(ui::FitsCp932(text), "read from " + Hex(bytes));
  }
  for (const auto& [text, bytes] : reference.written) {
    const bool held = bytes != "?" || text == "?";
    expect(ui::FitsCp932(text) == held, "fits: " + Hex(text));
    if (held) expect(ui::Cp932ToUtf8(bytes) == text, "written as " + Hex(bytes));
  }
  EXPECT_EQ(wrong, 0);
}

TEST(Cp932Test, SettingsKeysConvertBothWays) {
  const std::pair<std::string, std::string> keys[] = {
      {"停止時間", "\x92\xE2\x8E\x7E\x8E\x9E\x8A\xD4"},
      {"背景色ﾗﾝﾀﾞﾑ", "\x94\x77\x8C\x69\x90\x46\xD7\xDD\xC0\xDE\xD1"},
      // A trail byte 0x5C is part of its character, not a backslash.
      {"ソ\\表", "\x83\x5C\x5C\x95\x5C"},
      {"｡ﾟ", "\xA1\xDF"},  // Both ends of the half-width katakana.
  };
  for (const auto& [text, bytes] : keys) {
    EXPECT_EQ(Hex(ui::Utf8ToCp932(text)), Hex(bytes)) << text;
    EXPECT_EQ(ui::Cp932ToUtf8(bytes), text) << text;
  }
}

// Windows' own choices for characters with several codes, written out as
// examples: JIS X 0208 first, then NEC row 13, then the IBM extensions, and
// never the NEC-selected copies of the IBM extensions (0xED, 0xEE).
TEST(Cp932Test, CharacterWithSeveralCodesTakesTheOneWindowsWrites) {
  struct Duplicate {
    const char* text;
    std::string written;
    std::vector<std::string> also_read;
  };
  const Duplicate duplicates[] = {
      {"∵", "\x81\xE6", {"\x87\x9A", "\xFA\x5B"}},  // U+2235: JIS X 0208 before both
      {"≒", "\x81\xE0", {"\x87\x90"}},              // JIS X 0208 before NEC row 13
      {"≡", "\x81\xDF", {"\x87\x91"}},
      {"∫", "\x81\xE7", {"\x87\x92"}},
      {"√", "\x81\xE3", {"\x87\x95"}},
      {"￢", "\x81\xCA", {"\xEE\xF9", "\xFA\x54"}},  // U+FFE2: before the extensions
      {"Ⅰ", "\x87\x54", {"\xFA\x4A"}},               // U+2160: NEC row 13 before IBM
      {"Ⅹ", "\x87\x5D", {"\xFA\x53"}},
      {"№", "\x87\x82", {"\xFA\x59"}},
      {"℡", "\x87\x84", {"\xFA\x5A"}},
      {"㈱", "\x87\x8A", {"\xFA\x58"}},
      {"ⅰ", "\xFA\x40", {"\xEE\xEF"}},  // U+2170: IBM, never NEC-selected (Python: EE EF)
      {"ⅹ", "\xFA\x49", {"\xEE\xF8"}},
      {"￤", "\xFA\x55", {"\xEE\xFA"}},
      {"＇", "\xFA\x56", {"\xEE\xFB"}},
      {"＂", "\xFA\x57", {"\xEE\xFC"}},
      {"纊", "\xFA\x5C", {"\xED\x40"}},
      {"黑", "\xFC\x4B", {"\xEE\xEC"}},
  };
  for (const Duplicate& d : duplicates) {
    EXPECT_EQ(Hex(ui::Utf8ToCp932(d.text)), Hex(d.written)) << d.text;
    EXPECT_EQ(ui::Cp932ToUtf8(d.written), d.text);
    for (const std::string& code : d.also_read) EXPECT_EQ(ui::Cp932ToUtf8(code), d.text) << Hex(code);
  }
  // Nothing at all is written in 0xED or 0xEE.
  int in_copies = 0;
  for (char32_t c = 0x80; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string utf8;
    utf8 += static_cast<char>(0xE0 | (c >> 12));
    utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
    if (c < 0x800) utf8 = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    const auto lead = static_cast<unsigned char>(ui::Utf8ToCp932(utf8)[0]);
    in_copies += lead == 0xED || lead == 0xEE;
  }
  EXPECT_EQ(in_copies, 0);
}

TEST(Cp932Test, BrokenPairsReadAsOneReplacementEach) {
  const std::pair<std::string, std::string> cases[] = {
      {"\x92", "\uFFFD"},                                       // a truncated lead byte
      {"\x92\xE2\x8E", "停\uFFFD"}, {"\x81\x20x", "\uFFFD x"},  // a lead byte before a byte that cannot be a trail
      {"\x81\x7F", "\uFFFD\x7F"},   {"\x85\x40", "\uFFFD@"},    // a pair the table does not define
      {"\x85\x92\xE2", "\uFFFD停"},                             // the lead byte alone is skipped
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(ui::Cp932ToUtf8(bytes), text) << Hex(bytes);
  // Single bytes that start no character: read as Windows reads them, and
  // written back as the same bytes.
  const std::string lone = "\x80\xA0\xFD\xFE\xFF";
  EXPECT_EQ(ui::Cp932ToUtf8(lone), "\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
  EXPECT_EQ(ui::Utf8ToCp932(ui::Cp932ToUtf8(lone)), lone);
  // Text cut short inside a longer buffer: the byte past its end is not read.
  EXPECT_EQ(ui::Cp932ToUtf8(std::string_view("\x92\xE2\x8E\x7E", 3)), "停\uFFFD");
}

TEST(Cp932Test, WhatCannotBeWrittenBecomesOneQuestionMarkEach) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xC3", "?"},  // truncated
      {"\xE6\xADz", "??z"},
      {"\xE0\x80\xAF", "???"},       // overlong '/'
      {"\xED\xA0\x80", "???"},       // a surrogate
      {"\xF4\x90\x80\x80", "????"},  // beyond U+10FFFF
      {"é停", "?\x92\xE2"},          // no code in code page 932
      {"〜", "?"},                   // U+301C: only Windows' best fit writes it, as 81 60 (U+FF5E)
      {"😀", "?"},                    // beyond the BMP
      {"\xEF\xBF\xBD", "?"},         // U+FFFD
  };
  for (const auto& [text, bytes] : cases) {
    EXPECT_EQ(ui::Utf8ToCp932(text), bytes) << Hex(text);
    EXPECT_FALSE(ui::FitsCp932(text)) << Hex(text);
  }
  EXPECT_EQ(ui::Utf8ToCp932(std::string_view("\xE5\x81\x9C", 2)), "??");
}

}  // namespace
