// How the Linux programs take the devices of the sound module they loaded.
#pragma once
#include "ui/gst/sound_module.h"

namespace ui::posix {

// The devices the module loaded at `handle` gives a program of that
// version; null, with the reason on the standard error, when it has no
// entry or is of another version.
const TessSoundModule* ModuleOf(void* handle, const char* program_version);

}  // namespace ui::posix
