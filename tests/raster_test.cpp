// The pixel plotters every backend shares: the circle outline of the display,
// the line of the dialog's picture, the clipping at a surface's edges.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "ui/common/raster.h"

namespace {

constexpr ui::Colour kBack = 0x00101010;
constexpr ui::Colour kInk = 0x0000FFFF;

using PixelSet = std::set<std::pair<int, int>>;

struct Grid {
  Grid(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, kBack) {}
  ui::PixelGrid View() { return {pixels.data(), width, height}; }
  ui::Colour At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  // The inked pixels, relative to (ox, oy).
  PixelSet Inked(int ox = 0, int oy = 0) const {
    PixelSet set;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (At(x, y) == kInk) set.insert({x - ox, y - oy});
    return set;
  }
  int width, height;
  std::vector<ui::Colour> pixels;
};

// A circle of radius r around the centre of a grid with room to spare.
PixelSet CircleAtOrigin(int r) {
  Grid g(2 * r + 5, 2 * r + 5);
  ui::DrawCircle(g.View(), r + 2, r + 2, r, kInk);
  return g.Inked(r + 2, r + 2);
}

// The outline worked out another way: in the octant from the x axis to the
// diagonal, row y holds the pixel nearest the true circle, x = sqrt(r² - y²)
// rounded; the other seven octants mirror it.
PixelSet NearestPixelCircle(int r) {
  PixelSet set;
  for (int y = 0;; ++y) {
    const int x = static_cast<int>(std::lround(std::sqrt(double(r) * r - double(y) * y)));
    if (x < y) break;
    for (const auto& [a, b] : {std::pair{x, y}, {y, x}})
      for (int sa : {-1, 1})
        for (int sb : {-1, 1}) set.insert({sa * a, sb * b});
  }
  return set;
}

int Neighbours(const PixelSet& set, std::pair<int, int> p) {
  int n = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if ((dx || dy) && set.count({p.first + dx, p.second + dy})) ++n;
  return n;
}

// Pixels reachable from the first one through 8-neighbours.
std::size_t ConnectedSize(const PixelSet& set) {
  PixelSet seen{*set.begin()};
  std::vector<std::pair<int, int>> todo{*set.begin()};
  while (!todo.empty()) {
    const auto [x, y] = todo.back();
    todo.pop_back();
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (set.count({x + dx, y + dy}) && seen.insert({x + dx, y + dy}).second) todo.push_back({x + dx, y + dy});
  }
  return seen.size();
}

TEST(CircleTest, RadiusZeroIsTheCentreAndSmallRadiiGiveKnownPixels) {
  EXPECT_EQ(CircleAtOrigin(0), (PixelSet{{0, 0}}));
  EXPECT_EQ(CircleAtOrigin(1), (PixelSet{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}));
  EXPECT_EQ(
      CircleAtOrigin(2),
      (PixelSet{
          {2, 0}, {-2, 0}, {0, 2}, {0, -2}, {2, 1}, {2, -1}, {-2, 1}, {-2, -1}, {1, 2}, {-1, 2}, {1, -2}, {-1, -2}}));
  Grid g(5, 5);
  ui::DrawCircle(g.View(), 2, 2, -1, kInk);
  EXPECT_TRUE(g.Inked().empty());
}

// The display's radii run from 8 to 100.
TEST(CircleTest, EveryRadiusGivesTheNearestPixelOfEachRowOrColumn) {
  for (int r = 0; r <= 100; ++r) EXPECT_EQ(CircleAtOrigin(r), NearestPixelCircle(r)) << "radius " << r;
}

TEST(CircleTest, TheOutlineIsSymmetricClosedAndOnePixelWide) {
  for (int r = 1; r <= 100; ++r) {
    const PixelSet c = CircleAtOrigin(r);
    for (const auto& [x, y] : c) {
      ASSERT_TRUE(c.count({-x, y}) && c.count({x, -y}) && c.count({y, x})) << "radius " << r << " at " << x << "," << y;
      // On the circle, to the nearest pixel.
      ASSERT_LT(std::abs(std::hypot(x, y) - r), 0.5) << "radius " << r << " at " << x << "," << y;
      // No gap: each pixel joins two others (three where an octant meets the diagonal).
      const int n = Neighbours(c, {x, y});
      ASSERT_TRUE(n == 2 || n == 3) << "radius " << r << " at " << x << "," << y << ": " << n << " neighbours";
      // One pixel wide: never a 2 x 2 block.
      ASSERT_FALSE(c.count({x + 1, y}) && c.count({x, y + 1}) && c.count({x + 1, y + 1})) << "radius " << r;
    }
    EXPECT_EQ(ConnectedSize(c), c.size()) << "radius " << r;
  }
}

// A circle across an edge keeps the pixels inside and loses the rest; none
// wraps into the next row or lands outside the buffer.
TEST(CircleTest, ACircleAcrossTheEdgesIsClippedToTheSurface) {
  const int r = 9;
  const PixelSet whole = CircleAtOrigin(r);
  for (const auto& [cx, cy] : {std::pair{0, 0}, {19, 14}, {3, 10}, {17, -4}, {-9, 7}, {10, 23}}) {
    Grid g(20, 15);
    ui::DrawCircle(g.View(), cx, cy, r, kInk);
    PixelSet expected;
    for (const auto& [x, y] : whole)
      if (cx + x >= 0 && cx + x < 20 && cy + y >= 0 && cy + y < 15) expected.insert({cx + x, cy + y});
    EXPECT_EQ(g.Inked(), expected) << "centre " << cx << "," << cy;
  }
  Grid g(20, 15);
  ui::DrawCircle(g.View(), -30, 40, r, kInk);
  EXPECT_TRUE(g.Inked().empty());
}

// A line stops one pixel short of its end point, whatever its direction; in
// between, each column (or row) holds the pixel nearest the true line.
TEST(LineTest, ALineLeavesOutItsEndPoint) {
  const std::pair<std::pair<int, int>, PixelSet> cases[] = {
      {{5, 2}, {{2, 2}, {3, 2}, {4, 2}}},
      {{2, 6}, {{2, 2}, {2, 3}, {2, 4}, {2, 5}}},
      {{6, 6}, {{2, 2}, {3, 3}, {4, 4}, {5, 5}}},
      {{0, 0}, {{2, 2}, {1, 1}}},
      {{9, 5}, {{2, 2}, {3, 2}, {4, 3}, {5, 3}, {6, 4}, {7, 4}, {8, 5}}},
      {{2, 2}, {}},
  };
  for (const auto& [end, expected] : cases) {
    Grid g(10, 10);
    ui::DrawLine(g.View(), 2, 2, end.first, end.second, kInk);
    EXPECT_EQ(g.Inked(), expected) << "to " << end.first << "," << end.second;
  }
}

TEST(LineTest, ALineLeavingTheSurfaceIsClipped) {
  Grid g(6, 4);
  ui::DrawLine(g.View(), -2, 1, 9, 1, kInk);
  EXPECT_EQ(g.Inked(), (PixelSet{{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}));
}

}  // namespace

namespace {

// The system's gradient fill: the top colour in the first row, each row on
// towards the bottom colour, which the last row (left out) would have.
TEST(GradientTest, RunsFromTheTopColourDownAndLeavesOutTheLastRowAndColumn) {
  Grid grid(3, 5);
  ui::VerticalGradient(grid.View(), ui::Rect{0, 0, 2, 4}, ui::Rgb(0, 0, 0), ui::Rgb(200, 100, 40));
  EXPECT_EQ(grid.At(0, 0), ui::Rgb(0, 0, 0));
  EXPECT_EQ(grid.At(1, 2), ui::Rgb(100, 50, 20));
  EXPECT_EQ(grid.At(0, 3), ui::Rgb(150, 75, 30));
  for (int y = 1; y < 4; ++y) EXPECT_GT(ui::RedOf(grid.At(0, y)), ui::RedOf(grid.At(0, y - 1))) << y;
  EXPECT_EQ(grid.At(2, 1), kBack) << "the right column stays out";
  EXPECT_EQ(grid.At(0, 4), kBack) << "the bottom row stays out";
}

// An 8-bit picture stored bottom-up with padded rows, through its palette.
TEST(PalettedTest, TheLastStoredRowIsTheTopAndThePaddingIsSkipped) {
  const std::uint8_t bits[] = {1, 0, 0, 9,   // the bottom row, then a padding byte...
                               0, 1, 1, 9};  // the top row
  const std::uint32_t palette[256] = {0xA0, 0xB1};
  std::uint32_t out[2 * 3] = {};
  ui::ExpandPaletted(bits, 4, 3, 2, palette, out, 3);
  EXPECT_EQ(std::vector<std::uint32_t>(out, out + 6), (std::vector<std::uint32_t>{0xA0, 0xB1, 0xB1, 0xB1, 0xA0, 0xA0}));
}

// The sunken edge: grey then dark grey along the top and the left, white
// then light grey along the bottom and the right, two pixels wide.
TEST(SunkenEdgeTest, TwoPixelsOfTheSystemsColoursOnEachSide) {
  Grid grid(10, 8);
  for (const ui::EdgeLine& line : ui::SunkenEdge(ui::Rect{0, 0, 10, 8}))
    for (int y = line.rect.top; y < line.rect.bottom; ++y)
      for (int x = line.rect.left; x < line.rect.right; ++x) ui::Plot(grid.View(), x, y, line.colour);
  const ui::Colour grey = ui::Rgb(128, 128, 128), dark = ui::Rgb(64, 64, 64), light = ui::Rgb(212, 208, 200);
  EXPECT_EQ(grid.At(4, 0), grey);
  EXPECT_EQ(grid.At(0, 4), grey);
  EXPECT_EQ(grid.At(4, 1), dark);
  EXPECT_EQ(grid.At(1, 4), dark);
  EXPECT_EQ(grid.At(4, 7), ui::kWhite);
  EXPECT_EQ(grid.At(9, 4), ui::kWhite);
  EXPECT_EQ(grid.At(4, 6), light);
  EXPECT_EQ(grid.At(8, 4), light);
  EXPECT_EQ(grid.At(4, 4), kBack) << "the inside is left alone";
}

}  // namespace
