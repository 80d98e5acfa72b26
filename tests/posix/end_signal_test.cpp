// The display program ends in the handler of SIGTERM or SIGINT, from the
// moment its arguments are taken: a host ending its hack during the start
// waits for nothing.
#include <gtest/gtest.h>

#include <signal.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>

#include "ui/backend.h"
#include "ui/posix/process.h"

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

// What is done while the signals are held is done whole; the signal is
// answered when the hold ends.
void RaiseWhileHeld(int signal, const std::string& marker) {
  char program[] = "tessellane", root[] = "-root";
  char* argv[] = {program, root, nullptr};
  ui::sys::TakeArguments(2, argv);
  {
    const ui::posix::EndSignalsHeld held;
    std::raise(signal);
    std::ofstream(marker) << "done";
  }
  std::_Exit(3);
}

TEST(EndSignal, ASignalWhileTheSignalsAreHeldEndsTheDisplayAfterTheHold) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string marker = testing::TempDir() + "held-marker";
  for (const int signal : {SIGTERM, SIGINT}) {
    std::remove(marker.c_str());
    EXPECT_EXIT(RaiseWhileHeld(signal, marker), testing::ExitedWithCode(0), "") << signal;
    EXPECT_TRUE(std::ifstream(marker).good()) << "the work under the hold was cut short by signal " << signal;
  }
}

TEST(EndSignal, TermAndIntEndTheDisplayAtOnceWithCodeZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(StartAndRaise(SIGTERM), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(StartAndRaise(SIGINT), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(StartBlockedAndRaise(SIGTERM), testing::ExitedWithCode(0), "") << "started with the signals blocked";
  EXPECT_EXIT(StartBlockedAndRaise(SIGINT), testing::ExitedWithCode(0), "") << "started with the signals blocked";
}

}  // namespace
