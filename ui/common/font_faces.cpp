#include "ui/common/font_faces.h"

#include <cmath>

namespace ui {
namespace {

// The name without blanks (ASCII or ideographic), Latin letters in lower case.
std::string Squeezed(const std::string& name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == ' ') continue;
    if (name.compare(i, 3, "\xE3\x80\x80") == 0) {  // U+3000
      i += 2;
      continue;
    }
    out += static_cast<char>(name[i] >= 'A' && name[i] <= 'Z' ? name[i] - 'A' + 'a' : name[i]);
  }
  return out;
}

}  // namespace

FontFace FaceOf(const std::string& name) {
  const std::string key = Squeezed(name);
  if (key == Squeezed("ＭＳ Ｐゴシック") || key == "mspgothic") return FontFace::kProportionalGothic;
  if (key == Squeezed("ＭＳ ゴシック") || key == "msgothic") return FontFace::kGothic;
  return FontFace::kOther;
}

int FontPixels(const Font& font) { return static_cast<int>(std::lround(font.Size * 96 / 72)); }

}  // namespace ui
