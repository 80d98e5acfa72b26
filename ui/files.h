// Whole-file services for the settings file: reading it, putting a new
// version in its place in one step, and the folders around it. Paths are
// UTF-8 paths of the platform: "\" separators on Windows (and in the
// headless backend, which stands in for it), "/" on other systems.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace ui::files {

// The file's bytes, or nothing when it cannot be opened for reading.
std::optional<std::string> Read(const std::string& path);

// Writes `bytes` into a new file beside `path`, flushed to the disk, and
// moves it over `path` in one step: afterwards the file is the old one or the
// new one, never a part of either. False, with the system's reason (in the
// system's language), when that could not be done; no new file is left over.
bool Replace(const std::string& path, std::string_view bytes, std::string& reason);

// Creates the folder and every missing folder above it.
bool CreateFolders(const std::string& folder, std::string& reason);

// Where a settings file named `file_name` lives. The program's own copy is
// read when there is no per-user copy; a save goes to the per-user copy
// once it exists, else to the program's copy, else to a new per-user copy.
struct SettingsPlaces {
  std::string program_copy;  // next to the program; "" where there is none
  std::string user_copy;     // the user's own; "" when the user's folder is unknown
};
SettingsPlaces SettingsFilePlaces(const std::string& file_name);

// The folder part of a path ("" when it has none).
std::string FolderOf(const std::string& path);

}  // namespace ui::files
