// The persistent drawing surfaces of the Win32 backend.
#pragma once

namespace ui::win32 {

// Paints every surface's pending changes onto its window now.
void FlushSurfaces();

}  // namespace ui::win32
