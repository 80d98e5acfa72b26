// The program's entry: the whole program, and the runtime's handling of an
// error of no known kind that escapes it.
#include <exception>

#include "app/Tessellane_B.h"
#include "ui/backend.h"
#include "ui/fatal.h"

int main(int argc, char** argv) {
  ui::sys::TakeArguments(argc, argv);
  try {
    app::Tessellane_B module;
    app::RunProgram(module);
  } catch (...) {
    ui::EndWithError(std::current_exception());
  }
}
