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

}  // namespace app::text
