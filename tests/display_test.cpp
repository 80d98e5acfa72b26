// The ring display: cycle geometry, colours per cycle, backgrounds, the pause
// and the first radius.
#include <set>

#include "app/Tessellane_B.h"
#include "base/numeric.h"
#include "display/Tessellane_S.h"
#include "tests/test_support.h"
#include "ui/random.h"

namespace {

using testing_support::HeadlessTest;

class DisplayTest : public HeadlessTest {
 protected:
  DisplayTest() {
    module_.StopTime = 3;
    module_.RandomBackground = 1;
    module_.CommandLine = "/s";
  }
  // Runs the display until `until` returns true at a pass's event processing,
  // or fails, naming `what` it waited for, after many more passes than any
  // case needs (eight cycles of the largest screen used here).
  void RunUntil(display::Tessellane_S& s, const std::function<bool()>& until,
                const char* what = "the case's condition") {
    constexpr long kMaxPasses = 200000;
    long passes = 0;
    headless::SetIdleHook([&] {
      if (until()) {
        s.StopLoop = true;
      } else if (++passes == kMaxPasses) {
        ADD_FAILURE() << "gave up after " << kMaxPasses << " event passes waiting for " << what;
        s.StopLoop = true;
      }
    });
    s.Form_Load();
  }
  app::Tessellane_B module_;
};

// Circles until the path is back at the top-left corner, for one screen size.
long CycleLength(int width, int height, headless::CircleRecord* last) {
  headless::Reset();
  headless::config().screen_width_px = width;
  headless::config().screen_height_px = height;
  app::Tessellane_B module;
  module.StopTime = 0;
  display::Tessellane_S s(module);
  headless::CircleRecord previous;
  long circles = -1;
  headless::SetIdleHook([&] {
    const auto& surface = headless::SurfaceOf(s.Display);
    if (s.InvertMode) {
      circles = surface.circles;
      previous = surface.last_circle;
      s.StopLoop = true;
      return;
    }
    previous = surface.last_circle;
  });
  s.Form_Load();
  if (last) *last = previous;
  return circles;
}

TEST_F(DisplayTest, CycleEndsBackAtTheTopLeftCornerAfterTheLcmOfBothPeriods) {
  headless::CircleRecord last;
  EXPECT_EQ(CycleLength(1024, 768, &last), 8399);
  EXPECT_EQ(last.x, -14);
  EXPECT_EQ(last.y, -14);
  EXPECT_EQ(CycleLength(800, 600, nullptr), 5191);
  EXPECT_EQ(CycleLength(640, 480, &last), 3383);
  EXPECT_EQ(last.x, -14);
  EXPECT_EQ(last.y, -14);
}

TEST_F(DisplayTest, DisplayCoversTheScreenInPixelsAtAnyDpi) {
  headless::config().twips_per_pixel = 10;  // 144 dpi
  display::Tessellane_S s(module_);
  RunUntil(s, [] { return true; });
  EXPECT_EQ(s.Display.ScaleWidth(), 1024);
  EXPECT_EQ(s.Display.ScaleHeight(), 768);
  EXPECT_EQ(s.Form.Width(), 10240);
  EXPECT_EQ(headless::StateOf(s.Form).bounds.right, 1024);
  EXPECT_EQ(headless::StateOf(s.Form).caption, "Tessellane_Main");
}

TEST_F(DisplayTest, EverySecondCycleAlternatesColourAndComplement) {
  display::Tessellane_S s(module_);
  module_.StopTime = 0;
  std::set<ui::Colour> first_cycle;
  std::vector<ui::Colour> second_cycle;
  long seen = 0;
  RunUntil(
      s,
      [&] {
        // Events are also handled while the loop waits for its next frame.
        if (headless::SurfaceOf(s.Display).circles == seen) return false;
        seen = headless::SurfaceOf(s.Display).circles;
        const auto& c = headless::SurfaceOf(s.Display).last_circle;
        if (!s.InvertMode && second_cycle.empty()) first_cycle.insert(c.colour);
        else if (s.InvertMode) second_cycle.push_back(c.colour);
        return second_cycle.size() == 20;
      },
      "20 circles of the second (alternating) cycle");
  EXPECT_EQ(first_cycle.size(), 1u);
  // The first entry is the last ring of the first cycle.
  for (std::size_t i = 2; i < second_cycle.size(); ++i) {
    EXPECT_EQ(second_cycle[i] + second_cycle[i - 1], 16777215) << i;
  }
  EXPECT_EQ(headless::SurfaceOf(s.Display).last_circle.radius, s.Radius);
}

TEST_F(DisplayTest, FixedBackgroundShowsTheSettingsColour) {
  module_.RandomBackground = 0;
  module_.BackgroundColor = 255;
  display::Tessellane_S s(module_);
  RunUntil(s, [&] { return headless::SurfaceOf(s.Display).circles == 50; });
  const auto& surface = headless::SurfaceOf(s.Display);
  EXPECT_EQ(s.Display.BackColor(), 255);
  EXPECT_EQ(surface.At(1000, 700), 255);
  EXPECT_GT(surface.Count(surface.last_circle.colour), 100);
}

TEST_F(DisplayTest, RandomBackgroundChangesPerCycleOnlyWhenExactlyOne) {
  for (int flag : {1, 2}) {
    headless::Reset();
    module_.RandomBackground = static_cast<std::int16_t>(flag);
    module_.StopTime = 0;
    headless::config().ms_per_do_events = 1;  // reseeding follows the time of day
    display::Tessellane_S s(module_);
    std::set<ui::Colour> backgrounds;
    int cycles = 0;
    bool was_invert = false;
    RunUntil(
        s,
        [&] {
          backgrounds.insert(s.Display.BackColor());
          if (s.InvertMode != was_invert) ++cycles, was_invert = s.InvertMode;
          return cycles == 3;
        },
        "three changes between plain and alternating cycles");
    if (flag == 1) EXPECT_GE(backgrounds.size(), 3u);
    else EXPECT_EQ(backgrounds.size(), 1u);
    EXPECT_NE(*backgrounds.begin(), 0);
  }
}

TEST_F(DisplayTest, PauseIsStopTimeSecondsFormedInSixteenBits) {
  const std::pair<int, std::vector<std::string>> cases[] = {{0, {"ProcessEventsFor(0)"}},
                                                            {3, {"ProcessEventsFor(3000)"}},
                                                            {32, {"ProcessEventsFor(32000)"}},
                                                            {33, {}},
                                                            {-2, {}}};
  for (const auto& [stop_time, sleeps] : cases) {
    headless::Reset();
    module_.StopTime = static_cast<std::int16_t>(stop_time);
    display::Tessellane_S s(module_);
    RunUntil(
        s, [&] { return s.InvertMode; }, "the second (alternating) cycle");
    EXPECT_EQ(headless::CallsStartingWith("ProcessEventsFor"), sleeps) << stop_time;
  }
}

TEST_F(DisplayTest, FirstRadiusIsTheSameOnEveryStartAndLaterOnesVary) {
  std::set<int> first, second;
  for (int start = 0; start < 4; ++start) {
    headless::Reset();
    headless::config().start_seconds_since_midnight = 1000.0 + start * 37.25;
    module_.StopTime = 0;
    display::Tessellane_S s(module_);
    int radius_first = -1;
    RunUntil(
        s,
        [&] {
          if (radius_first < 0) radius_first = s.Radius;
          return s.InvertMode;
        },
        "the second (alternating) cycle");
    first.insert(radius_first);
    second.insert(s.Radius);
    EXPECT_GE(s.Radius, 8);
    EXPECT_LE(s.Radius, 100);
  }
  EXPECT_EQ(first.size(), 1u);
  EXPECT_GT(second.size(), 1u);
}

TEST(RandomColourTest, ComponentsAreDrawnRedGreenBlueAndRounded) {
  headless::Reset();
  ui::RandomizeWith(42);
  const double r = ui::Rnd(), g = ui::Rnd(), b = ui::Rnd();
  ui::RandomizeWith(42);
  const ui::Colour c = display::RandomColour();
  EXPECT_EQ(ui::RedOf(c), static_cast<int>(base::num::RoundHalfEven(r * 255)));
  EXPECT_EQ(ui::GreenOf(c), static_cast<int>(base::num::RoundHalfEven(g * 255)));
  EXPECT_EQ(ui::BlueOf(c), static_cast<int>(base::num::RoundHalfEven(b * 255)));
  EXPECT_EQ(c & ~0xFFFFFF, 0);
}

// With a hand-edited flag of 2, load and the first cycle reseed at the same
// clock time (the fake clock stands still): the rings must still show.
TEST_F(DisplayTest, RingsNeverTakeTheBackgroundColour) {
  for (std::int16_t flag : {2, 1, 0}) {
    headless::Reset();
    module_.RandomBackground = flag;
    module_.BackgroundColor = 0x336699;
    module_.StopTime = 0;
    display::Tessellane_S s(module_);
    int checked = 0;
    RunUntil(s, [&] {
      if (!s.InvertMode) {
        EXPECT_NE(s.Display.FillColor, s.Display.BackColor()) << flag;
        ++checked;
      }
      return checked >= 3;
    });
    const auto& surface = headless::SurfaceOf(s.Display);
    EXPECT_GT(surface.Count(surface.last_circle.colour), 0) << flag;
    EXPECT_NE(surface.last_circle.colour, s.Display.BackColor()) << flag;
  }
}

// Two monitors, the second 800 x 600 left of the primary one: the window
// covers both and the path bounces off the edges of the whole area.
TEST_F(DisplayTest, TheDisplayCoversEveryMonitor) {
  headless::config().desktop_px = {-800, 0, 1024, 768};
  module_.StopTime = 0;
  display::Tessellane_S s(module_);
  long circles = -1;
  RunUntil(s, [&] {
    if (s.InvertMode) circles = headless::SurfaceOf(s.Display).circles;
    return s.InvertMode;
  });
  const auto& window = headless::StateOf(s.Form);
  EXPECT_EQ(window.bounds.left, -800);
  EXPECT_EQ(window.bounds.top, 0);
  EXPECT_EQ(window.bounds.right, 1024);
  EXPECT_EQ(window.bounds.bottom, 768);
  EXPECT_EQ(s.Display.ScaleWidth(), 1824);
  EXPECT_EQ(s.Display.ScaleHeight(), 768);
  // k = 131 and m = 55 give lcm(264, 112) - 1 rings.
  EXPECT_EQ(circles, 3695);
}

}  // namespace
