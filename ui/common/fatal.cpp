#include "ui/fatal.h"

#include <string>

#include "ui/backend.h"

namespace ui {
namespace {

FatalErrorReporter g_reporter = nullptr;

void ReportPlainly(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    sys::ReportFatalError(e.what());
  } catch (...) {
    sys::ReportFatalError("unknown error");
  }
}

}  // namespace

void SetFatalErrorReporter(FatalErrorReporter reporter) { g_reporter = reporter; }

void EndWithError(std::exception_ptr error) {
  // A reporter that fails in turn (out of memory again) must not keep the
  // process from ending.
  try {
    if (g_reporter) g_reporter(error);
    else ReportPlainly(error);
  } catch (...) {
  }
  sys::EndProcess(1);
}

}  // namespace ui
