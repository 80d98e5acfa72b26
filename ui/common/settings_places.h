// The places of a settings file on Windows, where a program folder that may
// not be written (System32, Program Files) has its files redirected by the
// system into the user's VirtualStore: the Win32 backend and the headless
// backend that stands in for it both answer with this rule.
#pragma once
#include <string>

#include "ui/backend.h"

namespace ui::files {

// `app_path` is the program's folder (a drive root keeps its "\"),
// `local_app_data` the user's local application-data folder ("" unknown).
SettingsPlaces WindowsSettingsPlaces(const std::string& app_path, const std::string& local_app_data,
                                     const std::string& file_name);

}  // namespace ui::files
