// Processing of pending window events.
#pragma once
#include <cstdint>
#include <functional>

namespace ui {

// Handles every pending window event (input, paint, timer ticks) and returns.
// Event handlers run nested inside this call; timers tick only here.
void DoEvents();

// Handles window events as they arrive for `milliseconds`, waiting for them
// in between without using the processor; returns early once `done` answers
// true after an event. What was drawn stays on screen meanwhile.
void ProcessEventsFor(std::uint32_t milliseconds, const std::function<bool()>& done);

// The same until MonotonicMs() reaches `deadline_ms`: a paced loop waits for
// its next frame here.
void ProcessEventsUntil(double deadline_ms, const std::function<bool()>& done);

}  // namespace ui

namespace ui {

// Waits for and handles window events until no form is loaded any more.
void RunEventLoop();

}  // namespace ui
