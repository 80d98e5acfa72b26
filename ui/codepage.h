// Whether a text survives the conversion to code page 932 (Shift-JIS with the
// Windows extensions), the code page of the settings file; the conversions
// themselves are a backend's (ui/backend.h).
#pragma once
#include <string_view>

#include "ui/backend.h"

namespace ui {

// Whether code page 932 can hold the text: it comes back from it unchanged.
inline bool FitsCp932(std::string_view utf8) { return Cp932ToUtf8(Utf8ToCp932(utf8)) == utf8; }

}  // namespace ui
