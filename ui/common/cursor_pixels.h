// A cursor file's image as pixels.
#pragma once
#include <cstdint>
#include <vector>

#include "ui/widgets.h"

namespace ui {

struct CursorPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // rows top-down
  bool Empty() const { return rgba.empty(); }
};

// A monochrome cursor image as RGBA pixels; empty when the image is not one
// this reads.
CursorPixels CursorRgba(const CursorImage& cursor);

}  // namespace ui
