// Whole-file services on Win32: a new version is written beside the file and
// moved over it with write-through, so a crash or a full disk never leaves a
// settings file half written.
#include <windows.h>

#include <algorithm>

#include "ui/backend.h"
#include "ui/common/settings_places.h"
#include "ui/win32/text_win.h"

namespace ui::files {
namespace {

// The system's own text for the last error, without its line break.
std::string LastErrorText() {
  const DWORD code = GetLastError();
  wchar_t* text = nullptr;
  const DWORD n =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n ? std::wstring(text, n) : L"Error " + std::to_wstring(code);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
  return win32::FromWide(message);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::optional<std::string> Read(const std::string& path, std::size_t max_bytes) {
  HANDLE file =
      CreateFileW(win32::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[16384];
  DWORD got = 0;
  bool ok = true;
  while (bytes.size() < max_bytes) {
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, max_bytes - bytes.size()));
    ok = ReadFile(file, buffer, wanted, &got, nullptr) != FALSE;
    if (!ok || got == 0) break;
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

bool Replace(const std::string& path, std::string_view bytes, std::string& reason) {
  const std::wstring target = win32::Widen(path);
  const std::wstring temp = target + L".new";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = LastErrorText();
    return false;
  }
  const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
  if (!written) reason = LastErrorText();
  CloseHandle(file);
  if (written && MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  if (written) reason = LastErrorText();
  DeleteFileW(temp.c_str());
  return false;
}

bool CreateFolders(const std::string& folder, std::string& reason) {
  const std::wstring path = win32::Widen(folder);
  // Every prefix that ends before a separator, then the whole path.
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != L'\\') continue;
    const std::wstring part = path.substr(0, i);
    if (part.size() <= 3 && part.find(L':') != std::wstring::npos) continue;  // "C:" or "C:\"
    if (part.find_first_not_of(L'\\') == std::wstring::npos) continue;
    if (CreateDirectoryW(part.c_str(), nullptr)) continue;
    // An existing folder may refuse creation with another error than "exists".
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(part.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    SetLastError(error);
    reason = LastErrorText();
    return false;
  }
  return true;
}

namespace {

// From the environment every user session has: asking the shell would load
// it (and what it brings) into every run of the display.
std::string LocalAppData() {
  std::wstring value(32768, L'\0');
  DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), static_cast<DWORD>(value.size()));
  if (n > 0 && n < value.size()) return win32::FromWide(std::wstring_view(value.data(), n));
  n = GetEnvironmentVariableW(L"USERPROFILE", value.data(), static_cast<DWORD>(value.size()));
  if (n > 0 && n < value.size()) return win32::FromWide(std::wstring_view(value.data(), n)) + "\\AppData\\Local";
  return {};
}

}  // namespace

SettingsPlaces SettingsFilePlaces(const std::string& file_name) {
  return WindowsSettingsPlaces(sys::AppPath(), LocalAppData(), file_name);
}

}  // namespace ui::files
