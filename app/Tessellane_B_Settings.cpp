// The settings file: six keys in one section of an INI file next to the
// executable, read and written through the system's profile functions.
#include <functional>

#include "app/Tessellane_B.h"
#include "app/numeric.h"
#include "app/runtime_error.h"
#include "app/text.h"
#include "ui/system.h"

namespace app {
namespace {

constexpr std::size_t kProfileBufferSize = 256;
constexpr std::size_t kWriteBufferChars = 128;

// A numeric key: where it goes, its default and how its text is converted.
struct NumericKey {
  const char* key;
  std::function<void(const std::string& text)> store;
  std::function<void()> store_default;
};

std::int16_t ReadInt16(const std::string& text) { return num::FloorToInt16(num::ReadStrict(text)); }

}  // namespace

std::string Tessellane_B::SettingsPath() const { return ui::sys::AppPath() + kIniFileName; }

std::string Tessellane_B::ReadIniString(const std::string& section, const std::string& key,
                                        const std::string& file) {
  return ui::sys::GetPrivateProfileString(section, key, "", kProfileBufferSize, file);
}

void Tessellane_B::WriteIniString(const std::string& section, const std::string& key,
                                  const std::string& value, const std::string& file) {
  ui::sys::WritePrivateProfileString(text::Mid(section, 1, kWriteBufferChars),
                                     text::Mid(key, 1, kWriteBufferChars), value, file);
}

bool Tessellane_B::FileExists(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return ui::sys::CanOpenForReading(path);
}

void Tessellane_B::LoadSettings() {
  const std::string file = SettingsPath();
  const NumericKey keys[] = {
      {kKeyStopTime, [&](const std::string& t) { StopTime = ReadInt16(t); },
       [&] { StopTime = kDefaults.StopTime; }},
      {kKeyBackgroundColor, [&](const std::string& t) { BackgroundColor = num::RoundToInt32(num::ReadStrict(t)); },
       [&] { BackgroundColor = kDefaults.BackgroundColor; }},
      {kKeyRandomBackground, [&](const std::string& t) { RandomBackground = ReadInt16(t); },
       [&] { RandomBackground = kDefaults.RandomBackground; }},
      {kKeyBgmKind, [&](const std::string& t) { BgmKind = ReadInt16(t); }, [&] { BgmKind = kDefaults.BgmKind; }},
      {kKeyBgmRepeat, [&](const std::string& t) { BgmRepeat = ReadInt16(t); },
       [&] { BgmRepeat = kDefaults.BgmRepeat; }},
  };
  // A value that is not a number or does not fit leaves the setting as it was.
  for (const NumericKey& k : keys) {
    const std::string value = ReadIniString(kIniSection, k.key, file);
    if (value.empty()) k.store_default();
    else ResumeNext([&] { k.store(value); });
  }

  // A music file that cannot be opened switches the file music off.
  const std::string music = ReadIniString(kIniSection, kKeyBgmFile, file);
  if (!music.empty()) {
    BgmFile = music;
    if (FileExists(music)) return;
  }
  BgmFile.clear();
  if (BgmKind == 2) BgmKind = 0;
}

}  // namespace app
