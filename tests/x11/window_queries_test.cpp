// The window search the second-start guard relies on, on a real X server
// (ctest runs this program under xvfb-run).

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

#include "ui/x11/monitors.h"
#include "ui/x11/window_queries.h"

namespace {

class WindowSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr) << "no X server";
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
  }
  Window Make(Window parent) {
    Window w = XCreateSimpleWindow(display_, parent, 0, 0, 10, 10, 0, 0, 0);
    XSync(display_, False);
    return w;
  }
  // The title as a program sets it through _NET_WM_NAME only.
  void NetTitle(Window w, const std::string& title) {
    XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_NAME", False),
                    XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    XSync(display_, False);
  }
  Window Root() { return DefaultRootWindow(display_); }
  Window Find(const std::string& title) {
    const ui::x11::TitleAtoms atoms{XInternAtom(display_, "_NET_WM_NAME", False),
                                    XInternAtom(display_, "UTF8_STRING", False)};
    return ui::x11::FindByTitle(display_, title, atoms);
  }
  Display* display_ = nullptr;
};

TEST_F(WindowSearchTest, FindsAnExactTitleAtTheTopOrInsideAWindowManagersFrame) {
  const Window top = Make(Root());
  Xutf8SetWMProperties(display_, top, "Tessellane_Main", nullptr, nullptr, 0, nullptr, nullptr, nullptr);
  XSync(display_, False);
  EXPECT_EQ(Find("Tessellane_Main"), top);
  EXPECT_EQ(ui::x11::TitleOf(display_, top), "Tessellane_Main");
  // Only the exact title: neither a prefix nor a longer title, nor another case.
  EXPECT_EQ(Find("Tessellane"), 0u);
  EXPECT_EQ(Find("Tessellane_Main2"), 0u);
  EXPECT_EQ(Find("tessellane_main"), 0u);
  EXPECT_EQ(Find(""), 0u);

  // A window manager's frame holds the program's window a level down; the
  // Japanese title is read from _NET_WM_NAME.
  const Window frame = Make(Root());
  const Window client = Make(frame);
  NetTitle(client, "テセレーンの設定");
  EXPECT_EQ(Find("テセレーンの設定"), client);

  // A title set only in WM_NAME, in the locale's encoding, is found too.
  const Window old_style = Make(Root());
  XStoreName(display_, old_style, "Preview Window");
  XSync(display_, False);
  EXPECT_EQ(Find("Preview Window"), old_style);

  XDestroyWindow(display_, top);
  XDestroyWindow(display_, frame);
  XSync(display_, False);
  EXPECT_EQ(Find("Tessellane_Main"), 0u);
  EXPECT_EQ(Find("テセレーンの設定"), 0u);
}

TEST_F(WindowSearchTest, TheWindowUnderAPointIsTheDeepestMappedOne) {
  const Window outer = XCreateSimpleWindow(display_, Root(), 100, 100, 200, 200, 0, 0, 0);
  const Window inner = XCreateSimpleWindow(display_, outer, 50, 50, 20, 20, 0, 0, 0);
  XMapWindow(display_, inner);
  XMapWindow(display_, outer);
  XSync(display_, False);
  EXPECT_EQ(ui::x11::WindowAt(display_, 155, 155), inner);
  EXPECT_EQ(ui::x11::WindowAt(display_, 120, 120), outer);
  EXPECT_EQ(ui::x11::WindowAt(display_, 5, 5), Root());
  XDestroyWindow(display_, outer);
  XSync(display_, False);
}

}  // namespace

namespace {

// The work area a window manager states for the current desktop, within the
// monitor; without one (no window manager) the whole monitor.
TEST_F(WindowSearchTest, TheWorkAreaIsTheManagersWithinTheMonitor) {
  const ui::Rect monitor{0, 0, 640, 480};
  const Atom workarea = XInternAtom(display_, "_NET_WORKAREA", False);
  const Atom desktop = XInternAtom(display_, "_NET_CURRENT_DESKTOP", False);
  XDeleteProperty(display_, Root(), workarea);
  XSync(display_, False);
  EXPECT_EQ(ui::x11::WorkArea(display_, monitor), monitor);
  // Two desktops, the second current; a panel of 30 lines at its top.
  const long areas[] = {0, 0, 640, 480, 0, 30, 640, 450};
  XChangeProperty(display_, Root(), workarea, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(areas), 8);
  const long second = 1;
  XChangeProperty(display_, Root(), desktop, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&second), 1);
  XSync(display_, False);
  EXPECT_EQ(ui::x11::WorkArea(display_, monitor), (ui::Rect{0, 30, 640, 480}));
  EXPECT_EQ(ui::x11::WorkArea(display_, ui::Rect{640, 0, 1280, 480}), (ui::Rect{640, 0, 1280, 480}))
      << "a monitor outside the work area";
  XDeleteProperty(display_, Root(), workarea);
  XDeleteProperty(display_, Root(), desktop);
  XSync(display_, False);
}

}  // namespace
