// System DLLs loaded on demand, each once for the life of the process.
#pragma once
#include <windows.h>

namespace ui::win32 {

// The module of `dll`, loaded on first use and kept; null where the system
// lacks it (asked only once).
HMODULE LoadedModule(const wchar_t* dll);

}  // namespace ui::win32
