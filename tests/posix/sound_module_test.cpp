// The boundary between a program and the sound module: plain C types only
// (each may carry its own C++ runtime), and a module and a program of
// different versions refuse each other, saying so.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
