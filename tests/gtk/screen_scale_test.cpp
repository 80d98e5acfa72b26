// The settings window on HiDPI sessions: the scale a session asks for, and
// where the window goes in device pixels, wholly on the monitor.
#include <gtest/gtest.h>

#include "ui/gtk/screen_scale.h"

namespace {

using ui::Rect;
using ui::gtk::FittingScale;
using ui::gtk::LogicalDpi;
using ui::gtk::PlaceOnMonitor;
using ui::gtk::SessionScale;
using ui::gtk::ToLogical;

constexpr Rect kFullHd{0, 0, 1920, 1080};

// The layout's 446 x 477 at its place on a logical screen: half the spare
// width from the left, a third of the spare height from the top.
Rect DialogOn(const Rect& logical_screen) {
  const int w = logical_screen.right - logical_screen.left, h = logical_screen.bottom - logical_screen.top;
  const int left = (w - 446) / 2, top = (h - 477) / 3;
  return Rect{left, top, left + 446, top + 477};
}

bool Within(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

TEST(SessionScale, GtksOwnScaleWinsAndDpiAloneScalesByWholeFactors) {
  EXPECT_EQ(SessionScale(2, true, 96), 2);
  // GTK already doubles: a desktop's 192 dpi does not double it again.
  EXPECT_EQ(SessionScale(2, true, 192), 2);
  EXPECT_EQ(SessionScale(2, false, 192), 2);
  // GDK_SCALE=1 is the user's choice, whatever Xft.dpi says.
  EXPECT_EQ(SessionScale(1, true, 192), 1);
  EXPECT_EQ(SessionScale(1, false, 96), 1);
  EXPECT_EQ(SessionScale(1, false, 120), 1);
  EXPECT_EQ(SessionScale(1, false, 191), 1);
  EXPECT_EQ(SessionScale(1, false, 192), 2);
  EXPECT_EQ(SessionScale(1, false, 288), 3);
  EXPECT_EQ(SessionScale(1, false, 0), 1);
}

TEST(LogicalDpi, ScaledSessionsMeasureLogicalPixelsAt96OrTheirOwnLargerText) {
  EXPECT_EQ(LogicalDpi(120, 1), 120);
  EXPECT_EQ(LogicalDpi(192, 2), 96);
  EXPECT_EQ(LogicalDpi(96, 2), 96);
  EXPECT_EQ(LogicalDpi(240, 2), 120);
}

TEST(ToLogical, DividesRoundingTowardTheTopLeft) {
  EXPECT_EQ(ToLogical(kFullHd, 2), (Rect{0, 0, 960, 540}));
  EXPECT_EQ(ToLogical(Rect{-1, 3, 1921, 1081}, 2), (Rect{-1, 1, 960, 540}));
  EXPECT_EQ(ToLogical(ui::Point{-3, 5}, 2).x, -2);
}

// The sessions of a 1920 x 1080 screen at twice the size: the window has
// twice the layout's size at twice its logical place, wholly on the screen.
TEST(PlaceOnMonitor, DoubledWindowAtItsLogicalPlaceWhollyOnScreen) {
  for (const int scale : {SessionScale(2, true, 96), SessionScale(1, false, 192)}) {
    const Rect placed = PlaceOnMonitor(DialogOn(ToLogical(kFullHd, scale)), scale, kFullHd);
    EXPECT_EQ(placed, (Rect{514, 42, 514 + 892, 42 + 954}));
    EXPECT_TRUE(Within(placed, kFullHd));
  }
  EXPECT_EQ(PlaceOnMonitor(DialogOn(kFullHd), 1, kFullHd), (Rect{737, 201, 737 + 446, 201 + 477}));
}

// At 3x the settings window is 1338 x 1431: too tall for 1080 lines, it is
// shown at 2x; a 4K screen takes 3x; a screen too small for 2x gets 1x.
TEST(FittingScale, TheLargestWholeScaleAtWhichTheWindowFits) {
  EXPECT_EQ(FittingScale(3, 446, 477, kFullHd), 2);
  EXPECT_EQ(FittingScale(3, 446, 477, Rect{0, 0, 3840, 2160}), 3);
  EXPECT_EQ(FittingScale(2, 446, 477, Rect{0, 0, 800, 600}), 1);
  EXPECT_EQ(FittingScale(2, 446, 477, Rect{0, 0, 892, 954}), 2) << "exactly the work area";
  EXPECT_EQ(FittingScale(2, 446, 477, Rect{0, 0, 892, 953}), 1);
  // A panel takes part of the monitor.
  EXPECT_EQ(FittingScale(2, 446, 477, Rect{0, 30, 1920, 960}), 1);
  EXPECT_EQ(FittingScale(1, 446, 477, Rect{0, 0, 100, 100}), 1);
}

TEST(PlaceOnMonitor, MovesAWindowThatFitsBackOntoTheMonitor) {
  const Rect monitor{1920, 0, 3840, 1080};
  const Rect size{0, 0, 446, 477};
  EXPECT_EQ(PlaceOnMonitor(size, 2, monitor), (Rect{1920, 0, 1920 + 892, 954}));
  const Rect past_the_corner{1800, 400, 1800 + 446, 400 + 477};
  EXPECT_EQ(PlaceOnMonitor(past_the_corner, 2, monitor), (Rect{3840 - 892, 1080 - 954, 3840, 1080}));
}

// Larger than the monitor: the top left (title strip, close button, the
// buttons below it) stays on it.
TEST(PlaceOnMonitor, KeepsTheTopLeftOfAWindowLargerThanTheMonitor) {
  const Rect small{0, 0, 1024, 768};
  const Rect placed = PlaceOnMonitor(DialogOn(ToLogical(small, 2)), 2, small);
  EXPECT_EQ(placed.left, 66);
  EXPECT_EQ(placed.top, 0);
  EXPECT_EQ(placed.bottom - placed.top, 954);
  EXPECT_EQ(PlaceOnMonitor(DialogOn(ToLogical(kFullHd, 3)), 3, kFullHd), (Rect{291, 0, 291 + 1338, 1431}));
  EXPECT_EQ(PlaceOnMonitor(Rect{-900, -900, -100, -100}, 2, Rect{0, 0, 1000, 1000}).left, 0);
}

}  // namespace
