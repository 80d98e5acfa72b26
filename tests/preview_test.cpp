// The preview: attaching the form to the preview area's window, its sizes,
// the picture on black, and the end of the program with the parent.
#include <algorithm>

#include "app/Tessellane_B.h"
#include "display/Tessellane_R.h"
#include "tests/test_support.h"
#include "ui/backend.h"

namespace {

using testing_support::HeadlessTest;

constexpr std::int32_t kWsPopup = static_cast<std::int32_t>(0x80000000u);

class PreviewTest : public HeadlessTest {
 protected:
  // A preview area of w x h pixels somewhere on the screen.
  ui::WindowHandle AddParent(int w, int h) {
    return headless::AddForeignWindow("", ui::Rect{300, 200, 300 + w, 200 + h});
  }
  static std::string Switch(ui::WindowHandle parent) { return "/p " + std::to_string(parent); }

  // Main alone: the preview stays loaded afterwards.
  void StartMain(const std::string& command_line) {
    headless::config().command_line = command_line;
    module_.Main();
  }

  // The whole program; the parent goes away at the given event-loop pass.
  int RunUntilParentCloses(const std::string& command_line, ui::WindowHandle parent, int close_at_pass = 3) {
    headless::config().command_line = command_line;
    headless::SetIdleHook([this, parent, close_at_pass] {
      if (++passes_ == close_at_pass) headless::RemoveForeignWindow(parent);
    });
    return testing_support::ExitCodeOf([this] { app::RunProgram(module_); });
  }

  display::Tessellane_R& Preview() {
    EXPECT_TRUE(module_.Preview);
    return *module_.Preview;
  }
  static bool AnyCall(std::string_view prefix) { return !headless::CallsStartingWith(prefix).empty(); }

  app::Tessellane_B module_;
  int passes_ = 0;
};

TEST_F(PreviewTest, PictureAssetIsABaselineJpegOfThePreviewSize) {
  const auto bytes = ui::EmbeddedAsset(display::kPreviewPicture);
  ASSERT_GT(bytes.size(), 4u);
  const std::string head(bytes.begin(), bytes.begin() + 20);
  EXPECT_EQ(head.substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(head.substr(6, 5), std::string("JFIF\0", 5));
  EXPECT_EQ(head.substr(11, 2), "\x01\x01");  // version 1.01
  // The frame header: baseline (SOF0), 8 bits, 112 rows, 152 columns, 3 components.
  const std::string all(bytes.begin(), bytes.end());
  const auto sof = all.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  EXPECT_EQ(all.substr(sof + 4, 6), std::string("\x08\x00\x70\x00\x98\x03", 6));
  EXPECT_EQ(all.find("\xFF\xC2"), std::string::npos);  // not progressive

  const ui::Picture& picture = ui::EmbeddedPicture(display::kPreviewPicture);
  ASSERT_EQ(picture.width, 152);
  ASSERT_EQ(picture.height, 112);
  const long dark = std::count_if(picture.pixels.begin(), picture.pixels.end(),
                                  [](ui::Colour c) { return ui::RedOf(c) + ui::GreenOf(c) + ui::BlueOf(c) < 60; });
  EXPECT_GT(dark, 0);
  EXPECT_LT(dark, static_cast<long>(picture.pixels.size()) * 3 / 4) << "the picture is mostly black";
}

TEST_F(PreviewTest, ExactPreviewAreaIsAttachedAsAChildAndFilledByThePicture) {
  const auto parent = AddParent(152, 112);
  StartMain(Switch(parent));
  auto& preview = Preview();
  const ui::WindowHandle window = preview.Form.Handle();

  // Read the parent's size, then become its child.
  const auto& calls = headless::Calls();
  const auto at = [&](std::string_view prefix) {
    return std::find_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.starts_with(prefix); });
  };
  ASSERT_NE(at("AttachToParent"), calls.end());
  EXPECT_LT(at("GetWindowRect"), at("AttachToParent"));
  EXPECT_EQ(*at("AttachToParent"), "AttachToParent(" + std::to_string(parent) + ")");
  EXPECT_EQ(headless::ParentOf(window), parent);

