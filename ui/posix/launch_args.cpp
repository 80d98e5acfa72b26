#include "ui/posix/launch_args.h"

#include <cctype>

namespace ui::posix {
namespace {

// "-root" and "--root" are the same switch; XScreenSaver 6 passes the latter.
std::string WithoutDashes(const std::string& arg) {
  if (arg.rfind("--", 0) == 0) return arg.substr(2);
  if (arg.rfind("-", 0) == 0) return arg.substr(1);
  return {};
}

LaunchArgs Bad(std::string error) {
  LaunchArgs a;
  a.action = LaunchArgs::Action::kBad;
  a.error = std::move(error);
  return a;
}

LaunchArgs Hosted(bool root, std::uint64_t window) {
  LaunchArgs a;
  a.action = LaunchArgs::Action::kHosted;
  a.root = root;
  a.window = window;
  return a;
}

// "-root", "-window-id ID", "--help" and the switches XScreenSaver adds for
// every hack and that change nothing here.
LaunchArgs ParseHackArgs(const std::vector<std::string>& args, const std::string& xscreensaver_window) {
  LaunchArgs result = Hosted(false, 0);
  bool chosen = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string name = WithoutDashes(args[i]);
    if (name == "help" || name == "h") {
      result.action = LaunchArgs::Action::kHelp;
      return result;
    }
    if (name == "root") {
      result.root = true;
      chosen = true;
    } else if (name == "window-id") {
      if (i + 1 >= args.size()) return Bad("-window-id needs a window id");
      if (!ParseWindowId(args[++i], result.window) || result.window == 0) return Bad("not a window id: " + args[i]);
      result.root = false;
      chosen = true;
    } else if (name == "window" || name == "install" || name == "visual" || name == "fps" || name == "no-fps") {
      // XScreenSaver's own options: a window of its own is what "/s" gives.
      if (name == "visual" && i + 1 < args.size()) ++i;
    } else {
      return Bad("unknown option: " + args[i]);
    }
  }
  if (!chosen) return Bad("no window to draw into");
  // XScreenSaver names the window it made for the hack in the environment.
  if (result.root && !xscreensaver_window.empty()) {
    if (!ParseWindowId(xscreensaver_window, result.window) || result.window == 0)
      return Bad("XSCREENSAVER_WINDOW is not a window id: " + xscreensaver_window);
    result.root = false;
  }
  return result;
}

}  // namespace

bool ParseWindowId(const std::string& text, std::uint64_t& id) {
  std::size_t at = 0;
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    at = 2;
    base = 16;
  }
  if (at >= text.size() || text.size() - at > 16) return false;
  std::uint64_t value = 0;
  for (; at < text.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    int digit;
    if (std::isdigit(c)) digit = c - '0';
    else if (base == 16 && std::isxdigit(c)) digit = std::tolower(c) - 'a' + 10;
    else return false;
    if (value > (UINT64_MAX - digit) / base) return false;
    value = value * base + digit;
  }
  // X resource ids have 29 bits.
  if (value > 0x1FFFFFFF) return false;
  id = value;
  return true;
}

LaunchArgs ParseLaunchArgs(const std::vector<std::string>& args, const std::string& xscreensaver_window) {
  // The Windows switches: "/x" and what follows, read by the program itself.
  if (args.empty() || (args[0].size() >= 2 && args[0][0] == '/')) {
    LaunchArgs a;
    for (const auto& arg : args) a.command_line += (a.command_line.empty() ? "" : " ") + arg;
    return a;
  }
  if (args[0][0] == '-') return ParseHackArgs(args, xscreensaver_window);
  return Bad("unknown argument: " + args[0]);
}

std::string Usage(const std::string& program) {
  return "Usage: " + program +
         " [/s | /p ID | /c | -root | -window-id ID | --help]\n"
         "  /s, no switch     show the screen saver in a full-screen window of its own\n"
         "  /p ID             show the preview picture in the X window ID (decimal)\n"
         "  /c                the settings\n"
         "  -root, --root     draw on the root window, or on $XSCREENSAVER_WINDOW when set\n"
         "  -window-id ID     draw into the X window ID (decimal, or hex with 0x)\n"
         "  --help            print this text\n"
         "Settings: $XDG_CONFIG_HOME/tessellane/テセレーン.ini (~/.config when unset)\n";
}

}  // namespace ui::posix
