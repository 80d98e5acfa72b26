// Code page 932 through the system's own tables.
#include <windows.h>

#include "ui/codepage.h"
#include "ui/win32/text_win.h"

namespace ui {

// Without best fit: a character code page 932 cannot hold becomes '?', as
// in the program's own conversion on the other systems, never a look-alike
// (a yen sign would become a backslash, and a path another path).
std::string Utf8ToCp932(std::string_view utf8) {
  const std::wstring wide = win32::Widen(utf8, CP_UTF8);
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, "?", nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), n, "?", nullptr);
  return out;
}
std::string Cp932ToUtf8(std::string_view cp932) { return win32::FromWide(win32::Widen(cp932, 932), CP_UTF8); }

}  // namespace ui
