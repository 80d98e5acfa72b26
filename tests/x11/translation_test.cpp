// What the Linux programs translate from X: keys and buttons into the forms'
// terms, and the monitors into the desktop the display fills.

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>

#include "ui/x11/input_x11.h"
#include "ui/x11/monitors.h"

namespace {

TEST(Input, KeysButtonsAndShiftStatesInTheFormsTerms) {
  EXPECT_EQ(ui::x11::KeyOf(XK_Left), ui::Key::kLeft);
  EXPECT_EQ(ui::x11::KeyOf(XK_KP_Left), ui::Key::kLeft);
  EXPECT_EQ(ui::x11::KeyOf(XK_Right), ui::Key::kRight);
  EXPECT_EQ(ui::x11::KeyOf(XK_KP_Right), ui::Key::kRight);
  EXPECT_EQ(ui::x11::KeyOf(XK_Escape), ui::Key::kEscape);
  for (unsigned long other : {XK_a, XK_Return, XK_space, XK_Up, XK_Down, XK_Shift_L, XK_F1})
    EXPECT_EQ(ui::x11::KeyOf(other), ui::Key::kOtherKey) << other;

  EXPECT_EQ(ui::x11::ButtonOf(Button1), ui::kLeftButton);
  EXPECT_EQ(ui::x11::ButtonOf(Button2), ui::kMiddleButton);
  EXPECT_EQ(ui::x11::ButtonOf(Button3), ui::kRightButton);
  // The wheel is no button press.
  EXPECT_EQ(ui::x11::ButtonOf(Button4), 0);
  EXPECT_EQ(ui::x11::ButtonOf(Button5), 0);

  EXPECT_EQ(ui::x11::ShiftOf(0), 0);
  EXPECT_EQ(ui::x11::ShiftOf(ShiftMask), 1);
  EXPECT_EQ(ui::x11::ShiftOf(ControlMask), 2);
  EXPECT_EQ(ui::x11::ShiftOf(Mod1Mask), 4);
  // Caps lock, num lock and held buttons are no shift state.
  EXPECT_EQ(ui::x11::ShiftOf(ShiftMask | Mod1Mask | LockMask | Mod2Mask | Button1Mask), 5);
  EXPECT_EQ(ui::x11::ButtonsOf(Button1Mask | Button3Mask | ShiftMask), ui::kLeftButton | ui::kRightButton);
  EXPECT_EQ(ui::x11::ButtonsOf(Button2Mask), ui::kMiddleButton);
}

TEST(Monitors, TheDesktopCoversEveryMonitorAndThePrimaryIsTheOneNamed) {
  const ui::Rect screen{0, 0, 1824, 768};
  // One monitor: desktop and primary are it.
  auto one = ui::x11::LayoutOf({{0, 0, 1024, 768}}, 0, screen);
  EXPECT_EQ(one.desktop, (ui::Rect{0, 0, 1024, 768}));
  EXPECT_EQ(one.primary, one.desktop);
  // Side by side, of different heights: the rings bounce off the outer edges.
  const std::vector<ui::Rect> two = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}};
  EXPECT_EQ(ui::x11::LayoutOf(two, 0, screen).desktop, (ui::Rect{0, 0, 1824, 768}));
  EXPECT_EQ(ui::x11::LayoutOf(two, 1, screen).primary, (ui::Rect{1024, 0, 1824, 600}));
  // A primary index that names no monitor falls back to the first.
  EXPECT_EQ(ui::x11::LayoutOf(two, 5, screen).primary, two[0]);
  EXPECT_EQ(ui::x11::LayoutOf(two, -1, screen).primary, two[0]);
  // Stacked, one offset to the left of the other.
  const std::vector<ui::Rect> stacked = {{200, 0, 1480, 1024}, {0, 1024, 1920, 2104}};
  EXPECT_EQ(ui::x11::LayoutOf(stacked, 0, screen).desktop, (ui::Rect{0, 0, 1920, 2104}));
  // Monitors of no size (a disconnected output) are left out; with none at
  // all the screen is the desktop.
  EXPECT_EQ(ui::x11::LayoutOf({{0, 0, 0, 0}, {0, 0, 800, 600}}, 0, screen).desktop, (ui::Rect{0, 0, 800, 600}));
  EXPECT_EQ(ui::x11::LayoutOf({{0, 0, 0, 0}, {0, 0, 800, 600}}, 0, screen).primary, (ui::Rect{0, 0, 800, 600}));
  // The primary's index counts the monitor of no size before it.
  const std::vector<ui::Rect> after_empty = {{0, 0, 0, 0}, {0, 0, 800, 600}, {800, 0, 1824, 768}};
  EXPECT_EQ(ui::x11::LayoutOf(after_empty, 2, screen).primary, (ui::Rect{800, 0, 1824, 768}));
  EXPECT_EQ(ui::x11::LayoutOf(after_empty, 1, screen).primary, (ui::Rect{0, 0, 800, 600}));
  EXPECT_EQ(ui::x11::LayoutOf({}, 0, screen).desktop, screen);
  EXPECT_EQ(ui::x11::LayoutOf({}, 0, screen).primary, screen);
}

}  // namespace
