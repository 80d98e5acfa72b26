#include "ui/common/raster.h"

#include <cstdlib>
#include <cstring>

namespace ui {

template <class Pixel>
void Fill(BasicPixelGrid<Pixel> grid, std::type_identity_t<Pixel> value) {
  if (grid.width <= 0 || grid.height <= 0) return;
  std::fill(grid.pixels, grid.pixels + grid.width, value);
  const std::size_t row_bytes = static_cast<std::size_t>(grid.width) * sizeof(Pixel);
  for (int y = 1; y < grid.height; ++y) std::memcpy(grid.Row(y), grid.pixels, row_bytes);
}

template <class Pixel>
void DrawLine(BasicPixelGrid<Pixel> grid, int x1, int y1, int x2, int y2, std::type_identity_t<Pixel> value) {
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  while (x1 != x2 || y1 != y2) {
    Plot(grid, x1, y1, value);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x1 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y1 += sy;
    }
  }
}

template <class Pixel>
void DrawCircle(BasicPixelGrid<Pixel> grid, int cx, int cy, int radius, std::type_identity_t<Pixel> value) {
  int x = radius, y = 0, err = 1 - radius;
  while (x >= y) {
    const int octants[8][2] = {{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
    for (const auto& p : octants) Plot(grid, cx + p[0], cy + p[1], value);
    ++y;
    if (err < 0) {
      err += 2 * y + 1;
    } else {
      --x;
      err += 2 * (y - x) + 1;
    }
  }
}

template <class Pixel>
void StretchNearest(BasicPixelGrid<Pixel> grid, const Picture& pic, const Rect& d, const Rect& s, const Rect& clip) {
  const int dw = d.right - d.left, dh = d.bottom - d.top, sw = s.right - s.left, sh = s.bottom - s.top;
  if (pic.Empty() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const int x0 = std::max(0, clip.left - d.left), x1 = std::min(dw, clip.right - d.left);
  const int y0 = std::max(0, clip.top - d.top), y1 = std::min(dh, clip.bottom - d.top);
  for (int y = y0; y < y1; ++y) {
    const int sy = s.top + static_cast<int>((y + 0.5) * sh / dh);
    if (sy < 0 || sy >= pic.height) continue;
    for (int x = x0; x < x1; ++x) {
      const int sx = s.left + static_cast<int>((x + 0.5) * sw / dw);
      if (sx >= 0 && sx < pic.width) Plot(grid, d.left + x, d.top + y, static_cast<Pixel>(pic.At(sx, sy)));
    }
  }
}

void VerticalGradient(PixelGrid grid, const Rect& r, Colour top, Colour bottom) {
  const int span = r.bottom - r.top;
  const auto mix = [](int c0, int c1, double t) { return static_cast<int>((c0 << 8) + ((c1 - c0) << 8) * t) >> 8; };
  for (int y = r.top; y < r.bottom; ++y) {
    const double t = span > 0 ? static_cast<double>(y - r.top) / span : 0;
    const Colour c = Rgb(mix(RedOf(top), RedOf(bottom), t), mix(GreenOf(top), GreenOf(bottom), t),
                         mix(BlueOf(top), BlueOf(bottom), t));
    for (int x = r.left; x < r.right; ++x) Plot(grid, x, y, c);
  }
}

void ExpandPaletted(const std::uint8_t* bits, int stride, int width, int height, const std::uint32_t* palette,
                    std::uint32_t* out, int out_stride) {
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = bits + static_cast<std::size_t>(height - 1 - y) * stride;
    std::uint32_t* row = out + static_cast<std::size_t>(y) * out_stride;
    for (int x = 0; x < width; ++x) row[x] = palette[in[x]];
  }
}

std::array<EdgeLine, 8> SunkenEdge(const Rect& r) {
  const int l = r.left, t = r.top, rr = r.right, b = r.bottom;
  const Colour grey = Rgb(128, 128, 128), dark = Rgb(64, 64, 64), light = Rgb(212, 208, 200);
  return {{{{l, t, rr - 1, t + 1}, grey},
           {{l, t, l + 1, b - 1}, grey},
           {{l + 1, t + 1, rr - 2, t + 2}, dark},
           {{l + 1, t + 1, l + 2, b - 2}, dark},
           {{l, b - 1, rr, b}, kWhite},
           {{rr - 1, t, rr, b}, kWhite},
           {{l + 1, b - 2, rr - 1, b - 1}, light},
           {{rr - 2, t + 1, rr - 1, b - 1}, light}}};
}

// The server images of 32 and of 16 bits per pixel.
template void Fill(BasicPixelGrid<Colour>, Colour);
template void DrawLine(BasicPixelGrid<Colour>, int, int, int, int, Colour);
template void DrawCircle(BasicPixelGrid<Colour>, int, int, int, Colour);
template void StretchNearest(BasicPixelGrid<Colour>, const Picture&, const Rect&, const Rect&, const Rect&);
template void Fill(BasicPixelGrid<std::uint16_t>, std::uint16_t);
template void DrawLine(BasicPixelGrid<std::uint16_t>, int, int, int, int, std::uint16_t);
template void DrawCircle(BasicPixelGrid<std::uint16_t>, int, int, int, std::uint16_t);
template void StretchNearest(BasicPixelGrid<std::uint16_t>, const Picture&, const Rect&, const Rect&, const Rect&);

}  // namespace ui
