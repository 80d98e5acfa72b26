// Pictures: images decoded into pixels, and the images embedded in the program.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "ui/types.h"

namespace ui {

// A decoded image: rows top-down, each pixel a colour value 0x00BBGGRR.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Colour> pixels;

  bool Empty() const { return width == 0 || height == 0; }
  Colour At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Decodes a JPEG, GIF (first frame), BMP or PNG file; an empty picture when
// the bytes are not an image.
Picture DecodePicture(std::span<const unsigned char> bytes);

// The bytes of an asset embedded in the program, by its file name in assets/
// ("preview.jpg"); empty when there is no such asset.
std::span<const unsigned char> EmbeddedAsset(std::string_view name);

// An embedded image, decoded once and kept; empty when it is missing.
const Picture& EmbeddedPicture(std::string_view name);

}  // namespace ui
