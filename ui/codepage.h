// Conversion between the UTF-8 text held inside the program and the bytes of
// code page 932 (Shift-JIS with the Windows extensions), the ANSI code page of
// the Japanese systems the settings file and the ANSI system calls are made for.
#pragma once
#include <string>
#include <string_view>

namespace ui {

// Bytes that are not valid in the source encoding become U+FFFD / '?'.
std::string Utf8ToCp932(std::string_view utf8);
std::string Cp932ToUtf8(std::string_view cp932);

// Whether code page 932 can hold the text: it comes back from it unchanged.
inline bool FitsCp932(std::string_view utf8) { return Cp932ToUtf8(Utf8ToCp932(utf8)) == utf8; }

}  // namespace ui
