// Ending the screen saver: the mouse, key and click rules, the password test
// on Windows 9x, and giving the system state back before the process ends.
#include "app/Tessellane_B.h"
#include "display/Tessellane_S.h"
#include "ui/backend.h"

namespace display {

void Tessellane_S::Display_Click() { EndScreenSaver(); }

void Tessellane_S::Display_MouseDown(int, int, float, float) { EndScreenSaver(); }

// The first move only records where the mouse is; a later move ends the
// saver only when it changes both coordinates.
void Tessellane_S::Display_MouseMove(int, int, float x, float y) {
  if (module_.CommandLine.empty()) return;
  if (!MouseOrigin.Set) {
    MouseOrigin.X = x;
    MouseOrigin.Y = y;
    MouseOrigin.Set = true;
    return;
  }
  if (x != MouseOrigin.X && y != MouseOrigin.Y) {
    EndScreenSaver();
    MouseOrigin.Set = false;
  }
}

void Tessellane_S::Form_KeyDown(ui::Key key, int shift) {
  // With CD music the arrow keys step through the tracks instead.
  if (module_.BgmKind == 1 && key == ui::Key::kLeft) {
    BGM.PlayPreviousTrack();
    return;
  }
  if (module_.BgmKind == 1 && key == ui::Key::kRight) {
    BGM.PlayNextTrack();
    return;
  }
  EndScreenSaver();
}

void Tessellane_S::EndScreenSaver() {
  const bool run_mode = module_.ModeLetter() == "S";
  if (run_mode && ui::sys::SaverAsksPassword()) {
    // Windows 9x asks for the saver password here; NT asks by itself.
    ui::sys::ShowCursor(true);
    if (!ui::sys::VerifyPassword(Form.Handle())) {
      ui::sys::ShowCursor(false);
      return;
    }
  }
  RestoreSystem();
  Form.Unload();
  ui::sys::EndProcess(0);
}

// However the display ends (the rules above, or closed by the system or
// another program), the music stops and the system gets its state back, once.
void Tessellane_S::RestoreSystem() {
  if (Restored) return;
  Restored = true;
  // A CD poll that stopped itself leaves the device as it is.
  if (Timer2.Enabled()) {
    Timer2.SetEnabled(false);
    BGM.CloseCdAudio();
  }
  // No poll may open the piece again once it is closed.
  Timer1.SetEnabled(false);
  if (module_.BgmKind == 2) {
    const std::string type = music::FileType(module_.BgmFile);
    if (type == "WAV") BGM.StopWav();
    if (type == "MP3") BGM.CloseMp3();
  }
  if (module_.ModeLetter() == "S") {
    module_.SetSystemKeysEnabled(true);
    ui::sys::ShowCursor(true);
  }
  StopLoop = true;
  ui::sys::ReactivateScreenSaver();
}

}  // namespace display
