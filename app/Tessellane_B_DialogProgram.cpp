// The settings window as a program of its own: the Linux display program
// loads no toolkit, and hands "/c" to the settings program in its place.
#include "app/Tessellane_B.h"
#include "ui/backend.h"

namespace app {

void Tessellane_B::ShowSettingsDialog() { ui::sys::StartSettingsProgram(); }

}  // namespace app
