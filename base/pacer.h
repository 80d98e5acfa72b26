// Work spread over time at a steady rate, a frame at a time: each frame takes
// the steps that fell due since the previous one. Time the loop could not
// keep up with (a busy spell, a hold, a suspended machine) is forgiven beyond
// one frame's worth, so a loop never catches up in a burst.
#pragma once
#include <algorithm>
#include <cmath>

namespace base {

class Pacer {
 public:
  // About the rate a screen shows its pictures at.
  static constexpr double kFrameMs = 1000.0 / 60;

  explicit Pacer(double steps_per_second = 0) { SetRate(steps_per_second); }

  void SetRate(double steps_per_second) { steps_per_ms_ = std::max(steps_per_second, 0.0) / 1000; }

  // A new schedule from `now_ms`: its first frame is due at once, and
  // nothing from before is owed.
  void Restart(double now_ms) {
    frame_start_ = now_ms - kFrameMs;
    owed_ = 0;
  }

  // The whole steps due at `now_ms`: those of the time since the previous
  // frame, but at most this frame's and one frame behind. A fraction left
  // over is owed to the next frame.
  long StepsDue(double now_ms) {
    const double elapsed = std::clamp(now_ms - frame_start_, 0.0, 2 * kFrameMs);
    frame_start_ = now_ms;
    owed_ += elapsed * steps_per_ms_;
    const double whole = std::floor(owed_);
    owed_ -= whole;
    return static_cast<long>(whole);
  }

  // When the frame after the one just taken begins.
  double NextFrameAt() const { return frame_start_ + kFrameMs; }

 private:
  double steps_per_ms_ = 0;
  double frame_start_ = 0;
  double owed_ = 0;
};

}  // namespace base
