// How often a loop that yields after every small step (a ring, a pixel of a
// ray) really looks at the event queue: no more than every half millisecond.
// Asking the system costs tens of microseconds; what arrives meanwhile waits
// at most that long.
#pragma once
#include <cstdint>

namespace ui {

class LookThrottle {
 public:
  // Whether a look is due at `now_us` (microseconds on any clock that only
  // moves forward); a look that is due counts as taken.
  bool Due(std::int64_t now_us) {
    if (taken_ && now_us - last_us_ < kIntervalUs) return false;
    taken_ = true;
    last_us_ = now_us;
    return true;
  }

 private:
  static constexpr std::int64_t kIntervalUs = 500;
  std::int64_t last_us_ = 0;
  bool taken_ = false;
};

}  // namespace ui
