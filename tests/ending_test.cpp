// Ending the display: the mouse-move rule, keys and clicks, the Windows 9x
// password, and the order in which the system state is given back.
#include "app/Tessellane_B.h"
#include "display/Tessellane_S.h"
#include "tests/test_support.h"

namespace {

using testing_support::HeadlessTest;

class EndingTest : public HeadlessTest {
 protected:
  // Loads the display with a command line and plays `script` one event per pass.
  // Returns the pass at which the program ended, or -1 if it did not.
  int Play(const std::string& command_line, std::vector<std::function<void(display::Tessellane_S&)>> script) {
    module_.CommandLine = command_line;
    module_.StopTime = 0;
    display_ = std::make_unique<display::Tessellane_S>(module_);
    std::size_t step = 0;
    headless::SetIdleHook([&] {
      if (step < script.size()) script[step++](*display_);
      else display_->StopLoop = true;
    });
    try {
      display_->Form_Load();
    } catch (const headless::ProcessExit&) {
      return static_cast<int>(step);
    }
    return -1;
  }
  static std::function<void(display::Tessellane_S&)> Move(float x, float y) {
    return [x, y](display::Tessellane_S& s) { headless::PostMouseMove(s.Display, x, y); };
  }
  static std::function<void(display::Tessellane_S&)> Key(ui::Key key) {
    return [key](display::Tessellane_S& s) { headless::PostKeyDown(s.Form, key); };
  }
  std::vector<std::string> SystemCalls() const {
    std::vector<std::string> out;
    for (const auto& c : headless::Calls())
      if (c.starts_with("ShowCursor") || c.starts_with("SetScreenSaverRunning") || c == "ReactivateScreenSaver" ||
          c == "VerifyPassword" || c.starts_with("EndProcess"))
        out.push_back(c);
    return out;
  }
  app::Tessellane_B module_;
  std::unique_ptr<display::Tessellane_S> display_;
};

TEST_F(EndingTest, FirstMoveOnlyRecordsThenADiagonalMoveEnds) {
  EXPECT_EQ(Play("/s", {Move(100, 100), Move(101, 101)}), 2);
  EXPECT_EQ(SystemCalls(), (std::vector<std::string>{"SetScreenSaverRunning(0)", "ShowCursor(1)",
                                                     "ReactivateScreenSaver", "EndProcess(0)"}));
  EXPECT_TRUE(display_->StopLoop);
  EXPECT_TRUE(headless::StateOf(display_->Form).destroyed);
}

TEST_F(EndingTest, MovesAlongOneAxisNeverEndAndKeepTheOrigin) {
  EXPECT_EQ(Play("/s", {Move(100, 100), Move(900, 100), Move(100, 700), Move(100, 5)}), -1);
  EXPECT_TRUE(display_->MouseOrigin.Set);
  EXPECT_EQ(display_->MouseOrigin.X, 100);
  EXPECT_EQ(display_->MouseOrigin.Y, 100);
  // After those, a move that differs from the origin in both ends it.
  headless::Reset();
  EXPECT_EQ(Play("/s", {Move(100, 100), Move(900, 100), Move(900, 700)}), 3);
}

TEST_F(EndingTest, KeysAndButtonsEndIt) {
  EXPECT_EQ(Play("/s", {Key(ui::Key::kOtherKey)}), 1);
  for (int button : {1, 2, 4}) {
    headless::Reset();
    EXPECT_EQ(Play("/s", {[button](display::Tessellane_S& s) { headless::PostMouseDown(s.Display, button, 5, 5); }}),
              1);
  }
  headless::Reset();
  EXPECT_EQ(Play("/s", {[](display::Tessellane_S& s) { headless::PostClick(s.Display); }}), 1);
}

TEST_F(EndingTest, WithoutCommandLineMovesDoNothingAndTheSystemIsLeftAlone) {
  EXPECT_EQ(Play("", {Move(1, 1), Move(500, 500), Move(9, 700)}), -1);
  headless::Reset();
  EXPECT_EQ(Play("", {Move(1, 1), Move(500, 500), [](display::Tessellane_S& s) { headless::PostClick(s.Display); }}),
            3);
  EXPECT_EQ(SystemCalls(), (std::vector<std::string>{"ReactivateScreenSaver", "EndProcess(0)"}));
}

TEST_F(EndingTest, Windows9xAsksForThePasswordAndARefusalGoesOn) {
  headless::config().saver_asks_password = true;
  headless::config().password_accepted = false;
  EXPECT_EQ(Play("/s", {Move(10, 10), Move(20, 20), Move(30, 40)}), -1);
  EXPECT_EQ(SystemCalls(), (std::vector<std::string>{"ShowCursor(1)", "VerifyPassword", "ShowCursor(0)"}));
  // The refused move cleared the origin: the next move only recorded a new one.
  EXPECT_TRUE(display_->MouseOrigin.Set);
  EXPECT_EQ(display_->MouseOrigin.X, 30);
  EXPECT_FALSE(headless::StateOf(display_->Form).destroyed);
}

TEST_F(EndingTest, Windows9xAcceptedPasswordThenRestoresInOrder) {
  headless::config().saver_asks_password = true;
  EXPECT_EQ(Play("/s", {Key(ui::Key::kOtherKey)}), 1);
  EXPECT_EQ(SystemCalls(), (std::vector<std::string>{"ShowCursor(1)", "VerifyPassword", "SetScreenSaverRunning(0)",
                                                     "ShowCursor(1)", "ReactivateScreenSaver", "EndProcess(0)"}));
}

TEST_F(EndingTest, Windows9xWithoutCommandLineAsksNoPassword) {
  headless::config().saver_asks_password = true;
  EXPECT_EQ(Play("", {Key(ui::Key::kOtherKey)}), 1);
  EXPECT_TRUE(headless::CallsStartingWith("VerifyPassword").empty());
}

// A close from outside (another program, or the session ending) unloads the
// form: the same restore runs, once, and the loop ends without EndProcess.
TEST_F(EndingTest, ClosedFromOutsideRestoresTheSystemOnce) {
  auto close = [](display::Tessellane_S& s) { s.Form.Unload(); };
  EXPECT_EQ(Play("/s", {Move(10, 10), close, close}), -1);
  EXPECT_EQ(SystemCalls(),
            (std::vector<std::string>{"SetScreenSaverRunning(0)", "ShowCursor(1)", "ReactivateScreenSaver"}));
  EXPECT_TRUE(display_->StopLoop);
  EXPECT_TRUE(headless::StateOf(display_->Form).destroyed);

  headless::Reset();
  EXPECT_EQ(Play("", {close}), -1);
  EXPECT_EQ(SystemCalls(), std::vector<std::string>{"ReactivateScreenSaver"});
}

}  // namespace
