// The monotonic clock on POSIX systems: the standard steady clock, which the
// event pumps' own time points use as well.
#include <chrono>

#include "ui/backend.h"

namespace ui {

double MonotonicMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace ui
