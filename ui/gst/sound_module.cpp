// The sound module's entry: the GStreamer devices behind the shared MCI
// interpreter, handed over as a table of C functions.
#include "ui/gst/sound_module.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "ui/gst/gst_devices.h"

struct TessSoundPlayer {
  std::unique_ptr<ui::mci::FilePlayer> device;
};
struct TessSoundDrive {
  std::unique_ptr<ui::mci::CdDrive> device;
};

namespace {

TessSoundPlayer* PlayerNew() { return new TessSoundPlayer{ui::gst::NewFilePlayer()}; }
int PlayerOpen(TessSoundPlayer* p, const char* path, int loop) { return p->device->Open(path, loop != 0); }
int PlayerPlay(TessSoundPlayer* p, int from_given, double from_ms) {
  return p->device->Play(from_given ? std::optional<double>(from_ms) : std::nullopt);
}
void PlayerStop(TessSoundPlayer* p) { p->device->Stop(); }
int PlayerPlaying(TessSoundPlayer* p) { return p->device->Playing() ? 1 : 0; }
void PlayerFree(TessSoundPlayer* p) { delete p; }

TessSoundDrive* DriveOpen(int* error) {
  auto device = ui::gst::OpenCdDrive(*error);
  return device ? new TessSoundDrive{std::move(device)} : nullptr;
}
int DriveTracks(TessSoundDrive* d, double* lengths, int capacity) {
  const std::vector<double> tracks = d->device->Tracks();
  for (std::size_t i = 0; i < tracks.size() && i < static_cast<std::size_t>(capacity); ++i) lengths[i] = tracks[i];
  return static_cast<int>(tracks.size());
}
double DrivePosition(TessSoundDrive* d) { return d->device->Position(); }
int DrivePlay(TessSoundDrive* d, double from_ms, double to_ms) { return d->device->Play(from_ms, to_ms); }
void DriveStop(TessSoundDrive* d) { d->device->Stop(); }
int DrivePlaying(TessSoundDrive* d) { return d->device->Playing() ? 1 : 0; }
void DriveFree(TessSoundDrive* d) { delete d; }

}  // namespace

const TessSoundModule* tessellane_sound_module(const char* program_version) {
  if (!program_version || std::strcmp(program_version, TESS_VERSION) != 0) {
    std::fprintf(stderr, "tessellane-gst.so %s: refused by a program of version %s\n", TESS_VERSION,
                 program_version ? program_version : "(none)");
    return nullptr;
  }
  // Whether a sink is installed, without asking the sound server: the
  // display asks this as it starts, and a server that never answers would
  // hold it.
  static const TessSoundModule module = {TESS_VERSION,  ui::gst::HasSinkFactory() ? 1 : 0,
                                         PlayerNew,     PlayerOpen,
                                         PlayerPlay,    PlayerStop,
                                         PlayerPlaying, PlayerFree,
                                         DriveOpen,     DriveTracks,
                                         DrivePosition, DrivePlay,
                                         DriveStop,     DrivePlaying,
                                         DriveFree};
  return &module;
}
