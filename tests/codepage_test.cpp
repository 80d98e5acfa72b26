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

TEST(Cp932ReferenceTest, EveryBmpCharacterIsWrittenAsWindowsWritesIt) {
  const Cases& cases = LoadReference().written;
  ASSERT_EQ(cases.size(), 0x10000u - 0x800u);
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

TEST(Cp932Test, CharacterWithSeveralCodesTakesTheOneWindowsWrites) {
  struct Duplicate {
    const char* text;
    std::string written;
    std::vector<std::string> also_read;
  };
  const Duplicate duplicates[] = {
      {"≒", "\x81\xE0", {"\x87\x90"}},               // JIS X 0208 before NEC row 13
      {"￢", "\x81\xCA", {"\xEE\xF9", "\xFA\x54"}},  // before the extensions
      {"∵", "\x81\xE6", {"\x87\x9A", "\xFA\x5B"}},   // before both
      {"Ⅰ", "\x87\x54", {"\xFA\x4A"}},               // NEC row 13 before IBM
      {"№", "\x87\x82", {"\xFA\x59"}},
      {"ⅰ", "\xFA\x40", {"\xEE\xEF"}},  // IBM, never NEC-selected
      {"纊", "\xFA\x5C", {"\xED\x40"}},
  };
  for (const Duplicate& d : duplicates) {
    EXPECT_EQ(Hex(ui::Utf8ToCp932(d.text)), Hex(d.written)) << d.text;
    EXPECT_EQ(ui::Cp932ToUtf8(d.written), d.text);
    for (const std::string& code : d.also_read) EXPECT_EQ(ui::Cp932ToUtf8(code), d.text) << Hex(code);
  }
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
