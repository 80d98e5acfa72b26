// Start-up: the single-instance guard, the mode letter and the dispatch to the
// display, preview, settings dialog or password change; the system procedures
// the windows share.
#include "app/Tessellane_B.h"

#include "app/text.h"
#include "base/numeric.h"
#include "base/runtime_error.h"
#include "display/Tessellane_R.h"
#include "display/Tessellane_S.h"
#include "ui/backend.h"
#include "ui/fatal.h"

namespace app {
namespace num = base::num;

std::string Tessellane_B::ModeLetter() const { return text::Mid(text::UpperAscii(CommandLine), 2, 1); }

void Tessellane_B::Main() {
  const ui::sys::LaunchRequest launch = ui::sys::Launch();
  if (launch.host_window != 0) {
    // A screen-saver host runs one display per screen and one in its own
    // preview, each in a window it made: no second-start guard here.
    LoadSettings();
    RunDisplay(launch.host_window);
    return;
  }
  // A running display or settings window refuses every second start.
  if (ui::sys::FindWindowByTitle(kDisplayTitle) != 0) ui::sys::EndProcess(0);
  if (ui::sys::FindWindowByTitle(kSettingsTitle) != 0) ui::sys::EndProcess(0);

  CommandLine = launch.command_line;
  const std::string mode = ModeLetter();
  if (mode == "P") {
    // The preview never reads the settings file.
    StartPreview(num::RoundToInt32(num::ReadLenient(text::Mid(CommandLine, 4))));
    return;
  }
  LoadSettings();
  if (mode == "A") {
    if (ui::sys::SaverAsksPassword()) {
      const auto window = num::RoundToInt32(num::ReadStrict(text::Mid(CommandLine, 4)));
      ui::sys::ChangePassword(static_cast<ui::WindowHandle>(static_cast<std::uint32_t>(window)));
    }
    ui::sys::EndProcess(0);
  }
  if (mode == "C") {
    ShowSettingsDialog();
    ui::sys::EndProcess(0);
  }
  if (!CommandLine.empty() && mode != "S") ui::sys::EndProcess(0);
  if (mode == "S") {
    ui::sys::ShowCursor(false);
    SetSystemKeysEnabled(false);
  }
  RunDisplay();
}

void Tessellane_B::RunDisplay(ui::WindowHandle host) {
  display::Tessellane_S display(*this);
  if (host != 0) display.Form.AdoptHostWindow(host);
  display.Form_Load();
}

void Tessellane_B::StartPreview(std::int32_t parent) { Preview = display::Tessellane_R::Start(parent); }

void Tessellane_B::SetSystemKeysEnabled(bool enabled) { ui::sys::SetScreenSaverRunning(!enabled); }

void Tessellane_B::ZoomWindowOpen(ui::WindowHandle window) {
  ui::Rect rect;
  ui::sys::GetWindowRect(window, rect);
  const ui::Rect origin{ZoomOriginX, ZoomOriginY, ZoomOriginX, ZoomOriginY};
  ui::sys::AnimateCaption(window, origin, rect);
}

void Tessellane_B::ZoomWindowClose(ui::WindowHandle window) {
  ui::Rect rect;
  ui::sys::GetWindowRect(window, rect);
  const ui::Rect origin{ZoomOriginX, ZoomOriginY, ZoomOriginX, ZoomOriginY};
  ui::sys::AnimateCaption(window, rect, origin);
}

std::string FatalErrorText(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const base::RuntimeError& e) {
    return base::RuntimeErrorText(e);
  } catch (const ui::UnsupportedScreen& e) {
    return std::string("この画面には描けません。\n\n") + e.what();
  } catch (const std::bad_alloc&) {
    return base::RuntimeErrorText(base::RuntimeError(base::kErrOutOfMemory, "Out of memory"));
  } catch (...) {
    return base::RuntimeErrorText(base::RuntimeError(base::kErrInternal, "Internal error"));
  }
}

void RunProgram(Tessellane_B& module) {
  ui::SetFatalErrorReporter([](std::exception_ptr error) { ui::sys::ReportFatalError(FatalErrorText(error)); });
  try {
    module.Main();
    // The preview lives on after Main returns, until its window goes away.
    ui::RunEventLoop();
  } catch (const std::exception&) {
    // Only the program's own errors and the standard ones: the headless
    // backend's end of the process passes through to the test.
    ui::EndWithError(std::current_exception());
  }
  ui::sys::EndProcess(0);
}

}  // namespace app
