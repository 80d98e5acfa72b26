// Text of the settings window, measured and drawn by the browser's canvas
// in the web font the site carries (made from the IPA Gothic fonts), so
// that it looks the same in every browser.
#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/backend.h"
#include "ui/common/font_faces.h"
#include "ui/web/backend_web.h"
#include "ui/web/browser.h"

namespace ui::web {
namespace {

// The web font's family, as the site's style sheet names it.
constexpr const char* kWebFont = "\"Tessellane Gothic\"";

// A CSS font shorthand: style, weight, size in pixels and families.
std::string CssFont(const Font& font) {
  return std::string(font.Italic ? "italic " : "") + std::to_string(std::clamp(font.Weight, 100, 900)) + " " +
         std::to_string(FontPixels(font)) + "px " + CssFamilies(font.Name);
}

}  // namespace

std::string CssFamilies(const std::string& name) {
  switch (FaceOf(name)) {
    case FontFace::kProportionalGothic: return std::string(kWebFont) + ", sans-serif";
    case FontFace::kGothic: return std::string(kWebFont) + ", monospace";
    default: return "\"" + name + "\", " + kWebFont + ", sans-serif";
  }
}

}  // namespace ui::web

namespace ui {

Point MeasureText(std::string_view text, const Font& font) {
  if (text.empty()) return Point{0, 0};
  double width = 0, height = 0;
  tess_measure_text(std::string(text).c_str(), web::CssFont(font).c_str(), font.Underline, &width, &height);
  return Point{static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

// The clip's pixels go to the canvas and back: the glyphs are smoothed
// against what lies below them.
void DrawTextInto(Picture& target, const Rect& box, const Rect& clip, std::string_view text, const Font& font,
                  Colour colour, Alignment alignment, bool enabled, bool word_wrap) {
  const Rect c{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, target.width),
               std::min(clip.bottom, target.height)};
  if (text.empty() || c.right <= c.left || c.bottom <= c.top) return;
  const int w = c.right - c.left, h = c.bottom - c.top;
  std::vector<std::uint32_t> rgba(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) rgba[static_cast<std::size_t>(y) * w + x] = web::Rgba(target.At(c.left + x, c.top + y));
  tess_draw_text(rgba.data(), w, h, std::string(text).c_str(), web::CssFont(font).c_str(), font.Underline, colour,
                 box.left - c.left, box.top - c.top, box.right - box.left, static_cast<int>(alignment), enabled,
                 word_wrap);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      target.pixels[static_cast<std::size_t>(c.top + y) * target.width + c.left + x] =
          static_cast<Colour>(rgba[static_cast<std::size_t>(y) * w + x] & 0xFFFFFF);
}

}  // namespace ui
