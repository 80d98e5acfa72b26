// The sound devices of the native program on GStreamer: a file player on
// playbin and the CD drive on cdiocddasrc. No thread of their own and no
// GLib main loop: each device reads its pipeline's bus when it is asked
// something, which the music does every 200 ms or every second.
#pragma once
#include <gst/gst.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ui/common/mci_interpreter.h"

namespace ui::gst {

// The audio sink that opens on this machine ("pulsesink" or "alsasink"), or
// "" when GStreamer or every sound output is missing. Asked once.
const std::string& AudioSink();

std::unique_ptr<ui::mci::FilePlayer> NewFilePlayer();
// The drive named by TESSELLANE_CD_DEVICE (a device or a cue sheet), or the
// system's default drive.
std::unique_ptr<ui::mci::CdDrive> OpenCdDrive(int& error);

// One pipeline, owned: taken to NULL and released on destruction. Its bus
// keeps only the end, errors and tables of contents; with `loop` the end is
// not kept but answered by a seek back to the start.
class Pipeline {
 public:
  Pipeline(GstElement* pipeline, bool loop);
  ~Pipeline();
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  GstElement* get() const { return pipeline_; }
  // Asks for `state` and waits up to `wait_ms` for it; false when it failed
  // or did not come in time.
  bool SetState(GstState state, int wait_ms);
  bool Seek(double from_ms, std::optional<double> to_ms);
  std::optional<double> PositionMs();
  // Hands each message waiting on the bus to `on_message`.
  void Pump(const std::function<void(GstMessage*)>& on_message);

 private:
  GstElement* pipeline_;
  GstBus* bus_;
};

}  // namespace ui::gst
