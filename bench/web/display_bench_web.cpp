// display_bench_web SECONDS [--paced]: the real display loop on the browser's
// backend, in its own window filling the page, for SECONDS. Unpaced (the
// default) it draws a circle per pass with no pause between cycles, as fast
// as the machine allows: the loop's raw speed. Prints "circles_per_second N
// mean_radius R circles C" to the page's console, then ends.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Tessellane_B.h"
#include "display/Tessellane_S.h"
#include "ui/backend.h"
#include "ui/form.h"

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 0;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: display_bench_web SECONDS [--paced]\n");
    return 2;
  }
  const bool paced = argc > 2 && std::string(argv[2]) == "--paced";
  app::Tessellane_B module;
  // Unpaced: 40 s overflows the 16-bit pause, so there is none at all.
  module.StopTime = paced ? 0 : 40;
  module.RandomBackground = 0;
  module.BackgroundColor = 0;
  display::Tessellane_S display(module);
  display.Paced = paced;
  ui::Timer stop(static_cast<int>(seconds * 1000));
  stop.OnTick = [&] { display.StopLoop = true; };
  stop.SetEnabled(true);
  const double start = ui::MonotonicMs();
  display.Form_Load();
  const double elapsed = (ui::MonotonicMs() - start) / 1000;
  std::printf("circles_per_second %.0f mean_radius %.0f circles %llu\n", display.CirclesDrawn / elapsed,
              static_cast<double>(display.RadiiDrawn) / std::max<double>(display.CirclesDrawn, 1),
              static_cast<unsigned long long>(display.CirclesDrawn));
  std::fflush(stdout);
  ui::sys::EndProcess(0);
}
