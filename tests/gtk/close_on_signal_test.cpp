// The settings program's end at a signal: SIGTERM and SIGINT set the
// request and wake whatever waits for events, so that the forms close (a
// save under way is finished); taking the request reads the wake-up, so that
// the next wait sleeps again.
#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>
#include <cstdlib>

#include "ui/backend.h"
#include "ui/posix/process.h"

namespace {

// Whether a wait for events on the wake descriptor would return at once.
bool WakeReady() {
  pollfd fd{ui::posix::WakeDescriptor(), POLLIN, 0};
  return poll(&fd, 1, 0) == 1;
}

TEST(Process, TermAndIntWakeTheWaitAndAreTakenOnce) {
  char program[] = "tessellane-settings", settings[] = "/c";
  char* argv[] = {program, settings, nullptr};
  ui::sys::TakeArguments(2, argv);
  ASSERT_GE(ui::posix::WakeDescriptor(), 0);
  for (const int signal : {SIGTERM, SIGINT}) {
    EXPECT_FALSE(WakeReady());
    EXPECT_FALSE(ui::posix::EndRequested());
    std::raise(signal);
    EXPECT_TRUE(ui::posix::EndRequested()) << signal;
    EXPECT_TRUE(WakeReady()) << "signal " << signal << " does not wake a wait";
    EXPECT_TRUE(ui::posix::TakeEndRequest()) << signal;
    EXPECT_FALSE(ui::posix::TakeEndRequest()) << signal;
    EXPECT_FALSE(WakeReady()) << "after signal " << signal << " a wait would not sleep again";
  }
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
}

// Before the first form there is nothing to close: a request taken then must
// end the program, or the window made next would stay up after the signal.
void RaiseBeforeTheFirstForm(int signal) {
  char program[] = "tessellane-settings", settings[] = "/c";
  char* argv[] = {program, settings, nullptr};
  ui::sys::TakeArguments(2, argv);
  std::raise(signal);
  ui::DoEvents();
  // Only reached when the request was taken and the program went on.
  std::_Exit(3);
}

TEST(Process, TermOrIntBeforeTheFirstFormEndsTheSettingsProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RaiseBeforeTheFirstForm(SIGTERM), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(RaiseBeforeTheFirstForm(SIGINT), testing::ExitedWithCode(0), "");
}

}  // namespace
