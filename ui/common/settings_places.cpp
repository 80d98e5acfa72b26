#include "ui/common/settings_places.h"

namespace ui::files {
namespace {

// "C:\Program Files\Tess" gives "\Program Files\Tess"; a drive root gives "".
std::string FolderWithoutDrive(std::string folder) {
  if (folder.size() >= 2 && folder[1] == ':') folder.erase(0, 2);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  const auto first = folder.find_first_not_of('\\');
  return first == std::string::npos ? std::string() : "\\" + folder.substr(first);
}

}  // namespace

SettingsPlaces WindowsSettingsPlaces(const std::string& app_path, const std::string& local_app_data,
                                     const std::string& file_name) {
  SettingsPlaces places;
  // As the program always named it: at a drive root ("C:\\") the separator
  // doubles, which the system reads as one.
  places.program_copy = app_path + "\\" + file_name;
  if (!local_app_data.empty())
    places.user_copy = local_app_data + "\\VirtualStore" + FolderWithoutDrive(app_path) + "\\" + file_name;
  return places;
}

}  // namespace ui::files
