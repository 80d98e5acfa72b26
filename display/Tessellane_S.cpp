// The display: rings of one radius and colour per cycle, moving 14 pixels per
// ring along a diagonal that bounces off the edges, until the path is back at
// the top-left corner; then a pause, new colours, and the next cycle.
#include "display/Tessellane_S.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "app/Tessellane_B.h"
#include "base/numeric.h"
#include "base/runtime_error.h"
#include "ui/backend.h"
#include "ui/random.h"

namespace display {
namespace {

using base::ResumeNext;

// A cycle takes a second to draw whatever the size of the picture: a
// preview pane's few hundred rings grow as visibly as the many thousands of
// a large screen.
constexpr double kCycleDrawMs = 1000;
// New colours at most twice a second, whatever the stop time or a host's
// resizing: never a strobe.
constexpr double kShortestCycleMs = 500;

int RandomComponent() { return static_cast<int>(base::num::RoundHalfEven(ui::Rnd() * 255)); }

}  // namespace

// Both coordinates repeat every 2 (k + 1) circles, k the number of steps of
// 14 that fit the side; both are back at the corner together after the
// least common multiple of the two periods.
std::int64_t CycleLength(int width, int height) {
  const std::int64_t k = std::max(width, 0) / 14 + 1, m = std::max(height, 0) / 14 + 1;
  return std::lcm(2 * (k + 1), 2 * (m + 1)) - 1;
}

ui::Colour RandomColour() {
  const int r = RandomComponent();
  const int g = RandomComponent();
  const int b = RandomComponent();
  return ui::Rgb(r, g, b);
}

std::uint8_t RandomRadius() { return static_cast<std::uint8_t>(ui::Rnd() * 93 + 8); }

Tessellane_S::Tessellane_S(app::Tessellane_B& module) : Display(Form), BGM(module), module_(module) {
  Form.SetCaption(app::kDisplayTitle);
  Form.KeyPreview = true;
  Form.OnKeyDown = [this](ui::Key key, int shift) { Form_KeyDown(key, shift); };
  Form.OnUnload = [this] { Form_Unload(); };
  Form.OnResize = [this] { Form_Resize(); };
  Display.OnClick = [this] { Display_Click(); };
  Display.OnMouseDown = [this](int b, int s, float x, float y) { Display_MouseDown(b, s, x, y); };
  Display.OnMouseMove = [this](int b, int s, float x, float y) { Display_MouseMove(b, s, x, y); };
  Timer1.OnTick = [this] { Timer1_Timer(); };
  Timer2.OnTick = [this] { Timer2_Timer(); };
}

void Tessellane_S::Form_Load() {
  // Rings are one real pixel wide on a high-DPI screen.
  ui::sys::DeclareDpiAware();
  if (Form.Hosted()) {
    // The host decides when the saver ends.
    Form.OnKeyDown = nullptr;
    Display.OnClick = nullptr;
    Display.OnMouseDown = nullptr;
    Display.OnMouseMove = nullptr;
  }
  FitToArea();
  PosX = 0;
  PosY = 0;
  StepX = 14;
  StepY = 14;
  // Drawn before anything seeds the generator: the same first radius on every start.
  Radius = RandomRadius();
  if (module_.RandomBackground != 0) {
    ui::Randomize();
    Display.SetBackColor(RandomColour());
  } else {
    Display.SetBackColor(module_.BackgroundColor);
  }
  // The music starts here (CD audio with BgmKind 1, a file with BgmKind 2).
  if (module_.BgmKind == 1) {
    BGM.OpenCdAudio();
    Timer2.SetEnabled(true);
  }
  if (module_.BgmKind == 2) {
    const std::string type = music::FileType(module_.BgmFile);
    if (type == "WAV") BGM.PlayWav();
    if (type == "MP3") {
      BGM.PlayMp3();
      // Also when the file did not open: the poll keeps trying, silently.
      Timer1.SetEnabled(true);
    }
  }
  Form.Show();
  Display.SetFocus();
  // Only a window of its own: a host keeps its window where it wants it.
  if (!Form.Hosted()) ui::sys::MakeTopmost(Form.Handle());
  NewColors();
  Display.Cls();
  BeginCycle();
  while (!StopLoop) {
    if (RestartPending) RestartAfterResize();
    DrawDueCircles();
    AwaitNextFrame();
  }
}

// The circles of this frame, each followed by the events that came meanwhile.
void Tessellane_S::DrawDueCircles() {
  for (long due = Paced ? pace_.StepsDue(ui::MonotonicMs()) : 1; due > 0 && !StopLoop && !RestartPending; --due) {
    DrawOneCircle();
    const bool finished = PosX < 0 && PosY < 0;
    if (finished) EndCycle();
    ui::DoEvents();
    // The next cycle keeps its own schedule, from the end of the hold.
    if (finished) break;
  }
}

// Input and the music polls are answered while the loop waits.
void Tessellane_S::AwaitNextFrame() {
  if (!Paced || StopLoop || RestartPending) return;
  ui::ProcessEventsUntil(pace_.NextFrameAt(), [this] { return StopLoop || RestartPending; });
}

void Tessellane_S::BeginCycle() {
  RestartPending = false;
  CycleStartedAt = ui::MonotonicMs();
  pace_.Restart(CycleStartedAt);
}

double Tessellane_S::ShortestCycleLeft() const {
  return Paced ? kShortestCycleMs - (ui::MonotonicMs() - CycleStartedAt) : 0;
}

// Every monitor is covered, and the rings bounce off the edges of them all;
// a hosted display fills the host's window, which its form knows the size of.
void Tessellane_S::FitToArea() {
  if (Form.Hosted()) {
    const ui::Point host = Form.HostSize();
    Display.Move(0, 0, host.x, host.y);
  } else {
    const ui::Rect area = ui::screen::DesktopTwips();
    const int width = area.right - area.left, height = area.bottom - area.top;
    Form.SetHeight(height);
    Form.SetWidth(width);
    Display.SetHeight(height / ui::screen::TwipsPerPixelY());
    Display.SetWidth(width / ui::screen::TwipsPerPixelX());
    Form.Move(area.left, area.top);
    Display.Move(0, 0, Display.ScaleWidth(), Display.ScaleHeight());
  }
  pace_.SetRate(static_cast<double>(CycleLength(Display.ScaleWidth(), Display.ScaleHeight())) * 1000 / kCycleDrawMs);
}

void Tessellane_S::Form_Resize() {
  FitToArea();
  RestartPending = true;
}

// A host resizing its window many times in a row gets a new cycle only as
// often as a finished net would.
void Tessellane_S::RestartAfterResize() {
  const double left = ShortestCycleLeft();
  if (left > 0) Pause(static_cast<std::uint32_t>(std::ceil(left)));
  if (StopLoop) return;
  NewColors();
  Radius = RandomRadius();
  ResetPattern();
  BeginCycle();
}

void Tessellane_S::DrawOneCircle() {
  // A 16-bit overflow (a screen wider than 32767 pixels) leaves the ring where it was.
  ResumeNext([&] { PosX = base::num::Add16(PosX, StepX); });
  ResumeNext([&] { PosY = base::num::Add16(PosY, StepY); });
  if (InvertMode) Display.FillColor = ui::kWhite - Display.FillColor;
  Display.Circle(PosX, PosY, Radius, Display.FillColor);
  ++CirclesDrawn;
  RadiiDrawn += Radius;
  if (PosX > Display.ScaleWidth() || PosX < 0) StepX = -StepX;
  if (PosY > Display.ScaleHeight() || PosY < 0) StepY = -StepY;
}

// The path is back at the top-left corner (both coordinates are -14).
void Tessellane_S::EndCycle() {
  // Formed in 16 bits: 33 seconds or more overflow and skip the pause. A
  // negative stop time (only from a hand-edited file) gives no pause.
  std::int16_t stop_ms = -1;
  ResumeNext([&] { stop_ms = base::num::Mul16(module_.StopTime, 1000); });
  // Without a pause of its own the net still stays until the cycle has had
  // its shortest time.
  const double left = ShortestCycleLeft();
  if (stop_ms >= 0 || left > 0) Hold(static_cast<std::uint32_t>(std::max<double>(stop_ms, std::ceil(left))));
  // Unloaded during the hold: the cycle does not resume. A host resized
  // meanwhile gets its new net at once, from the drawing loop.
  if (StopLoop || RestartPending) return;
  NewColors();
  Display.Cls();
  Radius = RandomRadius();
  InvertMode = !InvertMode;
  ResetPattern();
  BeginCycle();
}

// The picture is held as it is, while input and the music polls go on.
void Tessellane_S::Pause(std::uint32_t milliseconds) {
  ui::ProcessEventsFor(milliseconds, [this] { return StopLoop; });
}

// A finished net is held as a pause is, until a resize of the host's window
// makes it pointless.
void Tessellane_S::Hold(std::uint32_t milliseconds) {
  ui::ProcessEventsFor(milliseconds, [this] { return StopLoop || RestartPending; });
}

void Tessellane_S::NewColors() {
  ui::Randomize();
  Display.FillColor = RandomColour();
  // Only exactly 1 changes the background per cycle; load tested for any non-zero value.
  if (module_.RandomBackground == 1) Display.SetBackColor(RandomColour());
  // Rings in the background colour would not be seen (a reseed within the
  // clock tick of load's repeats load's draws): draw again until they differ.
  while (Display.FillColor == Display.BackColor()) Display.FillColor = RandomColour();
}

void Tessellane_S::ResetPattern() {
  PosX = 0;
  PosY = 0;
  StepX = static_cast<std::int16_t>(StepX < 0 ? -StepX : StepX);
  StepY = static_cast<std::int16_t>(StepY < 0 ? -StepY : StepY);
  Display.Cls();
}

void Tessellane_S::Form_Unload() {
  StopLoop = true;
  RestoreSystem();
}

void Tessellane_S::Timer1_Timer() { BGM.RepeatMp3(); }

// The first run that finds the drive not answering stops the poll for good.
void Tessellane_S::Timer2_Timer() {
  BGM.PollCdAudio();
  Timer2.SetEnabled(BGM.CdAudioOk != 0);
}

}  // namespace display
