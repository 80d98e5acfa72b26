// Shared setup of the settings window tests: a fresh process with its own
// program directory, the settings loaded from a file written by the test, and
// the window loaded and shown without entering the animation loop.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Tessellane_B.h"
#include "settings_dialog/Tessellane_P.h"
#include "tests/test_support.h"
#include "ui/backend.h"
#include "ui/codepage.h"
#include "ui/headless/widgets_api.h"

namespace settings_dialog_testing {

class SettingsDialogTest : public testing_support::HeadlessTest {
 protected:
  // Loads the settings (from `ini_lines` when given) and opens the window.
  settings_dialog::Tessellane_P& Open(const std::string& ini_lines = "") {
    if (!ini_lines.empty()) testing_support::WriteIni(dir_, ini_lines);
    module_ = std::make_unique<app::Tessellane_B>();
    module_->LoadSettings();
    dialog_ = std::make_unique<settings_dialog::Tessellane_P>(*module_);
    dialog_->LoadAndShow();
    headless::ClearCalls();
    return *dialog_;
  }

  // Runs `action`; true when it ended the program (with exit code 0).
  static bool EndsProgram(const std::function<void()>& action) {
    try {
      action();
    } catch (const headless::ProcessExit& e) {
      return e.code == 0;
    }
    return false;
  }

  // Delivers the queued input; true when it ended the program.
  static bool DeliverEndsProgram() {
    return EndsProgram([] { ui::DoEvents(); });
  }

  bool IniExists() const { return std::filesystem::exists(dir_.Ini()); }
  std::string IniBytes() const { return testing_support::ReadBytes(dir_.Ini()); }

  // The key=value lines of the settings file, in file order, as UTF-8.
  std::vector<std::pair<std::string, std::string>> IniEntries() const {
    std::vector<std::pair<std::string, std::string>> out;
    const std::string text = ui::Cp932ToUtf8(IniBytes());
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const auto eq = line.find('=');
      if (eq != std::string::npos) out.emplace_back(line.substr(0, eq), line.substr(eq + 1));
      start = end + 1;
    }
    return out;
  }

  // The value of one key in the settings file ("<missing>" when absent).
  std::string IniValue(const std::string& key) const {
    for (const auto& [k, v] : IniEntries())
      if (k == key) return v;
    return "<missing>";
  }

  // The settings files put in place, in call order.
  static std::vector<std::string> FileReplacements() { return headless::CallsStartingWith("ReplaceFile"); }

  app::Tessellane_B& module() { return *module_; }

  std::unique_ptr<app::Tessellane_B> module_;
  std::unique_ptr<settings_dialog::Tessellane_P> dialog_;
};

}  // namespace settings_dialog_testing
