// Text of the settings window measured and drawn by Pango, with the fonts
// a Linux desktop has in place of the Japanese Windows fonts.
#pragma once
#include <string>

#include "ui/common/font_faces.h"
#include "ui/font.h"

namespace ui::gtk {

// The font family asked of fontconfig for a font the forms name:
// IPAPGothic for ＭＳ Ｐゴシック, IPAGothic for ＭＳ ゴシック (also under their
// Latin names); any other name as it is.
std::string PangoFamilyFor(const std::string& name);

}  // namespace ui::gtk
