// Files in the browser: the settings file lives in the browser's own
// storage under its name; music files are kept there by the file input.
#include <algorithm>

#include "ui/backend.h"
#include "ui/web/browser.h"

namespace ui::files {

std::optional<std::string> Read(const std::string& path, std::size_t max_bytes) {
  const int size = tess_file_size(path.c_str());
  if (size < 0) return std::nullopt;
  std::string bytes(std::min<std::size_t>(static_cast<std::size_t>(size), max_bytes), '\0');
  bytes.resize(static_cast<std::size_t>(tess_file_read(path.c_str(), bytes.data(), static_cast<int>(bytes.size()))));
  return bytes;
}

bool Replace(const std::string& path, std::string_view bytes, std::string& reason) {
  char why[256] = {};
  if (tess_file_write(path.c_str(), bytes.data(), static_cast<int>(bytes.size()), why, sizeof why)) return true;
  reason = why;
  return false;
}

// The storage has no folders.
bool CreateFolders(const std::string&, std::string&) { return true; }

// One copy, the user's: the program has no folder of its own here.
SettingsPlaces SettingsFilePlaces(const std::string& file_name) { return SettingsPlaces{"", file_name}; }

}  // namespace ui::files

namespace ui::sys {

bool CanOpenForReading(const std::string& path) {
  return tess_file_size(path.c_str()) >= 0 || tess_music_exists(path.c_str());
}

}  // namespace ui::sys
