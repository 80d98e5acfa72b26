#include "ui/win32/modules_win.h"

#include "ui/win32/backend_win.h"

namespace ui::win32 {

HMODULE LoadedModule(const wchar_t* dll) {
  // Each LoadLibrary adds a reference that is never given back: a module
  // asked for at every password check or tool-tip would be loaded again each
  // time.
  auto [it, fresh] = Backend().modules.try_emplace(dll, nullptr);
  if (fresh) it->second = LoadLibraryW(dll);
  return it->second;
}

}  // namespace ui::win32
