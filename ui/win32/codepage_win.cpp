// Code page 932 through the system's own tables.
#include <windows.h>

#include "ui/codepage.h"
#include "ui/win32/text_win.h"

namespace ui {

std::string Utf8ToCp932(std::string_view utf8) { return win32::FromWide(win32::Widen(utf8, CP_UTF8), 932); }
std::string Cp932ToUtf8(std::string_view cp932) { return win32::FromWide(win32::Widen(cp932, 932), CP_UTF8); }

}  // namespace ui
