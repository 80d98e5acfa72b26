#include "ui/win32/backend_win.h"

namespace ui::win32 {

Win32Backend& Backend() {
  static Win32Backend* const backend = new Win32Backend;
  return *backend;
}

}  // namespace ui::win32
