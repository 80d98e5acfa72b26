// The Command button's properties, the FirstRun rule, and saving to and
// loading from the container's property storage.
#include <gtest/gtest.h>

#include "tests/command_support.h"

namespace command_testing {
namespace {

ui::Font DialogFont() {
  ui::Font f;
  f.Name = "ＭＳ Ｐゴシック";
  f.Size = 9.75;
  return f;
}

class CommandStorageTest : public CommandTest {
 protected:
  CommandStorageTest() { form_.AmbientFont = DialogFont(); }
  std::vector<std::string> Keys(const ui::PropertyBag& bag) {
    std::vector<std::string> keys;
    for (const auto& e : bag.Entries()) keys.push_back(e.first);
    return keys;
  }
};

TEST_F(CommandStorageTest, ANewButtonComesUpEnabledOnItsFirstLookAndSavesNothing) {
  Command b(form_, Command::NewInstance{});
  b.Move(0, 0, 77, 33);
  EXPECT_EQ(b.State().FirstRun, 0);
  EXPECT_EQ(b.State().EnabledFlag, 0);
  EXPECT_TRUE(Shows(b, Face::Disable));
  EXPECT_TRUE(b.Enabled());
  EXPECT_EQ(b.State().FirstRun, 1);
  EXPECT_EQ(b.State().EnabledFlag, -1);
  EXPECT_TRUE(Shows(b, Face::Normal));
  EXPECT_TRUE(b.LblMsg().Enabled());

  ui::PropertyBag bag;
  b.UserControl_WriteProperties(bag);
  EXPECT_TRUE(bag.Entries().empty()) << testing::PrintToString(Keys(bag));
}

TEST_F(CommandStorageTest, EnabledBeforeAnyReadKeepsTheCaptionBlackAcrossSaveAndLoad) {
  Command b(form_, Command::NewInstance{});
  b.SetEnabled(true);
  b.SetFontColour(ui::Rgb(255, 0, 0));
  EXPECT_EQ(b.LblMsg().ForeColor(), 0);
  ui::PropertyBag bag;
  b.UserControl_WriteProperties(bag);
  EXPECT_EQ(*bag.ReadProperty("FirstRun").AsNumber(), 0);

  bag.WriteProperty("FontColour", ui::Rgb(255, 0, 0), "0");
  Command loaded(form_, bag);
  EXPECT_EQ(loaded.State().FirstRun, 0);
  EXPECT_EQ(loaded.LblMsg().ForeColor(), 0);

  // Without a stored FirstRun the stored colour stays.
  ui::PropertyBag plain;
  plain.WriteProperty("FontColour", ui::Rgb(255, 0, 0), "0");
  Command kept(form_, plain);
  EXPECT_EQ(kept.State().FirstRun, 1);
  EXPECT_EQ(kept.FontColour(), ui::Rgb(255, 0, 0));
}

TEST_F(CommandStorageTest, DefaultsAreNotStoredAndEverythingElseRoundTrips) {
  Command b(form_);
  EXPECT_EQ(b.Caption(), "Command");
  ui::PropertyBag defaults;
  b.UserControl_WriteProperties(defaults);
  EXPECT_TRUE(defaults.Entries().empty()) << testing::PrintToString(Keys(defaults));

  ui::Font other = DialogFont();
  other.Size = 12;
  b.SetCaption("");
  b.SetFont(other);
  b.SetFontColour(ui::Rgb(1, 2, 3));
  b.SetVisibleValue(0);
  b.SetEnabled(false);
  ui::PropertyBag bag;
  b.UserControl_WriteProperties(bag);
  EXPECT_EQ(Keys(bag), (std::vector<std::string>{"Enabled", "Caption", "Font", "FontColour", "Visible"}));

  Command c(form_, bag);
  EXPECT_EQ(c.Caption(), "");
  EXPECT_EQ(c.Font(), other);
  EXPECT_EQ(c.State().EnabledFlag, 0);
  EXPECT_EQ(c.VisibleValue(), 0);
  EXPECT_EQ(c.LblMsg().ForeColor(), ui::Rgb(1, 2, 3));
}

TEST_F(CommandStorageTest, StoredKeysMatchWithoutRegardToCase) {
  ui::PropertyBag bag;
  bag.WriteProperty("caption", "");
  bag.WriteProperty("font", DialogFont());
  bag.WriteProperty("_extentx", 2037);
  bag.WriteProperty("ENABLED", false);
  Command b(form_, bag);
  EXPECT_EQ(b.Caption(), "");
  EXPECT_EQ(b.Font(), DialogFont());
  EXPECT_EQ(b.State().EnabledFlag, 0);
  // Saving replaces the lower-case entries rather than adding new ones.
  b.SetCaption("x");
  b.UserControl_WriteProperties(bag);
  int captions = 0;
  for (const auto& e : bag.Entries()) captions += e.first == "caption" || e.first == "Caption";
  EXPECT_EQ(captions, 1);
  EXPECT_EQ(*bag.ReadProperty("Caption").AsText(), "x");
}

TEST_F(CommandStorageTest, StoredValuesAreConvertedAndBadOnesLeaveTheValueAsItWas) {
  ui::PropertyBag bag;
  bag.WriteProperty("Enabled", "0");
  bag.WriteProperty("FirstRun", "abc");  // not a number
  bag.WriteProperty("FontColour", "&HFF");
  bag.WriteProperty("Visible", 2);  // no such background style
  bag.WriteProperty("Font", "IPAPGothic");
  Command b(form_, bag);
  EXPECT_EQ(b.State().EnabledFlag, 0);
  EXPECT_EQ(b.State().FirstRun, 0);
  EXPECT_EQ(b.LblMsg().ForeColor(), 0xFF);
  EXPECT_TRUE(b.Surface().Opaque());
  EXPECT_EQ(b.Font().Name, "IPAPGothic");
  EXPECT_EQ(b.Font().Size, 9.75);

  ui::PropertyBag overflow;
  overflow.WriteProperty("FirstRun", 300);
  overflow.WriteProperty("FontColour", "99999999999");
  Command c(form_, overflow);
  EXPECT_EQ(c.State().FirstRun, 0);
  EXPECT_EQ(c.LblMsg().ForeColor(), 0);
}

TEST_F(CommandStorageTest, VisibleReadsBack255ForAnyNonZeroValue) {
  Command b(form_);
  b.SetVisibleValue(2);
  EXPECT_EQ(b.VisibleValue(), 255);
  EXPECT_TRUE(b.Visible());
  ui::PropertyBag bag;
  b.UserControl_WriteProperties(bag);
  EXPECT_FALSE(bag.Contains("Visible"));
  b.SetVisible(false);
  EXPECT_EQ(b.VisibleValue(), 0);
  EXPECT_FALSE(b.Surface().Opaque());
  b.UserControl_WriteProperties(bag);
  EXPECT_EQ(*bag.ReadProperty("Visible").AsNumber(), 0);
}

TEST_F(CommandTest, ReadsOfFontColourVisibleAndEnabledRedrawTheFace) {
  auto b = Place();
  b->Initialize();
  Enter(*b);
  ASSERT_TRUE(Shows(*b, Face::HighLight));
  long paints = Paints(*b);
  b->FontColour();
  EXPECT_EQ(Paints(*b), ++paints);
  EXPECT_TRUE(Shows(*b, Face::Normal));
  Enter(*b);  // no transition: still hovering, face stays Normal
  EXPECT_EQ(Paints(*b), paints);
  b->VisibleValue();
  EXPECT_EQ(Paints(*b), ++paints);
  b->Enabled();
  EXPECT_EQ(Paints(*b), ++paints);
  EXPECT_EQ(b->State().ButtonState, controls::StateHover);

  b->SetEnabled(false);
  paints = Paints(*b);
  b->FontColour();
  b->VisibleValue();
  EXPECT_EQ(Paints(*b), paints);
  EXPECT_FALSE(b->Enabled());
  EXPECT_EQ(Paints(*b), paints + 1);
  EXPECT_TRUE(Shows(*b, Face::Disable));
  EXPECT_FALSE(b->LblMsg().Enabled());
}

TEST_F(CommandTest, PropertyWritesTellTheContainer) {
  auto b = Place();
  std::vector<std::string> changed;
  b->Surface().OnPropertyChanged = [&changed](const std::string& name) { changed.push_back(name); };
  const long paints = Paints(*b);
  b->SetCaption("設定");
  EXPECT_EQ(Paints(*b), paints);  // a caption change does not repaint the face
  b->SetFont(ui::Font{});
  b->SetFontColour(0x00FF00);
  b->SetEnabled(true);
  b->SetVisible(true);
  EXPECT_EQ(changed, (std::vector<std::string>{"Caption", "Font", "FontColour", "Enabled", "Visible"}));
}

TEST_F(CommandTest, TheFontObjectChangesTheCaptionAtOnce) {
  auto b = Place();
  const long changes = headless::SurfaceOf(b->Surface()).label_changes;
  auto font = b->FontObject();
  font.SetName("IPAPGothic");
  font.SetSize(12);
  EXPECT_EQ(b->Font().Name, "IPAPGothic");
  EXPECT_EQ(b->Font().Size, 12);
  EXPECT_EQ(headless::SurfaceOf(b->Surface()).label_changes, changes + 2);
}

}  // namespace
}  // namespace command_testing
