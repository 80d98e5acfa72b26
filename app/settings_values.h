// The six settings: their values, and how each is kept in the settings file,
// described once for the loader and for the save.
#pragma once
#include <cstdint>
#include <string>
#include <variant>

namespace app {

// Settings file: section and keys (UTF-8 here, code page 932 on disk).
inline constexpr const char* kIniFileName = "テセレーン.ini";
inline constexpr const char* kIniSection = "Section";
inline constexpr const char* kKeyStopTime = "停止時間";
inline constexpr const char* kKeyBackgroundColor = "背景色";
inline constexpr const char* kKeyRandomBackground = "背景色ﾗﾝﾀﾞﾑ";
inline constexpr const char* kKeyBgmKind = "BGM区分";
inline constexpr const char* kKeyBgmRepeat = "BGMﾘﾋﾟｰﾄ";
inline constexpr const char* kKeyBgmFile = "BGMﾌｧｲﾙ";

// Zero or empty until the settings are loaded.
struct SettingsValues {
  std::int16_t StopTime = 0;
  std::int32_t BackgroundColor = 0;
  std::int16_t RandomBackground = 0;
  std::int16_t BgmKind = 0;
  std::int16_t BgmRepeat = 0;
  std::string BgmFile;
};

// One key of the file. The value's type is its reading rule: a 16-bit value
// is a strict number rounded down, the 32-bit colour a strict number rounded
// half to even; a number that is not one or does not fit leaves the value as
// it was. A text is taken as it is. A missing or empty key gives the default.
// Saving writes numbers with their sign column (" 3", "-1"), texts as they are.
struct SettingKey {
  const char* key;
  std::variant<std::int16_t SettingsValues::*, std::int32_t SettingsValues::*, std::string SettingsValues::*> value;
  std::int32_t default_value;  // texts default to ""
};

// In file order: the loader reads and the save writes them in this order.
inline constexpr SettingKey kSettingKeys[] = {
    {kKeyStopTime, &SettingsValues::StopTime, 3},
    {kKeyBackgroundColor, &SettingsValues::BackgroundColor, 0},
    {kKeyRandomBackground, &SettingsValues::RandomBackground, 1},
    {kKeyBgmKind, &SettingsValues::BgmKind, 0},
    {kKeyBgmRepeat, &SettingsValues::BgmRepeat, 0},
    {kKeyBgmFile, &SettingsValues::BgmFile, 0},
};

}  // namespace app
