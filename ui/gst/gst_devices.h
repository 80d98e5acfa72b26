// The sound devices of the native program on GStreamer: a file player on
// playbin and the CD drive on cdiocddasrc. No GLib main loop: each device
// reads its pipeline's bus when it is asked something, which the music does
// every 200 ms or every second. What may wait on the sound server (choosing
// the sink, state changes, seeks) runs on the module's sound thread, so the
// devices answer at once whatever the server does.
#pragma once
#include <gst/gst.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ui/common/mci_interpreter.h"

namespace ui::gst {

// The audio sink that opens on this machine ("pulsesink" or "alsasink"), or
// "" when GStreamer or every sound output is missing. Asked once, on the
// sound thread only: the answer may take as long as the server does.
const std::string& AudioSink();
// Whether GStreamer has a sink that could play here, without asking the server.
bool HasSinkFactory();

// Runs `job` on the sound thread, after the jobs given before it.
void OnSoundThread(std::function<void()> job);

std::unique_ptr<ui::mci::FilePlayer> NewFilePlayer();
// The drive named by TESSELLANE_CD_DEVICE (a device or a cue sheet), or the
// system's default drive.
std::unique_ptr<ui::mci::CdDrive> OpenCdDrive(int& error);

// One pipeline, owned: taken to NULL and released on the sound thread after
// its destruction. Its bus
// keeps only the end, errors and tables of contents; with `loop` the end is
// not kept but answered by a seek back to the start.
class Pipeline {
 public:
  Pipeline(GstElement* pipeline, bool loop);
  ~Pipeline();
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  GstElement* get() const { return pipeline_; }
  // Runs `job` with the pipeline on the sound thread; the pipeline is
  // released only after it.
  void Later(std::function<void(GstElement*)> job);
  // For the jobs: asks for `state` and waits up to `wait_ms` for it; false
  // when it failed or did not come in time.
  static bool SetState(GstElement* pipeline, GstState state, int wait_ms);
  static bool Seek(GstElement* pipeline, double from_ms, std::optional<double> to_ms);
  std::optional<double> PositionMs();
  // Hands each message waiting on the bus to `on_message`.
  void Pump(const std::function<void(GstMessage*)>& on_message);

 private:
  GstElement* pipeline_;
  GstBus* bus_;
};

}  // namespace ui::gst
