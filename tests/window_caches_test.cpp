// State kept per window goes with the window: a form made later at the same
// address starts from the defaults, not from what its predecessor was given.
#include <optional>

#include "tests/test_support.h"
#include "ui/form.h"
#include "ui/user_control.h"

namespace {

using testing_support::HeadlessTest;

class WindowCachesTest : public HeadlessTest {};

TEST_F(WindowCachesTest, AFormsAmbientFontGoesWithTheForm) {
  std::optional<ui::Form> form;
  form.emplace();
  const ui::Font design = ui::AmbientFont(*form);
  ui::Font large;
  large.Size = 30;
  large.Weight = 700;
  ui::SetAmbientFont(*form, large);
  ASSERT_EQ(ui::AmbientFont(*form), large);
  const ui::Form* address = &*form;

  form.reset();
  form.emplace();  // the same storage, so the same address
  ASSERT_EQ(&*form, address);
  EXPECT_EQ(ui::AmbientFont(*form), design);
  EXPECT_EQ(ui::AmbientFont(*form).Size, 9.75);
}

TEST_F(WindowCachesTest, AnotherFormsAmbientFontIsKept) {
  ui::Form kept;
  ui::Font large;
  large.Size = 30;
  ui::SetAmbientFont(kept, large);
  {
    ui::Form gone;
    ui::SetAmbientFont(gone, ui::Font{});
  }
  EXPECT_EQ(ui::AmbientFont(kept), large);
}

}  // namespace
