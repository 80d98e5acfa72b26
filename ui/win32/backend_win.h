// Everything the Win32 backend remembers between calls, in one object: the
// timers and the event loop's state, the live windows, and the system objects
// it makes once and keeps for the process.
#pragma once
#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "ui/common/look_throttle.h"
#include "ui/win32/gdi_win.h"

namespace ui {
class Timer;
class Windowless;
}  // namespace ui

namespace ui::win32 {

class Win32PictureBoxPeer;

struct Win32Backend {
  // Events: the running timers by their system id, how many DoEvents calls
  // are dispatching right now, and when the message queue was last looked at.
  std::map<UINT_PTR, Timer*> timers;
  int dispatch_depth = 0;
  LARGE_INTEGER counter_frequency{};
  LookThrottle look;

  // Windows: the forms whose window exists, and every picture box.
  int live_forms = 0;
  std::vector<Win32PictureBoxPeer*> pictures;
  // Window classes this program registered.
  std::vector<std::wstring> window_classes;

  // Each canvas's tool-tip window, and the windowless control it shows the
  // tip of; a canvas's entries go when its window is destroyed.
  std::map<HWND, HWND> tips;
  std::map<HWND, const Windowless*> tip_current;

  // The screen-wide mouse pointer the program set (0 default, 11 hourglass).
  int mouse_pointer = 0;

  // Made once and kept: cursors by their image and hot spot, fonts by their
  // description, loaded libraries by name, the scratch bitmap text is drawn in.
  std::map<std::tuple<std::vector<unsigned char>, int, int>, HCURSOR> cursors;
  std::map<std::tuple<std::string, double, int, bool, bool, bool, int>, HFONT> fonts;
  std::map<std::wstring, HMODULE> modules;
  TextScratch text_scratch;

  // GDI objects made and not yet deleted; read by the resource report's
  // thread, which starts with the first object made.
  std::atomic<long> live_gdi_objects{0};
  bool resource_report_started = false;
};

// The one backend of the process, made on first use and never destroyed:
// windows, timers and the resource report may still reach it while the
// process ends.
Win32Backend& Backend();

}  // namespace ui::win32
