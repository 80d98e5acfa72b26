// Fuzzes the conversions between code page 932 and UTF-8 on arbitrary bytes:
// no crash, the result is valid UTF-8, text read from code page 932 comes
// back unchanged through a write and a read, and ASCII is left as it is.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "ui/codepage.h"

namespace {

using fuzz_support::Require;

bool ValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

bool Ascii(std::string_view s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The bytes as code page 932 text (a settings file, a system reply).
  const std::string text = ui::Cp932ToUtf8(bytes);
  Require(ValidUtf8(text), "code page 932 bytes give valid UTF-8");
  const std::string written = ui::Utf8ToCp932(text);
  if (text.find("\xEF\xBF\xBD") == std::string::npos) {
    Require(ui::Cp932ToUtf8(written) == text, "text read from code page 932 survives a write and a read");
  }
  if (Ascii(bytes)) Require(text == bytes && written == bytes, "ASCII stays as it is");

  // The same bytes as UTF-8 text from inside the program.
  const std::string out = ui::Utf8ToCp932(bytes);
  Require(ValidUtf8(ui::Cp932ToUtf8(out)), "any text written reads back as valid UTF-8");
  if (ValidUtf8(bytes) && out.find('?') == std::string::npos) {
    Require(ui::Utf8ToCp932(ui::Cp932ToUtf8(out)) == out, "text code page 932 holds keeps its bytes");
  }
  return 0;
}
