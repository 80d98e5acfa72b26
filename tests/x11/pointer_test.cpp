// The pointer over the display, on a real X server: a pointer hidden before
// the first picture (the display hides it as it starts) is blank from that
// picture on.

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include "ui/backend.h"
#include "ui/form.h"
#include "ui/x11/backend_x11.h"

namespace {

// Pixels of the pointer's shape where it is now that are not transparent.
int VisiblePointerPixels(Display* d) {
  XFixesCursorImage* image = XFixesGetCursorImage(d);
  if (!image) return -1;
  int visible = 0;
  for (int i = 0; i < image->width * image->height; ++i)
    if (image->pixels[i] >> 24) ++visible;
  XFree(image);
  return visible;
}

TEST(Pointer, HiddenBeforeTheFirstPictureIsBlankOnceItShows) {
  Display* d = ui::x11::Dpy();
  int event_base, error_base;
  ASSERT_TRUE(XFixesQueryExtension(d, &event_base, &error_base));
  ASSERT_FALSE(ui::x11::Backend().presented) << "another case presented a picture first";
  {
    ui::Form form;
    ui::PictureBox box(form);
    form.Move(0, 0);
    form.SetWidth(200 * ui::screen::TwipsPerPixelX());
    form.SetHeight(200 * ui::screen::TwipsPerPixelY());
    ui::sys::ShowCursor(false);
    form.Show();
    box.Move(0, 0, 200, 200);
    box.Circle(100, 100, 50, 0xFFFFFF);
    XWarpPointer(d, None, DefaultRootWindow(d), 0, 0, 0, 0, 100, 100);
    XSync(d, False);
    EXPECT_GT(VisiblePointerPixels(d), 0) << "the server's own pointer shows before the first picture";
    ui::ProcessEventsFor(5000, [&] { return ui::x11::Backend().presented; });
    XSync(d, False);
    EXPECT_EQ(VisiblePointerPixels(d), 0) << "the pointer shows over the first picture";
  }
  ui::sys::ShowCursor(true);
}

}  // namespace
