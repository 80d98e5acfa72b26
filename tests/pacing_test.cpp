// The pace of the two animations on the fake clock: the display draws a
// cycle in a second at any size and never starts more than two a second,
// the light rays turn once a second, both answer input while they wait for
// their next frame, and neither catches up in a burst after a stall.
#include <algorithm>
#include <map>

#include "app/Tessellane_B.h"
#include "base/pacer.h"
#include "display/Tessellane_S.h"
#include "tests/settings_dialog_support.h"
#include "tests/test_support.h"
#include "ui/headless/widgets_api.h"

namespace {

using testing_support::HeadlessTest;

// The display run on the fake clock, drawing costing no time, with what it
// drew at each moment.
class PacedDisplayTest : public HeadlessTest {
 protected:
  PacedDisplayTest() {
    module_.CommandLine = "/s";
    module_.StopTime = 0;
  }

  // Runs the display for `ms` of fake time; `each` runs at every event pass.
  void RunFor(double ms, const std::function<void(display::Tessellane_S&)>& each = nullptr) {
    display_ = std::make_unique<display::Tessellane_S>(module_);
    if (host_) display_->Form.AdoptHostWindow(host_);
    long passes = 0;
    headless::SetIdleHook([&] {
      auto& s = *display_;
      const long circles = headless::SurfaceOf(s.Display).circles;
      if (circles > last_circles_) {
        circles_at_[headless::NowMs()] += circles - last_circles_;
        last_circles_ = circles;
      }
      if (s.CycleStartedAt != last_cycle_) {
        last_cycle_ = s.CycleStartedAt;
        cycle_starts_.push_back(s.CycleStartedAt);
      }
      if (each) each(s);
      if (headless::NowMs() >= ms || ++passes > 5000000) s.StopLoop = true;
    });
    display_->Form_Load();
  }

  // Most circles drawn at one moment of the fake clock: one frame's batch.
  long LargestBatch() const {
    long most = 0;
    for (const auto& [at, n] : circles_at_) most = std::max(most, n);
    return most;
  }
  long CirclesBetween(double from, double to) const {
    long n = 0;
    for (const auto& [at, count] : circles_at_) n += at >= from && at < to ? count : 0;
    return n;
  }
  // New cycles begun in [from, to), the first one at load not counted.
  long CyclesBetween(double from, double to) const {
    return std::count_if(cycle_starts_.begin() + 1, cycle_starts_.end(),
                         [&](double at) { return at >= from && at < to; });
  }

