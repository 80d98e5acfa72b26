// The shared MCI interpreter against recording devices: what each command
// form the music sends does to the device, the replies and error codes it
// gives back, the CD positions, and the loud refusal of forms it does not know.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/Tessellane_B.h"
#include "music/Tessellane_BGM.h"
#include "tests/test_support.h"
#include "ui/common/mci_interpreter.h"
#include "ui/headless/mci_sim.h"

namespace {

namespace mci = ui::mci;
using Strings = std::vector<std::string>;

// What the interpreter asked of the devices, in order.
struct Record {
  Strings calls;
};

class RecordingPlayer : public mci::FilePlayer {
 public:
  RecordingPlayer(Record& r, int open_result, RecordingPlayer** self) : r_(r), open_result_(open_result), self_(self) {
    *self_ = this;
  }
  ~RecordingPlayer() override {
    r_.calls.push_back("player closed");
    if (*self_ == this) *self_ = nullptr;
  }
  int Open(const std::string& path, bool loop) override {
    r_.calls.push_back("open " + path + (loop ? " looped" : ""));
    return open_result_;
  }
  int Play(std::optional<double> from_ms) override {
    r_.calls.push_back(from_ms ? "play from " + std::to_string(static_cast<int>(*from_ms)) : "play");
    playing = true;
    return 0;
  }
  void Stop() override {
    r_.calls.push_back("stop");
    playing = false;
  }
  bool Playing() override { return playing; }
  bool playing = false;

 private:
  Record& r_;
  int open_result_;
  RecordingPlayer** self_;
};

class RecordingDrive : public mci::CdDrive {
 public:
  RecordingDrive(Record& r, std::vector<double>& disc, RecordingDrive** self) : r_(r), disc_(disc), self_(self) {
    *self_ = this;
  }
  ~RecordingDrive() override {
    r_.calls.push_back("drive closed");
    if (*self_ == this) *self_ = nullptr;
  }
  std::vector<double> Tracks() override { return disc_; }
  double Position() override { return position; }
  int Play(double from_ms, double to_ms) override {
    r_.calls.push_back("cd play " + std::to_string(static_cast<long>(from_ms)) + " " +
                       std::to_string(static_cast<long>(to_ms)));
    position = from_ms;
    playing = true;
    return 0;
  }
  void Stop() override {
    r_.calls.push_back("cd stop");
    playing = false;
  }
  bool Playing() override { return playing; }
  double position = 0;
  bool playing = false;

 private:
  Record& r_;
  std::vector<double>& disc_;
  RecordingDrive** self_;
};

class RecordingDevices : public mci::Devices {
 public:
  std::unique_ptr<mci::FilePlayer> NewFilePlayer() override {
    return std::make_unique<RecordingPlayer>(record, open_result, &player);
  }
  std::unique_ptr<mci::CdDrive> OpenCdDrive(int& error) override {
    record.calls.push_back("open drive");
    if (drive_error) {
      error = drive_error;
      return nullptr;
    }
    return std::make_unique<RecordingDrive>(record, disc, &drive);
  }
  Record record;
  int open_result = 0;
  int drive_error = 0;
  std::vector<double> disc;
  RecordingPlayer* player = nullptr;
  RecordingDrive* drive = nullptr;
};

class MciInterpreterTest : public ::testing::Test {
 protected:
  // The command's code, with its reply in reply_.
  int Send(const std::string& command, std::size_t length = 512) { return interpreter_.Send(command, &reply_, length); }
  Strings TakeCalls() { return std::exchange(devices_.record.calls, {}); }

