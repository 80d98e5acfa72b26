// The Windows font names the forms use, as the backends with fonts of their
// own recognise them, and their pixel sizes.
#include "ui/common/font_faces.h"

#include <gtest/gtest.h>

namespace {

TEST(FontFaces, WindowsJapaneseFontsAreKnownByEitherNameInAnySpelling) {
  using ui::FontFace;
  const struct {
    const char* name;
    FontFace face;
  } cases[] = {
      {"ＭＳ Ｐゴシック", FontFace::kProportionalGothic},
      {"ＭＳ ゴシック", FontFace::kGothic},
      {"MS PGothic", FontFace::kProportionalGothic},
      {"ms gothic", FontFace::kGothic},
      // The ideographic blank some files carry counts as a blank.
      {"ＭＳ\u3000Ｐゴシック", FontFace::kProportionalGothic},
      {"MSPGOTHIC", FontFace::kProportionalGothic},
      {"Arial", FontFace::kOther},
      {"ＭＳ 明朝", FontFace::kOther},
  };
  for (const auto& c : cases) EXPECT_EQ(ui::FaceOf(c.name), c.face) << c.name;
}

TEST(FontFaces, PointSizesBecomeWholePixelsAt96Dpi) {
  const auto pixels = [](double points) {
    ui::Font f;
    f.Size = points;
    return ui::FontPixels(f);
  };
  EXPECT_EQ(pixels(9.75), 13);
  EXPECT_EQ(pixels(9), 12);
  EXPECT_EQ(pixels(12), 16);
  EXPECT_EQ(pixels(8), 11) << "10.67 pixels round up";
}

}  // namespace
