// File music: an MP3 through the MCI MPEGVideo device under the alias
// MP3Play, restarted by a once-a-second poll after it ends; a WAV through
// PlaySound, which loops it by itself. Every failure is silent.
#include "app/Tessellane_B.h"
#include "app/text.h"
#include "music/Tessellane_BGM.h"
#include "ui/backend.h"

namespace music {

void Tessellane_BGM::PlayMp3() {
  // Quoted so that a path with blanks stays one word; the device type is
  // named because the extension need not say it.
  const std::string open = "open \"" + module_.BgmFile + "\" type MPEGVideo Alias MP3Play";
  if (ui::sys::MciSendString(open, nullptr, 0) == 0) ui::sys::MciSendString("play MP3Play", nullptr, 0);
}

bool Tessellane_BGM::IsMp3Playing() {
  ui::sys::MciSendString("status MP3Play mode", &Mp3ModeBuffer, kMp3ModeLength);
  return app::text::Mid(Mp3ModeBuffer, 1, 7) == "playing";
}

void Tessellane_BGM::RepeatMp3() {
  if (IsMp3Playing()) return;
  ui::sys::MciSendString("stop MP3Play", nullptr, 0);
  ui::sys::MciSendString("play MP3Play from 0", nullptr, 0);
}

void Tessellane_BGM::CloseMp3() {
  ui::sys::MciSendString("stop MP3Play", nullptr, 0);
  ui::sys::MciSendString("close MP3Play", nullptr, 0);
}

void Tessellane_BGM::PlayWav() {
  if (ui::sys::WaveOutputDevices() <= 0) return;
  // The name is not marked as a file name: the system looks for a sound
  // alias of that name first and then for the file.
  module_.ApiResult = ui::sys::PlaySoundLooped(module_.BgmFile);
}

void Tessellane_BGM::StopWav() { module_.ApiResult = ui::sys::StopSound(); }

}  // namespace music
