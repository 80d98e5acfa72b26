// The settings window in this process: the programs that carry it (the
// Windows saver, the Linux settings program, the tests).
#include "app/Tessellane_B.h"
#include "settings_dialog/Tessellane_P.h"

namespace app {

void Tessellane_B::ShowSettingsDialog() {
  // The dialog's load runs its animation and ends the program from inside.
  settings_dialog::Tessellane_P dialog(*this);
  dialog.Form_Load();
}

}  // namespace app
