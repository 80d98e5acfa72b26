// display_bench SECONDS [--paced] [MUSIC_FILE]: the real display loop on the
// program's own backend (Win32, or X on Linux), in its own full-screen window,
// for SECONDS. Without --paced it runs unpaced, a circle per pass and no pause
// between cycles: the loop's raw speed. With --paced it runs as the program
// does, cycle after cycle (stop time 0). Prints "circles_per_second N radius R
// circles C" and "cpu_percent P", the processor time the process used after
// its first second, in per cent of one core, and "mean_radius" of the circles
// drawn (each cycle draws a new one). With a music file the display
// plays it as file music, to measure what the music polls cost.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Tessellane_B.h"
#include "display/Tessellane_S.h"
#include "tools/process_cpu.h"

int main(int argc, char** argv) {
  if (argc < 2 || std::atof(argv[1]) <= 1) {
    std::fprintf(stderr, "usage: display_bench SECONDS (more than 1) [--paced] [MUSIC_FILE]\n");
    return 2;
  }
  int next = 2;
  const bool paced = argc > next && std::string(argv[next]) == "--paced";
  next += paced;
  app::Tessellane_B module;
  // Unpaced: 40 s overflows the 16-bit pause, so there is none at all.
  module.StopTime = paced ? 0 : 40;
  module.RandomBackground = 0;
  module.BackgroundColor = 0;
  if (argc > next) {
    module.BgmKind = 2;
    module.BgmFile = argv[next];
  }
  display::Tessellane_S display(module);
  display.Paced = paced;

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  Clock::time_point warm_at;
  double warm_cpu_ms = 0;
  ui::Timer warm(1000);
  warm.OnTick = [&] {
    warm_at = Clock::now();
    warm_cpu_ms = ProcessCpuMs();
    warm.SetEnabled(false);
  };
  warm.SetEnabled(true);
  ui::Timer stop(static_cast<int>(std::atof(argv[1]) * 1000));
  stop.OnTick = [&] { display.StopLoop = true; };
  stop.SetEnabled(true);

  display.Form_Load();
  const auto end = Clock::now();
  const double seconds = std::chrono::duration<double>(end - start).count();
  const double warm_seconds = std::chrono::duration<double>(end - warm_at).count();
  std::printf(
      "circles_per_second %.0f mean_radius %.0f circles %llu\ncpu_percent %.1f\n",
      static_cast<double>(display.CirclesDrawn) / seconds,
      static_cast<double>(display.RadiiDrawn) / static_cast<double>(std::max<std::uint64_t>(display.CirclesDrawn, 1)),
      static_cast<unsigned long long>(display.CirclesDrawn), (ProcessCpuMs() - warm_cpu_ms) / 10 / warm_seconds);
  return 0;
}
