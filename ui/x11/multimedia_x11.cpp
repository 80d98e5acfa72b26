// Sound on the native Linux build: the shared MCI interpreter over the
// GStreamer devices. Without a sound output there is no wave device, the
// players do not open, and the music is silently left out, as on a Windows
// machine without a wave device.
#include <cstdio>

#include "ui/common/mci_interpreter.h"
#include "ui/multimedia.h"
#include "ui/x11/gst_devices.h"

namespace ui::sys {
namespace {

class GstDevices : public mci::Devices {
 public:
  std::unique_ptr<mci::FilePlayer> NewFilePlayer() override { return x11::gst::NewFilePlayer(); }
  std::unique_ptr<mci::CdDrive> OpenCdDrive(int& error) override { return x11::gst::OpenCdDrive(error); }
};

// Never destroyed: what is still open at the end goes with the process.
mci::Interpreter& Mci() {
  static auto* devices = new GstDevices;
  static auto* interpreter = new mci::Interpreter(*devices);
  return *interpreter;
}

}  // namespace

int MciSendString(const std::string& command, std::string* reply, std::size_t reply_length) {
  const int code = Mci().Send(command, reply, reply_length);
  // A command the music should not send: said where a developer sees it.
  if (code == mci::kErrUnsupported)
    std::fprintf(stderr, "tessellane: MCI command not understood: %s\n", command.c_str());
  return code;
}

int MciGetErrorString(int code, std::string& text, std::size_t length) {
  const char* description = mci::ErrorText(code);
  if (!description || length == 0) return 0;
  text = std::string(description).substr(0, length - 1);
  return 1;
}

int PlaySoundLooped(const std::string& file) { return Mci().PlayLooped(file); }
int StopSound() { return Mci().StopLooped(); }
int WaveOutputDevices() { return x11::gst::AudioSink().empty() ? 0 : 1; }

}  // namespace ui::sys
