// A count of the GDI objects (device contexts, bitmaps, fonts, pens, brushes,
// regions) the backend has made and not yet deleted. Wine answers 0 to
// GetGuiResources, so a soak test reads this count instead: with the
// environment variable TESS_RESOURCE_FILE set to a path, the program writes
// the count, its handle count, its private bytes and its peak working set
// there once a second.
#pragma once
#include <windows.h>

namespace ui::win32 {

void CountGdiMade();
void CountGdiDeleted();

template <class Handle>
Handle Counted(Handle made) {
  if (made) CountGdiMade();
  return made;
}

inline BOOL DeleteCounted(HGDIOBJ object) {
  if (!object || !DeleteObject(object)) return FALSE;
  CountGdiDeleted();
  return TRUE;
}

inline BOOL DeleteCountedDc(HDC dc) {
  if (!dc || !DeleteDC(dc)) return FALSE;
  CountGdiDeleted();
  return TRUE;
}

}  // namespace ui::win32
