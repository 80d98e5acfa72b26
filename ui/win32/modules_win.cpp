#include "ui/win32/modules_win.h"

#include <map>
#include <string>

namespace ui::win32 {

HMODULE LoadedModule(const wchar_t* dll) {
  // Each LoadLibrary adds a reference that is never given back: a module
  // asked for at every password check or tool-tip would be loaded again each
  // time.
  static std::map<std::wstring, HMODULE> modules;
  auto [it, fresh] = modules.try_emplace(dll, nullptr);
  if (fresh) it->second = LoadLibraryW(dll);
  return it->second;
}

}  // namespace ui::win32
