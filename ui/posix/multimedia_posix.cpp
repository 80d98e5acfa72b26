// Sound in the Linux programs: the shared MCI interpreter over the devices of
// the sound module, which is loaded the first time the music asks for sound.
// Without the module or a sound output there is no wave device and the
// players do not open: the music is silently left out, as on a Windows
// machine without a wave device.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "ui/common/mci_interpreter.h"
#include "ui/gst/sound_module.h"
#include "ui/posix/process.h"
#include "ui/posix/sound_server_place.h"

namespace ui::posix {
namespace {

constexpr const char* kModuleName = "tessellane-gst.so";

// What the music meets without the module: players that find no sound
// output, and no drive.
class NoPlayer : public mci::FilePlayer {
 public:
  int Open(const std::string&, bool) override { return mci::kErrInternal; }
  int Play(std::optional<double>) override { return mci::kErrInternal; }
  void Stop() override {}
  bool Playing() override { return false; }
};

class NoDevices : public mci::Devices {
 public:
  std::unique_ptr<mci::FilePlayer> NewFilePlayer() override { return std::make_unique<NoPlayer>(); }
  std::unique_ptr<mci::CdDrive> OpenCdDrive(int& error) override {
    error = mci::kErrInternal;
    return nullptr;
  }
};

struct SoundModule {
  mci::Devices* devices = nullptr;
  int outputs = 0;
};

void* OpenModule() {
  // Before the module, and GStreamer with it, starts.
  ProvideSoundRuntimeFolder();
  for (const std::string& place : PrivateFilePlaces(kModuleName))
    if (void* handle = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
  std::fprintf(stderr, "tessellane: no sound: %s\n", dlerror());
  return nullptr;
}

// Loaded once, never unloaded: the devices may play until the process ends.
const SoundModule& Module() {
  static const SoundModule module = [] {
    SoundModule m;
    if (void* handle = OpenModule()) {
      auto devices = reinterpret_cast<decltype(&tessellane_sound_devices)>(dlsym(handle, TESS_SOUND_DEVICES_ENTRY));
      auto outputs = reinterpret_cast<decltype(&tessellane_sound_outputs)>(dlsym(handle, TESS_SOUND_OUTPUTS_ENTRY));
      if (devices && outputs) m = SoundModule{devices(), outputs()};
    }
    if (!m.devices) m.devices = new NoDevices;
    return m;
  }();
  return module;
}

}  // namespace
}  // namespace ui::posix

namespace ui::mci {

Interpreter& SystemInterpreter() {
  static auto* interpreter = new Interpreter(*posix::Module().devices);
  return *interpreter;
}

int SystemSoundOutputs() { return posix::Module().outputs; }

}  // namespace ui::mci
