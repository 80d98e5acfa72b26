// A cursor file's image as the backends that make pointers from pixels see it.
#include "ui/common/cursor_pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A 2 x 2 monochrome cursor: header, black and white, the XOR rows and the
// AND rows, each row four bytes and the bottom row first.
std::vector<unsigned char> TinyCursor() {
  std::vector<unsigned char> b(40, 0);
  b[0] = 40, b[4] = 2, b[8] = 4, b[12] = 1, b[14] = 1;
  const unsigned char palette[] = {0, 0, 0, 0, 255, 255, 255, 0};
  b.insert(b.end(), palette, palette + 8);
  const unsigned char xor_rows[] = {0x80, 0, 0, 0, 0x40, 0, 0, 0};
  const unsigned char and_rows[] = {0x40, 0, 0, 0, 0x00, 0, 0, 0};
  b.insert(b.end(), xor_rows, xor_rows + 8);
  b.insert(b.end(), and_rows, and_rows + 8);
  return b;
}

TEST(CursorRgba, MasksGiveColoursAndTransparencyRowsTopDown) {
  const auto bytes = TinyCursor();
  ui::CursorImage c;
  c.width = c.height = 2;
  c.image = bytes;
  const auto pixels = ui::CursorRgba(c);
  ASSERT_EQ(pixels.width, 2);
  ASSERT_EQ(pixels.height, 2);
  const auto& rgba = pixels.rgba;
  ASSERT_EQ(rgba.size(), 16u);
  const auto at = [&](int x, int y) {
    const std::size_t i = (y * 2 + x) * 4;
    return std::vector<int>{rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
  };
  EXPECT_EQ(at(0, 0), (std::vector<int>{0, 0, 0, 255}));        // top row: black,
  EXPECT_EQ(at(1, 0), (std::vector<int>{255, 255, 255, 255}));  // white
  EXPECT_EQ(at(0, 1), (std::vector<int>{255, 255, 255, 255}));  // bottom row: white,
  EXPECT_EQ(at(1, 1)[3], 0);                                    // the screen through
  // Not a monochrome image, or cut short: nothing.
  auto colour = bytes;
  colour[14] = 24;
  c.image = colour;
  EXPECT_TRUE(ui::CursorRgba(c).Empty());
  const std::vector<unsigned char> cut(bytes.begin(), bytes.end() - 4);
  c.image = cut;
  EXPECT_TRUE(ui::CursorRgba(c).Empty());
}

}  // namespace
