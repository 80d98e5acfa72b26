// Sound on the native Linux build: this build has no sound output yet, and
// answers as a Windows machine without a wave device does: the players do
// not open, the CD drive is not ready, and the music is silently left out.
#include "ui/multimedia.h"

namespace ui::sys {
namespace {

constexpr int kErrInvalidDeviceName = 263;  // nothing of that name is open
constexpr int kErrDeviceNotReady = 276;     // no disc
constexpr int kErrInternal = 277;           // no audio device for the player

}  // namespace

int MciSendString(const std::string& command, std::string* reply, std::size_t) {
  if (reply) reply->clear();
  if (command == "open cdaudio") return kErrDeviceNotReady;
  if (command.rfind("open ", 0) == 0) return kErrInternal;
  return kErrInvalidDeviceName;
}

int MciGetErrorString(int code, std::string& text, std::size_t length) {
  switch (code) {
    case kErrInvalidDeviceName: text = "The device is not open."; break;
    case kErrDeviceNotReady: text = "The device is not ready."; break;
    case kErrInternal: text = "There is no sound output."; break;
    default: return 0;
  }
  if (text.size() >= length) text.resize(length ? length - 1 : 0);
  return 1;
}

int PlaySoundLooped(const std::string&) { return 0; }
int StopSound() { return 1; }
int WaveOutputDevices() { return 0; }

}  // namespace ui::sys
