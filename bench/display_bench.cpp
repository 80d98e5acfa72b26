// One pass of the display loop on the headless backend: move, draw one ring,
// bounce, process pending events.
#include <benchmark/benchmark.h>

#include "app/Tessellane_B.h"
#include "display/Tessellane_S.h"
#include "ui/headless/headless.h"

static void BM_DisplayLoopPass(benchmark::State& state) {
  headless::Reset();
  app::Tessellane_B module;
  module.StopTime = 40;
  display::Tessellane_S display(module);
  headless::SetIdleHook([&] {
    if (!state.KeepRunning()) display.StopLoop = true;
  });
  display.Form_Load();
  state.counters["radius"] = display.Radius;
  headless::Reset();
}
BENCHMARK(BM_DisplayLoopPass);

BENCHMARK_MAIN();
