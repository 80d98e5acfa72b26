// The end of the program for an exception that reaches the boundary of a
// window, timer or hook procedure. It must not unwind through the system's
// frames that called the procedure: the procedure hands it here, and the
// program ends the way an error that stops Main ends it.
#pragma once
#include <exception>
#include <stdexcept>

namespace ui {

// A window or drawing object the system would not make (out of handles or
// memory): the program cannot go on without it.
class ResourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A screen or window whose pixels the program cannot draw (a colour-mapped
// 8-bit screen, say): the text names the reason and is shown as it is.
class UnsupportedScreen : public ResourceError {
 public:
  using ResourceError::ResourceError;
};

// Shows the error to the user; set once by the program at its start.
using FatalErrorReporter = void (*)(std::exception_ptr error);
void SetFatalErrorReporter(FatalErrorReporter reporter);

// Reports the error and ends the process with exit code 1.
[[noreturn]] void EndWithError(std::exception_ptr error);

}  // namespace ui
