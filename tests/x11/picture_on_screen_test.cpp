// What the display presents is what the screen shows, read back from the X
// server and decoded with the visual's own masks: every colour component in
// its field, the rings where the model puts them whatever the rows' padding,
// through shared images and through the plain ones of a remote display. A
// shared segment is marked for removal once made; a host's window that goes
// ends the form; a colour-mapped screen is refused. ctest runs these on 16-,
// 24- and 30-bit screens (and the refusal on an 8-bit one).

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "ui/common/raster.h"
#include "ui/fatal.h"
#include "ui/form.h"
#include "ui/x11/backend_x11.h"
#include "ui/x11/surface_x11.h"

namespace {

constexpr ui::Colour kRed = ui::Rgb(255, 0, 0);
constexpr ui::Colour kGreen = ui::Rgb(0, 255, 0);
// An odd width: rows of 16-bit pixels are padded.
constexpr int kWidth = 37, kHeight = 23;

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = ui::x11::Dpy();
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, kWidth, kHeight, 0, 0, 0);
    XMapWindow(display_, window_);
    XSync(display_, False);
  }
  void TearDown() override {
    XDestroyWindow(display_, window_);
    XSync(display_, False);
    ui::x11::Backend().shares_images = -1;
  }
  bool TrueColorScreen() const { return DefaultVisual(display_, DefaultScreen(display_))->c_class == TrueColor; }

  // Where the screen's pixel at (x, y) holds a colour's full or empty fields.
  testing::AssertionResult ShowsAt(XImage* shot, int x, int y, ui::Colour colour) {
    const Visual* v = DefaultVisual(display_, DefaultScreen(display_));
    const unsigned long pixel = XGetPixel(shot, x, y);
    const auto field = [&](unsigned long mask, int component) { return (pixel & mask) == (component ? mask : 0); };
    if (field(v->red_mask, ui::RedOf(colour)) && field(v->green_mask, ui::GreenOf(colour)) &&
        field(v->blue_mask, ui::BlueOf(colour)))
      return testing::AssertionSuccess();
    return testing::AssertionFailure() << "pixel " << std::hex << pixel << " at " << std::dec << x << "," << y;
  }

  // A red picture with a green ring, presented, then read back and judged
  // pixel by pixel against the ring's model.
  void PresentAndJudge() {
    ui::x11::Surface surface(window_);
    surface.Resize(kWidth, kHeight, kRed);
    const auto green = surface.Pixel(kGreen);
    surface.WithGrid([&](auto grid) { ui::DrawCircle(grid, 18, 11, 9, green); });
    surface.TouchAll();
    surface.Present();
    XSync(display_, False);
    ui::Picture model{kWidth, kHeight, std::vector<ui::Colour>(kWidth * kHeight, kRed)};
    ui::DrawCircle(ui::PixelGrid::Of(model), 18, 11, 9, kGreen);
    XImage* shot = XGetImage(display_, window_, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    ASSERT_NE(shot, nullptr);
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (!ShowsAt(shot, x, y, model.At(x, y)) && ++wrong <= 3) ADD_FAILURE() << ShowsAt(shot, x, y, model.At(x, y));
    EXPECT_EQ(wrong, 0) << "of " << kWidth * kHeight << " pixels at depth " << DefaultDepth(display_, 0);
    XDestroyImage(shot);
  }

  Display* display_ = nullptr;
  Window window_ = 0;
};

// Through shared images, and through the plain ones of a display on
// another machine (which cannot attach shared memory).
TEST_F(PictureTest, SharedAndPlainImagesShowTheRingsInTheScreensOwnFormat) {
  if (!TrueColorScreen()) GTEST_SKIP() << "a colour-mapped screen";
  for (const int shares : {-1, 0}) {
    SCOPED_TRACE(shares ? "shared images" : "plain images");
    ui::x11::Backend().shares_images = shares;
    PresentAndJudge();
  }
}

// The segment goes with the program however it ends: it is marked for
// removal (SHM_DEST in its mode) as soon as it is made.
TEST_F(PictureTest, TheSharedSegmentIsMarkedForRemovalOnceMade) {
  if (!TrueColorScreen()) GTEST_SKIP() << "a colour-mapped screen";
  ui::x11::Surface surface(window_);
  surface.Resize(kWidth, kHeight, kRed);
  surface.Present();
  XSync(display_, False);
  std::ifstream table("/proc/sysvipc/shm");
  std::string line;
  std::getline(table, line);
  int mine = 0, marked = 0;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    long key, id, size, maker;
    std::string mode;
    if (!(fields >> key >> id >> mode >> size >> maker) || maker != getpid()) continue;
    ++mine;
    marked += (std::stol(mode, nullptr, 8) & 01000) != 0;
  }
  EXPECT_EQ(mine, 1);
  EXPECT_EQ(marked, mine);
}

// A colour-mapped screen (8-bit PseudoColor) cannot show the rings' colours:
// the display is refused with the reason.
TEST_F(PictureTest, AColourMappedScreenIsRefusedWithItsReason) {
  if (TrueColorScreen()) GTEST_SKIP() << "a TrueColor screen";
  try {
    ui::x11::Surface surface(window_);
    FAIL() << "a surface on a colour-mapped window";
  } catch (const ui::UnsupportedScreen& e) {
    EXPECT_NE(std::string(e.what()).find("PseudoColor"), std::string::npos) << e.what();
  }
}

// The host's window goes (the host ended): the form is unloaded as when the
// system closes it.
TEST_F(PictureTest, AHostsWindowThatGoesEndsTheForm) {
  Display* host = XOpenDisplay(nullptr);
  ASSERT_NE(host, nullptr);
  const Window window = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 100, 80, 0, 0, 0);
  XMapWindow(host, window);
  XSync(host, False);
  bool unloaded = false;
  {
    ui::Form form;
    form.OnUnload = [&] { unloaded = true; };
    form.AdoptHostWindow(window);
    ui::DoEvents();
    XDestroyWindow(host, window);
    XSync(host, False);
    ui::ProcessEventsFor(5000, [&] { return unloaded; });
  }
  XCloseDisplay(host);
  EXPECT_TRUE(unloaded);
}

}  // namespace
