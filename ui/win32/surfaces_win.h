// The persistent drawing surfaces of the Win32 backend.
#pragma once

namespace ui::win32 {

// Paints every surface's pending changes onto its window now.
void FlushSurfaces();
// Flushes the surfaces whose last flush is a display frame ago or more.
void FlushSurfacesIfDue();

}  // namespace ui::win32
