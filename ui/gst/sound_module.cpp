// The sound module's entries: the GStreamer devices behind the shared MCI
// interpreter.
#include "ui/gst/sound_module.h"

#include "ui/gst/gst_devices.h"

namespace {

class GstDevices : public ui::mci::Devices {
 public:
  std::unique_ptr<ui::mci::FilePlayer> NewFilePlayer() override { return ui::gst::NewFilePlayer(); }
  std::unique_ptr<ui::mci::CdDrive> OpenCdDrive(int& error) override { return ui::gst::OpenCdDrive(error); }
};

}  // namespace

ui::mci::Devices* tessellane_sound_devices() {
  static auto* devices = new GstDevices;
  return devices;
}

// Whether a sink is installed, without asking the sound server: the display
// asks this as it starts, and a server that never answers would hold it.
int tessellane_sound_outputs() { return ui::gst::HasSinkFactory() ? 1 : 0; }