  app::Tessellane_B module_;
  ui::WindowHandle host_ = 0;
  std::unique_ptr<display::Tessellane_S> display_;
  std::map<double, long> circles_at_;
  std::vector<double> cycle_starts_;
  long last_circles_ = 0;
  double last_cycle_ = -1;
};

TEST_F(PacedDisplayTest, ACycleIsDrawnInASecondAtAnySizeAFrameAtATime) {
  const std::pair<int, int> sizes[] = {{1024, 768}, {3840, 2160}, {152, 112}};
  for (const auto& [width, height] : sizes) {
    headless::Reset();
    circles_at_.clear(), cycle_starts_.clear(), last_circles_ = 0, last_cycle_ = -1;
    headless::config().app_path = dir_.str();
    headless::config().screen_width_px = width;
    headless::config().screen_height_px = height;
    module_.StopTime = 3;
    RunFor(4500);
    const std::int64_t cycle = display::CycleLength(width, height);
    // The second cycle begins after the hold, on a schedule of its own.
    ASSERT_EQ(cycle_starts_.size(), 2u) << width;
    EXPECT_GE(cycle_starts_[1], 900 + 3000) << width;
    // Drawn in one second: all of it, and not within the first 0.9 s.
    EXPECT_EQ(CirclesBetween(0, 1000 + base::Pacer::kFrameMs), cycle) << width;
    EXPECT_LT(CirclesBetween(0, 900), cycle) << width;
    EXPECT_GT(CirclesBetween(0, 500), cycle / 3) << width;
    // Sixty frames a second, each with its share, the second cycle's first
    // frame too.
    EXPECT_GE(circles_at_.size(), 55u) << width;
    EXPECT_LE(LargestBatch(), cycle / 60.0 + 1) << width;
    // The net then holds for the stop time.
    EXPECT_EQ(headless::CallsStartingWith("ProcessEventsFor"), std::vector<std::string>{"ProcessEventsFor(3000)"});
  }
}

// A desktop of some 15,400 pixels square has a cycle of 2.4 million
// circles: times 1000 it is beyond 32 bits, which a long has on Windows (and
// in WebAssembly). Its rate must not come out as nothing.
TEST_F(PacedDisplayTest, ACycleOfMillionsOfCirclesIsDrawnAtItsPace) {
  headless::config().screen_width_px = 15400;
  headless::config().screen_height_px = 15414;
  headless::config().keep_pixels = false;
  const std::int64_t cycle = display::CycleLength(15400, 15414);
  ASSERT_GT(cycle * 1000, std::int64_t{INT32_MAX});
  RunFor(100);
  EXPECT_NEAR(static_cast<double>(CirclesBetween(0, 100)), cycle / 10.0, cycle / 60.0 + 1);
}

TEST_F(PacedDisplayTest, NoStrobeWhateverTheStopTimeOrTheSize) {
  // 0, a negative time and one whose 16-bit milliseconds overflow all skip the pause.
  for (std::int16_t stop_time : {0, -2, 40}) {
    for (int side : {1024, 20}) {
      headless::Reset();
      cycle_starts_.clear(), last_cycle_ = -1;
      headless::config().app_path = dir_.str();
      headless::config().screen_width_px = side;
      headless::config().screen_height_px = side * 3 / 4;
      module_.StopTime = stop_time;
      RunFor(10000);
      const long cycles = CyclesBetween(0, 10000);
      EXPECT_GE(cycles, 5) << stop_time << " " << side;
      EXPECT_LE(cycles, 10) << stop_time << " " << side;
      for (std::size_t i = 1; i < cycle_starts_.size(); ++i)
        EXPECT_GE(cycle_starts_[i] - cycle_starts_[i - 1], 500) << stop_time << " " << side;
    }
  }
}

TEST_F(PacedDisplayTest, AHostWindowResizedOverAndOverRestartsAtMostTwiceASecond) {
  host_ = headless::AddForeignWindow("host", ui::Rect{0, 0, 400, 300});
  int resizes = 0;
  double next_resize = 100;
  RunFor(3000, [&](display::Tessellane_S&) {
    // A drag: a new size every 20 ms.
    if (headless::NowMs() >= next_resize && next_resize < 2600) {
      ++resizes;
      next_resize += 20;
      headless::ResizeForeignWindow(host_, ui::Rect{0, 0, 400 + resizes, 300 + resizes / 2});
    }
  });
  ASSERT_GT(resizes, 100);
  EXPECT_LE(CyclesBetween(0, 3000), 6);
  EXPECT_GE(CyclesBetween(0, 3000), 4);
  for (std::size_t i = 1; i < cycle_starts_.size(); ++i) EXPECT_GE(cycle_starts_[i] - cycle_starts_[i - 1], 500);
  // The picture follows every size at once.
  EXPECT_EQ(display_->Display.ScaleWidth(), 400 + resizes);
}

TEST_F(PacedDisplayTest, AHostResizedDuringTheHoldStartsItsNewNetAtOnce) {
  // Only the height changes: that alone is a new size.
  host_ = headless::AddForeignWindow("host", ui::Rect{0, 0, 320, 240});
  module_.StopTime = 20;
  RunFor(4000, [&](display::Tessellane_S&) {
    if (headless::NowMs() >= 2000 && cycle_starts_.size() == 1)
      headless::ResizeForeignWindow(host_, ui::Rect{0, 0, 320, 300});
  });
  // The first net is finished within its second and held; the resize ends the hold.
  ASSERT_EQ(cycle_starts_.size(), 2u);
  EXPECT_GE(cycle_starts_[1], 2000);
  EXPECT_LE(cycle_starts_[1], 2000 + 20);
  EXPECT_EQ(display_->Display.ScaleHeight(), 300);
  // ... and the new net is drawn at its pace, not after the old hold's 20 s.
  EXPECT_GT(CirclesBetween(2000, 4000), display::CycleLength(320, 300) / 2);
}

TEST_F(PacedDisplayTest, InputAndTimersAreAnsweredWhileTheLoopWaitsForItsFrame) {
  headless::config().wait_step_ms = 1;
  std::vector<double> ticks;
  ui::Timer probe(100);
  probe.OnTick = [&] { ticks.push_back(headless::NowMs()); };
  probe.SetEnabled(true);
  double key_at = -1;
  const auto run = [&] {
    RunFor(5000, [&](display::Tessellane_S& s) {
      // Between two frames (at 250 and 266.7 ms).
      if (key_at < 0 && headless::NowMs() >= 258) {
        key_at = headless::NowMs();
        headless::PostKeyDown(s.Form, ui::Key::kOtherKey);
      }
    });
  };
  EXPECT_EQ(testing_support::ExitCodeOf(run), 0);
  EXPECT_NEAR(key_at, 258, 1);
  EXPECT_LT(headless::NowMs(), key_at + 1);
  EXPECT_EQ(ticks, (std::vector<double>{100, 200}));
}

TEST_F(PacedDisplayTest, AfterAStallTheScheduleStartsAgainWithoutABurst) {
  // The machine is suspended for a minute in the middle of a cycle.
  bool stalled = false;
  RunFor(62000, [&](display::Tessellane_S&) {
    if (!stalled && headless::NowMs() >= 400) {
      stalled = true;
      headless::AdvanceMs(60000);
    }
  });
  const double per_frame = display::CycleLength(1024, 768) / 60.0;
  EXPECT_LE(LargestBatch(), 2 * per_frame + 1);
  // The cycle goes on at its pace after the stall: it is not finished at once.
  const long after = CirclesBetween(60400, 60400 + base::Pacer::kFrameMs);
  EXPECT_GT(after, 0);
  EXPECT_LE(after, 2 * per_frame + 1);
  EXPECT_EQ(cycle_starts_.size() > 1 ? cycle_starts_[1] >= 60400 + 500 : true, true);
}

// The light rays on the fake clock.
class PacedRaysTest : public settings_dialog_testing::SettingsDialogTest {};

TEST_F(PacedRaysTest, TheHandTurnsOnceASecondAndThePictureIsShownOncePerFrame) {
  auto& d = Open();
  double first_ray_at = -1;
  long refreshes_before = 0;
  const auto run = [&] {
    headless::SetIdleHook([&] {
      if (first_ray_at < 0 && d.RaysDrawn > 0) {
        first_ray_at = headless::NowMs();
        refreshes_before = headless::RefreshesOf(d.Display);
      }
      if (first_ray_at >= 0 && headless::NowMs() >= first_ray_at + 5000) d.Cmd_CAN.Click();
    });
    d.RunRays();
  };
  EXPECT_TRUE(EndsProgram(run));
  // 360 rays a turn; the first frame's rays came at once.
  EXPECT_GE(d.RaysDrawn, 5 * 360u);
  EXPECT_LE(d.RaysDrawn, 5 * 360u + 12);
  const long refreshes = headless::RefreshesOf(d.Display) - refreshes_before;
  EXPECT_LE(refreshes, 5 * 60 + 1);
  EXPECT_GE(refreshes, 5 * 60 - 1);
}

TEST(PacerTest, KeepsFractionsOwedAndForgivesAllButOneFrameBehind) {
  constexpr double kFrame = base::Pacer::kFrameMs;
  base::Pacer pace(90);  // 1.5 steps a frame
  pace.Restart(1000);
  long total = 0;
  for (int frame = 0; frame < 60; ++frame) total += pace.StepsDue(1000 + frame * kFrame);
  // The first frame is due at once: sixty frames in the 59 frame times.
  EXPECT_NEAR(total, 90, 1);
  EXPECT_DOUBLE_EQ(pace.NextFrameAt(), 1000 + 60 * kFrame);
  // A hundred seconds late: this frame and one behind, no more.
  const long late = pace.StepsDue(100000);
  EXPECT_GE(late, 2);
  EXPECT_LE(late, 4);
  // A clock read twice at one moment owes nothing more.
  EXPECT_EQ(pace.StepsDue(100000), 0);
  // A restart forgets the fraction still owed: a fresh schedule.
  base::Pacer slow(48);  // 0.8 steps a frame
  slow.Restart(0);
  EXPECT_EQ(slow.StepsDue(0), 0);
  slow.Restart(1000);
  EXPECT_EQ(slow.StepsDue(1000), 0);
  EXPECT_EQ(slow.StepsDue(1000 + kFrame), 1);
}

}  // namespace
