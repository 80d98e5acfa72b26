#include "app/text.h"

#include <vector>

namespace app::text {
namespace {

// Byte offsets where each character of a UTF-8 text starts, plus the end.
std::vector<std::size_t> Starts(std::string_view s) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) starts.push_back(i);
  starts.push_back(s.size());
  return starts;
}

// Continuation bytes a lead byte asks for; -1 for a byte no character starts with.
int TrailBytes(unsigned char lead) {
  if (lead < 0x80) return 0;
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return -1;
}

}  // namespace

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::size_t Length(std::string_view s) { return Starts(s).size() - 1; }

std::string Mid(std::string_view s, std::size_t start, std::size_t count) {
  const auto starts = Starts(s);
  const std::size_t n = starts.size() - 1;
  if (start < 1 || start > n) return {};
  const std::size_t first = start - 1;
  const std::size_t last = count >= n - first ? n : first + count;
  return std::string(s.substr(starts[first], starts[last] - starts[first]));
}

std::string Mid(std::string_view s, std::size_t start) { return Mid(s, start, std::string::npos); }

std::string Right(std::string_view s, std::size_t count) {
  const std::size_t n = Length(s);
  return count >= n ? std::string(s) : Mid(s, n - count + 1);
}

bool IsUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const int trail = TrailBytes(lead);
    if (trail < 0 || bytes.size() - i <= static_cast<std::size_t>(trail)) return false;
    // The second byte's range rules out overlong forms, surrogates and
    // code points past U+10FFFF.
    unsigned low = 0x80, high = 0xBF;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    for (int k = 1; k <= trail; ++k) {
      const auto byte = static_cast<unsigned char>(bytes[i + k]);
      if (byte < (k == 1 ? low : 0x80u) || byte > (k == 1 ? high : 0xBFu)) return false;
    }
    i += trail + 1;
  }
  return true;
}

}  // namespace app::text
