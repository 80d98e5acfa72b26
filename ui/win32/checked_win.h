// System objects the program cannot go on without: a window, a device
// context, a bitmap, a font, a pen. When the system refuses one, the program
// ends with the runtime's message (ui/fatal.h) instead of drawing into a
// null handle.
#pragma once
#include <exception>

#include "ui/fatal.h"

namespace ui::win32 {

template <class Handle>
Handle Required(Handle made, const char* what) {
  if (!made) EndWithError(std::make_exception_ptr(ResourceError(what)));
  return made;
}

}  // namespace ui::win32
