// Test-only host of the Command button (never shipped): four buttons of the
// settings window's sizes on a form, every Click and every change of a
// button's state written as a line to stdout and to a log file, for the
// end-to-end tests. Escape closes it. The same program is built for Windows
// and for Linux, so that the two builds' faces can be compared.
//
//   button_host <log file>              interactive
//   button_host <log file> --disabled   the buttons switched off, as the
//                                       container does through Enabled
//   button_host <log file> --measure N  also measures one face paint and the
//                                       idle cost of the hover timers (N s each)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "controls/Command.h"
#include "tools/process_cpu.h"
#include "ui/backend.h"
#include "ui/form.h"
#include "ui/user_control.h"

namespace {

std::ofstream g_log;

void Log(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  g_log << line << '\n';
  g_log.flush();
}

struct Placed {
  const char* name;
  const char* caption;
  int x, y, width, height;  // the form's pixels
};

// The dialog's two wide buttons (1155 x 495 twips) and two square ones (495 x 495).
const Placed kButtons[] = {
    {"Cmd_CAN", "ｷｬﾝｾﾙ", 20, 20, 77, 33},
    {"Cmd_Set", "設定", 120, 20, 77, 33},
    {"Cmd_Color", "...", 220, 20, 33, 33},
    {"Cmd_BGM", "...", 280, 20, 33, 33},
};

constexpr int kFormLeft = 100, kFormTop = 100, kFormWidth = 340, kFormHeight = 80;

}  // namespace

int main(int argc, char** argv) {
  const std::string log_path = argc > 1 ? argv[1] : "button_host.log";
  const std::string option = argc > 2 ? argv[2] : "";
  const bool measure = option == "--measure", disabled = option == "--disabled";
  const int measure_seconds = argc > 3 ? std::atoi(argv[3]) : 5;
  g_log.open(log_path, std::ios::trunc);
  ui::sys::TakeArguments(1, argv);

  constexpr int tpp = ui::kControlTwipsPerPixel;
  ui::Form form;
  form.SetCaption("Tessellane button host");
  form.SetBackColor(0x00704040);  // RGB(64, 64, 112): a dark blue like the dialog's
  form.Move(kFormLeft * tpp, kFormTop * tpp);
  form.SetWidth(kFormWidth * tpp);
  form.SetHeight(kFormHeight * tpp);
  ui::Font font;
  font.Name = "ＭＳ Ｐゴシック";
  font.Size = 9.75;
  form.AmbientFont = font;

  std::vector<std::unique_ptr<controls::Command>> buttons;
  for (const Placed& p : kButtons) {
    auto b = std::make_unique<controls::Command>(form);
    b->Move(p.x, p.y, p.width, p.height);
    b->SetCaption(p.caption);
    b->SetFont(font);
    const std::string name = p.name;
    b->Click = [name] { Log("Click " + name); };
    buttons.push_back(std::move(b));
  }
  for (auto& b : buttons) b->Initialize();
  if (disabled)
    for (auto& b : buttons) b->SetEnabled(false);

  form.OnKeyDown = [&form](ui::Key key, int) {
    if (key == ui::Key::kEscape) form.Unload();
  };

  // Each button's state as it changes: 1 idle, 2 hover, 3 focused, 4 focused and hovering.
  std::vector<int> last(buttons.size(), -1);
  ui::Timer watch(20);
  watch.OnTick = [&] {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      const int s = buttons[i]->State().ButtonState;
      if (s != last[i]) {
        last[i] = s;
        Log("State " + std::string(kButtons[i].name) + " " + std::to_string(s));
      }
    }
  };
  watch.SetEnabled(true);

  form.Show();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const Placed& p = kButtons[i];
    Log("Button " + std::string(p.name) + " " + std::to_string(kFormLeft + p.x) + " " + std::to_string(kFormTop + p.y) +
        " " + std::to_string(p.width) + " " + std::to_string(p.height));
  }
  Log("Ready");

  std::unique_ptr<ui::Timer> phases;
  if (measure) {
    // One face paint: the gradient, eight stretched copies and the window
    // update, as every transition does it.
    controls::Command& wide = *buttons[0];
    const ui::Picture& normal = wide.PictureOf(controls::Face::Normal);
    for (int i = 0; i < 20; ++i) wide.DrawFace(normal);
    constexpr int kPaints = 500;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kPaints; ++i) wide.DrawFace(normal);
    const double us =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / kPaints;
    char text[64];
    std::snprintf(text, sizeof text, "DrawFace_us %.1f", us);
    Log(text);

    // Idle: the cursor away from the buttons, first with the four hover
    // timers running, then without them.
    // (The test keeps the cursor off the form.)
    watch.SetEnabled(false);
    phases = std::make_unique<ui::Timer>(measure_seconds * 1000);
    int phase = 0;
    double cpu_start = ProcessCpuMs();
    const auto log_phase = [&](const char* what) {
      const double per_second = (ProcessCpuMs() - cpu_start) / measure_seconds;
      std::snprintf(text, sizeof text, "%s %.3f", what, per_second);
      Log(text);
      cpu_start = ProcessCpuMs();
    };
    phases->OnTick = [&] {
      if (phase == 0) {
        log_phase("IdleCpu_ms_per_s_with_timers");
        for (auto& b : buttons) b->TmrMouse().SetEnabled(false);
      } else {
        log_phase("IdleCpu_ms_per_s_without_timers");
        form.Unload();
      }
      ++phase;
    };
    phases->SetEnabled(true);
  }

  ui::RunEventLoop();
  Log("Closed");
  return 0;
}
