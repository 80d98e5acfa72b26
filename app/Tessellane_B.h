// Module Tessellane_B: the entry point and mode dispatch, the small system
// procedures shared by the windows, and the settings values with their file.
#pragma once
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "app/settings_values.h"
#include "ui/types.h"

namespace display {
class Tessellane_R;
}

namespace app {

// Window titles that mark a running copy.
inline constexpr const char* kDisplayTitle = "Tessellane_Main";
inline constexpr const char* kSettingsTitle = "テセレーンの設定";

// The module's state: one per process (a test creates its own afresh).
struct Tessellane_B : SettingsValues {
  // Result of the most recent system call made through the program's wrappers.
  std::int32_t ApiResult = 0;
  // Where the settings window zooms out of and back into (screen pixels).
  std::int16_t ZoomOriginX = 0;
  std::int16_t ZoomOriginY = 0;
  // The command-line text Main was started with.
  std::string CommandLine;
  // The preview form: it outlives Main and lives until its window goes away.
  std::shared_ptr<display::Tessellane_R> Preview;

  // --- Start-up -----------------------------------------------------------
  void Main();
  // The mode letter: second character of the upper-cased command line.
  std::string ModeLetter() const;
  void SetSystemKeysEnabled(bool enabled);
  void ZoomWindowOpen(ui::WindowHandle window);
  void ZoomWindowClose(ui::WindowHandle window);

  // --- Settings file ------------------------------------------------------
  // The file is read from the per-user copy when there is one, else from
  // next to the program.
  std::string SettingsPath() const;
  static std::string ProgramSettingsPath();
  // The user's own copy (on Windows the one the system keeps for a program
  // that may not write its own folder); "" when the user's folder is unknown.
  static std::string UserSettingsPath();
  void LoadSettings();
  static std::string ReadIniString(const std::string& section, const std::string& key, const std::string& file);
  // Writes one key into the bytes of a settings file.
  static void WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                             std::string& file_bytes);
  static bool FileExists(std::string path);

 private:
  // In a window of its own, or in the host's window when `host` is not 0.
  void RunDisplay(ui::WindowHandle host = 0);
  void StartPreview(std::int32_t parent);
  void ShowSettingsDialog();
};

// One save of the settings file: every write goes into the text read when
// the save began, and Commit puts the whole file in place in one step.
class SettingsSave {
 public:
  SettingsSave();
  // Every key of the settings, in file order, whether or not it changed.
  void Write(const SettingsValues& values);
  // Saves where the next start reads it: the per-user copy when there is
  // one; else next to the program, or a new per-user copy when that folder
  // cannot be written. False when nothing could be saved; `failure` then
  // tells the user which file and why. A file too large to be read whole is
  // never saved over.
  bool Commit(std::string& failure);

 private:
  std::string bytes_;
  std::string user_path_;
  bool user_copy_exists_ = false;
  std::string read_path_;
  bool read_whole_ = true;
};

// The whole program: Main, then the events of the windows it left open, then
// the end of the process with exit code 0. Every way out goes through
// ui::sys::EndProcess: an error that escapes is reported like the language
// runtime reports it and ends with exit code 1, the same way as an error
// escaping any window or timer procedure (ui/fatal.h).
[[noreturn]] void RunProgram(Tessellane_B& module);

// The runtime's message for any error that stops the program: the program's
// own errors by number, an exhausted memory as error 7, anything else as an
// internal error.
std::string FatalErrorText(std::exception_ptr error);

}  // namespace app
