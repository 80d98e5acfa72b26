// Processing of pending window events.
#pragma once

namespace ui {

// Handles every pending window event (input, paint, timer ticks) and returns.
// Event handlers run nested inside this call; timers tick only here.
void DoEvents();

}  // namespace ui

namespace ui {

// Waits for and handles window events until no form is loaded any more.
void RunEventLoop();

}  // namespace ui
