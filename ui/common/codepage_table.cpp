// Code page 932 from the program's own copy of the Windows table: the C
// library's converters may lack CP932 (musl, a glibc without its modules), and
// the settings file must be written in it all the same.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "ui/codepage.h"

namespace ui {
namespace {

#include "ui/common/cp932_table.inc"

constexpr char32_t kReplacement = 0xFFFD;

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Column of a trail byte in a row of the table, or -1 when it cannot end a pair.
int TrailColumn(unsigned char b) {
  if (b >= 0x40 && b <= 0x7E) return b - 0x40;
  if (b >= 0x80 && b <= 0xFC) return b - 0x41;
  return -1;
}

// The character of a double-byte pair, or 0 when the pair is none.
char16_t DoubleByte(unsigned char lead, unsigned char trail) {
  const int column = TrailColumn(trail);
  const int row = IsLeadByte(lead) ? kCp932RowOfLead[lead - 0x81] : -1;
  if (column < 0 || row < 0) return 0;
  return kCp932Rows[row][column];
}

// The character of the pair starting at text[i], or 0 when none starts there.
char16_t PairAt(std::string_view text, std::size_t i) {
  if (i + 1 >= text.size()) return 0;
  return DoubleByte(static_cast<unsigned char>(text[i]), static_cast<unsigned char>(text[i + 1]));
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {  // The table holds the BMP only.
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The code point a UTF-8 sequence at the start of text stands for and its
// length; length 0 when the first byte starts no valid sequence (a stray or
// missing continuation, an overlong form, a surrogate, beyond U+10FFFF).
struct Utf8Char {
  char32_t code;
  std::size_t length;
};

Utf8Char NextUtf8(std::string_view text) {
  const auto b = static_cast<unsigned char>(text[0]);
  if (b < 0x80) return {b, 1};
  std::size_t length;
  char32_t code, least;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2, code = b & 0x1F, least = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3, code = b & 0x0F, least = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4, code = b & 0x07, least = 0x10000;
  } else {
    return {0, 0};
  }
  if (text.size() < length) return {0, 0};
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[k]);
    if ((c & 0xC0) != 0x80) return {0, 0};
    code = code << 6 | (c & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0, 0};
  return {code, length};
}

// Where a character has several codes, Windows writes its JIS X 0208 code,
// else its NEC row 13 code (0x87), else its IBM extension code (0xFA-0xFC);
// the NEC-selected copies of the IBM extensions (0xED, 0xEE) are read only.
constexpr int kNeverWritten = -1;
int WritePreference(unsigned char lead) {
  if (lead == 0xED || lead == 0xEE) return kNeverWritten;
  if (lead == 0x87) return 1;
  if (lead >= 0xFA) return 2;
  return 0;
}

struct Encoding {
  char16_t character;
  std::uint16_t code;  // Lead byte high, trail byte low.
};

// The double-byte code Windows writes for each character, sorted by character:
// made from the table once, so the binary carries one direction only.
const std::vector<Encoding>& Encodings() {
  static const std::vector<Encoding> encodings = [] {
    struct Candidate {
      char16_t character;
      int preference;
      std::uint16_t code;
    };
    std::vector<Candidate> all;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      const int preference = WritePreference(static_cast<unsigned char>(lead));
      if (preference == kNeverWritten) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        const char16_t c = DoubleByte(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
        if (c != 0) all.push_back({c, preference, static_cast<std::uint16_t>(lead << 8 | trail)});
      }
    }
    std::sort(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) {
      return a.character != b.character ? a.character < b.character : a.preference < b.preference;
    });
    std::vector<Encoding> best;
    for (const Candidate& c : all) {
      if (best.empty() || best.back().character != c.character) best.push_back({c.character, c.code});
    }
    return best;
  }();
  return encodings;
}

// Windows reads the single bytes that start no character as U+0080 and
// private-use code points, and writes those back as the same bytes.
constexpr std::pair<unsigned char, char16_t> kLoneBytes[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};

char16_t LoneByte(unsigned char b) {
  for (const auto& [byte, character] : kLoneBytes)
    if (byte == b) return character;
  return 0;
}

// Appends the code page 932 bytes of a character, or '?' when it has none.
void AppendCp932(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  for (const auto& [byte, character] : kLoneBytes) {
    if (character == c) {
      out += static_cast<char>(byte);
      return;
    }
  }
  if (c >= 0xFF61 && c <= 0xFF9F) {  // Half-width katakana: single bytes 0xA1..0xDF.
    out += static_cast<char>(c - 0xFF61 + 0xA1);
    return;
  }
  const auto& encodings = Encodings();
  const auto it = std::lower_bound(encodings.begin(), encodings.end(), c,
                                   [](const Encoding& e, char32_t wanted) { return e.character < wanted; });
  if (it == encodings.end() || it->character != c) {
    out += '?';
    return;
  }
  out += static_cast<char>(it->code >> 8);
  out += static_cast<char>(it->code & 0xFF);
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char next = NextUtf8(utf8.substr(i));
    if (next.length == 0) {  // One '?' per byte of a broken sequence.
      out += '?';
      ++i;
      continue;
    }
    AppendCp932(out, next.code);
    i += next.length;
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() * 3 / 2);
  for (std::size_t i = 0; i < cp932.size();) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
    } else if (b >= 0xA1 && b <= 0xDF) {
      AppendUtf8(out, 0xFF61 + (b - 0xA1));
      ++i;
    } else if (const char16_t lone = LoneByte(b); lone != 0) {
      AppendUtf8(out, lone);
      ++i;
    } else if (const char16_t c = PairAt(cp932, i); c != 0) {
      AppendUtf8(out, c);
      i += 2;
    } else {
      // A lead byte at the end, or one whose pair is undefined or whose next
      // byte cannot be a trail byte, gives one U+FFFD for itself alone and
      // the next byte is read on its own, as Python's codec does: the ASCII
      // after a broken lead byte (a quote, a line end of the settings file)
      // is kept.
      AppendUtf8(out, kReplacement);
      ++i;
    }
  }
  return out;
}

}  // namespace ui
