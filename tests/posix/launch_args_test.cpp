// How the Linux programs read their arguments: the Windows switches handed
// on to the program, the hack's switches naming the window to draw into,
// refusals with a reason, and the usage.
#include <gtest/gtest.h>

#include "ui/posix/launch_args.h"

namespace {

using ui::posix::LaunchArgs;
using Action = LaunchArgs::Action;

LaunchArgs Parse(std::vector<std::string> args, std::string env = "") { return ui::posix::ParseLaunchArgs(args, env); }

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
  // Options every hack takes change nothing, wherever they stand.
  const LaunchArgs extra = Parse({"-mono", "--root", "-fps", "-install", "-visual", "default", "-noinstall"});
  EXPECT_EQ(extra.action, Action::kHosted);
  EXPECT_TRUE(extra.root);
  // The visual's name is taken with its switch, not read as the next switch.
  EXPECT_EQ(Parse({"-visual", "-root"}).action, Action::kOwnWindow);
}

TEST(LaunchArgs, AWindowIdWinsOverRootAndWindowAndOfThoseTheLastWins) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"-root", "-window-id", "77"}, {"-window-id", "77", "-root"}, {"-window-id", "77", "--window"}}) {
    const LaunchArgs a = Parse(args, "0x99");
    EXPECT_EQ(a.action, Action::kHosted) << args[0];
    EXPECT_FALSE(a.root) << args[0];
    EXPECT_EQ(a.window, 77u) << args[0];
  }
  EXPECT_EQ(Parse({"-root", "-window"}, "0x99").action, Action::kOwnWindow);
  EXPECT_EQ(Parse({"-window", "-root"}).action, Action::kHosted);
  EXPECT_TRUE(Parse({"-window", "-root"}).root);
  // A hack's switches that name no window mean one of its own, as for hacks.
  EXPECT_EQ(Parse({"-window"}).action, Action::kOwnWindow);
  EXPECT_EQ(Parse({"-mono"}).action, Action::kOwnWindow);
  EXPECT_EQ(Parse({"--fps"}, "0x99").action, Action::kOwnWindow);
}

TEST(LaunchArgs, XScreenSaverWindowWithBlanksIsReadAndATokenIsNamedAsNoXWindow) {
  EXPECT_EQ(Parse({"-root"}, " 0x40002A\n").window, 0x40002Au);
  EXPECT_EQ(Parse({"-root"}, "\t4194346 ").window, 4194346u);
  // Only blanks: no window named, the root itself.
  EXPECT_TRUE(Parse({"-root"}, "  ").root);
  const LaunchArgs token = Parse({"-root"}, "wayland-token-3f2a");
  EXPECT_EQ(token.action, Action::kBad);
  EXPECT_NE(token.error.find("not an X window id"), std::string::npos) << token.error;
  EXPECT_NE(token.error.find("wayland-token-3f2a"), std::string::npos) << token.error;
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
      {"-visual"},
      {"-root", "-visual"},
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
  const std::string usage = ui::posix::Usage("tessellane");
  for (const char* s :
       {"/s", "/p", "/c", "-root", "-window ", "-window-id", "--help", "XSCREENSAVER_WINDOW", "XDG_CONFIG_HOME"})
    EXPECT_NE(usage.find(s), std::string::npos) << s;
  // The switches that do nothing are named as such, after the words that say so.
  const auto nothing = usage.find("doing nothing");
  ASSERT_NE(nothing, std::string::npos);
  for (const char* s : {"-mono", "-install", "-noinstall", "-fps", "-visual"})
    EXPECT_GT(usage.find(s, nothing), nothing) << s;
}

}  // namespace
