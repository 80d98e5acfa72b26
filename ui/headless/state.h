// Internal state of the headless backend, shared by its files.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/headless/headless.h"

namespace headless::detail {

struct TimerEntry {
  ui::Timer* timer = nullptr;
  int interval = 0;
  double next_due = 0;
};

struct ForeignWindow {
  std::string title;
  ui::Rect rect;
  std::vector<std::string> posted;
};

struct Process {
  Config config;
  double now_ms = 0;
  std::vector<std::string> calls;
  std::function<void()> idle_hook;
  std::deque<std::function<void()>> input;
  std::map<ui::WindowHandle, ForeignWindow> foreign;
  std::vector<TimerEntry*> timers;
  std::vector<WindowState*> forms;  // the program's own top-level windows
  ui::WindowHandle next_handle = 0x1000;
  int cursor_count = 0;
  int mouse_pointer = 0;
};

Process& P();
void Record(std::string call);
void FireDueTimers();

}  // namespace headless::detail
