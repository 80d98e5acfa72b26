// Shared helpers of the music tests: the display run on the fake clock with
// timed input, and the MCI commands it sent within a time window.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Tessellane_B.h"
#include "display/Tessellane_S.h"
#include "tests/test_support.h"
#include "ui/headless/mci_sim.h"

namespace testing_support {

class MusicDisplayTest : public HeadlessTest {
 protected:
  using Action = std::function<void(display::Tessellane_S&)>;

  MusicDisplayTest() { Configure(); }
  // Every command the music sent is one the MCI interpreter knows.
  void TearDown() override { EXPECT_EQ(headless::mci::NotUnderstood(), std::vector<std::string>{}); }

  // A fresh process for a second run within one test.
  void Fresh() {
    headless::Reset();
    Configure();
  }

  // Loads the display and runs it until `until_ms` of fake time; each action
  // runs once, in the first pass at or after its time. True when the program
  // ended (ended_at_ then holds the time).
  bool Run(double until_ms, std::vector<std::pair<double, Action>> script = {}) {
    display_ = std::make_unique<display::Tessellane_S>(module_);
    std::vector<bool> done(script.size(), false);
    long passes = 0;
    headless::SetIdleHook([&] {
      const double now = headless::NowMs();
      // A clock that does not move would never reach until_ms.
      if (++passes > 1000000) {
        ADD_FAILURE() << "the fake clock does not advance";
        display_->StopLoop = true;
      }
      for (std::size_t i = 0; i < script.size(); ++i)
        if (!done[i] && now >= script[i].first) {
          done[i] = true;
          script[i].second(*display_);
        }
      if (now >= until_ms) display_->StopLoop = true;
    });
    try {
      display_->Form_Load();
    } catch (const headless::ProcessExit&) {
      ended_at_ = headless::NowMs();
      return true;
    }
    return false;
  }

  void Configure() {
    headless::config().app_path = dir_.str();
    // A small screen keeps the runs fast; 5 ms pass per ring.
    headless::config().screen_width_px = 320;
    headless::config().screen_height_px = 240;
    headless::config().ms_per_do_events = 5;
    module_.CommandLine = "/s";
    module_.StopTime = 0;
  }

  static Action Key(ui::Key key) {
    return [key](display::Tessellane_S& s) { headless::PostKeyDown(s.Form, key); };
  }

  // MCI commands sent at fake times in [from, to).
  static std::vector<std::string> CommandsBetween(double from, double to) {
    std::vector<std::string> out;
    for (const auto& s : headless::mci::Log())
      if (s.at_ms >= from && s.at_ms < to) out.push_back(s.command);
    return out;
  }

  // Fake times at which `command` was sent.
  static std::vector<double> TimesOf(const std::string& command) {
    std::vector<double> out;
    for (const auto& s : headless::mci::Log())
      if (s.command == command) out.push_back(s.at_ms);
    return out;
  }

  app::Tessellane_B module_;
  std::unique_ptr<display::Tessellane_S> display_;
  double ended_at_ = -1;
};

}  // namespace testing_support
