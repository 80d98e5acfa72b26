// A cursor file's monochrome image as RGBA pixels, for the backends whose
// system makes pointers from pixels.
#include "ui/common/cursor_pixels.h"

namespace ui {
namespace {

std::uint32_t Le32(std::span<const unsigned char> b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
bool Bit(std::span<const unsigned char> b, std::size_t row_at, int x) { return (b[row_at + x / 8] >> (7 - x % 8)) & 1; }

}  // namespace

// A monochrome image: the AND mask says where the screen shows through, the
// XOR mask picks one of the two palette colours; where both are set the
// screen is inverted, which a pointer made of pixels cannot do: black there.
CursorPixels CursorRgba(const CursorImage& cursor) {
  const auto b = cursor.image;
  if (b.size() < 40) return {};
  const std::uint32_t header = Le32(b, 0);
  const int width = static_cast<int>(Le32(b, 4)), height = static_cast<int>(Le32(b, 8)) / 2;
  const int bits = b[14] | (b[15] << 8);
  if (bits != 1 || width <= 0 || height <= 0 || width > 256 || height > 256) return {};
  const std::size_t stride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  const std::size_t palette = header, xor_at = header + 8, and_at = xor_at + stride * height;
  if (and_at + stride * height > b.size()) return {};
  CursorPixels out{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4, 0)};
  for (int y = 0; y < height; ++y) {
    const std::size_t row = static_cast<std::size_t>(height - 1 - y) * stride;  // stored bottom-up
    for (int x = 0; x < width; ++x) {
      const bool transparent = Bit(b, and_at + row, x), colour = Bit(b, xor_at + row, x);
      std::uint8_t* p = &out.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
      if (transparent && !colour) continue;
      const std::size_t entry = palette + (transparent ? 0 : colour ? 4 : 0);
      p[0] = b[entry + 2], p[1] = b[entry + 1], p[2] = b[entry], p[3] = 255;
    }
  }
  return out;
}

}  // namespace ui
