// Pixel drawing shared by the portable widgets and the backends' own
// surfaces, so that a line, a circle or a stretched picture comes out the
// same everywhere.
#pragma once
#include <algorithm>
#include <vector>

#include "ui/picture.h"

namespace ui {

// A pixel buffer, rows top-down: a Picture's or a headless surface's.
struct PixelGrid {
  Colour* pixels;
  int width;
  int height;
  template <class Image>
  static PixelGrid Of(Image& image) {
    return {image.pixels.data(), image.width, image.height};
  }
};

// A pixel outside the grid is left out.
inline void Plot(PixelGrid grid, int x, int y, Colour colour) {
  if (x >= 0 && y >= 0 && x < grid.width && y < grid.height)
    grid.pixels[static_cast<std::size_t>(y) * grid.width + x] = colour;
}

// Every pixel of the grid becomes `colour`, as fast as a memset: the first
// row by hand, the others copies of it.
void Fill(PixelGrid grid, Colour colour);

// The end point is not drawn, as on the platform.
void DrawLine(PixelGrid grid, int x1, int y1, int x2, int y2, Colour colour);

// Midpoint circle: the one-pixel outline of the given radius around (cx,
// cy), the pixel nearest the true circle in each row of the steep octants
// and each column of the flat ones. Radius 0 is the centre alone; a negative
// radius draws nothing.
void DrawCircle(PixelGrid grid, int cx, int cy, int radius, Colour colour);

// Nearest-neighbour stretch of a source rectangle into a destination one:
// each destination pixel takes the source pixel under its centre. Only the
// destination pixels inside `clip` change.
void StretchNearest(PixelGrid grid, const Picture& picture, const Rect& dest, const Rect& source, const Rect& clip);
inline void StretchNearest(PixelGrid grid, const Picture& picture, const Rect& dest, const Rect& source) {
  StretchNearest(grid, picture, dest, source, Rect{0, 0, grid.width, grid.height});
}

// Gives an image a new size, keeping what overlaps; new parts are `fill`.
template <class Image>
void ResizeKeeping(Image& image, int width, int height, Colour fill) {
  std::vector<Colour> pixels(static_cast<std::size_t>(width) * height, fill);
  for (int y = 0; y < std::min(height, image.height); ++y)
    for (int x = 0; x < std::min(width, image.width); ++x)
      pixels[static_cast<std::size_t>(y) * width + x] = image.At(x, y);
  image.pixels = std::move(pixels);
  image.width = width;
  image.height = height;
}

}  // namespace ui
