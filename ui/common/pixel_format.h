// How a TrueColor window holds a colour: where each component's bits lie,
// how many there are, and what is left for alpha. The display plots
// straight into an image of its window's own format (16, 24, 30 or 32 bits
// deep), so a colour becomes that window's pixel value once, here.
#pragma once
#include <cstdint>
#include <string>

#include "ui/picture.h"

namespace ui {

class PixelFormat {
 public:
  // The masks of a visual, its depth and the image's bits per pixel.
  PixelFormat(std::uint32_t red_mask, std::uint32_t green_mask, std::uint32_t blue_mask, int depth, int bits_per_pixel);

  // Why an image of this format cannot be drawn, or empty when it can: the
  // plotters write 16- and 32-bit pixels.
  std::string WhyNotDrawable() const;
  int BitsPerPixel() const { return bits_per_pixel_; }

  // The pixel value of a colour value 0x00BBGGRR: each 8-bit component
  // scaled to its field (a 5-, 6- or 10-bit one too), alpha opaque.
  std::uint32_t Pixel(Colour colour) const;

 private:
  struct Field {
    int shift = 0;
    int bits = 0;
    std::uint32_t Of(int component) const;
  };
  static Field FieldOf(std::uint32_t mask);

  Field red_, green_, blue_;
  std::uint32_t alpha_bits_ = 0;
  int bits_per_pixel_;
};

}  // namespace ui
