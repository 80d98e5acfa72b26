// The clock that paces the animations.
#pragma once

namespace ui {

// Milliseconds from an arbitrary start on a clock that only moves forward:
// unlike the time of day, it does not jump when the user or the network sets
// the clock. Waiting for events (ProcessEventsUntil) measures on it too.
double MonotonicMs();

}  // namespace ui
