// The settings file: six keys in one section of an INI file in code page
// 932, next to the executable or in the user's copy of it, read and written
// by the program's own profile reader and writer on every system.
#include <functional>

#include "app/Tessellane_B.h"
#include "app/text.h"
#include "base/numeric.h"
#include "base/runtime_error.h"
#include "ui/codepage.h"
#include "ui/common/ini_profile.h"
#include "ui/files.h"
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

std::int16_t ReadInt16(const std::string& text) { return base::num::FloorToInt16(base::num::ReadStrict(text)); }

// "C:\Program Files\Tess" gives "\Program Files\Tess"; a drive root gives "".
std::string FolderWithoutDrive(std::string folder) {
  if (folder.size() >= 2 && folder[1] == ':') folder.erase(0, 2);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  const auto first = folder.find_first_not_of('\\');
  return first == std::string::npos ? std::string() : "\\" + folder.substr(first);
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

std::string SaveFailure(const std::string& path, const std::string& reason) {
  return "設定を保存できませんでした。\r\n\r\n" + path + "\r\n" + reason;
}

}  // namespace

std::string Tessellane_B::ProgramSettingsPath() { return ui::sys::AppPath() + kIniFileName; }

std::string Tessellane_B::UserSettingsPath() {
  const std::string local = ui::files::LocalAppData();
  if (local.empty()) return {};
  return local + "\\VirtualStore" + FolderWithoutDrive(ui::sys::AppPath()) + kIniFileName;
}

std::string Tessellane_B::SettingsPath() const {
  const std::string user = UserSettingsPath();
  return !user.empty() && FileExists(user) ? user : ProgramSettingsPath();
}

std::string Tessellane_B::ReadIniString(const std::string& section, const std::string& key,
                                        const std::string& file) {
  const std::string bytes = ui::files::Read(file).value_or("");
  return ui::Cp932ToUtf8(
      ui::ini::GetString(bytes, ui::Utf8ToCp932(section), ui::Utf8ToCp932(key), "", kProfileBufferSize));
}

void Tessellane_B::WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                                  std::string& file_bytes) {
  file_bytes = ui::ini::PutString(file_bytes, ui::Utf8ToCp932(text::Mid(section, 1, kWriteBufferChars)),
                                  ui::Utf8ToCp932(text::Mid(key, 1, kWriteBufferChars)), ui::Utf8ToCp932(value));
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
      {kKeyBackgroundColor, [&](const std::string& t) { BackgroundColor = base::num::RoundToInt32(base::num::ReadStrict(t)); },
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
    else base::ResumeNext([&] { k.store(value); });
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

SettingsSave::SettingsSave() : user_path_(Tessellane_B::UserSettingsPath()) {
  user_copy_exists_ = !user_path_.empty() && Tessellane_B::FileExists(user_path_);
  // Other sections, keys and lines of the file are kept as they were.
  bytes_ = ui::files::Read(user_copy_exists_ ? user_path_ : Tessellane_B::ProgramSettingsPath()).value_or("");
}

void SettingsSave::WriteIniString(const std::string& section, const std::string& key, const std::string& value) {
  Tessellane_B::WriteIniString(section, key, value, bytes_);
}

bool SettingsSave::Commit(std::string& failure) {
  std::string reason;
  if (user_copy_exists_) {
    if (ui::files::Replace(user_path_, bytes_, reason)) return true;
    failure = SaveFailure(user_path_, reason);
    return false;
  }
  const std::string program_path = Tessellane_B::ProgramSettingsPath();
  if (ui::files::Replace(program_path, bytes_, reason)) return true;
  if (user_path_.empty()) {
    failure = SaveFailure(program_path, reason);
    return false;
  }
  if (ui::files::CreateFolders(FolderOf(user_path_), reason) && ui::files::Replace(user_path_, bytes_, reason))
    return true;
  failure = SaveFailure(user_path_, reason);
  return false;
}

}  // namespace app
