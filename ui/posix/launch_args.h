// How the Linux programs read their arguments: the switches Windows gives a
// screen saver ("/s", "/p <id>", "/c", ...) and those XScreenSaver gives a
// hack ("-root", "-window-id <id>", "-window", ..., each also with two
// dashes), turned into what the program is asked to do. No X call is made
// here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ui::posix {

struct LaunchArgs {
  enum class Action {
    kRun,        // the switches in `command_line` decide (display, preview, ...)
    kHosted,     // draw into a host's window: `window`, or the root when `root`
    kOwnWindow,  // a hack's window of its own: resizable, input does not end it
    kHelp,       // print the usage and end
    kEndAtOnce,  // a switch the program has nothing to do for
    kBad,        // refused: `error` says why
  };
  Action action = Action::kRun;
  std::string command_line;
  bool root = false;
  std::uint64_t window = 0;
  std::string error;
};

// `args` without the program name; `xscreensaver_window` is the value of
// $XSCREENSAVER_WINDOW ("" when unset), which "-root" draws into. A window
// id wins over "-root" and "-window" wherever it stands; of those two the
// last wins, and a hack's switches without either mean "-window".
LaunchArgs ParseLaunchArgs(const std::vector<std::string>& args, const std::string& xscreensaver_window);

// A window id in decimal or in hex with "0x"; false when it is not one.
bool ParseWindowId(const std::string& text, std::uint64_t& id);

// The text "--help" prints.
std::string Usage(const std::string& program);

}  // namespace ui::posix
