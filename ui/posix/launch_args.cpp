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

LaunchArgs OwnWindow() {
  LaunchArgs a;
  a.action = LaunchArgs::Action::kOwnWindow;
  return a;
}

// Switches every hack takes that change nothing here: the colours stay as
// they are ("-mono"), the window's own colormap is used ("-install",
// "-noinstall"), no frame rate is shown ("-fps").
bool ChangesNothing(const std::string& name) {
  return name == "mono" || name == "install" || name == "noinstall" || name == "fps" || name == "no-fps";
}

std::string TrimmedBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\n") - first + 1);
}

// "-root": XScreenSaver names the window it made for the hack in the
// environment; without it the root itself.
LaunchArgs InRoot(const std::string& xscreensaver_window) {
  const std::string named = TrimmedBlanks(xscreensaver_window);
  if (named.empty()) return Hosted(true, 0);
  std::uint64_t window = 0;
  if (!ParseWindowId(named, window) || window == 0)
    return Bad("XSCREENSAVER_WINDOW=\"" + xscreensaver_window +
               "\" is not an X window id (a Wayland session's saver passes a token): this program draws only on X");
  return Hosted(false, window);
}

LaunchArgs ParseHackArgs(const std::vector<std::string>& args, const std::string& xscreensaver_window) {
  std::uint64_t window = 0;
  bool root = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string name = WithoutDashes(args[i]);
    if (name == "help" || name == "h") {
      LaunchArgs help;
      help.action = LaunchArgs::Action::kHelp;
      return help;
    }
    if (name == "root" || name == "window") {
      root = name == "root";
    } else if (name == "window-id") {
      if (i + 1 >= args.size()) return Bad("-window-id needs a window id");
      if (!ParseWindowId(args[++i], window) || window == 0) return Bad("not a window id: " + args[i]);
    } else if (name == "visual") {
      // The window's own visual is drawn with, whatever is asked.
      if (i + 1 >= args.size()) return Bad("-visual needs a visual's name");
      ++i;
    } else if (!ChangesNothing(name)) {
      return Bad("unknown option: " + args[i]);
    }
  }
  if (window != 0) return Hosted(false, window);
  if (root) return InRoot(xscreensaver_window);
  return OwnWindow();
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
         " [/s | /p ID | /c | -root | -window | -window-id ID | --help]\n"
         "  /s, no switch     show the screen saver in a full-screen window of its own\n"
         "  /p ID             show the preview picture in the X window ID (decimal)\n"
         "  /c                the settings\n"
         "  -root, --root     draw on the root window, or on $XSCREENSAVER_WINDOW when set\n"
         "  -window           draw in a resizable window of its own; closing it ends the program\n"
         "  -window-id ID     draw into the X window ID (decimal, or hex with 0x); wins over the two above\n"
         "  --help            print this text\n"
         "Accepted and doing nothing: -mono, -install, -noinstall, -fps, -visual NAME (the window's own\n"
         "  visual is used)\n"
         "Settings: ~/.config/tessellane/テセレーン.ini, also where $XDG_CONFIG_HOME is set (hosts withhold it)\n";
}

}  // namespace ui::posix
