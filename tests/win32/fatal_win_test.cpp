// An exception escaping a handler is caught at the window or timer
// procedure the system called and ends the process with exit code 1 after
// the report, never unwinding through the system's frames.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <new>

#include "ui/backend.h"
#include "ui/fatal.h"
#include "ui/form.h"

namespace {

void ReportToStderr(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    std::fputs("reported: bad_alloc\n", stderr);
  } catch (...) {
    std::fputs("reported: other\n", stderr);
  }
  std::fflush(stderr);
}

TEST(FatalWinDeathTest, OutOfMemoryInATimerHandlerEndsTheProcessWithCode1) {
  EXPECT_EXIT(
      {
        ui::SetFatalErrorReporter(ReportToStderr);
        ui::Timer timer;
        timer.OnTick = [] { throw std::bad_alloc(); };
        timer.SetInterval(1);
        timer.SetEnabled(true);
        for (int i = 0; i < 2000; ++i) {
          ui::DoEvents();
          Sleep(1);
        }
        std::fputs("timer never ticked\n", stderr);
        std::exit(5);
      },
      testing::ExitedWithCode(1), "reported: bad_alloc");
}

TEST(FatalWinDeathTest, AnErrorInAFormsKeyHandlerEndsTheProcessWithCode1) {
  EXPECT_EXIT(
      {
        ui::SetFatalErrorReporter(ReportToStderr);
        ui::Form form;
        form.OnKeyDown = [](ui::Key, int) { throw 7; };
        SendMessageW(reinterpret_cast<HWND>(form.Handle()), WM_KEYDOWN, 'Q', 0);
        std::fputs("the key handler's error was lost\n", stderr);
        std::exit(5);
      },
      testing::ExitedWithCode(1), "reported: other");
}

}  // namespace
