// Start-up: the single-instance guard, the mode letter and what each mode
// does before any window shows.
#include <algorithm>

#include "app/Tessellane_B.h"
#include "tests/test_support.h"
#include "ui/backend.h"

namespace {

using testing_support::HeadlessTest;

class StartupTest : public HeadlessTest {
 protected:
  // Runs the program's entry; a display would end at its first pass (7).
  int Run(const std::string& command_line) {
    headless::config().command_line = command_line;
    headless::SetIdleHook([] { throw headless::ProcessExit{7}; });
    return testing_support::ExitCodeOf([this] { app::RunProgram(module_); });
  }
  bool Called(const std::string& call) const {
    const auto& calls = headless::Calls();
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }
  bool DisplayShown() const { return !headless::CallsStartingWith("MakeTopmost").empty(); }
  bool SettingsRead() const { return !headless::CallsStartingWith("ReadFile").empty(); }

  app::Tessellane_B module_;
};

TEST_F(StartupTest, ModeComesFromTheSecondCharacterOnly) {
  for (const char* line : {"/s", "/S", "-s", "/S:123", "/sx"}) {
    app::Tessellane_B b;
    b.CommandLine = line;
    EXPECT_EQ(b.ModeLetter(), "S") << line;
  }
  app::Tessellane_B b;
  b.CommandLine = "s";
  EXPECT_EQ(b.ModeLetter(), "");
  b.CommandLine = "/c:1234";
  EXPECT_EQ(b.ModeLetter(), "C");
  b.CommandLine = "/ｐ";
  EXPECT_EQ(b.ModeLetter(), "ｐ");
}

TEST_F(StartupTest, RunModeHidesCursorAndTellsSystemBeforeTheDisplay) {
  // The display's first pass ends it with a key.
  headless::config().command_line = "/s";
  int passes = 0;
  headless::SetIdleHook([&] {
    if (passes++ == 0) throw headless::ProcessExit{7};
  });
  try {
    app::RunProgram(module_);
    FAIL() << "the display returned";
  } catch (const headless::ProcessExit& e) {
    EXPECT_EQ(e.code, 7);
  }
  const auto& calls = headless::Calls();
  const auto hide = std::find(calls.begin(), calls.end(), "ShowCursor(0)");
  const auto running = std::find(calls.begin(), calls.end(), "SetScreenSaverRunning(1)");
  const auto topmost = std::find(calls.begin(), calls.end(), "MakeTopmost");
  ASSERT_NE(hide, calls.end());
  ASSERT_NE(running, calls.end());
  ASSERT_NE(topmost, calls.end());
  EXPECT_LT(hide, running);
  EXPECT_LT(running, topmost);
  EXPECT_TRUE(SettingsRead());
}

TEST_F(StartupTest, EmptyCommandLineRunsTheDisplayWithoutTouchingTheSystem) {
  headless::config().command_line = "";
  headless::SetIdleHook([] { throw headless::ProcessExit{7}; });
  EXPECT_THROW(app::RunProgram(module_), headless::ProcessExit);
  EXPECT_TRUE(DisplayShown());
  EXPECT_FALSE(Called("ShowCursor(0)"));
  EXPECT_TRUE(headless::CallsStartingWith("SetScreenSaverRunning").empty());
}

TEST_F(StartupTest, OtherSwitchesEndAfterReadingSettingsWithoutAWindow) {
  for (const char* line : {"/x", "s", "/", "/ｓ"}) {
    headless::Reset();
    headless::config().app_path = dir_.str();
    EXPECT_EQ(Run(line), 0) << line;
    EXPECT_FALSE(DisplayShown()) << line;
    EXPECT_TRUE(SettingsRead()) << line;
  }
}

TEST_F(StartupTest, PasswordChangeOnlyOnWindows9x) {
  EXPECT_EQ(Run("/a 1234"), 0);
  EXPECT_TRUE(headless::CallsStartingWith("ChangePassword").empty());

  headless::Reset();
  headless::config().app_path = dir_.str();
  headless::config().saver_asks_password = true;
  EXPECT_EQ(Run("/a 1234"), 0);
  EXPECT_TRUE(Called("ChangePassword(1234)"));
}

TEST_F(StartupTest, PasswordChangeWithAHandleThatIsNoNumberStopsWithTheRuntimeError) {
  headless::config().saver_asks_password = true;
  EXPECT_EQ(Run("/a xyz"), 1);
  ASSERT_EQ(headless::CallsStartingWith("ReportFatalError").size(), 1u);
  EXPECT_NE(headless::CallsStartingWith("ReportFatalError")[0].find("13"), std::string::npos);
  EXPECT_TRUE(headless::CallsStartingWith("ChangePassword").empty());
}

TEST_F(StartupTest, RunningDisplayOrSettingsWindowRefusesEveryMode) {
  for (const char* title : {app::kDisplayTitle, app::kSettingsTitle}) {
    for (const char* line : {"", "/s", "/c", "/p 1234", "/p:1234", "/a", "/x"}) {
      headless::Reset();
      headless::config().app_path = dir_.str();
      headless::AddForeignWindow(title);
      EXPECT_EQ(Run(line), 0) << title << " " << line;
      EXPECT_FALSE(SettingsRead()) << line;
      EXPECT_FALSE(DisplayShown()) << line;
    }
  }
}

TEST_F(StartupTest, SystemKeysSwitchSendsTheSignExtendedBoolean) {
  app::Tessellane_B b;
  b.SetSystemKeysEnabled(false);
  b.SetSystemKeysEnabled(true);
  EXPECT_EQ(headless::Calls(), (std::vector<std::string>{"SetScreenSaverRunning(1)", "SetScreenSaverRunning(0)"}));
}

TEST_F(StartupTest, ZoomRunsBetweenTheCursorPointAndTheWindow) {
  const auto window = headless::AddForeignWindow("w", ui::Rect{289, 97, 735, 574});
  app::Tessellane_B b;
  b.ZoomOriginX = 10;
  b.ZoomOriginY = 20;
  b.ZoomWindowOpen(window);
  b.ZoomWindowClose(window);
  EXPECT_TRUE(Called("AnimateCaption(10,20,10,20->289,97,735,574)"));
  EXPECT_TRUE(Called("AnimateCaption(289,97,735,574->10,20,10,20)"));
}

}  // namespace