  EXPECT_EQ(preview.Form.Width(), 152 * 15);
  EXPECT_EQ(preview.Form.Height(), 112 * 15);
  EXPECT_EQ(preview.Form.Left(), 0);
  EXPECT_EQ(preview.Form.Top(), 0);
  const auto& state = headless::StateOf(preview.Form);
  EXPECT_TRUE(state.visible);
  EXPECT_EQ(state.caption, "Preview Window");
  EXPECT_EQ(state.bounds.right, 152);
  EXPECT_EQ(state.bounds.bottom, 112);
  EXPECT_EQ(preview.Img_Prev.Left(), 0);
  EXPECT_EQ(preview.Img_Prev.Top(), 0);
  EXPECT_EQ(preview.Img_Prev.ScaleWidth(), 152);
  EXPECT_EQ(preview.Img_Prev.ScaleHeight(), 112);
  const headless::Surface& surface = headless::SurfaceOf(preview.Img_Prev);
  EXPECT_EQ(surface.pixels, ui::EmbeddedPicture(display::kPreviewPicture).pixels);
}

TEST_F(PreviewTest, LargerAreaShowsThePictureTopLeftOnBlackAndNothingMoves) {
  const auto parent = AddParent(400, 300);
  headless::config().twips_per_pixel = 12;  // 120 dpi
  StartMain(Switch(parent));
  auto& preview = Preview();
  EXPECT_EQ(preview.Form.Width(), 400 * 12);
  EXPECT_EQ(preview.Form.Height(), 300 * 12);
  ASSERT_EQ(preview.Img_Prev.ScaleWidth(), 400);
  ASSERT_EQ(preview.Img_Prev.ScaleHeight(), 300);

  const ui::Picture& picture = ui::EmbeddedPicture(display::kPreviewPicture);
  const auto check = [&] {
    const headless::Surface& s = headless::SurfaceOf(preview.Img_Prev);
    long wrong_picture = 0, wrong_black = 0;
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x) {
        if (x < 152 && y < 112) wrong_picture += s.At(x, y) != picture.At(x, y);
        else wrong_black += s.At(x, y) != 0;
      }
    EXPECT_EQ(wrong_picture, 0);
    EXPECT_EQ(wrong_black, 0);
  };
  check();
  // Shown for a while: no timer, no drawing.
  headless::ClearCalls();
  for (int i = 0; i < 50; ++i) {
    headless::AdvanceMs(100);
    ui::DoEvents();
  }
  check();
  EXPECT_TRUE(headless::Calls().empty());
  EXPECT_EQ(headless::SurfaceOf(preview.Img_Prev).circles, 0);
}

TEST_F(PreviewTest, ParentWiderThanSixteenBitsOfTwipsIsShownNotAnOverflow) {
  // 2,185 pixels is the first width past 32,767 twips.
  for (const auto& [w, h] : {std::pair{2185, 112}, std::pair{152, 2185}, std::pair{40000, 20}}) {
    headless::Reset();
    headless::config().app_path = dir_.str();
    app::Tessellane_B module;
    const auto parent = AddParent(w, h);
    headless::config().command_line = Switch(parent);
    module.Main();
    ASSERT_TRUE(module.Preview) << w << "x" << h;
    EXPECT_EQ(module.Preview->Form.Width(), w * 15);
    EXPECT_EQ(module.Preview->Form.Height(), h * 15);
    EXPECT_EQ(module.Preview->Img_Prev.ScaleWidth(), w);
    EXPECT_EQ(module.Preview->Img_Prev.ScaleHeight(), h);
    EXPECT_TRUE(headless::StateOf(module.Preview->Form).visible);
  }
  // And the whole program runs to its normal end.
  headless::Reset();
  headless::config().app_path = dir_.str();
  const auto parent = AddParent(2400, 300);
  EXPECT_EQ(RunUntilParentCloses(Switch(parent), parent), 0);
  EXPECT_FALSE(AnyCall("ReportFatalError"));
}

TEST_F(PreviewTest, ParentClosingUnloadsThePreviewWhichClosesItsOwnerAndEndsTheProgram) {
  const auto owner = headless::AddForeignWindow("owner");
  headless::config().form_owner = owner;
  const auto parent = AddParent(152, 112);
  EXPECT_EQ(RunUntilParentCloses(Switch(parent), parent, 5), 0);
  EXPECT_EQ(passes_, 5) << "the event loop went on after the preview was gone";
  EXPECT_EQ(headless::CloseRequestsTo(owner), 1);
  ASSERT_TRUE(module_.Preview);
  EXPECT_FALSE(module_.Preview->Form.Loaded());
  EXPECT_TRUE(headless::StateOf(module_.Preview->Form).destroyed);
}

