// The Japanese Windows fonts the forms name, known by every backend that
// must draw them with a font of its own: the IPA Gothic fonts, or a web
// font made from them.
#pragma once
#include <string>

#include "ui/font.h"

namespace ui {

enum class FontFace { kProportionalGothic, kGothic, kOther };

// ＭＳ Ｐゴシック and ＭＳ ゴシック, also under their Latin names, with or
// without blanks (ASCII or ideographic) and in any case.
FontFace FaceOf(const std::string& name);

// The font's em height in pixels at the forms' 96 dots per inch, as Windows
// rounds it (9.75 pt is 13 pixels).
int FontPixels(const Font& font);

}  // namespace ui
