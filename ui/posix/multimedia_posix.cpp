// Sound in the Linux programs: the shared MCI interpreter over the devices of
// the sound module, which is loaded the first time the music asks for sound.
// Without the module or a sound output there is no wave device and the
// players do not open: the music is silently left out, as on a Windows
// machine without a wave device.
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/common/mci_interpreter.h"
#include "ui/posix/process.h"
#include "ui/posix/sound_loader.h"
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

// The module's devices as the interpreter sees them: each call goes through
// the module's table of C functions.
class ModulePlayer : public mci::FilePlayer {
 public:
  explicit ModulePlayer(const TessSoundModule& module) : module_(module), player_(module.player_new()) {}
  ~ModulePlayer() override { module_.player_free(player_); }
  int Open(const std::string& path, bool loop) override { return module_.player_open(player_, path.c_str(), loop); }
  int Play(std::optional<double> from_ms) override {
    return module_.player_play(player_, from_ms.has_value(), from_ms.value_or(0));
  }
  void Stop() override { module_.player_stop(player_); }
  bool Playing() override { return module_.player_playing(player_) != 0; }

 private:
  const TessSoundModule& module_;
  TessSoundPlayer* player_;
};

class ModuleDrive : public mci::CdDrive {
 public:
  ModuleDrive(const TessSoundModule& module, TessSoundDrive* drive) : module_(module), drive_(drive) {}
  ~ModuleDrive() override { module_.drive_free(drive_); }
  std::vector<double> Tracks() override {
    std::vector<double> tracks(100);  // a disc holds at most 99
    tracks.resize(std::clamp(module_.drive_tracks(drive_, tracks.data(), 100), 0, 100));
    return tracks;
  }
  double Position() override { return module_.drive_position(drive_); }
  int Play(double from_ms, double to_ms) override { return module_.drive_play(drive_, from_ms, to_ms); }
  void Stop() override { module_.drive_stop(drive_); }
  bool Playing() override { return module_.drive_playing(drive_) != 0; }

 private:
  const TessSoundModule& module_;
  TessSoundDrive* drive_;
};

class ModuleDevices : public mci::Devices {
 public:
  explicit ModuleDevices(const TessSoundModule& module) : module_(module) {}
  std::unique_ptr<mci::FilePlayer> NewFilePlayer() override { return std::make_unique<ModulePlayer>(module_); }
  std::unique_ptr<mci::CdDrive> OpenCdDrive(int& error) override {
    TessSoundDrive* drive = module_.drive_open(&error);
    return drive ? std::make_unique<ModuleDrive>(module_, drive) : nullptr;
  }

 private:
  const TessSoundModule& module_;
};

void* OpenModule() {
  // Before the module, and GStreamer with it, starts.
  ProvideSoundRuntimeFolder();
  for (const std::string& place : PrivateFilePlaces(kModuleName))
    if (void* handle = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
  std::fprintf(stderr, "tessellane: no sound: %s\n", dlerror());
  return nullptr;
}

struct SoundModule {
  mci::Devices* devices = nullptr;
  int outputs = 0;
};

// Loaded once, never unloaded: the devices may play until the process ends.
const SoundModule& Module() {
  static const SoundModule module = [] {
    SoundModule m;
    if (void* handle = OpenModule())
      if (const TessSoundModule* table = ModuleOf(handle, TESS_VERSION))
        m = {DevicesOf(*table).release(), table->outputs};
    if (!m.devices) m.devices = new NoDevices;
    return m;
  }();
  return module;
}

}  // namespace

std::unique_ptr<mci::Devices> DevicesOf(const TessSoundModule& module) {
  return std::make_unique<ModuleDevices>(module);
}

const TessSoundModule* ModuleOf(void* handle, const char* program_version) {
  const auto entry = reinterpret_cast<decltype(&tessellane_sound_module)>(dlsym(handle, TESS_SOUND_MODULE_ENTRY));
  if (!entry) {
    std::fprintf(stderr, "tessellane: no sound: %s has no entry %s\n", kModuleName, TESS_SOUND_MODULE_ENTRY);
    return nullptr;
  }
  return AcceptedModule(entry(program_version), program_version);
}

const TessSoundModule* AcceptedModule(const TessSoundModule* module, const char* program_version) {
  if (module && std::strcmp(module->version, program_version) != 0) {
    std::fprintf(stderr, "tessellane: no sound: %s is of version %s, the program of %s\n", kModuleName, module->version,
                 program_version);
    return nullptr;
  }
  return module;
}

}  // namespace ui::posix

namespace ui::mci {

Interpreter& SystemInterpreter() {
  static auto* interpreter = new Interpreter(*posix::Module().devices);
  return *interpreter;
}

int SystemSoundOutputs() { return posix::Module().outputs; }

}  // namespace ui::mci
