// The settings window's text on Linux: the Windows font names mapped to the
// IPA fonts, sizes in pixels as Windows rounds them, half-width kana measured
// one cell each, and drawing that stays inside its clip.

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <pango/pangocairo.h>

#include <algorithm>

#include "ui/gtk/text_pango.h"
#include "ui/widgets.h"

namespace {

ui::Font DialogFont(double size = 9.75) {
  ui::Font f;
  f.Size = size;
  return f;
}

// The family fontconfig really gives for a name asked of Pango.
std::string ResolvedFamily(const std::string& name) {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  PangoContext* context = pango_font_map_create_context(map);
  PangoFontDescription* desc = pango_font_description_from_string(name.c_str());
  pango_font_description_set_absolute_size(desc, 13 * PANGO_SCALE);
  PangoFont* font = pango_font_map_load_font(map, context, desc);
  std::string family;
  if (font) {
    PangoFontDescription* got = pango_font_describe(font);
    family = pango_font_description_get_family(got);
    pango_font_description_free(got);
    g_object_unref(font);
  }
  pango_font_description_free(desc);
  g_object_unref(context);
  return family;
}

TEST(PangoText, WindowsJapaneseFontsMapToTheIpaFontsByName) {
  EXPECT_EQ(ui::gtk::PangoFamilyFor("ＭＳ Ｐゴシック"), "IPAPGothic");
  EXPECT_EQ(ui::gtk::PangoFamilyFor("ＭＳ ゴシック"), "IPAGothic");
  EXPECT_EQ(ui::gtk::PangoFamilyFor("Arial"), "Arial");
  // fontconfig gives those fonts themselves, not a fallback.
  EXPECT_EQ(ResolvedFamily("IPAPGothic"), "IPAPGothic");
  EXPECT_EQ(ResolvedFamily("IPAGothic"), "IPAGothic");
}

TEST(PangoText, HalfWidthKanaTakeOneNarrowCellEachVoicedMarkIncluded) {
  const ui::Font f = DialogFont();
  const ui::Point ta = ui::MeasureText("ﾀ", f), mark = ui::MeasureText("ﾞ", f), both = ui::MeasureText("ﾀﾞ", f);
  // The voiced mark is a character of its own beside the kana, as on Windows.
  EXPECT_GT(mark.x, 0);
  EXPECT_EQ(both.x, ta.x + mark.x);
  // Half-width: "ﾗﾝﾀﾞﾑ" (five cells) is narrower than "ランダム" (four full ones).
  EXPECT_LT(ui::MeasureText("ﾗﾝﾀﾞﾑ", f).x, ui::MeasureText("ランダム", f).x);
  EXPECT_LE(ta.x * 3, ui::MeasureText("タ", f).x * 2);
  // One line of the 13-pixel font.
  const ui::Point line = ui::MeasureText("テセレーンの設定", f);
  EXPECT_GE(line.y, 13);
  EXPECT_LE(line.y, 16);
  EXPECT_EQ(ui::MeasureText("", f).x, 0);
}

TEST(PangoText, DrawingChangesOnlyTheClipAndCentresTheText) {
  ui::Picture p;
  p.width = 80;
  p.height = 20;
  p.pixels.assign(80 * 20, ui::kWhite);
  const ui::Rect box{0, 0, 80, 20}, clip{10, 0, 70, 20};
  ui::DrawTextInto(p, box, clip, "設定", DialogFont(), 0, ui::Alignment::Center, true, true);
  int ink = 0, outside = 0, left = 80, right = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 80; ++x) {
      if (p.At(x, y) == ui::kWhite) continue;
      if (x < clip.left || x >= clip.right) ++outside;
      ++ink;
      left = std::min(left, x);
      right = std::max(right, x);
    }
  EXPECT_GT(ink, 20);
  EXPECT_EQ(outside, 0);
  // Two 13-pixel characters centred in 80 pixels.
  EXPECT_NEAR((left + right) / 2.0, 40, 3);
}

TEST(PangoText, DisabledTextIsEmbossedGreyOverWhite) {
  ui::Picture p;
  p.width = 40;
  p.height = 20;
  p.pixels.assign(40 * 20, ui::Rgb(200, 200, 200));
  ui::DrawTextInto(p, {0, 0, 40, 20}, {0, 0, 40, 20}, "設定", DialogFont(), 0, ui::Alignment::Left, false, false);
  // On a light grey ground: the highlight copy brighter, the text darker,
  // but nowhere the black it was asked for.
  bool lighter = false, darker = false, black = false;
  for (const ui::Colour c : p.pixels) {
    lighter |= ui::RedOf(c) > 230;
    darker |= ui::RedOf(c) < 170;
    black |= ui::RedOf(c) < 110;
  }
  EXPECT_TRUE(lighter);
  EXPECT_TRUE(darker);
  EXPECT_FALSE(black);
}

}  // namespace
