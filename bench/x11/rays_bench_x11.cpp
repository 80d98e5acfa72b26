// rays_bench_x11 SECONDS [--paced]: the settings window as "tessellane /c"
// shows it, measured from inside: the rays its animation draws per second
// after one second of warming up, the pixel steps of those rays, and the
// processor time meanwhile in per cent of one core. Unpaced (the default) the
// animation runs as fast as it can; --paced runs it as the program does.
// Prints "steps_per_second N", "rays_per_second N" and "cpu_percent P" and exits.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Tessellane_B.h"
#include "settings_dialog/Tessellane_P.h"
#include "tools/process_cpu.h"
#include "ui/backend.h"
#include "ui/form.h"

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 0;
  if (seconds <= 1) {
    std::fprintf(stderr, "usage: rays_bench_x11 SECONDS (more than 1) [--paced]\n");
    return 2;
  }
  ui::sys::TakeArguments(1, argv);

  app::Tessellane_B module;
  module.LoadSettings();
  settings_dialog::Tessellane_P dialog(module);
  dialog.RaysPaced = argc > 2 && std::string(argv[2]) == "--paced";

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const auto now = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  double warm_at = 0;
  std::uint64_t warm_rays = 0;
  std::uint64_t warm_steps = 0;
  double warm_cpu_ms = 0;
  ui::Timer probe(250);
  probe.OnTick = [&] {
    const double t = now();
    if (warm_at == 0 && t >= 1) {
      warm_at = t;
      warm_rays = dialog.RaysDrawn;
      warm_steps = dialog.StepsDrawn;
      warm_cpu_ms = ProcessCpuMs();
    }
    if (t >= seconds) {
      std::printf("steps_per_second %.1f\nrays_per_second %.1f\nrays %llu\ncpu_percent %.1f\n",
                  (dialog.StepsDrawn - warm_steps) / (t - warm_at), (dialog.RaysDrawn - warm_rays) / (t - warm_at),
                  static_cast<unsigned long long>(dialog.RaysDrawn),
                  (ProcessCpuMs() - warm_cpu_ms) / 10 / (t - warm_at));
      std::fflush(stdout);
      std::_Exit(0);
    }
  };
  probe.SetEnabled(true);
  dialog.Form_Load();
  return 0;
}
