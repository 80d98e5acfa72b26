// CD audio: the "cdaudio" device, a 200 ms watchdog that starts the disc,
// restarts it when it stopped and keeps it on the repeat track, and the
// arrow keys' track steps. Positions come from the device and go back to it
// unread (time format tmsf).
#include "app/Tessellane_B.h"
#include "app/text.h"
#include "base/numeric.h"
#include "base/runtime_error.h"
#include "music/Tessellane_BGM.h"
#include "ui/backend.h"

namespace music {
namespace {

bool IsFailure(const std::string& reply) { return app::text::UpperAscii(reply).find("ERR") != std::string::npos; }

}  // namespace

void Tessellane_BGM::OpenCdAudio() {
  // No play here: the first watchdog run finds the disc stopped and starts it.
  module_.ApiResult = ui::sys::MciSendString("open cdaudio", nullptr, 0);
  module_.ApiResult = ui::sys::MciSendString("set cdaudio time format tmsf", nullptr, 0);
}

void Tessellane_BGM::PollCdAudio() {
  CdAudioOk = base::num::kTrue;
  try {
    const std::string current = MciQuery("status cdaudio current track");
    if (IsFailure(current)) {
      CdAudioOk = base::num::kFalse;
      return;
    }
    const std::string count = MciQuery("status cdaudio number of tracks");
    if (IsFailure(count)) {
      CdAudioOk = base::num::kFalse;
      return;
    }
    module_.ApiResult = ui::sys::MciSendString("status cdaudio mode", &CdModeBuffer, kCdModeLength);
    const std::string mode = app::text::Mid(CdModeBuffer, 1, 7);
    if (module_.BgmRepeat != 0) {
      // Both tests run: a current track that is no number stops the watchdog
      // even while the disc is stopped.
      const bool stopped = mode == "stopped";
      const bool elsewhere = base::num::ReadStrict(current) != module_.BgmRepeat;
      if (stopped || elsewhere) {
        const std::string position =
            MciQuery("status cdaudio position track " + base::num::DecimalText(module_.BgmRepeat));
        MciPlay("cdaudio", position, "");
      }
    } else if (mode == "stopped") {
      // Plays on from where the disc stopped.
      MciPlay("cdaudio", "", "");
    }
  } catch (const base::RuntimeError&) {
    CdAudioOk = base::num::kFalse;
  }
}

// No wrap-around: a track outside the disc has no position, the device
// refuses the play command that carries the marker, and playback goes on.
void Tessellane_BGM::PlayNeighbourTrack(int step) {
  std::int16_t track = 0;
  std::string position;
  // Skips a 16-bit overflow of the track number, and of the step from it.
  base::ResumeNext(
      [&] { track = base::num::RoundToInt16(base::num::ReadLenient(MciQuery("status cdaudio current track"))); });
  base::ResumeNext([&] {
    position = MciQuery("status cdaudio position track " + base::num::DecimalText(base::num::Add16(track, step)));
  });
  MciPlay("cdaudio", position, "");
}

void Tessellane_BGM::PlayPreviousTrack() { PlayNeighbourTrack(-1); }

void Tessellane_BGM::PlayNextTrack() { PlayNeighbourTrack(+1); }

void Tessellane_BGM::CloseCdAudio() {
  // Stop first: a drive plays on after its device is closed.
  module_.ApiResult = ui::sys::MciSendString("stop cdaudio", nullptr, 0);
  module_.ApiResult = ui::sys::MciSendString("close cdaudio", nullptr, 0);
}

}  // namespace music
