// The pause at the end of a cycle: the picture is held, but input ends the
// display at once and the music polls keep ticking.
#include "tests/music_support.h"

namespace {

namespace mci = headless::mci;
using testing_support::MusicDisplayTest;

// At 320 x 240 a cycle is 911 rings of 5 ms: the first pause starts at 4555 ms.
constexpr double kPauseStart = 911 * 5;

class PauseTest : public MusicDisplayTest {
 protected:
  PauseTest() { module_.StopTime = 20; }
  long RingsDrawn() { return headless::SurfaceOf(display_->Display).circles; }
};

TEST_F(PauseTest, AKeyOneSecondIntoTheHoldEndsTheDisplayAtOnce) {
  EXPECT_TRUE(Run(60000, {{kPauseStart + 1000, Key(ui::Key::kOtherKey)}}));
  EXPECT_EQ(headless::CallsStartingWith("ProcessEventsFor"), std::vector<std::string>{"ProcessEventsFor(20000)"});
  // Within one wait step of the key, not at the end of the 20 s.
  EXPECT_GE(ended_at_, kPauseStart + 1000);
  EXPECT_LT(ended_at_, kPauseStart + 1000 + headless::config().wait_step_ms + 1);
  // Nothing was drawn after the last ring of the cycle.
  EXPECT_EQ(RingsDrawn(), 911);
}

TEST_F(PauseTest, WithoutACommandLineAClickEndsTheHoldToo) {
  module_.CommandLine = "";
  auto click = [](display::Tessellane_S& s) { headless::PostClick(s.Display); };
  EXPECT_TRUE(Run(60000, {{kPauseStart + 2500, click}}));
  EXPECT_LT(ended_at_, kPauseStart + 2500 + headless::config().wait_step_ms + 1);
}

TEST_F(PauseTest, AnUnloadDuringTheHoldDoesNotResumeTheCycle) {
  auto unload = [](display::Tessellane_S& s) { s.Form.Unload(); };
  EXPECT_FALSE(Run(60000, {{kPauseStart + 300, unload}}));
  EXPECT_LT(headless::NowMs(), kPauseStart + 300 + headless::config().wait_step_ms + 1);
  EXPECT_EQ(RingsDrawn(), 911);
  EXPECT_FALSE(display_->InvertMode);
}

TEST_F(PauseTest, TheHoldLastsItsFullLengthWhenNothingHappens) {
  EXPECT_FALSE(Run(kPauseStart + 20000 + 50));
  // The next cycle began right after the hold: its first rings are drawn.
  EXPECT_TRUE(display_->InvertMode);
  EXPECT_GT(RingsDrawn(), 911);
  EXPECT_LT(RingsDrawn(), 911 + 12);
}

TEST_F(PauseTest, TheMp3PollRestartsAShortPieceDuringTheHold) {
  constexpr const char* kMp3 = "C:\\m\\short.mp3";
  module_.BgmKind = 2;
  module_.BgmFile = kMp3;
  mci::config().files = {{kMp3, 1500}};
  EXPECT_FALSE(Run(12500));
  // Playing from 0, the piece ends every 1.5 s and the next tick restarts it,
  // in the hold (from 4555 ms) as before it.
  EXPECT_EQ(TimesOf("play MP3Play from 0"), (std::vector<double>{2000, 4000, 6000, 8000, 10000, 12000}));
}

TEST_F(PauseTest, TheCdWatchdogTicksDuringTheHold) {
  module_.BgmKind = 1;
  mci::config().disc = {600, 700};
  EXPECT_FALSE(Run(9000));
  std::vector<double> ticks;
  for (double t : TimesOf("status cdaudio current track"))
    if (t > kPauseStart) ticks.push_back(t);
  ASSERT_GT(ticks.size(), 10u);
  EXPECT_LE(ticks.front(), kPauseStart + 200);
  for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_EQ(ticks[i] - ticks[i - 1], 200) << ticks[i];
  // The disc ended during the hold and was started again there.
  bool restarted_in_hold = false;
  for (double t : TimesOf("play cdaudio")) restarted_in_hold |= t > kPauseStart;
  EXPECT_TRUE(restarted_in_hold);
}

}  // namespace
