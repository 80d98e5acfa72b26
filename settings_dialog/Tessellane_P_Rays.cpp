// The light-ray animation: rays of 100 unit steps sweep around a point,
// each brightening the pixels of the 8-bit picture it crosses; after a full
// turn the centre jumps somewhere else. The loop never ends by itself: every
// event of the window is handled from inside it.
#include <cmath>

#include "base/numeric.h"
#include "base/pacer.h"
#include "base/runtime_error.h"
#include "settings_dialog/Tessellane_P.h"
#include "ui/backend.h"
#include "ui/random.h"

namespace settings_dialog {
namespace {

using base::ResumeNext;

constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 240;
constexpr int kStepsPerRay = 100;
constexpr std::uint8_t kBrightest = 254;
// One turn of the hand (360 rays) a second: the sweep can be followed by eye,
// and the picture takes about half an hour to fill.
constexpr double kRaysPerSecond = 360;
// The eight half-sides of the square whose outline the directions follow.
constexpr int kSegmentStart[8] = {0, 91, 181, 271, 361, 451, 541, 631};

}  // namespace

void Tessellane_P::SetUpRays() {
  const ui::BitmapInfo bitmap = Display.GetObject();
  DisplayPixels.Attach(bitmap.bits, bitmap.width_bytes, bitmap.height);
  for (int i = 0; i <= 90; ++i) {
    RampStep[i] = i / 2.0 / 45;
    ui::DoEvents();
  }
  const auto& t = RampStep;
  // The square's outline, a = 0 .. 90 along each of its eight half-sides.
  auto unprojected = [&](int segment, int a) -> std::pair<double, double> {
    switch (segment) {
      case 0: return {-t[a], 1};
      case 1: return {-1, t[90 - a]};
      case 2: return {-1, -t[a]};
      case 3: return {-t[90 - a], -1};
      case 4: return {t[a], -1};
      case 5: return {1, -t[90 - a]};
      case 6: return {1, t[a]};
      default: return {t[90 - a], 1};
    }
  };
  for (int a = 0; a <= 90; ++a) {
    for (int s = 0; s < 8; ++s)
      std::tie(RayDirX[a + kSegmentStart[s]], RayDirY[a + kSegmentStart[s]]) = unprojected(s, a);
    ui::DoEvents();
  }
  for (int i = 0; i <= 90; ++i) {
    RampNorm[i] = std::pow(std::pow(10 * RayDirX[i], 2) + std::pow(10 * RayDirY[i], 2), 0.5) / 10;
    ui::DoEvents();
  }
  // Onto the unit circle. Computed from the outline again rather than by
  // dividing in place: the half-sides share their end entries.
  for (int a = 0; a <= 90; ++a) {
    for (int s = 0; s < 8; ++s) {
      const auto [x, y] = unprojected(s, a);
      const double n = s % 2 == 0 ? RampNorm[a] : RampNorm[90 - a];
      RayDirX[a + kSegmentStart[s]] = x / n;
      RayDirY[a + kSegmentStart[s]] = y / n;
    }
    ui::DoEvents();
  }
}

void Tessellane_P::RayPass() {
  ui::DoEvents();
  double x = RayOriginX, y = RayOriginY;
  // Skips 16-bit overflows, and a pixel outside the view or already at 255.
  ResumeNext([&] { RayAngle = base::num::Add16(RayAngle, 2); });
  if (RayAngle > 719) {
    // This ray still starts from the old centre.
    ResumeNext([&] { RayOriginX = base::num::RoundToInt16(ui::Rnd() * 319); });
    ResumeNext([&] { RayOriginY = base::num::RoundToInt16(ui::Rnd() * 199); });
    RayAngle = 1;
  }
  const double dx = RayDirX[RayAngle], dy = RayDirY[RayAngle];
  for (int step = 0; step < kStepsPerRay; ++step) {
    // Once outside, the point no longer moves: the rest of the ray does nothing.
    if (!(x > 2 && x < kPictureWidth - 2 && y > 2 && y < kPictureHeight - 2)) break;
    const int px = static_cast<int>(base::num::RoundHalfEven(x));
    const int py = static_cast<int>(base::num::RoundHalfEven(y));
    ResumeNext([&] {
      std::uint8_t& pixel = DisplayPixels(px, py);
      if (pixel == 255) throw base::OverflowError();
      pixel = static_cast<std::uint8_t>(pixel + 1);
    });
    ResumeNext([&] {
      std::uint8_t& pixel = DisplayPixels(px, py);
      if (pixel > kBrightest) pixel = kBrightest;
    });
    x += dx;
    y += dy;
    ++StepsDrawn;
    ui::DoEvents();
  }
  ui::DoEvents();
  ++RaysDrawn;
}

// The picture is shown once for all the rays of a frame.
void Tessellane_P::RayFrame(long rays) {
  if (rays <= 0) return;
  for (; rays > 0; --rays) RayPass();
  Display.Refresh();
}

void Tessellane_P::RunRays() {
  // Nothing else seeds the generator in this mode; without this the centres
  // would follow the same path on every start.
  ui::Randomize();
  SetUpRays();
  base::Pacer pace(kRaysPerSecond);
  pace.Restart(ui::MonotonicMs());
  for (;;) {
    if (!RaysPaced) {
      RayFrame(1);
      continue;
    }
    RayFrame(pace.StepsDue(ui::MonotonicMs()));
    ui::ProcessEventsUntil(pace.NextFrameAt(), nullptr);
  }
}

}  // namespace settings_dialog
