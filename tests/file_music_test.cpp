// File music on the running display: which player a file gets, the MP3
// restarted by the once-a-second poll, WAV through PlaySound, and both
// stopped when the screen saver ends.
#include <algorithm>

#include "tests/music_support.h"
#include "ui/backend.h"

namespace {

namespace mci = headless::mci;
using testing_support::MusicDisplayTest;

constexpr const char* kMp3 = "C:\\My Music\\夜の 曲.mp3";
constexpr const char* kWav = "C:\\My Music\\波.Wav";
constexpr const char* kOpenMp3 = "open \"C:\\My Music\\夜の 曲.mp3\" type MPEGVideo Alias MP3Play";

class FileMusicTest : public MusicDisplayTest {
 protected:
  FileMusicTest() {
    module_.BgmKind = 2;
    mci::config().files = {{kMp3, 2500}, {kWav, 800}};
  }
  // Whether Timer1 runs, as seen while the display runs.
  bool Timer1SeenEnabled() {
    bool enabled = false;
    Run(50, {{20, [&](display::Tessellane_S& s) { enabled = s.Timer1.Enabled(); }}});
    return enabled;
  }
  static std::vector<std::string> PlaySoundCalls() {
    std::vector<std::string> out;
    for (const auto& c : headless::Calls())
      if (c.starts_with("PlaySoundLooped") || c == "StopSound") out.push_back(c);
    return out;
  }
};

TEST_F(FileMusicTest, TheLastThreeCharactersChooseThePlayer) {
  module_.BgmFile = "C:\\m\\a.mp3";
  mci::config().files[module_.BgmFile] = 5000;
  EXPECT_TRUE(Timer1SeenEnabled());
  EXPECT_EQ(mci::Commands(),
            (std::vector<std::string>{"open \"C:\\m\\a.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play"}));
  EXPECT_TRUE(PlaySoundCalls().empty());

  Fresh();
  module_.BgmFile = "C:\\m\\songxMP3";  // no dot needed
  EXPECT_TRUE(Timer1SeenEnabled());
  EXPECT_EQ(mci::Commands().front(), "open \"C:\\m\\songxMP3\" type MPEGVideo Alias MP3Play");

  Fresh();
  mci::config().files = {{kWav, 800}};
  module_.BgmFile = kWav;
  EXPECT_FALSE(Timer1SeenEnabled());
  EXPECT_EQ(PlaySoundCalls(), std::vector<std::string>{std::string("PlaySoundLooped(") + kWav + ")"});
  EXPECT_EQ(mci::SoundPlaying(), kWav);
  EXPECT_TRUE(mci::Commands().empty());

  for (const char* other : {"C:\\m\\a.mid", "C:\\m\\a.mp3 ", "C:\\m\\a.wave", ""}) {
    Fresh();
    module_.BgmFile = other;
    EXPECT_FALSE(Timer1SeenEnabled()) << other;
    EXPECT_TRUE(mci::Commands().empty()) << other;
    EXPECT_TRUE(PlaySoundCalls().empty()) << other;
    EXPECT_TRUE(headless::CallsStartingWith("WaveOutputDevices").empty()) << other;
  }

  // Music kinds other than 2 ignore the file.
  for (std::int16_t kind : {0, 3}) {
    Fresh();
    module_.BgmKind = kind;
    module_.BgmFile = "C:\\m\\a.mp3";
    EXPECT_FALSE(Timer1SeenEnabled());
    EXPECT_TRUE(mci::Commands().empty());
  }
}

TEST_F(FileMusicTest, AnEndedMp3StartsAgainWithinOneSecondAndOnlyTheModeIsAskedWhilePlaying) {
  module_.BgmFile = kMp3;
  EXPECT_FALSE(Run(6500));
  // A path with blanks arrives whole because it is quoted.
  EXPECT_EQ(CommandsBetween(0, 1), (std::vector<std::string>{kOpenMp3, "play MP3Play"}));
  EXPECT_EQ(mci::FilePath(), kMp3);
  // Ticks at 1000 and 2000 find it playing; it ends at 2500; the tick at
  // 3000 starts it again, which then ends at 5500 and restarts at 6000.
  for (double t : {1000.0, 2000.0, 4000.0, 5000.0})
    EXPECT_EQ(CommandsBetween(t, t + 1), std::vector<std::string>{"status MP3Play mode"}) << t;
  EXPECT_EQ(TimesOf("play MP3Play from 0"), (std::vector<double>{3000, 6000}));
  EXPECT_EQ(CommandsBetween(3000, 3001),
            (std::vector<std::string>{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
  EXPECT_EQ(mci::Commands().size(), 2u + 6 * 1 + 2 * 2);
  EXPECT_EQ(mci::FileStarts(), 3);
  EXPECT_EQ(mci::FileMode(), "playing");
  EXPECT_EQ(display_->BGM.Mp3ModeBuffer, "stopped");
}

TEST_F(FileMusicTest, AFailedModeQueryLeavesTheLastModeInTheBuffer) {
  module_.BgmFile = kMp3;
  music::Tessellane_BGM bgm(module_);
  bgm.PlayMp3();
  EXPECT_TRUE(bgm.IsMp3Playing());
  // The device goes away behind the poll's back: the query fails and the
  // buffer still holds the last answer, so no restart is tried.
  ui::sys::MciSendString("close MP3Play", nullptr, 0);
  EXPECT_TRUE(bgm.IsMp3Playing());
  EXPECT_EQ(bgm.Mp3ModeBuffer, "playing");
  bgm.RepeatMp3();
  EXPECT_EQ(mci::FileStarts(), 1);
}

TEST_F(FileMusicTest, AnMp3ThatDoesNotOpenKeepsThePollGoingAndNothingElse) {
  mci::config().audio_device = false;
  module_.BgmFile = kMp3;
  module_.ApiResult = 4321;
  EXPECT_TRUE(Run(10000, {{2500, Key(ui::Key::kOtherKey)}}));
  EXPECT_EQ(TimesOf(kOpenMp3), std::vector<double>{0});
  EXPECT_TRUE(TimesOf("play MP3Play").empty());
  EXPECT_EQ(TimesOf("status MP3Play mode"), (std::vector<double>{1000, 2000}));
  EXPECT_EQ(TimesOf("play MP3Play from 0"), (std::vector<double>{1000, 2000}));
  // The failed commands are not stored in ApiResult.
  EXPECT_EQ(module_.ApiResult, 4321);
  EXPECT_EQ(CommandsBetween(2500, 1e9), (std::vector<std::string>{"stop MP3Play", "close MP3Play"}));
}

TEST_F(FileMusicTest, WavNeedsAWaveDeviceAndStoresItsResult) {
  module_.BgmFile = kWav;
  music::Tessellane_BGM bgm(module_);
  mci::config().wave_devices = 0;
  module_.ApiResult = 4321;
  bgm.PlayWav();
  EXPECT_TRUE(PlaySoundCalls().empty());
  EXPECT_EQ(headless::CallsStartingWith("WaveOutputDevices").size(), 1u);
  EXPECT_EQ(module_.ApiResult, 4321);

  mci::config().wave_devices = 2;
  bgm.PlayWav();
  EXPECT_EQ(module_.ApiResult, 1);
  EXPECT_EQ(mci::SoundPlaying(), kWav);
  module_.BgmFile = "C:\\missing.wav";
  bgm.PlayWav();
  EXPECT_EQ(module_.ApiResult, 0);
  module_.ApiResult = 4321;
  bgm.StopWav();
  EXPECT_EQ(module_.ApiResult, 1);
  EXPECT_EQ(mci::SoundPlaying(), "");
}

TEST_F(FileMusicTest, EndingStopsTheWavAndStopsAndClosesTheMp3) {
  module_.BgmFile = kWav;
  EXPECT_TRUE(Run(10000, {{300, Key(ui::Key::kOtherKey)}}));
  EXPECT_EQ(PlaySoundCalls(), (std::vector<std::string>{std::string("PlaySoundLooped(") + kWav + ")", "StopSound"}));
  EXPECT_EQ(mci::SoundPlaying(), "");
  EXPECT_TRUE(mci::Commands().empty());
  // The sound stops before the program ends.
  const auto& calls = headless::Calls();
  EXPECT_LT(std::find(calls.begin(), calls.end(), "StopSound"), std::find(calls.begin(), calls.end(), "EndProcess(0)"));

  Fresh();
  module_.BgmFile = kMp3;
  mci::config().files = {{kMp3, 2500}};
  EXPECT_TRUE(Run(10000, {{1500, Key(ui::Key::kOtherKey)}}));
  EXPECT_EQ(CommandsBetween(1500, 1e9), (std::vector<std::string>{"stop MP3Play", "close MP3Play"}));
  EXPECT_EQ(mci::FileMode(), "closed");
  EXPECT_TRUE(PlaySoundCalls().empty());
  // No CD commands either.
  for (const auto& c : mci::Commands()) EXPECT_EQ(c.find("cdaudio"), std::string::npos) << c;
}

TEST_F(FileMusicTest, AClosedWindowStopsAndClosesTheMp3AndItsPollForGood) {
  module_.BgmFile = kMp3;
  mci::config().files = {{kMp3, 1200}};
  auto close = [](display::Tessellane_S& s) { s.Form.Unload(); };
  // Closed at 1500 with the piece just ended; the loop would run on to 5000.
  EXPECT_FALSE(Run(5000, {{1500, close}}));
  EXPECT_EQ(CommandsBetween(1500, 1e9), (std::vector<std::string>{"stop MP3Play", "close MP3Play"}));
  EXPECT_EQ(mci::FileMode(), "closed");
  EXPECT_FALSE(display_->Timer1.Enabled());
}

}  // namespace
