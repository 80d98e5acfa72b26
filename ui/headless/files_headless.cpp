// Whole-file services of the headless backend, on real files. The tests run
// as any user, root included, so folders that may not be written are named
// in the configuration instead of taken from the file modes.
#include <algorithm>
#include <fstream>

#include "ui/backend.h"
#include "ui/common/settings_places.h"
#include "ui/headless/state.h"

namespace ui::files {
namespace {

using headless::detail::HostPath;
using headless::detail::Record;
using headless::detail::TheProcess;

constexpr const char* kAccessDenied = "Access is denied.";

bool Unwritable(const std::string& path) {
  for (const auto& folder : TheProcess().config.unwritable_folders)
    if (path.rfind(folder, 0) == 0) return true;
  return false;
}

}  // namespace

std::optional<std::string> Read(const std::string& path, std::size_t max_bytes) {
  Record("ReadFile(" + path + ")");
  std::error_code ec;
  if (std::filesystem::is_directory(HostPath(path), ec)) return std::nullopt;
  std::ifstream in(HostPath(path), std::ios::binary);
  if (!in) return std::nullopt;
  const auto size = std::filesystem::file_size(HostPath(path), ec);
  std::string bytes(ec ? max_bytes : std::min<std::size_t>(size, max_bytes), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

bool Replace(const std::string& path, std::string_view bytes, std::string& reason) {
  Record("ReplaceFile(" + path + ")");
  if (Unwritable(path)) {
    reason = kAccessDenied;
    return false;
  }
  const std::filesystem::path target = HostPath(path);
  std::filesystem::path temp = target;
  temp += ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      reason = "The system cannot find the path specified.";
      return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out || TheProcess().config.fail_replace_after_writing) {
      reason = "There is not enough space on the disk.";
      out.close();
      std::error_code ec;
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    reason = ec.message();
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

bool CreateFolders(const std::string& folder, std::string& reason) {
  Record("CreateFolders(" + folder + ")");
  if (Unwritable(folder)) {
    reason = kAccessDenied;
    return false;
  }
  std::error_code ec;
  std::filesystem::create_directories(HostPath(folder), ec);
  if (ec) reason = ec.message();
  return !ec;
}

SettingsPlaces SettingsFilePlaces(const std::string& file_name) {
  return WindowsSettingsPlaces(TheProcess().config.app_path, TheProcess().config.local_app_data, file_name);
}

}  // namespace ui::files