TEST_F(PreviewTest, NeverTouchesTheSettingsFileEvenWhenItIsDamaged) {
  testing_support::WriteBytes(dir_.Ini(), std::string("[Section]\r\n\xFF\xFE\x00garbage=", 21));
  const auto parent = AddParent(152, 112);
  EXPECT_EQ(RunUntilParentCloses(Switch(parent), parent), 0);
  EXPECT_TRUE(AnyCall("AttachToParent"));
  EXPECT_FALSE(AnyCall("ReadFile"));
  EXPECT_FALSE(AnyCall("CanOpenForReading"));
  EXPECT_FALSE(AnyCall("ReplaceFile"));
}

TEST_F(PreviewTest, HandleIsReadTheSameWithBlankColonOrHexadecimal) {
  const auto parent = AddParent(152, 112);
  const std::string number = std::to_string(parent);
  for (const std::string& line :
       {"/p " + number, "/p:" + number, "/P  " + number, "-p " + number + " extra", "/p:&H" + [&] {
          char hex[32];
          std::snprintf(hex, sizeof hex, "%lX", static_cast<unsigned long>(parent));
          return std::string(hex);
        }()}) {
    headless::ClearCalls();
    app::Tessellane_B module;
    headless::config().command_line = line;
    module.Main();
    ASSERT_TRUE(module.Preview) << line;
    EXPECT_EQ(headless::ParentOf(module.Preview->Form.Handle()), parent) << line;
    EXPECT_EQ(module.Preview->Form.Width(), 152 * 15) << line;
  }
}

TEST_F(PreviewTest, MissingParentShowsNothingLastingAndTheProgramEndsAtOnce) {
  const auto owner = headless::AddForeignWindow("owner");
  headless::config().form_owner = owner;
  for (const char* line : {"/p 0", "/p", "/p abc", "/p 999999"}) {
    headless::ClearCalls();
    passes_ = 0;
    app::Tessellane_B module;
    headless::config().command_line = line;
    headless::SetIdleHook([this] { ++passes_; });
    EXPECT_EQ(testing_support::ExitCodeOf([&] { app::RunProgram(module); }), 0) << line;
    EXPECT_EQ(passes_, 0) << line << ": the program waited for a parent that does not exist";
    ASSERT_TRUE(module.Preview) << line;
    // Loaded and shown with zero size, then unloaded the usual way.
    EXPECT_EQ(module.Preview->Form.Width(), 0) << line;
    EXPECT_EQ(module.Preview->Form.Height(), 0) << line;
    EXPECT_TRUE(headless::StateOf(module.Preview->Form).destroyed) << line;
    EXPECT_FALSE(AnyCall("ReportFatalError")) << line;
  }
  EXPECT_EQ(headless::CloseRequestsTo(owner), 4);
}

TEST_F(PreviewTest, TwoPreviewsCoexistButARunningDisplayRefusesOne) {
  const auto first_parent = AddParent(152, 112);
  const auto second_parent = AddParent(152, 112);
  app::Tessellane_B first, second;
  headless::config().command_line = Switch(first_parent);
  first.Main();
  headless::config().command_line = Switch(second_parent);
  second.Main();
  ASSERT_TRUE(first.Preview && second.Preview);
  EXPECT_TRUE(headless::StateOf(first.Preview->Form).visible);
  EXPECT_TRUE(headless::StateOf(second.Preview->Form).visible);
  EXPECT_EQ(headless::ParentOf(second.Preview->Form.Handle()), second_parent);

  for (const char* title : {app::kDisplayTitle, app::kSettingsTitle}) {
    headless::ClearCalls();
    const auto running = headless::AddForeignWindow(title);
    app::Tessellane_B third;
    headless::config().command_line = Switch(first_parent);
    try {
      third.Main();
      ADD_FAILURE() << "a preview started beside " << title;
    } catch (const headless::ProcessExit& exit) {
      EXPECT_EQ(exit.code, 0);
    }
    EXPECT_FALSE(third.Preview);
    EXPECT_FALSE(AnyCall("GetWindowRect"));
    EXPECT_FALSE(AnyCall("AttachToParent"));
    headless::RemoveForeignWindow(running);
  }
}

}  // namespace
