// Fuzzes the command line through Main on the headless backend. Input:
// COMMAND LINE [ NUL SETTINGS FILE BYTES ]. Whatever the bytes, the program
// ends with a window or without one, or with the runtime's message and exit
// code 1; no exception escapes. A window still open after a few event passes
// is ended the way the user would end it.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/Tessellane_B.h"
#include "fuzz/fuzz_support.h"
#include "ui/fatal.h"
#include "ui/headless/headless.h"

namespace {

using fuzz_support::Require;

constexpr int kPassesBeforeTheUserEndsIt = 25;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::string_view command_line = input.substr(0, nul);
  const std::string_view ini = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);

  headless::Reset();
  auto& config = headless::config();
  config.app_path = fuzz_support::ProgramDir().string();
  config.command_line = std::string(command_line);
  // A small screen: the display's surface is made on every run.
  config.screen_width_px = 96;
  config.screen_height_px = 64;
  config.max_event_loop_passes = 200;
  fuzz_support::SetIniBytes(nul == std::string_view::npos ? nullptr : &ini);

  int passes = 0;
  headless::SetIdleHook([&passes] {
    if (++passes == kPassesBeforeTheUserEndsIt) throw headless::ProcessExit{0};
  });
  int code = -1;
  {
    app::Tessellane_B module;
    try {
      app::RunProgram(module);
    } catch (const headless::ProcessExit& exit) {
      code = exit.code;
    }
  }
  Require(code == 0 || code == 1, "the program ends with exit code 0 or 1");
  if (code == 1)
    Require(!headless::CallsStartingWith("ReportFatalError").empty(), "exit code 1 comes with the message");
  headless::SetIdleHook({});
  ui::SetFatalErrorReporter(nullptr);
  return 0;
}
