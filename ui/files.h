// Whole-file services for the settings file: reading it, putting a new
// version in its place in one step, and the folders around it. Paths are
// UTF-8 Windows paths ("\" separators) on every backend.
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

// The current user's local application-data folder, or "" when unknown.
std::string LocalAppData();

}  // namespace ui::files
