// The program's entry on Windows: Main of the start-up module, with the
// runtime's handling of an error that escapes it.
#include <windows.h>

#include <exception>

#include "app/Tessellane_B.h"
#include "ui/fatal.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    app::Tessellane_B module;
    return app::RunProgram(module);
  } catch (...) {
    ui::EndWithError(std::current_exception());
  }
}
