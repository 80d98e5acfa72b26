// The settings program's end at a signal: SIGTERM and SIGINT set the
// request and wake whatever waits for events, so that the forms close (a
// save under way is finished); taking the request reads the wake-up, so that
// the next wait sleeps again.
#include <gtest/gtest.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
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

void StartSettingsProgram() {
  char program[] = "tessellane-settings", settings[] = "/c";
  char* argv[] = {program, settings, nullptr};
  ui::sys::TakeArguments(2, argv);
}

void DefaultEndSignals() {
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
}

// A signal that comes while a save reads why its call failed must not
// change the reason: the handler's own write fails here (the pipe is full).
TEST(Process, TheSignalLeavesErrnoAsItWas) {
  StartSettingsProgram();
  char bytes[4096] = {};
  while (write(ui::posix::Process().wake_pipe[1], bytes, sizeof bytes) > 0) {
  }
  for (const int signal : {SIGTERM, SIGINT}) {
    errno = ENOSPC;
    std::raise(signal);
    EXPECT_EQ(errno, ENOSPC) << signal;
  }
  EXPECT_TRUE(ui::posix::TakeEndRequest());
  DefaultEndSignals();
}

// SIGTERM every 20 microseconds at the main thread while requests are taken:
// after each take, a request that is set must still wake a wait.
TEST(Process, NoRequestIsLostWhileAnotherIsTaken) {
  StartSettingsProgram();
  sigevent event{};
  event.sigev_notify = SIGEV_THREAD_ID;
  event.sigev_signo = SIGTERM;
  event._sigev_un._tid = gettid();
  timer_t timer{};
  ASSERT_EQ(timer_create(CLOCK_MONOTONIC, &event, &timer), 0);
  const itimerspec every{{0, 20000}, {0, 20000}};
  timer_settime(timer, 0, &every, nullptr);
  long taken = 0, lost = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (std::chrono::steady_clock::now() < end) {
    taken += ui::posix::TakeEndRequest();
    lost += ui::posix::EndRequested() && !WakeReady();
  }
  timer_delete(timer);
  ui::posix::TakeEndRequest();
  EXPECT_GT(taken, 100);
  EXPECT_EQ(lost, 0) << "requests set with nothing left to wake a wait";
  DefaultEndSignals();
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
