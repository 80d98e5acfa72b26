// What the native Linux backend translates: its arguments into what the
// program is asked to do, X keys and buttons into the forms' terms, and the
// monitors into the desktop the display fills.

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>

#include "ui/x11/input_x11.h"
#include "ui/x11/launch_args.h"
#include "ui/x11/monitors.h"

namespace {

using ui::x11::LaunchArgs;
using Action = LaunchArgs::Action;

LaunchArgs Parse(std::vector<std::string> args, std::string env = "") { return ui::x11::ParseLaunchArgs(args, env); }

TEST(LaunchArgs, WindowsSwitchesAreHandedOnAsTheProgramReadsThem) {
  EXPECT_EQ(Parse({}).action, Action::kRun);
  EXPECT_EQ(Parse({}).command_line, "");
  EXPECT_EQ(Parse({"/s"}).command_line, "/s");
  EXPECT_EQ(Parse({"/S"}).command_line, "/S");
  const LaunchArgs preview = Parse({"/p", "4194305"});
  EXPECT_EQ(preview.action, Action::kRun);
  EXPECT_EQ(preview.command_line, "/p 4194305");
  // Unknown switches are the program's to refuse.
  EXPECT_EQ(Parse({"/x"}).command_line, "/x");
  // XScreenSaver's window does not turn a switch into a hosted display.
  EXPECT_EQ(Parse({"/s"}, "0x400001").action, Action::kRun);
  // The settings window is the program's too.
  EXPECT_EQ(Parse({"/c"}).action, Action::kRun);
  EXPECT_EQ(Parse({"/C:1234"}).command_line, "/C:1234");
}

TEST(LaunchArgs, TheSettingsModeIsTheLetterCInSecondPlace) {
  for (const char* line : {"/c", "/C", "/c:1234", "/C 1234"}) EXPECT_TRUE(ui::x11::IsSettingsMode(line)) << line;
  for (const char* line : {"", "/", "/s", "/p 4194305", "c", "/a"}) EXPECT_FALSE(ui::x11::IsSettingsMode(line)) << line;
}

TEST(LaunchArgs, HackSwitchesWithOneDashOrTwoNameTheWindow) {
  for (const char* root : {"-root", "--root"}) {
    const LaunchArgs a = Parse({root});
    EXPECT_EQ(a.action, Action::kHosted) << root;
    EXPECT_TRUE(a.root) << root;
    // XScreenSaver's own window, named in the environment, wins over the root.
    const LaunchArgs env = Parse({root}, "0x40002A");
    EXPECT_EQ(env.action, Action::kHosted) << root;
    EXPECT_FALSE(env.root) << root;
    EXPECT_EQ(env.window, 0x40002Au) << root;
    EXPECT_EQ(Parse({root}, "4194346").window, 4194346u) << root;
  }
  for (const char* id : {"-window-id", "--window-id"}) {
    EXPECT_EQ(Parse({id, "4194346"}).window, 4194346u) << id;
    EXPECT_EQ(Parse({id, "0x40002a"}).window, 0x40002Au) << id;
    EXPECT_EQ(Parse({id, "0X40002A"}).window, 0x40002Au) << id;
    // An explicit window is used as given, whatever the environment says.
    EXPECT_EQ(Parse({id, "77"}, "0x99").window, 77u) << id;
    EXPECT_FALSE(Parse({id, "77"}).root) << id;
  }
  // Options XScreenSaver may add for every hack change nothing.
  const LaunchArgs extra = Parse({"--root", "-fps", "-visual", "default"});
  EXPECT_EQ(extra.action, Action::kHosted);
  EXPECT_TRUE(extra.root);
}

TEST(LaunchArgs, BadIdsAndUnknownArgumentsAreRefusedWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {"-window-id"},
      {"-window-id", ""},
      {"-window-id", "abc"},
      {"-window-id", "12x"},
      {"-window-id", "0x"},
      {"-window-id", "0xg1"},
      {"-window-id", "-5"},
      {"-window-id", " 12"},
      {"-window-id", "0"},
      {"-window-id", "0x0"},
      {"-window-id", "99999999999999999999"},
      {"-window-id", "0x20000000"},
      {"-bogus"},
      {"--"},
      {"junk"},
      {"-fps"},
  };
  for (const auto& args : bad) {
    const LaunchArgs a = Parse(args);
    EXPECT_EQ(a.action, Action::kBad) << args[0] << " " << (args.size() > 1 ? args[1] : "");
    EXPECT_FALSE(a.error.empty());
  }
  EXPECT_EQ(Parse({"-root"}, "none").action, Action::kBad);
  EXPECT_EQ(Parse({"-root"}, "0").action, Action::kBad);
  // The largest X id is accepted.
  EXPECT_EQ(Parse({"-window-id", "0x1FFFFFFF"}).window, 0x1FFFFFFFu);
}

