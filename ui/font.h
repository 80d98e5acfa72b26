// A font as the forms and controls describe it.
#pragma once
#include <string>

namespace ui {

struct Font {
  std::string Name = "ＭＳ Ｐゴシック";
  double Size = 9;  // points
  int Weight = 400;
  bool Italic = false;
  bool Underline = false;
  bool Strikethrough = false;
  int Charset = 128;  // Shift-JIS

  bool operator==(const Font&) const = default;
};

}  // namespace ui
