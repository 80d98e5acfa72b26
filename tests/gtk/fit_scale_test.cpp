// A window too large for its monitor at the session's scale is shown at the
// largest whole scale at which it fits, decided as soon as its size is
// known; the program's pixels keep their 96 dots per inch. ctest runs this
// in a session of GDK_SCALE=2 on a 640 x 480 screen, where 2x does not fit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ui/backend.h"
#include "ui/form.h"
#include "ui/gtk/backend_gtk.h"

namespace {

TEST(FitScale, AWindowTooLargeForTheMonitorAtTwiceIsShownAtOnce) {
  const char* scale = std::getenv("GDK_SCALE");
  if (!scale || std::string(scale) != "2") GTEST_SKIP() << "runs in a session of GDK_SCALE=2";
  ui::Form form;
  ui::gtk::EnsureStarted();
  ASSERT_EQ(ui::gtk::Backend().scale, 2);
  const int twips = ui::screen::TwipsPerPixelX();
  EXPECT_EQ(twips, ui::kDesignTwipsPerPixel);
  form.SetWidth(446 * twips);
  form.SetHeight(477 * twips);
  EXPECT_EQ(ui::gtk::Backend().scale, 1);
  EXPECT_EQ(ui::screen::TwipsPerPixelX(), ui::kDesignTwipsPerPixel) << "the program's pixels stay 96 dpi";
  // A smaller window than that would have fitted: the scale is kept while the sizes are small.
  ui::Form small;
  small.SetWidth(100 * twips);
  small.SetHeight(100 * twips);
  EXPECT_EQ(ui::gtk::Backend().scale, 1) << "never raised again";
}

}  // namespace
