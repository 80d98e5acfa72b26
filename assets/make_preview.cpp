// Makes assets/preview.jpg, the still picture of the preview: the ring net of
// the display in miniature, drawn by the program's own ring drawing and path
// rules on a headless picture box at four times the size, then reduced with
// an area average so that the one-pixel rings stay smooth.
//
//   make_preview <out.jpg>
//
// The result is the same on every run: the colours come from the program's
// unseeded random generator, and stb's JPEG writer is deterministic.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "display/Tessellane_S.h"
#include "ui/form.h"
#include "ui/headless/headless.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

constexpr int kWidth = 152;
constexpr int kHeight = 112;
constexpr int kScale = 4;
// At the drawing scale. Fewer, larger rings than a full cycle on a screen: at
// 152 x 112 a whole cycle fills the picture with a grey mesh.
constexpr int kStep = 20;
constexpr int kRadius = 72;
constexpr int kRingWidth = 3;  // about three quarters of a pixel after the reduction
constexpr int kRings = 120;

// The display's path: the centre moves kStep along a diagonal that bounces off
// the edges, the colour alternating with its complement.
void DrawNet(ui::PictureBox& box, ui::Colour colour) {
  const int w = box.ScaleWidth(), h = box.ScaleHeight();
  int x = 0, y = 0, sx = kStep, sy = kStep;
  ui::Colour c = colour;
  for (int n = 0; n < kRings; ++n) {
    x += sx;
    y += sy;
    c = 0xFFFFFF - c;
    for (int r = 0; r < kRingWidth; ++r) box.Circle(x, y, kRadius + r, c);
    if (x > w || x < 0) sx = -sx;
    if (y > h || y < 0) sy = -sy;
    if (x < 0 && y < 0) break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_preview <out.jpg>\n");
    return 2;
  }
  headless::Reset();
  ui::Form form;
  ui::PictureBox box(form);
  box.Move(0, 0, kWidth * kScale, kHeight * kScale);
  box.SetBackColor(0);
  // A colour and its complement in turn, as every second cycle of a run
  // shows them: the unseeded generator's first colour, a blue, with orange.
  const ui::Colour colour = display::RandomColour();
  DrawNet(box, colour);

  const headless::Surface& s = headless::SurfaceOf(box);
  std::vector<unsigned char> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      int sum[3] = {0, 0, 0};
      for (int dy = 0; dy < kScale; ++dy)
        for (int dx = 0; dx < kScale; ++dx) {
          const ui::Colour c = s.At(x * kScale + dx, y * kScale + dy);
          sum[0] += ui::RedOf(c);
          sum[1] += ui::GreenOf(c);
          sum[2] += ui::BlueOf(c);
        }
      // The thin rings lose brightness in the average; give some back.
      for (int i = 0; i < 3; ++i)
        rgb[(static_cast<std::size_t>(y) * kWidth + x) * 3 + i] =
            static_cast<unsigned char>(std::min(255, sum[i] * 2 / (kScale * kScale)));
    }
  if (!stbi_write_jpg(argv[1], kWidth, kHeight, 3, rgb.data(), 92)) {
    std::fprintf(stderr, "make_preview: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
