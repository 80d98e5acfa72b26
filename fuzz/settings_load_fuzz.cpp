// Fuzzes the settings load on arbitrary file bytes, through the profile
// reader the program uses (ui/common/ini_profile behind the profile calls):
// the values stay within what the settings allow, a missing key gives its
// default, and saving the loaded values and loading again gives them back.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/Tessellane_B.h"
#include "app/ini_profile.h"
#include "fuzz/fuzz_support.h"
#include "ui/codepage.h"
#include "ui/headless/headless.h"

namespace {

using fuzz_support::Require;

struct Values {
  std::int16_t stop_time;
  std::int32_t background;
  std::int16_t random_background;
  std::int16_t kind;
  std::int16_t repeat;
  std::string file;
  bool operator==(const Values&) const = default;
};

Values Load() {
  app::Tessellane_B module;
  module.LoadSettings();
  return {module.StopTime, module.BackgroundColor, module.RandomBackground,
          module.BgmKind,  module.BgmRepeat,       module.BgmFile};
}

// What the profile reader finds for a key in the file, as the program asks.
std::string Raw(std::string_view file, const char* key) {
  return app::ini::GetString(file, app::kIniSection, ui::Utf8ToCp932(key), "", 256);
}

// The save of the settings dialog, all six keys in order, over the same file.
void Save(const Values& v) {
  app::SettingsSave save;
  app::SettingsValues values;
  values.StopTime = v.stop_time;
  values.BackgroundColor = v.background;
  values.RandomBackground = v.random_background;
  values.BgmKind = v.kind;
  values.BgmRepeat = v.repeat;
  values.BgmFile = v.file;
  save.Write(values);
  std::string failure;
  Require(save.Commit(failure), "the settings file can be saved");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  headless::Reset();
  headless::config().app_path = fuzz_support::ProgramDir().string();
  fuzz_support::SetIniBytes(&bytes);

  const Values loaded = Load();
  const auto defaulted = [&](const char* key) { return Raw(bytes, key).empty(); };
  if (defaulted(app::kKeyStopTime)) Require(loaded.stop_time == 3, "a missing stop time is 3");
  if (defaulted(app::kKeyBackgroundColor)) Require(loaded.background == 0, "a missing background is black");
  if (defaulted(app::kKeyRandomBackground)) Require(loaded.random_background == 1, "random background by default");
  if (defaulted(app::kKeyBgmRepeat)) Require(loaded.repeat == 0, "a missing repeat track is 0");
  if (defaulted(app::kKeyBgmFile)) Require(loaded.file.empty(), "no music file without the key");
  // At most 255 bytes are read; each is one character of the file's text.
  Require(ui::Utf8ToCp932(loaded.file).size() <= 255, "the music file is read to at most 255 bytes");
  Require(loaded.kind != 2 || !loaded.file.empty(), "file music only with a music file");
  Require(loaded.file.empty() || app::Tessellane_B::FileExists(loaded.file), "a kept music file can be opened");

  Save(loaded);
  Require(Load() == loaded, "saving the loaded values and loading again gives them back");
  return 0;
}
