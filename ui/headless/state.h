// Internal state of the headless backend, shared by its files.
#pragma once
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/headless/headless.h"

namespace ui {
class UserControl;
}

namespace headless::detail {

struct TimerEntry {
  ui::Timer* timer = nullptr;
  int interval = 0;
  double next_due = 0;
};

struct ForeignWindow {
  std::string title;
  ui::Rect rect;
  int close_requests = 0;
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
  // Parents given through AttachToParent.
  std::map<ui::WindowHandle, ui::WindowHandle> parents;
  // Destroys one of the program's forms the way the system does (its unload runs).
  std::map<const WindowState*, std::function<void()>> destroy_form;
  // Tells one of the program's forms that its host window changed size.
  std::map<const WindowState*, std::function<void()>> resize_form;
  // State of the widget and dialog files and of the multimedia simulation
  // of this backend, made afresh by Reset.
  std::shared_ptr<void> widgets;
  std::shared_ptr<void> multimedia;
  ui::WindowHandle next_handle = 0x1000;
  int cursor_count = 0;
  int mouse_pointer = 0;
  ui::WindowHandle window_under_cursor = 0;    // what WindowFromPoint answers
  ui::UserControl* focused_control = nullptr;  // the user control with the focus
};

Process& TheProcess();
void Record(std::string call);
// Paths are Windows paths inside the program; a POSIX file system wants "/".
std::filesystem::path HostPath(const std::string& path);
void FireDueTimers();

}  // namespace headless::detail
