// The light-ray animation: its direction tables, the first ray, the
// brightness ceiling, the picture's edges, the jump to a new centre, and the
// events it handles while it runs.
#include <cmath>
#include <numbers>

#include "base/runtime_error.h"
#include "tests/settings_dialog_support.h"
#include "ui/headless/headless.h"

namespace {

using settings_dialog_testing::SettingsDialogTest;

class RaysTest : public SettingsDialogTest {
 protected:
  settings_dialog::Tessellane_P& OpenWithRays() {
    auto& d = Open();
    d.SetUpRays();
    bitmap_ = d.Display.GetObject();
    return d;
  }
  // Pixel (x, y) with y counted from the bottom row, as the animation counts.
  std::uint8_t Pixel(int x, int y) const { return bitmap_.bits[y * bitmap_.width_bytes + x]; }
  std::uint8_t& PixelRef(int x, int y) { return bitmap_.bits[y * bitmap_.width_bytes + x]; }
  long Count(std::uint8_t value) const {
    long n = 0;
    for (int y = 0; y < bitmap_.height; ++y)
      for (int x = 0; x < bitmap_.width; ++x) n += Pixel(x, y) == value;
    return n;
  }
  // One pass whose ray goes along direction index `direction` from (x, y).
  void RayFrom(settings_dialog::Tessellane_P& d, int x, int y, int direction) {
    d.RayOriginX = static_cast<std::int16_t>(x);
    d.RayOriginY = static_cast<std::int16_t>(y);
    d.RayAngle = static_cast<std::int16_t>(direction - 2);
    d.RayPass();
  }
  ui::BitmapInfo bitmap_;
};

TEST_F(RaysTest, PictureIsThreeTwentyByTwoFortyEightBitsInTheColourCubeAllBlack) {
  auto& d = OpenWithRays();
  EXPECT_EQ(bitmap_.width, 320);
  EXPECT_EQ(bitmap_.height, 240);
  EXPECT_EQ(bitmap_.width_bytes, 320);
  EXPECT_EQ(bitmap_.bits_pixel, 8);
  EXPECT_EQ(Count(0), 320L * 240);
  const ui::Palette& p = d.Display.GetPalette();
  EXPECT_EQ(p[0], ui::Rgb(0, 0, 0));
  EXPECT_EQ(p[1], ui::Rgb(0, 0, 64));
  EXPECT_EQ(p[3], ui::Rgb(0, 0, 255));
  EXPECT_EQ(p[4], ui::Rgb(0, 32, 0));
  EXPECT_EQ(p[0b00100000], ui::Rgb(32, 0, 0));
  EXPECT_EQ(p[254], ui::Rgb(255, 255, 128));
  EXPECT_EQ(p[255], ui::Rgb(255, 255, 255));
  EXPECT_TRUE(d.DisplayPixels.Attached());
  EXPECT_EQ(d.DisplayPixels.BytesPerLine(), 320);
  EXPECT_EQ(d.DisplayPixels.Lines(), 240);
}

TEST_F(RaysTest, DirectionTablesAreTheSquareOutlineOnTheUnitCircleTurningCounterClockwise) {
  auto& d = OpenWithRays();
  EXPECT_DOUBLE_EQ(d.RampStep[0], 0);
  EXPECT_DOUBLE_EQ(d.RampStep[45], 0.5);
  EXPECT_DOUBLE_EQ(d.RampStep[90], 1);
  EXPECT_DOUBLE_EQ(d.RampNorm[0], 1);
  EXPECT_NEAR(d.RampNorm[90], std::sqrt(2.0), 1e-12);
  const double h = std::sqrt(0.5);
  const std::tuple<int, double, double> compass[] = {{0, 0, 1},     {91, -h, h},  {181, -1, 0},
                                                     {271, -h, -h}, {361, 0, -1}, {451, h, -h},
                                                     {541, 1, 0},   {631, h, h},  {721, 0, 1}};
  for (const auto& [i, x, y] : compass) {
    EXPECT_NEAR(d.RayDirX[i], x, 1e-12) << i;
    EXPECT_NEAR(d.RayDirY[i], y, 1e-12) << i;
  }
  // Every entry has length 1 (the shared end entries are projected once), and
  // the angle grows with the index.
  double previous = -1;
  for (int i = 0; i <= 720; ++i) {
    EXPECT_NEAR(std::hypot(d.RayDirX[i], d.RayDirY[i]), 1, 1e-12) << i;
    double angle = std::atan2(-d.RayDirX[i], d.RayDirY[i]);
    if (angle < 0) angle += 2 * std::numbers::pi;
    if (i == 0) angle = 0;
    EXPECT_GE(angle, previous) << i;
    previous = angle;
  }
}

TEST_F(RaysTest, FirstPassLightsExactlyOneHundredPixelsUpFromTheCentre) {
  auto& d = OpenWithRays();
  d.RayFrame(1);
  EXPECT_EQ(d.RayAngle, 2);
  EXPECT_EQ(Count(1), 100);
  EXPECT_EQ(Count(0), 320L * 240 - 100);
  EXPECT_EQ(Pixel(159, 99), 1);  // the origin first
  // Drifting left by about 0.022 per step, one row per step.
  EXPECT_EQ(Pixel(159, 120), 1);
  EXPECT_EQ(Pixel(157, 198), 1);
  EXPECT_EQ(Pixel(157, 199), 0);
  EXPECT_EQ(headless::RefreshesOf(d.Display), 1);
  // The picture is shown once for all the rays of a frame.
  d.RayFrame(6);
  EXPECT_EQ(d.RaysDrawn, 7u);
  EXPECT_EQ(headless::RefreshesOf(d.Display), 2);
}

TEST_F(RaysTest, BrightnessStopsAtTwoFiftyFour) {
  auto& d = OpenWithRays();
  PixelRef(100, 50) = 253;
  PixelRef(101, 50) = 254;
  PixelRef(102, 50) = 255;  // only a foreign value can be above the ceiling
  RayFrom(d, 100, 50, 541);
  EXPECT_EQ(Pixel(100, 50), 254);
  EXPECT_EQ(Pixel(101, 50), 254);
  EXPECT_EQ(Pixel(102, 50), 254);
  EXPECT_EQ(Pixel(103, 50), 1);
  for (int i = 0; i < 300; ++i) RayFrom(d, 100, 50, 541);
  EXPECT_EQ(Pixel(100, 50), 254);
  EXPECT_EQ(Pixel(103, 50), 254);
  EXPECT_EQ(Count(255), 0);
}

TEST_F(RaysTest, EdgesAtTwoAndThreeEighteenAreOutside) {
  auto& d = OpenWithRays();
  RayFrom(d, 2, 100, 541);  // an origin on the edge draws nothing
  EXPECT_EQ(Count(0), 320L * 240);
  RayFrom(d, 5, 100, 181);  // left: 5, 4, 3, then x = 2 stops the ray
  EXPECT_EQ(Count(1), 3);
  EXPECT_EQ(Pixel(3, 100), 1);
  EXPECT_EQ(Pixel(2, 100), 0);
  RayFrom(d, 315, 60, 541);  // right: 315, 316, 317, then x = 318 stops it
  EXPECT_EQ(Pixel(317, 60), 1);
  EXPECT_EQ(Pixel(318, 60), 0);
  RayFrom(d, 40, 4, 361);  // down: 4, 3, then y = 2
  EXPECT_EQ(Pixel(40, 3), 1);
  EXPECT_EQ(Pixel(40, 2), 0);
  RayFrom(d, 40, 236, 0);  // up: 236, 237, then y = 238
  EXPECT_EQ(Pixel(40, 237), 1);
  EXPECT_EQ(Pixel(40, 238), 0);
  EXPECT_EQ(Count(1), 3 + 3 + 2 + 2);
}

TEST_F(RaysTest, AfterAFullTurnTheCentreJumpsButThisRayStartsFromTheOldOne) {
  auto& d = OpenWithRays();
  d.RayAngle = 718;
  d.RayPass();
  EXPECT_EQ(d.RayAngle, 1);
  EXPECT_EQ(Pixel(159, 99), 1);
  EXPECT_EQ(Count(1), 100);
  EXPECT_GE(d.RayOriginX, 0);
  EXPECT_LE(d.RayOriginX, 319);
  EXPECT_GE(d.RayOriginY, 0);
  EXPECT_LE(d.RayOriginY, 199);
  const int x = d.RayOriginX, y = d.RayOriginY;
  d.RayPass();
  EXPECT_EQ(d.RayAngle, 3);
  if (x > 2 && x < 318 && y > 2) {
    EXPECT_GE(Pixel(x, y), 1);
  }
}

TEST_F(RaysTest, EventsAreHandledAfterEveryPixelStep) {
  auto& d = OpenWithRays();
  long passes = 0;
  headless::SetIdleHook([&] { ++passes; });
  d.RayPass();
  EXPECT_EQ(passes, 100 + 2);
  // A click waiting when the pass begins is handled within it.
  headless::PostClickOn(d.lbl_BGM(1));
  d.RayPass();
  EXPECT_EQ(module().BgmKind, 1);
}

TEST_F(RaysTest, LoadRunsTheAnimationUntilAnUnloadEndsTheProgram) {
  testing_support::WriteIni(dir_, "停止時間= 4\r\n");
  module_ = std::make_unique<app::Tessellane_B>();
  module_->LoadSettings();
  dialog_ = std::make_unique<settings_dialog::Tessellane_P>(*module_);
  auto& d = *dialog_;
  long passes = 0;
  headless::SetIdleHook([&] {
    if (++passes == 20000) d.Cmd_CAN.Click();
  });
  EXPECT_TRUE(EndsProgram([&] { d.Form_Load(); }));
  EXPECT_GT(d.RaysDrawn, 100u);
  EXPECT_FALSE(d.DisplayPixels.Attached());
  EXPECT_THROW(d.DisplayPixels(0, 0), base::RuntimeError);
  EXPECT_EQ(d.lbl_Stop_Time.Caption(), "4秒");
}

}  // namespace
