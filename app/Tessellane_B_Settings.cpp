// The settings file: six keys in one section of an INI file in code page
// 932, next to the executable or in the user's copy of it, read and written
// by the program's own profile reader and writer on every system.
#include <algorithm>
#include <type_traits>
#include <variant>

#include "app/Tessellane_B.h"
#include "app/ini_profile.h"
#include "app/text.h"
#include "base/numeric.h"
#include "base/runtime_error.h"
#include "ui/backend.h"
#include "ui/codepage.h"

namespace app {
namespace {

constexpr std::size_t kProfileBufferSize = 256;
constexpr std::size_t kWriteBufferChars = 128;

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;  // clang before 17 deduces no aggregate

// The reading rule of each number type; a text that is not a number, or a
// number that does not fit, is an error and the value is not assigned.
void ReadNumber(const std::string& text, std::int16_t& value) {
  value = base::num::FloorToInt16(base::num::ReadStrict(text));
}
void ReadNumber(const std::string& text, std::int32_t& value) {
  value = base::num::RoundToInt32(base::num::ReadStrict(text));
}

// A settings file holds a few hundred bytes. Of a larger one only the first
// MiB is read, up to its last whole line: a huge file must not hold the start
// or fill the memory, and a line cut in two must not give a wrong value.
constexpr std::size_t kSettingsReadLimit = 1 << 20;

struct SettingsFileText {
  std::string bytes;
  bool whole = true;  // false when the file goes on past the read limit
};

// A file an editor saved as UTF-8 (today's default, with or without a
// byte-order mark) is read as the code page 932 file it stands for; code page
// 932 text holding the keys is never well-formed UTF-8, so the two are not
// confused.
std::string AsCodePage932(const std::string& bytes) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.starts_with(kByteOrderMark)) return ui::Utf8ToCp932(std::string_view(bytes).substr(kByteOrderMark.size()));
  const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
  if (!ascii && text::IsUtf8(bytes)) return ui::Utf8ToCp932(bytes);
  return bytes;
}

// The settings file's bytes in code page 932, its format.
SettingsFileText ReadSettingsFile(const std::string& path) {
  SettingsFileText file{ui::files::Read(path, kSettingsReadLimit + 1).value_or("")};
  if (file.bytes.size() > kSettingsReadLimit) {
    file.whole = false;
    file.bytes.resize(kSettingsReadLimit);
    const auto last_line_end = file.bytes.find_last_of("\r\n");
    file.bytes.resize(last_line_end == std::string::npos ? 0 : last_line_end + 1);
  }
  file.bytes = AsCodePage932(file.bytes);
  return file;
}

// The folder part of a path ("" when it has none), with the separators of
// either kind of system.
std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string SaveFailure(const std::string& path, const std::string& reason) {
  return "設定を保存できませんでした。\r\n\r\n" + path + "\r\n" + reason;
}

constexpr const char* kTooLargeToSave = "ファイルが大きすぎます (1,048,576 バイトを超えています)。";

}  // namespace

std::string Tessellane_B::ProgramSettingsPath() { return ui::files::SettingsFilePlaces(kIniFileName).program_copy; }

std::string Tessellane_B::UserSettingsPath() { return ui::files::SettingsFilePlaces(kIniFileName).user_copy; }

std::string Tessellane_B::SettingsPath() const {
  const std::string user = UserSettingsPath();
  if (!user.empty() && FileExists(user)) return user;
  // Where the program has no copy of its own, the user's is the only one.
  const std::string program = ProgramSettingsPath();
  return program.empty() ? user : program;
}

std::string Tessellane_B::ReadIniString(const std::string& section, const std::string& key, const std::string& file) {
  const std::string bytes = ReadSettingsFile(file).bytes;
  return ui::Cp932ToUtf8(
      app::ini::GetString(bytes, ui::Utf8ToCp932(section), ui::Utf8ToCp932(key), "", kProfileBufferSize));
}

void Tessellane_B::WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                                  std::string& file_bytes) {
  file_bytes = app::ini::PutString(file_bytes, ui::Utf8ToCp932(text::Mid(section, 1, kWriteBufferChars)),
                                   ui::Utf8ToCp932(text::Mid(key, 1, kWriteBufferChars)), ui::Utf8ToCp932(value));
}

bool Tessellane_B::FileExists(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return ui::sys::CanOpenForReading(path);
}

void Tessellane_B::LoadSettings() {
  const std::string file = SettingsPath();
  SettingsValues& values = *this;
  for (const SettingKey& k : kSettingKeys) {
    const std::string text = ReadIniString(kIniSection, k.key, file);
    std::visit(Overloaded{[&](std::string SettingsValues::*v) { values.*v = text; },
                          [&](auto v) {
                            using Number = std::remove_reference_t<decltype(values.*v)>;
                            if (text.empty()) values.*v = static_cast<Number>(k.default_value);
                            // Skips a type mismatch or an overflow: the value stays as it was.
                            else base::ResumeNext([&] { ReadNumber(text, values.*v); });
                          }},
               k.value);
  }
  // A music file that cannot be opened switches the file music off.
  if (!BgmFile.empty() && FileExists(BgmFile)) return;
  BgmFile.clear();
  if (BgmKind == 2) BgmKind = 0;
}

SettingsSave::SettingsSave() : user_path_(Tessellane_B::UserSettingsPath()) {
  user_copy_exists_ = !user_path_.empty() && Tessellane_B::FileExists(user_path_);
  read_path_ = user_copy_exists_ ? user_path_ : Tessellane_B::ProgramSettingsPath();
  // Other sections, keys and lines of the file are kept as they were, in
  // code page 932 also where the file was UTF-8.
  SettingsFileText file = ReadSettingsFile(read_path_);
  bytes_ = std::move(file.bytes);
  read_whole_ = file.whole;
}

void SettingsSave::Write(const SettingsValues& values) {
  for (const SettingKey& k : kSettingKeys) {
    const std::string text = std::visit(Overloaded{[&](std::string SettingsValues::*v) { return values.*v; },
                                                   [&](auto v) { return base::num::NumberText(values.*v); }},
                                        k.value);
    Tessellane_B::WriteIniString(kIniSection, k.key, text, bytes_);
  }
}

bool SettingsSave::Commit(std::string& failure) {
  // What was not read would be lost.
  if (!read_whole_) {
    failure = SaveFailure(read_path_, kTooLargeToSave);
    return false;
  }
  std::string reason;
  if (user_copy_exists_) {
    if (ui::files::Replace(user_path_, bytes_, reason)) return true;
    failure = SaveFailure(user_path_, reason);
    return false;
  }
  const std::string program_path = Tessellane_B::ProgramSettingsPath();
  if (!program_path.empty() && ui::files::Replace(program_path, bytes_, reason)) return true;
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
