// How the Linux programs take the devices of the sound module they loaded.
#pragma once
#include <memory>

#include "ui/common/mci_interpreter.h"
#include "ui/gst/sound_module.h"

namespace ui::posix {

// The devices the module loaded at `handle` gives a program of that
// version; null, with the reason on the standard error, when it has no
// entry or is of another version.
const TessSoundModule* ModuleOf(void* handle, const char* program_version);

// The module's table when it is of that version; null, saying why, when it
// is of another (a module of the program's version refuses it itself).
const TessSoundModule* AcceptedModule(const TessSoundModule* module, const char* program_version);

// The devices the interpreter runs over, each call through the table.
std::unique_ptr<mci::Devices> DevicesOf(const TessSoundModule& module);

}  // namespace ui::posix
