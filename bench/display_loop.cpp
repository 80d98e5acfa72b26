// display_bench SECONDS [MUSIC_FILE]: the real display loop on the program's
// own backend (Win32, or X on Linux), in its own full-screen window with no
// pause between cycles, for SECONDS; then prints
// "circles_per_second N radius R circles C". With a music file the display
// plays it as file music, to measure what the music polls cost.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/Tessellane_B.h"
#include "display/Tessellane_S.h"

int main(int argc, char** argv) {
  if (argc < 2 || std::atof(argv[1]) <= 0) {
    std::fprintf(stderr, "usage: display_bench SECONDS [MUSIC_FILE]\n");
    return 2;
  }
  app::Tessellane_B module;
  module.StopTime = 40;  // overflows the 16-bit pause: no pause at all
  module.RandomBackground = 0;
  module.BackgroundColor = 0;
  if (argc > 2) {
    module.BgmKind = 2;
    module.BgmFile = argv[2];
  }
  display::Tessellane_S display(module);
  ui::Timer stop(static_cast<int>(std::atof(argv[1]) * 1000));
  stop.OnTick = [&] { display.StopLoop = true; };
  stop.SetEnabled(true);

  const auto start = std::chrono::steady_clock::now();
  display.Form_Load();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("circles_per_second %.0f radius %d circles %llu\n", static_cast<double>(display.CirclesDrawn) / seconds,
              display.Radius, static_cast<unsigned long long>(display.CirclesDrawn));
  return 0;
}
