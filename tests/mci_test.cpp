// The MCI command layer: failures come back as codes and markers, never as
// errors; what is sent for each form of play command; ApiResult.
#include "app/Tessellane_B.h"
#include "music/Tessellane_BGM.h"
#include "tests/test_support.h"
#include "ui/headless/mci_sim.h"

namespace {

namespace mci = headless::mci;
using testing_support::HeadlessTest;

class MciTest : public HeadlessTest {
 protected:
  MciTest() { mci::config().disc = std::vector<double>(6, 60000); }
  app::Tessellane_B module_;
  music::Tessellane_BGM bgm_{module_};
};

TEST_F(MciTest, EmptyCommandIsRefusedWithoutCallingMci) {
  module_.ApiResult = 1234;
  std::string text = "old";
  EXPECT_EQ(bgm_.SendMciCommand("", text), -1);
  EXPECT_EQ(text, "コマンド文字列が指定されていません");
  EXPECT_EQ(module_.ApiResult, 1234);

  // Through MciQuery the code lands in ApiResult and comes back as the marker.
  EXPECT_EQ(bgm_.MciQuery(""), "Error:-1");
  EXPECT_EQ(module_.ApiResult, -1);
  EXPECT_EQ(bgm_.MciReplyText, "コマンド文字列が指定されていません");
  EXPECT_TRUE(mci::Log().empty());
  EXPECT_TRUE(headless::Calls().empty());
}

TEST_F(MciTest, SuccessfulQueriesReturnTheReplyAndAnEmptyReplyIsNoMarker) {
  module_.ApiResult = 99;
  EXPECT_EQ(bgm_.MciQuery("open cdaudio"), "");
  EXPECT_EQ(module_.ApiResult, 0);
  EXPECT_EQ(bgm_.MciQuery("status cdaudio number of tracks"), "6");
  EXPECT_EQ(bgm_.MciReplyText, "6");
  EXPECT_EQ(bgm_.MciQuery("status cdaudio position track 2"), "02:00:00:00");
  // A failure in between does not leave its text in the next reply.
  EXPECT_EQ(bgm_.MciQuery("status cdaudio position track 9"), "Error:282");
  EXPECT_EQ(bgm_.MciQuery("status cdaudio current track"), "1");
  EXPECT_EQ(mci::Commands(), (std::vector<std::string>{
                                 "open cdaudio", "status cdaudio number of tracks", "status cdaudio position track 2",
                                 "status cdaudio position track 9", "status cdaudio current track"}));
}

TEST_F(MciTest, FailureGivesTheMarkerAndTheDescriptionOnlyAsOutParameter) {
  std::string text;
  EXPECT_EQ(bgm_.SendMciCommand("status cdaudio mode", text), mci::kErrInvalidDeviceName);
  EXPECT_EQ(module_.ApiResult, mci::kErrInvalidDeviceName);
  EXPECT_EQ(text, "The specified device is not open or is not recognized.");
  EXPECT_EQ(headless::CallsStartingWith("mciGetErrorString"), std::vector<std::string>{"mciGetErrorString(263)"});

  // The description exists, yet MciQuery gives the marker, which every
  // caller finds by looking for "ERR".
  EXPECT_EQ(bgm_.MciQuery("status cdaudio mode"), "Error:263");
  EXPECT_EQ(bgm_.MciReplyText, "The specified device is not open or is not recognized.");

  mci::config().error_texts = false;
  EXPECT_EQ(bgm_.SendMciCommand("close cdaudio", text), mci::kErrInvalidDeviceName);
  EXPECT_EQ(text, "Error (文字列が取れません)");
  EXPECT_EQ(bgm_.MciQuery("close cdaudio"), "Error:263");
}

TEST_F(MciTest, PlayCommandsHaveFourFormsAndPositionsGoInVerbatim) {
  ASSERT_EQ(bgm_.MciQuery("open cdaudio"), "");
  mci::ClearLog();
  EXPECT_EQ(bgm_.MciPlay("cdaudio", "", ""), 0);
  EXPECT_EQ(bgm_.MciPlay("cdaudio", "02:00:00:00", ""), 0);
  EXPECT_EQ(bgm_.MciPlay("cdaudio", "", "5"), 0);
  EXPECT_EQ(bgm_.MciPlay("cdaudio", "01", "03"), 0);
  EXPECT_EQ(mci::Commands(), (std::vector<std::string>{"play cdaudio", "play cdaudio from 02:00:00:00",
                                                       "play cdaudio to 5", "play cdaudio from 01 to 03"}));
  EXPECT_EQ(mci::CdMode(), "playing");
  EXPECT_EQ(mci::CdTrack(), 1);

  // A marker as position is sent as it is, refused, and changes nothing.
  module_.ApiResult = 0;
  EXPECT_EQ(bgm_.MciPlay("cdaudio", "Error:282", ""), mci::kErrBadInteger);
  EXPECT_EQ(mci::Commands().back(), "play cdaudio from Error:282");
  EXPECT_EQ(module_.ApiResult, mci::kErrBadInteger);
  EXPECT_EQ(mci::CdMode(), "playing");
  EXPECT_EQ(mci::CdTrack(), 1);
}

TEST_F(MciTest, FileTypeIsTheUpperCasedLastThreeCharacters) {
  EXPECT_EQ(music::FileType("C:\\曲\\a.mp3"), "MP3");
  EXPECT_EQ(music::FileType("C:\\曲\\b.Wav"), "WAV");
  EXPECT_EQ(music::FileType("C:\\曲\\songxMP3"), "MP3");
  EXPECT_EQ(music::FileType("C:\\曲\\c.mid"), "MID");
  // Characters, not bytes: a full-width ending is not an MP3.
  EXPECT_EQ(music::FileType("C:\\曲\\ｄ.ｍｐ３"), "ｍｐ３");
  EXPECT_EQ(music::FileType("音楽"), "音楽");
}

}  // namespace
