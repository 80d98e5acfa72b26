// rays_bench.exe SECONDS [--paced]: the settings window as configure mode
// shows it, measured from inside. Counts the rays its animation draws per
// second (after one second of warming up) and the processor time meanwhile,
// and, four times a second, posts a left click on a music-kind label to the
// panel's window and takes the time until the label's click handler runs.
// Unpaced (the default) the animation runs as fast as it can; --paced runs it
// as the program does. Prints the figures and exits.
#include <windows.h>

#include "bench/win/bench_clock_win.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Tessellane_B.h"
#include "settings_dialog/Tessellane_P.h"
#include "tools/process_cpu.h"
#include "ui/backend.h"
#include "ui/form.h"

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 0;
  if (seconds <= 1) {
    std::fprintf(stderr, "usage: rays_bench SECONDS (more than 1) [--paced]\n");
    return 2;
  }
  app::Tessellane_B module;
  module.LoadSettings();
  settings_dialog::Tessellane_P dialog(module);
  dialog.RaysPaced = argc > 2 && std::string(argv[2]) == "--paced";

  std::vector<double> latencies;
  double posted_at = 0;
  int kind = 0;
  for (int i = 0; i < 3; ++i) {
    auto original = dialog.lbl_BGM(i).OnClick;
    dialog.lbl_BGM(i).OnClick = [&, original] {
      if (posted_at > 0) latencies.push_back(BenchNow() - posted_at);
      posted_at = 0;
      original();
    };
  }

  const double start = BenchNow();
  double warm_at = 0;
  std::uint64_t warm_rays = 0;
  double warm_cpu_ms = 0;
  ui::Timer probe(250);
  probe.OnTick = [&] {
    const double now = BenchNow();
    if (warm_at == 0 && now - start >= 1) {
      warm_at = now;
      warm_rays = dialog.RaysDrawn;
      warm_cpu_ms = ProcessCpuMs();
    }
    if (now - start >= seconds) {
      const double rate = (dialog.RaysDrawn - warm_rays) / (now - warm_at);
      std::sort(latencies.begin(), latencies.end());
      const auto at = [&](double q) {
        return latencies.empty() ? 0.0 : latencies[std::min(latencies.size() - 1, std::size_t(q * latencies.size()))];
      };
      std::printf(
          "rays_per_second %.1f\nrays %llu\nclicks %zu\nclick_latency_ms_median %.3f\n"
          "click_latency_ms_p95 %.3f\nclick_latency_ms_max %.3f\ncpu_percent %.1f\n",
          rate, static_cast<unsigned long long>(dialog.RaysDrawn), latencies.size(), at(0.5) * 1000, at(0.95) * 1000,
          latencies.empty() ? 0.0 : latencies.back() * 1000, (ProcessCpuMs() - warm_cpu_ms) / 10 / (now - warm_at));
      std::fflush(stdout);
      ExitProcess(0);
    }
    // A click on the next music-kind label, at its centre in the panel's client area.
    ui::Label& target = dialog.lbl_BGM(kind);
    kind = (kind + 1) % 3;
    HWND panel = reinterpret_cast<HWND>(dialog.Pic_1.Handle());
    const LPARAM where = MAKELPARAM(target.Left() + target.Width() / 2, target.Top() + target.Height() / 2);
    posted_at = BenchNow();
    PostMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(panel, WM_LBUTTONUP, 0, where);
  };
  probe.SetEnabled(true);
  dialog.Form_Load();
  return 0;
}
