// Form Tessellane_S: the full-screen display window, its ring animation and
// the rules that end the screen saver.
#pragma once
#include <cstdint>

#include "base/pacer.h"
#include "music/Tessellane_BGM.h"
#include "ui/form.h"

namespace app {
struct Tessellane_B;
}

namespace display {

// First mouse position seen after load (or after a refused password).
struct MouseOriginRecord {
  float X = 0;
  float Y = 0;
  bool Set = false;
};

class Tessellane_S {
 public:
  explicit Tessellane_S(app::Tessellane_B& module);

  // Sizes the window to the screen, starts the music, shows the window on top
  // and runs the drawing loop; returns only when StopLoop is set.
  void Form_Load();
  void Form_Unload();
  // A hosted display's window changed its size: the picture follows it at
  // once, and a new cycle at the new size follows as soon as it may.
  void Form_Resize();

  // Input (the rules that end the screen saver).
  void Display_Click();
  void Display_MouseDown(int button, int shift, float x, float y);
  void Display_MouseMove(int button, int shift, float x, float y);
  void Form_KeyDown(ui::Key key, int shift);

  // Music polls.
  void Timer1_Timer();
  void Timer2_Timer();

  // Form and controls.
  ui::Form Form;
  ui::PictureBox Display;
  ui::Timer Timer1{1000};  // repeat poll of the file music
  ui::Timer Timer2{200};   // poll of the CD-audio music
  // The music module: one display per process, so one per process.
  music::Tessellane_BGM BGM;

  // Form-level state.
  std::int16_t PosX = 0;
  std::int16_t PosY = 0;
  std::int16_t StepX = 14;
  std::int16_t StepY = 14;
  std::uint8_t Radius = 0;
  bool InvertMode = false;
  bool StopLoop = false;
  MouseOriginRecord MouseOrigin;
  // The music and the system state have been given back.
  bool Restored = false;
  // When the current cycle began, on the monotonic clock.
  double CycleStartedAt = 0;
  // The window changed its size: a new cycle is due.
  bool RestartPending = false;

  // Off only in the benchmarks, which measure the loop's raw speed: a circle
  // per pass, and a new cycle straight after a net.
  bool Paced = true;
  // Circles drawn since load, and their radii added up: read by the
  // benchmarks, not by the program.
  std::uint64_t CirclesDrawn = 0;
  std::uint64_t RadiiDrawn = 0;

 private:
  // Sizes the form and the drawing surface to the display area.
  void FitToArea();
  void DrawDueCircles();
  void AwaitNextFrame();
  void DrawOneCircle();
  void EndCycle();
  void RestartAfterResize();
  // A new cycle's schedule starts now.
  void BeginCycle();
  // How long the current cycle must still last before the next may begin.
  double ShortestCycleLeft() const;
  void Pause(std::uint32_t milliseconds);
  void Hold(std::uint32_t milliseconds);
  void NewColors();
  void ResetPattern();
  void EndScreenSaver();
  void RestoreSystem();

  app::Tessellane_B& module_;
  base::Pacer pace_;
};

// A random colour: red, green and blue drawn in that order.
ui::Colour RandomColour();
// The first radius of a cycle, 8 to 100 pixels.
std::uint8_t RandomRadius();
// Circles in a cycle on a drawing area of that size: until the path is back
// at the top-left corner. Millions on a large desktop: 64 bits wherever a
// long has 32.
std::int64_t CycleLength(int width, int height);

}  // namespace display
