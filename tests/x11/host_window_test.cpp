// The display in a host's window, on a real X server (ctest runs this
// program under xvfb-run): the host's size as the form knows it, from the
// adoption and after each of the host's resizes; the host's window outlives
// the form; the image follows every new size and every fill.

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include "ui/backend.h"
#include "ui/form.h"
#include "ui/x11/backend_x11.h"
#include "ui/x11/surface_x11.h"

namespace {

// The host's window, made by a connection of its own as a screen-saver host
// makes it.
class HostWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_display_ = XOpenDisplay(nullptr);
    ASSERT_NE(host_display_, nullptr) << "no X server";
    host_ = XCreateSimpleWindow(host_display_, DefaultRootWindow(host_display_), 0, 0, 300, 200, 0, 0, 0);
    XMapWindow(host_display_, host_);
    XSync(host_display_, False);
  }
  void TearDown() override {
    if (!host_display_) return;
    if (HostExists()) XDestroyWindow(host_display_, host_);
    XCloseDisplay(host_display_);
  }
  void ResizeHost(int width, int height) {
    XResizeWindow(host_display_, host_, width, height);
    XSync(host_display_, False);
  }
  bool HostExists() {
    XWindowAttributes a;
    return XGetWindowAttributes(host_display_, host_, &a) != 0;
  }
  Display* host_display_ = nullptr;
  Window host_ = 0;
};

TEST_F(HostWindowTest, TheFormKnowsTheHostsSizeAfterEveryResizeAndLeavesTheHostsWindow) {
  {
    ui::Form form;
    int resizes = 0;
    ui::Point seen;
    // The display reads the new size as it hears of the resize.
    form.OnResize = [&] {
      ++resizes;
      seen = form.HostSize();
    };
    form.AdoptHostWindow(host_);
    EXPECT_EQ(form.HostSize().x, 300);
    EXPECT_EQ(form.HostSize().y, 200);
    // Wider only, taller only, then smaller both ways.
    for (const ui::Point size : {ui::Point{420, 200}, ui::Point{420, 260}, ui::Point{150, 90}}) {
      const int before = resizes;
      ResizeHost(size.x, size.y);
      ui::ProcessEventsFor(5000, [&] { return resizes > before; });
      EXPECT_EQ(resizes, before + 1) << "to " << size.x << "x" << size.y;
      EXPECT_EQ(seen.x, size.x);
      EXPECT_EQ(seen.y, size.y);
    }
  }
  XSync(ui::x11::Dpy(), False);
  EXPECT_TRUE(HostExists()) << "the form destroyed the host's window";
}

TEST_F(HostWindowTest, TheImageTakesEveryNewSizeAndEveryFill) {
  ui::x11::Surface surface(host_);
  int width = 0, height = 0;
  const auto filled_with = [&](ui::Colour colour) {
    const auto pixel = surface.Pixel(colour);
    int wrong = -1;
    surface.WithGrid([&](auto grid) {
      width = grid.width, height = grid.height;
      for (int y = 0; y < grid.height && wrong < 0; ++y)
        for (int x = 0; x < grid.width; ++x)
          if (static_cast<ui::Colour>(grid.Row(y)[x]) != pixel) wrong = y * grid.width + x;
    });
    if (wrong >= 0) return testing::AssertionFailure() << "pixel " << wrong << " of " << width << "x" << height;
    return testing::AssertionSuccess();
  };
  surface.Resize(300, 200, 0x0000FF);
  for (const ui::Point size : {ui::Point{420, 200}, ui::Point{420, 260}, ui::Point{150, 90}}) {
    surface.Resize(size.x, size.y, 0x0000FF);
    EXPECT_TRUE(filled_with(0x0000FF));
    EXPECT_EQ(width, size.x);
    EXPECT_EQ(height, size.y);
  }
  // A clear once the image exists (the end of a cycle) reaches every pixel.
  surface.Fill(0x00FF00);
  EXPECT_TRUE(filled_with(0x00FF00));
}

}  // namespace
