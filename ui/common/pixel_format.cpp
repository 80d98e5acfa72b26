#include "ui/common/pixel_format.h"

#include <bit>

namespace ui {

PixelFormat::PixelFormat(std::uint32_t red_mask, std::uint32_t green_mask, std::uint32_t blue_mask, int depth,
                         int bits_per_pixel)
    : red_(FieldOf(red_mask)), green_(FieldOf(green_mask)), blue_(FieldOf(blue_mask)), bits_per_pixel_(bits_per_pixel) {
  // A 32-bit ARGB window keeps its alpha in the bits the components leave;
  // they are set, or a compositor would show the picture see-through.
  const std::uint32_t depth_bits = depth >= 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
  alpha_bits_ = depth_bits & ~(red_mask | green_mask | blue_mask);
}

PixelFormat::Field PixelFormat::FieldOf(std::uint32_t mask) {
  Field field;
  if (mask == 0) return field;
  field.shift = std::countr_zero(mask);
  field.bits = std::popcount(mask);
  return field;
}

std::uint32_t PixelFormat::Field::Of(int component) const {
  if (bits == 0) return 0;
  const std::uint32_t most = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
  // Rounded, so that 255 is the field's full value at any width.
  const std::uint64_t scaled = (static_cast<std::uint64_t>(component) * most + 127) / 255;
  return static_cast<std::uint32_t>(scaled) << shift;
}

std::string PixelFormat::WhyNotDrawable() const {
  if (bits_per_pixel_ != 16 && bits_per_pixel_ != 32)
    return "画面の 1 ピクセルが " + std::to_string(bits_per_pixel_) +
           " ビットの形式には描けません (16 または 32 ビットの形式が必要です)";
  if (red_.bits == 0 || green_.bits == 0 || blue_.bits == 0) return "画面の色の形式が分かりません";
  return {};
}

std::uint32_t PixelFormat::Pixel(Colour colour) const {
  return red_.Of(RedOf(colour)) | green_.Of(GreenOf(colour)) | blue_.Of(BlueOf(colour)) | alpha_bits_;
}

}  // namespace ui
