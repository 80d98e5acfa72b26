// A colour in the pixels of the windows a host may give: 16-bit 5-6-5, 24-
// and 32-bit 8-8-8 with and without alpha, 30-bit 10-10-10; and the
// plotters writing 16-bit pixels into rows padded to 32 bits.
#include <gtest/gtest.h>

#include <vector>

#include "ui/common/pixel_format.h"
#include "ui/common/raster.h"

namespace {

constexpr ui::Colour kRed = 0x000000FF, kGreen = 0x0000FF00, kBlue = 0x00FF0000, kWhite = 0x00FFFFFF;
constexpr ui::Colour kGrey = 0x00808080;  // 128 of each

TEST(PixelFormatTest, ComponentsAreScaledToTheirFieldsAndAlphaIsOpaque) {
  const ui::PixelFormat rgb565(0xF800, 0x07E0, 0x001F, 16, 16);
  EXPECT_EQ(rgb565.Pixel(kRed), 0xF800u);
  EXPECT_EQ(rgb565.Pixel(kGreen), 0x07E0u);
  EXPECT_EQ(rgb565.Pixel(kBlue), 0x001Fu);
  EXPECT_EQ(rgb565.Pixel(kGrey), (16u << 11) | (32u << 5) | 16u);

  const ui::PixelFormat rgb888(0xFF0000, 0x00FF00, 0x0000FF, 24, 32);
  EXPECT_EQ(rgb888.Pixel(kRed), 0xFF0000u);
  EXPECT_EQ(rgb888.Pixel(0x00332211), 0x112233u);

  // 10 bits a component: full red is 1023, not 255.
  const ui::PixelFormat rgb101010(0x3FF00000, 0x000FFC00, 0x000003FF, 30, 32);
  EXPECT_EQ(rgb101010.Pixel(kRed), 0x3FF00000u);
  EXPECT_EQ(rgb101010.Pixel(kWhite), 0x3FFFFFFFu);
  EXPECT_EQ(rgb101010.Pixel(kGrey), (514u << 20) | (514u << 10) | 514u);

  // A 32-bit ARGB window: the alpha byte is set, or a compositor shows through.
  const ui::PixelFormat argb(0xFF0000, 0x00FF00, 0x0000FF, 32, 32);
  EXPECT_EQ(argb.Pixel(0), 0xFF000000u);
  EXPECT_EQ(argb.Pixel(kBlue), 0xFF0000FFu);
  // BGR order (some servers): the masks decide.
  const ui::PixelFormat bgr(0x0000FF, 0x00FF00, 0xFF0000, 24, 32);
  EXPECT_EQ(bgr.Pixel(kRed), 0x0000FFu);
}

TEST(PixelFormatTest, OnlySixteenAndThirtyTwoBitPixelsAreDrawable) {
  EXPECT_EQ(ui::PixelFormat(0xF800, 0x07E0, 0x001F, 16, 16).WhyNotDrawable(), "");
  EXPECT_EQ(ui::PixelFormat(0x3FF00000, 0xFFC00, 0x3FF, 30, 32).WhyNotDrawable(), "");
  // Packed 24-bit pixels and a format without colour fields are refused with a reason.
  EXPECT_NE(ui::PixelFormat(0xFF0000, 0xFF00, 0xFF, 24, 24).WhyNotDrawable(), "");
  EXPECT_NE(ui::PixelFormat(0, 0, 0, 8, 8).WhyNotDrawable(), "");
}

TEST(PixelFormatTest, SixteenBitPlottersKeepToTheirRowsWhenRowsArePadded) {
  // 5 pixels a row, padded to 6 (a 16-bit image's rows end on 32 bits).
  constexpr int kWidth = 5, kHeight = 4, kStride = 6;
  constexpr std::uint16_t kPad = 0xABCD, kInk = 0xF800;
  std::vector<std::uint16_t> pixels(kStride * kHeight, kPad);
  const ui::PixelGrid16 grid{pixels.data(), kWidth, kHeight, kStride};
  ui::Fill(grid, 0);
  ui::DrawLine(grid, 0, 0, 9, 0, kInk);
  ui::DrawCircle(grid, 2, 2, 2, kInk);
  for (int y = 0; y < kHeight; ++y) EXPECT_EQ(pixels[y * kStride + kWidth], kPad) << "row " << y;
  EXPECT_EQ(pixels[kWidth - 1], kInk);
  // The circle's rightmost pixel lies on the third row, not where an unpadded grid would put it.
  EXPECT_EQ(pixels[2 * kStride + 4], kInk);
  EXPECT_EQ(pixels[2 * kStride + 3], 0);
}

}  // namespace
