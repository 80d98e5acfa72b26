// Errors that stop the program from anywhere: the runtime's texts, and the
// end with the message and exit code 1 for errors that are not the
// program's own (an exhausted memory, a failed standard call).
#include <new>
#include <stdexcept>

#include "app/Tessellane_B.h"
#include "base/runtime_error.h"
#include "tests/test_support.h"
#include "ui/fatal.h"

namespace {

using testing_support::HeadlessTest;

class FatalErrorTest : public HeadlessTest {
 protected:
  ~FatalErrorTest() override { ui::SetFatalErrorReporter(nullptr); }
  // Runs the display with a handler that throws `error` at the third pass.
  template <class Error>
  int RunDisplayThrowing(Error error) {
    headless::config().command_line = "/s";
    int passes = 0;
    headless::SetIdleHook([&passes, error] {
      if (++passes == 3) throw error;
    });
    return testing_support::ExitCodeOf([this] { app::RunProgram(module_); });
  }
  static std::vector<std::string> Reports() { return headless::CallsStartingWith("ReportFatalError"); }
  app::Tessellane_B module_;
};

TEST_F(FatalErrorTest, TextsFollowTheRuntimesNumbers) {
  const auto text = [](auto error) { return app::FatalErrorText(std::make_exception_ptr(error)); };
  EXPECT_EQ(text(base::OverflowError()), "実行時エラー '6':\n\nオーバーフローしました。");
  EXPECT_EQ(text(std::bad_alloc()), "実行時エラー '7':\n\nメモリが不足しています。");
  EXPECT_EQ(text(std::out_of_range("vector")), "実行時エラー '51':\n\n内部エラーです。");
  EXPECT_EQ(text(42), "実行時エラー '51':\n\n内部エラーです。");
}

TEST_F(FatalErrorTest, OutOfMemoryInAHandlerEndsWithTheMessageAndExitCode1) {
  EXPECT_EQ(RunDisplayThrowing(std::bad_alloc()), 1);
  EXPECT_EQ(Reports(), std::vector<std::string>{"ReportFatalError(実行時エラー '7':\n\nメモリが不足しています。)"});
}

TEST_F(FatalErrorTest, AStandardErrorInAHandlerEndsAsAnInternalError) {
  EXPECT_EQ(RunDisplayThrowing(std::length_error("basic_string")), 1);
  EXPECT_EQ(Reports(), std::vector<std::string>{"ReportFatalError(実行時エラー '51':\n\n内部エラーです。)"});
}

TEST_F(FatalErrorTest, TheProgramsOwnErrorInAHandlerKeepsItsNumber) {
  EXPECT_EQ(RunDisplayThrowing(base::TypeMismatchError()), 1);
  EXPECT_EQ(Reports(), std::vector<std::string>{"ReportFatalError(実行時エラー '13':\n\n型が一致しません。)"});
}

TEST_F(FatalErrorTest, AProcedureBoundaryReportsThroughTheProgramAndEndsWith1) {
  // What a window procedure does with an error it caught: after RunProgram
  // has set the program's reporter.
  headless::config().command_line = "/x";
  EXPECT_THROW(app::RunProgram(module_), headless::ProcessExit);
  headless::ClearCalls();
  try {
    ui::EndWithError(std::make_exception_ptr(std::bad_alloc()));
    FAIL() << "EndWithError returned";
  } catch (const headless::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 1);
  }
  EXPECT_EQ(Reports(), std::vector<std::string>{"ReportFatalError(実行時エラー '7':\n\nメモリが不足しています。)"});
}

TEST_F(FatalErrorTest, AReporterThatFailsStillEndsTheProcess) {
  ui::SetFatalErrorReporter([](std::exception_ptr) { throw std::bad_alloc(); });
  try {
    ui::EndWithError(std::make_exception_ptr(std::runtime_error("x")));
    FAIL() << "EndWithError returned";
  } catch (const headless::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 1);
  }
}

TEST_F(FatalErrorTest, WithoutAReporterTheErrorsOwnTextIsShown) {
  // As in a process that has not set one yet (another test may have).
  ui::SetFatalErrorReporter(nullptr);
  try {
    ui::EndWithError(std::make_exception_ptr(std::runtime_error("disk gone")));
  } catch (const headless::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 1);
  }
  EXPECT_EQ(Reports(), std::vector<std::string>{"ReportFatalError(disk gone)"});
}

}  // namespace