  RecordingDevices devices_;
  mci::Interpreter interpreter_{devices_};
  std::string reply_;
};

TEST_F(MciInterpreterTest, TheMp3FormsReachThePlayerAndModeFollowsIt) {
  const std::string path = "/home/u/My Music/夜の 曲.mp3";
  ASSERT_EQ(Send("open \"" + path + "\" type MPEGVideo Alias MP3Play"), 0);
  ASSERT_EQ(Send("play MP3Play"), 0);
  EXPECT_EQ(TakeCalls(), (Strings{"open " + path, "play"}));
  EXPECT_TRUE(interpreter_.IsOpen("mp3play"));

  EXPECT_EQ(Send("status MP3Play mode", 30), 0);
  EXPECT_EQ(reply_, "playing");
  devices_.player->playing = false;  // the piece ended
  EXPECT_EQ(Send("status MP3Play mode", 30), 0);
  EXPECT_EQ(reply_, "stopped");

  EXPECT_EQ(Send("stop MP3Play"), 0);
  EXPECT_EQ(Send("play MP3Play from 0"), 0);
  EXPECT_EQ(Send("stop mp3play"), 0);  // names in any case
  EXPECT_EQ(Send("close MP3Play"), 0);
  EXPECT_EQ(TakeCalls(), (Strings{"stop", "play from 0", "stop", "player closed"}));

  // Closed: every command is refused and the mode buffer keeps its text.
  reply_ = "stopped";
  for (const char* command : {"status MP3Play mode", "play MP3Play from 0", "stop MP3Play", "close MP3Play"})
    EXPECT_EQ(Send(command, 30), mci::kErrInvalidDeviceName) << command;
  EXPECT_EQ(reply_, "stopped");
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_TRUE(interpreter_.NotUnderstood().empty());
}

TEST_F(MciInterpreterTest, AFileThatDoesNotOpenLeavesNothingOpenAndOneAliasAtATime) {
  devices_.open_result = mci::kErrInternal;
  EXPECT_EQ(Send("open \"/m/a.mp3\" type MPEGVideo Alias MP3Play"), mci::kErrInternal);
  EXPECT_FALSE(interpreter_.IsOpen("MP3Play"));
  EXPECT_EQ(Send("play MP3Play"), mci::kErrInvalidDeviceName);
  EXPECT_EQ(TakeCalls(), (Strings{"open /m/a.mp3", "player closed"}));

  devices_.open_result = 0;
  EXPECT_EQ(Send("open \"/m/a.mp3\" type mpegvideo alias MP3Play"), 0);
  EXPECT_EQ(Send("open \"/m/b.mp3\" type MPEGVideo Alias Other"), mci::kErrDeviceOpen);
  EXPECT_EQ(TakeCalls(), Strings{"open /m/a.mp3"});
  EXPECT_EQ(Send("play MP3Play from x1"), mci::kErrBadInteger);
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(MciInterpreterTest, ReplyBuffersAreCutToTheirLengthAndKeptOnFailure) {
  devices_.disc = std::vector<double>(12, 1000);
  ASSERT_EQ(Send("open cdaudio"), 0);
  reply_ = "old";
  EXPECT_EQ(Send("status cdaudio number of tracks", 2), 0);
  EXPECT_EQ(reply_, "1");  // one character and the NUL
  EXPECT_EQ(Send("status cdaudio position track 13", 2), mci::kErrOutOfRange);
  EXPECT_EQ(reply_, "1");
  std::string untouched = "x";
  EXPECT_EQ(interpreter_.Send("status cdaudio mode", nullptr, 0), 0);
  EXPECT_EQ(interpreter_.Send("status cdaudio mode", &untouched, 0), 0);
  EXPECT_EQ(untouched, "x");
}

TEST_F(MciInterpreterTest, TheCdWatchdogsQueriesAnswerInTracksAndTmsfPositions) {
  // 1:01.5 then 2 s then 3 s.
  devices_.disc = {61500, 2000, 3000};
  ASSERT_EQ(Send("open cdaudio"), 0);
  ASSERT_EQ(Send("set cdaudio time format tmsf"), 0);
  EXPECT_EQ(interpreter_.CdTimeFormat(), "tmsf");
  EXPECT_EQ(Send("status cdaudio mode", 255), 0);
  EXPECT_EQ(reply_, "stopped");
  EXPECT_EQ(Send("status cdaudio current track"), 0);
  EXPECT_EQ(reply_, "1");
  EXPECT_EQ(Send("status cdaudio number of tracks"), 0);
  EXPECT_EQ(reply_, "3");
  EXPECT_EQ(Send("status cdaudio position track 2"), 0);
  EXPECT_EQ(reply_, "02:00:00:00");

  // Play from a track start, as the repeat track and the arrows do.
  EXPECT_EQ(Send("play cdaudio from " + reply_), 0);
  EXPECT_EQ(TakeCalls(), (Strings{"open drive", "cd play 61500 66500"}));
  EXPECT_EQ(Send("status cdaudio mode", 255), 0);
  EXPECT_EQ(reply_, "playing");
  devices_.drive->position = 63600;
  EXPECT_EQ(Send("status cdaudio current track"), 0);
  EXPECT_EQ(reply_, "3");

  // Minutes, seconds and frames (75 a second) within a track, both ways.
  EXPECT_EQ(mci::Tmsf(devices_.disc, 61000 + 40), "01:01:01:03");
  double pos = 0;
  EXPECT_EQ(mci::ParseTmsf(devices_.disc, "01:01:01:03", pos), 0);
  EXPECT_EQ(pos, 61040);
  EXPECT_EQ(mci::ParseTmsf(devices_.disc, "3", pos), 0);
  EXPECT_EQ(pos, 63500);
  EXPECT_EQ(Send("play cdaudio from 01 to 03"), 0);
  EXPECT_EQ(Send("play cdaudio to 2"), 0);
  EXPECT_EQ(TakeCalls(), (Strings{"cd play 0 63500", "cd play 0 61500"}));
}

TEST_F(MciInterpreterTest, PlayWithoutFromPlaysOnAndStartsAgainAtTheEnd) {
  devices_.disc = {1000, 1000};
  ASSERT_EQ(Send("open cdaudio"), 0);
  ASSERT_EQ(Send("play cdaudio"), 0);
  devices_.drive->position = 1500;
  devices_.drive->playing = false;
  EXPECT_EQ(Send("play cdaudio"), 0);
  devices_.drive->position = 2000;  // the disc ran out
  devices_.drive->playing = false;
  EXPECT_EQ(Send("play cdaudio"), 0);
  EXPECT_EQ(Send("stop cdaudio"), 0);
  EXPECT_EQ(Send("close cdaudio"), 0);
  EXPECT_EQ(TakeCalls(), (Strings{"open drive", "cd play 0 2000", "cd play 1500 2000", "cd play 0 2000", "cd stop",
                                  "drive closed"}));
  EXPECT_EQ(Send("status cdaudio current track"), mci::kErrInvalidDeviceName);
}

TEST_F(MciInterpreterTest, PositionsOutsideTheDiscAndMarkersAreRefusedWithoutTouchingTheDrive) {
  devices_.disc = {1000, 1000, 1000};
  ASSERT_EQ(Send("open cdaudio"), 0);
  TakeCalls();
  EXPECT_EQ(Send("status cdaudio position track 0"), mci::kErrOutOfRange);
  EXPECT_EQ(Send("status cdaudio position track 4"), mci::kErrOutOfRange);
  EXPECT_EQ(Send("status cdaudio position track -1"), mci::kErrBadInteger);
  EXPECT_EQ(Send("status cdaudio position track 99999"), mci::kErrBadInteger);
  EXPECT_EQ(Send("play cdaudio from Error:282"), mci::kErrBadInteger);
  EXPECT_EQ(Send("play cdaudio from Error:-1"), mci::kErrBadInteger);
  EXPECT_EQ(Send("play cdaudio from 04:00:00:00"), mci::kErrOutOfRange);
  EXPECT_EQ(Send("play cdaudio from 03:00:01:00"), mci::kErrOutOfRange);  // past the end
  EXPECT_EQ(Send("play cdaudio from 01:00:00:00:00"), mci::kErrBadInteger);
  EXPECT_EQ(Send("set cdaudio time format frames"), mci::kErrBadTimeFormat);
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_TRUE(interpreter_.NotUnderstood().empty());
}

TEST_F(MciInterpreterTest, WithoutADiscOrADriveTheQueriesFail) {
  ASSERT_EQ(Send("open cdaudio"), 0);
  EXPECT_EQ(Send("status cdaudio mode", 255), 0);
  EXPECT_EQ(reply_, "not ready");
  for (const char* command : {"status cdaudio current track", "status cdaudio number of tracks",
                              "status cdaudio position track 1", "play cdaudio"})
    EXPECT_EQ(Send(command), mci::kErrDeviceNotReady) << command;
  EXPECT_EQ(Send("open cdaudio"), mci::kErrDeviceOpen);
  ASSERT_EQ(Send("close cdaudio"), 0);

  devices_.drive_error = mci::kErrInvalidDeviceName;
  EXPECT_EQ(Send("open cdaudio"), mci::kErrInvalidDeviceName);
  EXPECT_FALSE(interpreter_.IsOpen("cdaudio"));
  EXPECT_EQ(Send("set cdaudio time format tmsf"), mci::kErrInvalidDeviceName);
  EXPECT_EQ(Send("status cdaudio current track"), mci::kErrInvalidDeviceName);
}

TEST_F(MciInterpreterTest, FormsItDoesNotKnowAreRefusedAndRecorded) {
  devices_.disc = {1000};
  ASSERT_EQ(Send("open cdaudio"), 0);
  ASSERT_EQ(Send("open \"/m/a.mp3\" type MPEGVideo Alias MP3Play"), 0);
  TakeCalls();
  const Strings unknown = {"pause cdaudio",
                           "status cdaudio position",
                           "status cdaudio media present",
                           "set cdaudio time format milliseconds",
                           "play cdaudio from",
                           "play cdaudio at 1",
                           "seek cdaudio to start",
                           "play MP3Play to 5",
                           "status MP3Play length",
                           "resume MP3Play",
                           "open \"/m/b.wav\" type waveaudio alias w",
                           "open /m/c.mp3",
                           "open \"/m/d.mp3 type MPEGVideo",
                           "close",
                           ""};
  for (const auto& command : unknown) EXPECT_EQ(Send(command), mci::kErrUnsupported) << command;
  EXPECT_EQ(interpreter_.NotUnderstood(), unknown);
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_NE(mci::ErrorText(mci::kErrUnsupported), nullptr);
}

TEST_F(MciInterpreterTest, ALoopedSoundIsAPlayerOfItsOwnAndANewOneReplacesIt) {
  ASSERT_EQ(Send("open \"/m/a.mp3\" type MPEGVideo Alias MP3Play"), 0);
  EXPECT_EQ(interpreter_.PlayLooped("/m/wave.wav"), 1);
  EXPECT_EQ(interpreter_.LoopedFile(), "/m/wave.wav");
  EXPECT_EQ(interpreter_.PlayLooped("/m/other.wav"), 1);
  EXPECT_EQ(interpreter_.LoopedFile(), "/m/other.wav");
  EXPECT_EQ(interpreter_.StopLooped(), 1);
  EXPECT_EQ(interpreter_.LoopedFile(), "");
  EXPECT_EQ(TakeCalls(), (Strings{"open /m/a.mp3", "open /m/wave.wav looped", "play", "player closed",
                                  "open /m/other.wav looped", "play", "player closed"}));
  // The MP3 is untouched by all of it.
  EXPECT_TRUE(interpreter_.IsOpen("MP3Play"));

  devices_.open_result = mci::kErrFileNotFound;
  EXPECT_EQ(interpreter_.PlayLooped("/m/missing.wav"), 0);
  EXPECT_EQ(interpreter_.LoopedFile(), "");
}

// The music module's every procedure on the headless backend, its failure
// paths included, sends nothing the interpreter does not know.
class MciInterpreterMusicTest : public testing_support::HeadlessTest {};

TEST_F(MciInterpreterMusicTest, EveryFormTheMusicSendsIsKnown) {
  headless::mci::config().files = {{"C:\\m\\a b.mp3", 1000}, {"C:\\m\\w.wav", 500}};
  headless::mci::config().disc = {1000, 1000};
  app::Tessellane_B module;
  music::Tessellane_BGM bgm(module);
  module.BgmFile = "C:\\m\\a b.mp3";
  bgm.PlayMp3();
  bgm.RepeatMp3();
  bgm.CloseMp3();
  bgm.RepeatMp3();  // closed: refused, but known
  module.BgmFile = "C:\\m\\w.wav";
  bgm.PlayWav();
  bgm.StopWav();
  bgm.OpenCdAudio();
  for (std::int16_t repeat : {0, 2, 7}) {
    module.BgmRepeat = repeat;
    bgm.PollCdAudio();
    bgm.PlayPreviousTrack();
    bgm.PlayNextTrack();
    bgm.PlayNextTrack();
  }
  bgm.CloseCdAudio();
  bgm.PollCdAudio();
  EXPECT_GT(headless::mci::Commands().size(), 30u);
  EXPECT_EQ(headless::mci::NotUnderstood(), Strings{});
}

}  // namespace
