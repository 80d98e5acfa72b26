// The program's entry on Windows: Main of the start-up module, with the
// runtime's handling of an error that escapes it.
#include <windows.h>

#include "app/Tessellane_B.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  app::Tessellane_B module;
  return app::RunProgram(module);
}
