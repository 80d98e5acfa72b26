// The display program ends in the handler of SIGTERM or SIGINT, from the
// moment its arguments are taken: a host ending its hack during the start
// waits for nothing.
#include <gtest/gtest.h>

#include <signal.h>

#include <csignal>

#include "ui/backend.h"

namespace {

void StartAndRaise(int signal) {
  char program[] = "tessellane", root[] = "-root";
  char* argv[] = {program, root, nullptr};
  ui::sys::TakeArguments(2, argv);
  std::raise(signal);
  // Only reached when the signal did not end the process.
  std::_Exit(3);
}

// A host may start the hack with both signals blocked (a blocked signal
// stays blocked across exec); it still ends when asked.
void StartBlockedAndRaise(int signal) {
  sigset_t ends;
  sigemptyset(&ends);
  sigaddset(&ends, SIGTERM);
  sigaddset(&ends, SIGINT);
  sigprocmask(SIG_BLOCK, &ends, nullptr);
  StartAndRaise(signal);
}

TEST(EndSignal, TermAndIntEndTheDisplayAtOnceWithCodeZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(StartAndRaise(SIGTERM), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(StartAndRaise(SIGINT), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(StartBlockedAndRaise(SIGTERM), testing::ExitedWithCode(0), "") << "started with the signals blocked";
  EXPECT_EXIT(StartBlockedAndRaise(SIGINT), testing::ExitedWithCode(0), "") << "started with the signals blocked";
}

}  // namespace
