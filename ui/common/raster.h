// Pixel drawing shared by the portable widgets and the backends' own
// surfaces, so that a line, a circle or a stretched picture comes out the
// same everywhere.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "ui/picture.h"

namespace ui {

// A pixel buffer, rows top-down, `stride` pixels apart: a Picture's, a
// headless surface's, or a server image of 16 or 32 bits per pixel whose
// rows may be padded.
template <class Pixel>
struct BasicPixelGrid {
  Pixel* pixels;
  int width;
  int height;
  int stride;
  BasicPixelGrid(Pixel* pixels, int width, int height, int stride)
      : pixels(pixels), width(width), height(height), stride(stride) {}
  BasicPixelGrid(Pixel* pixels, int width, int height) : BasicPixelGrid(pixels, width, height, width) {}
  template <class Image>
  static BasicPixelGrid Of(Image& image) {
    return {image.pixels.data(), image.width, image.height};
  }
  Pixel* Row(int y) const { return pixels + static_cast<std::size_t>(y) * stride; }
};
using PixelGrid = BasicPixelGrid<Colour>;
using PixelGrid16 = BasicPixelGrid<std::uint16_t>;

// A pixel outside the grid is left out.
template <class Pixel>
inline void Plot(BasicPixelGrid<Pixel> grid, int x, int y, std::type_identity_t<Pixel> value) {
  if (x >= 0 && y >= 0 && x < grid.width && y < grid.height) grid.Row(y)[x] = value;
}

// The plotters below take a grid of either pixel size; a colour is the
// grid's own pixel value.

// Every pixel of the grid becomes `value`, as fast as a memset: the first
// row by hand, the others copies of it.
template <class Pixel>
void Fill(BasicPixelGrid<Pixel> grid, std::type_identity_t<Pixel> value);

// The end point is not drawn, as on the platform.
template <class Pixel>
void DrawLine(BasicPixelGrid<Pixel> grid, int x1, int y1, int x2, int y2, std::type_identity_t<Pixel> value);

// Midpoint circle: the one-pixel outline of the given radius around (cx,
// cy), the pixel nearest the true circle in each row of the steep octants
// and each column of the flat ones. Radius 0 is the centre alone; a negative
// radius draws nothing.
template <class Pixel>
void DrawCircle(BasicPixelGrid<Pixel> grid, int cx, int cy, int radius, std::type_identity_t<Pixel> value);

// Nearest-neighbour stretch of a source rectangle into a destination one:
// each destination pixel takes the source pixel under its centre (the
// picture holds the grid's pixel values). Only the destination pixels
// inside `clip` change.
template <class Pixel>
void StretchNearest(BasicPixelGrid<Pixel> grid, const Picture& picture, const Rect& dest, const Rect& source,
                    const Rect& clip);
template <class Pixel>
void StretchNearest(BasicPixelGrid<Pixel> grid, const Picture& picture, const Rect& dest, const Rect& source) {
  StretchNearest(grid, picture, dest, source, Rect{0, 0, grid.width, grid.height});
}

// Fills the rectangle without its right column and bottom row, from the
// top colour at its upper edge to the bottom colour at its lower edge, as
// the system's gradient fill does: 16-bit channels mixed and cut back to bytes.
void VerticalGradient(PixelGrid grid, const Rect& rect, Colour top, Colour bottom);

// An 8-bit picture whose scan lines are stored bottom-up (`stride` bytes
// apart) turned into words through a palette of 256, rows top-down.
void ExpandPaletted(const std::uint8_t* bits, int stride, int width, int height, const std::uint32_t* palette,
                    std::uint32_t* out, int out_stride);

// The system's sunken edge of a picture box, two pixels wide inside
// `outer`: grey and dark grey along the top and left, white and light grey
// along the bottom and right, in painting order.
struct EdgeLine {
  Rect rect;
  Colour colour;
};
std::array<EdgeLine, 8> SunkenEdge(const Rect& outer);

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
