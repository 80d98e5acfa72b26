// CD music on the running display: the watchdog that starts, restarts and
// holds the disc on its repeat track, the arrow keys, and what a drive that
// stops answering leaves behind.
#include "tests/music_support.h"

namespace {

namespace mci = headless::mci;
using testing_support::MusicDisplayTest;

const std::vector<std::string> kPollQueries = {"status cdaudio current track", "status cdaudio number of tracks",
                                               "status cdaudio mode"};

std::vector<std::string> Poll(std::vector<std::string> then = {}) {
  std::vector<std::string> out = kPollQueries;
  out.insert(out.end(), then.begin(), then.end());
  return out;
}

class CdAudioTest : public MusicDisplayTest {
 protected:
  CdAudioTest() { module_.BgmKind = 1; }
  // Samples the drive's track right after the poll at each of `times`.
  std::vector<int> tracks_;
  Action SampleTrack() {
    return [this](display::Tessellane_S&) { tracks_.push_back(mci::CdTrack()); };
  }
};

TEST_F(CdAudioTest, TheFirstTickStartsTheDiscAndAStoppedDiscIsStartedAgain) {
  mci::config().disc = {1000, 1100};
  EXPECT_FALSE(Run(2650));
  EXPECT_EQ(CommandsBetween(0, 1), (std::vector<std::string>{"open cdaudio", "set cdaudio time format tmsf"}));
  EXPECT_TRUE(CommandsBetween(1, 200).empty());
  EXPECT_EQ(CommandsBetween(200, 201), Poll({"play cdaudio"}));
  EXPECT_EQ(CommandsBetween(400, 401), Poll());
  // Started at 200, the disc ends at 2300; the tick at 2400 starts it again.
  EXPECT_EQ(TimesOf("play cdaudio"), (std::vector<double>{200, 2400}));
  EXPECT_EQ(mci::CdMode(), "playing");
  EXPECT_EQ(mci::CdTrack(), 1);
  EXPECT_TRUE(display_->Timer2.Enabled());
}

TEST_F(CdAudioTest, RepeatTrackIsHeldAndPulledBackFromTheNextTrack) {
  mci::config().disc = {1000, 1000, 1000, 1000};
  module_.BgmRepeat = 3;
  EXPECT_FALSE(Run(2100, {{205, SampleTrack()}, {1205, SampleTrack()}, {2005, SampleTrack()}}));
  EXPECT_EQ(CommandsBetween(200, 201), Poll({"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));
  // Track 3 runs out at 1200, the poll at 1200 finds track 4 and goes back.
  EXPECT_EQ(TimesOf("play cdaudio from 03:00:00:00"), (std::vector<double>{200, 1200}));
  EXPECT_EQ(CommandsBetween(1000, 1001), Poll());
  EXPECT_EQ(tracks_, (std::vector<int>{3, 3, 3}));
}

TEST_F(CdAudioTest, RepeatOfTheLastTrackStartsItAgainWhenTheDiscStops) {
  mci::config().disc = {1000, 1000, 1000};
  module_.BgmRepeat = 3;
  EXPECT_FALSE(Run(2300));
  // Ends at 1200 with the disc stopped on track 3: mode "stopped" brings it back.
  EXPECT_EQ(TimesOf("play cdaudio from 03:00:00:00"), (std::vector<double>{200, 1200, 2200}));
  EXPECT_EQ(mci::CdMode(), "playing");
}

TEST_F(CdAudioTest, RepeatTrackBeyondTheDiscIsRefusedEveryTickAndTheWatchdogGoesOn) {
  mci::config().disc = {1000, 1000};
  module_.BgmRepeat = 5;
  EXPECT_FALSE(Run(650));
  EXPECT_EQ(CommandsBetween(200, 201), Poll({"status cdaudio position track 5", "play cdaudio from Error:282"}));
  EXPECT_EQ(TimesOf("play cdaudio from Error:282"), (std::vector<double>{200, 400, 600}));
  EXPECT_EQ(mci::CdMode(), "stopped");
  EXPECT_TRUE(display_->Timer2.Enabled());
  EXPECT_EQ(display_->BGM.CdAudioOk, -1);
}

TEST_F(CdAudioTest, ArrowsStepThroughTracksWithoutWrapAndDoNotEndTheDisplay) {
  mci::config().disc = {60000, 60000, 60000};
  const bool ended = Run(5000, {{300, Key(ui::Key::kLeft)},
                                {305, SampleTrack()},
                                {500, Key(ui::Key::kRight)},
                                {505, SampleTrack()},
                                {700, Key(ui::Key::kRight)},
                                {705, SampleTrack()},
                                {900, Key(ui::Key::kRight)},
                                {905, SampleTrack()},
                                {1100, Key(ui::Key::kLeft)},
                                {1105, SampleTrack()},
                                {1300, Key(ui::Key::kOtherKey)}});
  ASSERT_TRUE(ended);
  EXPECT_EQ(ended_at_, 1300);
  EXPECT_EQ(tracks_, (std::vector<int>{1, 2, 3, 3, 2}));
  EXPECT_EQ(CommandsBetween(300, 301),
            (std::vector<std::string>{"status cdaudio current track", "status cdaudio position track 0",
                                      "play cdaudio from Error:282"}));
  EXPECT_EQ(CommandsBetween(900, 901),
            (std::vector<std::string>{"status cdaudio current track", "status cdaudio position track 4",
                                      "play cdaudio from Error:282"}));
  EXPECT_EQ(CommandsBetween(500, 501),
            (std::vector<std::string>{"status cdaudio current track", "status cdaudio position track 2",
                                      "play cdaudio from 02:00:00:00"}));
  // The other key ended it, and the device was stopped and closed.
  EXPECT_EQ(CommandsBetween(1300, 1e9), (std::vector<std::string>{"stop cdaudio", "close cdaudio"}));
  EXPECT_FALSE(mci::CdOpen());
  EXPECT_EQ(mci::CdMode(), "stopped");
  EXPECT_FALSE(display_->Timer2.Enabled());
}

TEST_F(CdAudioTest, AnArrowAwayFromTheRepeatTrackIsUndoneByTheNextTick) {
  mci::config().disc = {60000, 60000, 60000};
  module_.BgmRepeat = 2;
  EXPECT_FALSE(Run(500, {{300, Key(ui::Key::kRight)}, {305, SampleTrack()}, {405, SampleTrack()}}));
  EXPECT_EQ(tracks_, (std::vector<int>{3, 2}));
  EXPECT_EQ(TimesOf("play cdaudio from 02:00:00:00"), (std::vector<double>{200, 400}));
}

TEST_F(CdAudioTest, ArrowsEndTheDisplayWithOtherMusicKinds) {
  for (std::int16_t kind : {0, 2}) {
    Fresh();
    module_.BgmKind = kind;
    EXPECT_TRUE(Run(5000, {{100, Key(ui::Key::kLeft)}})) << kind;
    Fresh();
    module_.BgmKind = kind;
    EXPECT_TRUE(Run(5000, {{100, Key(ui::Key::kRight)}})) << kind;
    EXPECT_TRUE(mci::Commands().empty());
  }
}

TEST_F(CdAudioTest, ARemovedDiscStopsTheWatchdogForGoodAndEndingLeavesTheDeviceAlone) {
  mci::config().disc = {60000, 60000};
  const bool ended = Run(5000, {{500, [](display::Tessellane_S&) { mci::RemoveDisc(); }},
                                {1000, [](display::Tessellane_S&) { mci::config().disc = {60000}; }},
                                {1500, Key(ui::Key::kLeft)},
                                {1700, Key(ui::Key::kRight)},
                                {2000, Key(ui::Key::kOtherKey)}});
  ASSERT_TRUE(ended);
  EXPECT_EQ(ended_at_, 2000);
  // The tick at 600 fails on its first query and is the last one, even
  // though a disc is back at 1000.
  EXPECT_EQ(CommandsBetween(600, 1500), std::vector<std::string>{"status cdaudio current track"});
  EXPECT_EQ(display_->BGM.CdAudioOk, 0);
  // The arrows still only step (here: nothing to step) and the close commands are not sent.
  EXPECT_EQ(CommandsBetween(1500, 1501).size(), 3u);
  EXPECT_TRUE(TimesOf("stop cdaudio").empty());
  EXPECT_TRUE(TimesOf("close cdaudio").empty());
}

TEST_F(CdAudioTest, WithoutADriveTheDisplayRunsSilentlyAndOnlyOtherKeysEndIt) {
  mci::config().cd_drive = false;
  module_.ApiResult = 55;
  const bool ended =
      Run(5000, {{300, Key(ui::Key::kRight)}, {400, Key(ui::Key::kLeft)}, {700, Key(ui::Key::kOtherKey)}});
  ASSERT_TRUE(ended);
  EXPECT_EQ(ended_at_, 700);
  EXPECT_EQ(module_.ApiResult, mci::kErrInvalidDeviceName);
  EXPECT_EQ(TimesOf("status cdaudio current track"), (std::vector<double>{200, 300, 400}));
  EXPECT_TRUE(TimesOf("close cdaudio").empty());
}

// The watchdog without the display: a current track that is no number.
TEST_F(CdAudioTest, ACurrentTrackThatIsNoNumberStopsTheWatchdogOnlyWhenItIsCompared) {
  mci::config().disc = {60000, 60000};
  mci::config().current_track_reply = "two";
  music::Tessellane_BGM bgm(module_);
  bgm.OpenCdAudio();
  module_.BgmRepeat = 0;
  bgm.PollCdAudio();
  EXPECT_EQ(bgm.CdAudioOk, -1);
  EXPECT_EQ(mci::Commands().back(), "play cdaudio");

  // Compared with a repeat track, it is an error even while the disc plays:
  // the run ends before any play command.
  module_.BgmRepeat = 2;
  mci::ClearLog();
  bgm.PollCdAudio();
  EXPECT_EQ(bgm.CdAudioOk, 0);
  EXPECT_EQ(mci::Commands(), kPollQueries);

  // A numeric text of another form is compared by value.
  mci::config().current_track_reply = " 2.0";
  mci::ClearLog();
  bgm.PollCdAudio();
  EXPECT_EQ(bgm.CdAudioOk, -1);
  EXPECT_EQ(mci::Commands(), kPollQueries);
}

}  // namespace