TEST(LaunchArgs, HelpInEveryFormWinsAndTheUsageNamesEverySwitch) {
  for (const char* help : {"--help", "-help", "-h"}) EXPECT_EQ(Parse({help}).action, Action::kHelp) << help;
  EXPECT_EQ(Parse({"-root", "--help"}).action, Action::kHelp);
  const std::string usage = ui::x11::Usage("tessellane");
  for (const char* s : {"/s", "/p", "/c", "-root", "-window-id", "--help", "XSCREENSAVER_WINDOW", "XDG_CONFIG_HOME"})
    EXPECT_NE(usage.find(s), std::string::npos) << s;
}

TEST(Input, KeysButtonsAndShiftStatesInTheFormsTerms) {
  EXPECT_EQ(ui::x11::KeyOf(XK_Left), ui::Key::kLeft);
  EXPECT_EQ(ui::x11::KeyOf(XK_KP_Left), ui::Key::kLeft);
  EXPECT_EQ(ui::x11::KeyOf(XK_Right), ui::Key::kRight);
  EXPECT_EQ(ui::x11::KeyOf(XK_KP_Right), ui::Key::kRight);
  EXPECT_EQ(ui::x11::KeyOf(XK_Escape), ui::Key::kEscape);
  for (unsigned long other : {XK_a, XK_Return, XK_space, XK_Up, XK_Down, XK_Shift_L, XK_F1})
    EXPECT_EQ(ui::x11::KeyOf(other), ui::Key::kOtherKey) << other;

  EXPECT_EQ(ui::x11::ButtonOf(Button1), ui::kLeftButton);
  EXPECT_EQ(ui::x11::ButtonOf(Button2), ui::kMiddleButton);
  EXPECT_EQ(ui::x11::ButtonOf(Button3), ui::kRightButton);
  // The wheel is no button press.
  EXPECT_EQ(ui::x11::ButtonOf(Button4), 0);
  EXPECT_EQ(ui::x11::ButtonOf(Button5), 0);

  EXPECT_EQ(ui::x11::ShiftOf(0), 0);
  EXPECT_EQ(ui::x11::ShiftOf(ShiftMask), 1);
  EXPECT_EQ(ui::x11::ShiftOf(ControlMask), 2);
  EXPECT_EQ(ui::x11::ShiftOf(Mod1Mask), 4);
  // Caps lock, num lock and held buttons are no shift state.
  EXPECT_EQ(ui::x11::ShiftOf(ShiftMask | Mod1Mask | LockMask | Mod2Mask | Button1Mask), 5);
  EXPECT_EQ(ui::x11::ButtonsOf(Button1Mask | Button3Mask | ShiftMask), ui::kLeftButton | ui::kRightButton);
  EXPECT_EQ(ui::x11::ButtonsOf(Button2Mask), ui::kMiddleButton);
}

TEST(Monitors, TheDesktopCoversEveryMonitorAndThePrimaryIsTheOneNamed) {
  const ui::Rect screen{0, 0, 1824, 768};
  // One monitor: desktop and primary are it.
  auto one = ui::x11::LayoutOf({{0, 0, 1024, 768}}, 0, screen);
  EXPECT_EQ(one.desktop, (ui::Rect{0, 0, 1024, 768}));
  EXPECT_EQ(one.primary, one.desktop);
  // Side by side, of different heights: the rings bounce off the outer edges.
  const std::vector<ui::Rect> two = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}};
  EXPECT_EQ(ui::x11::LayoutOf(two, 0, screen).desktop, (ui::Rect{0, 0, 1824, 768}));
  EXPECT_EQ(ui::x11::LayoutOf(two, 1, screen).primary, (ui::Rect{1024, 0, 1824, 600}));
  // A primary index that names no monitor falls back to the first.
  EXPECT_EQ(ui::x11::LayoutOf(two, 5, screen).primary, two[0]);
  EXPECT_EQ(ui::x11::LayoutOf(two, -1, screen).primary, two[0]);
  // Stacked, one offset to the left of the other.
  const std::vector<ui::Rect> stacked = {{200, 0, 1480, 1024}, {0, 1024, 1920, 2104}};
  EXPECT_EQ(ui::x11::LayoutOf(stacked, 0, screen).desktop, (ui::Rect{0, 0, 1920, 2104}));
  // Monitors of no size (a disconnected output) are left out; with none at
  // all the screen is the desktop.
  EXPECT_EQ(ui::x11::LayoutOf({{0, 0, 0, 0}, {0, 0, 800, 600}}, 0, screen).desktop, (ui::Rect{0, 0, 800, 600}));
  EXPECT_EQ(ui::x11::LayoutOf({{0, 0, 0, 0}, {0, 0, 800, 600}}, 0, screen).primary, (ui::Rect{0, 0, 800, 600}));
  EXPECT_EQ(ui::x11::LayoutOf({}, 0, screen).desktop, screen);
  EXPECT_EQ(ui::x11::LayoutOf({}, 0, screen).primary, screen);
}

}  // namespace
