// The boundary between a program and the sound module: plain C types only
// (each may carry its own C++ runtime), and a module and a program of
// different versions refuse each other, saying so.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "ui/common/mci_interpreter.h"
#include "ui/posix/sound_loader.h"

namespace {

class SoundModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(TESS_SOUND_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
  }
  void* handle_ = nullptr;
};

TEST_F(SoundModuleTest, AModuleOfAnotherVersionIsRefusedWithAMessage) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(ui::posix::ModuleOf(handle_, "0.0.1"), nullptr);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("0.0.1"), std::string::npos) << said;
  EXPECT_NE(said.find(TESS_VERSION), std::string::npos) << said;
}

TEST_F(SoundModuleTest, ItsDevicesAnswerThroughCFunctions) {
  const TessSoundModule* module = ui::posix::ModuleOf(handle_, TESS_VERSION);
  ASSERT_NE(module, nullptr);
  EXPECT_STREQ(module->version, TESS_VERSION);
  TessSoundPlayer* player = module->player_new();
  EXPECT_EQ(module->player_open(player, "/no/such/file.wav", 0), ui::mci::kErrFileNotFound);
  EXPECT_EQ(module->player_playing(player), 0);
  EXPECT_NE(module->player_play(player, 1, 0), 0) << "a player without its file plays nothing";
  module->player_free(player);
}

// A module table of the test's own: what the program's devices hand it.
struct FakeModule {
  static inline int from_given = -1;
  static inline double from_ms = -1;
  static inline int tracks = 0;
  static TessSoundModule Table(const char* version) {
    TessSoundModule t{};
    t.version = version;
    t.player_new = [] { return reinterpret_cast<TessSoundPlayer*>(&from_given); };
    t.player_play = [](TessSoundPlayer*, int given, double ms) { return from_given = given, from_ms = ms, 0; };
    t.player_free = [](TessSoundPlayer*) {};
    t.drive_open = [](int*) { return reinterpret_cast<TessSoundDrive*>(&tracks); };
    t.drive_tracks = [](TessSoundDrive*, double* lengths, int capacity) {
      for (int i = 0; i < std::min(tracks, capacity); ++i) lengths[i] = 1000.0 * (i + 1);
      return tracks;
    };
    t.drive_free = [](TessSoundDrive*) {};
    return t;
  }
};

TEST(SoundModuleTable, AModuleReportingAnotherVersionIsRefusedByTheProgram) {
  const TessSoundModule other = FakeModule::Table("0.0.1");
  testing::internal::CaptureStderr();
  EXPECT_EQ(ui::posix::AcceptedModule(&other, TESS_VERSION), nullptr);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("0.0.1"), std::string::npos) << said;
  const TessSoundModule same = FakeModule::Table(TESS_VERSION);
  EXPECT_EQ(ui::posix::AcceptedModule(&same, TESS_VERSION), &same);
}

TEST(SoundModuleTable, PlayFromAPlaceAndPlayOnCrossAsTheirFlag) {
  const TessSoundModule table = FakeModule::Table(TESS_VERSION);
  const auto player = ui::posix::DevicesOf(table)->NewFilePlayer();
  player->Play(2500.0);
  EXPECT_EQ(FakeModule::from_given, 1);
  EXPECT_EQ(FakeModule::from_ms, 2500.0);
  player->Play(std::nullopt);
  EXPECT_EQ(FakeModule::from_given, 0);
}

TEST(SoundModuleTable, TheTracksAreAsManyAsTheModuleSaysAtMostADisc) {
  const TessSoundModule table = FakeModule::Table(TESS_VERSION);
  const auto devices = ui::posix::DevicesOf(table);
  int error = 0;
  const auto drive = devices->OpenCdDrive(error);
  ASSERT_NE(drive, nullptr);
  for (const auto& [told, expected] : {std::pair{3, 3u}, std::pair{150, 100u}, std::pair{-1, 0u}, std::pair{0, 0u}}) {
    FakeModule::tracks = told;
    const std::vector<double> tracks = drive->Tracks();
    EXPECT_EQ(tracks.size(), expected) << told;
    if (told == 3) EXPECT_EQ(tracks, (std::vector<double>{1000, 2000, 3000}));
  }
}

}  // namespace
