// The display: rings of one radius and colour per cycle, moving 14 pixels per
// ring along a diagonal that bounces off the edges, until the path is back at
// the top-left corner; then a pause, new colours, and the next cycle.
#include "display/Tessellane_S.h"

#include "app/Tessellane_B.h"
#include "base/numeric.h"
#include "base/runtime_error.h"
#include "ui/events.h"
#include "ui/random.h"
#include "ui/screen.h"
#include "ui/system.h"

namespace display {
namespace {

using base::ResumeNext;

int RandomComponent() { return static_cast<int>(base::num::RoundHalfEven(ui::Rnd() * 255)); }

}  // namespace

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

  while (!StopLoop) {
    DrawOneCircle();
    if (PosX < 0 && PosY < 0) EndCycle();
    ui::DoEvents();
  }
}

// Every monitor is covered, and the rings bounce off the edges of them all;
// a hosted display fills the host's window.
void Tessellane_S::FitToArea() {
  ui::Rect area = ui::screen::DesktopTwips();
  if (Form.Hosted()) {
    ui::Rect host;
    ui::sys::GetWindowRect(Form.HostWindow(), host);
    area = ui::Rect{0, 0, (host.right - host.left) * ui::screen::TwipsPerPixelX(),
                    (host.bottom - host.top) * ui::screen::TwipsPerPixelY()};
  }
  const int width = area.right - area.left, height = area.bottom - area.top;
  Form.SetHeight(height);
  Form.SetWidth(width);
  Display.SetHeight(height / ui::screen::TwipsPerPixelY());
  Display.SetWidth(width / ui::screen::TwipsPerPixelX());
  Form.Move(area.left, area.top);
  Display.Move(0, 0, Display.ScaleWidth(), Display.ScaleHeight());
}

void Tessellane_S::Form_Resize() {
  FitToArea();
  NewColors();
  Radius = RandomRadius();
  ResetPattern();
}

void Tessellane_S::DrawOneCircle() {
  // A 16-bit overflow (a screen wider than 32767 pixels) leaves the ring where it was.
  ResumeNext([&] { PosX = base::num::Add16(PosX, StepX); });
  ResumeNext([&] { PosY = base::num::Add16(PosY, StepY); });
  if (InvertMode) Display.FillColor = ui::kWhite - Display.FillColor;
  Display.Circle(PosX, PosY, Radius, Display.FillColor);
  ++CirclesDrawn;
  if (PosX > Display.ScaleWidth() || PosX < 0) StepX = -StepX;
  if (PosY > Display.ScaleHeight() || PosY < 0) StepY = -StepY;
}

// The path is back at the top-left corner (both coordinates are -14).
void Tessellane_S::EndCycle() {
  // Formed in 16 bits: 33 seconds or more overflow and skip the pause. A
  // negative stop time (only from a hand-edited file) gives no pause.
  ResumeNext([&] {
    const std::int16_t ms = base::num::Mul16(module_.StopTime, 1000);
    if (ms >= 0) Pause(static_cast<std::uint32_t>(ms));
  });
  // Unloaded during the pause: the cycle does not resume.
  if (StopLoop) return;
  NewColors();
  Display.Cls();
  Radius = RandomRadius();
  InvertMode = !InvertMode;
  ResetPattern();
}

// The picture is held as it is, while input and the music polls go on.
void Tessellane_S::Pause(std::uint32_t milliseconds) {
  ui::ProcessEventsFor(milliseconds, [this] { return StopLoop; });
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
