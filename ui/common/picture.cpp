// Image decoding with the stb single-file decoder, the same on every platform.
#include "ui/picture.h"

#include <map>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace ui {

Picture DecodePicture(std::span<const unsigned char> bytes) {
  Picture picture;
  if (bytes.empty()) return picture;
  int w = 0, h = 0, channels = 0;
  unsigned char* rgb = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 3);
  if (!rgb) return picture;
  picture.width = w;
  picture.height = h;
  picture.pixels.resize(static_cast<std::size_t>(w) * h);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i)
    picture.pixels[i] = Rgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
  stbi_image_free(rgb);
  return picture;
}

const Picture& EmbeddedPicture(std::string_view name) {
  static std::map<std::string, Picture, std::less<>> cache;
  auto it = cache.find(name);
  if (it == cache.end()) it = cache.emplace(std::string(name), DecodePicture(EmbeddedAsset(name))).first;
  return it->second;
}

}  // namespace ui
