// The file player of the native program: playbin with audio only. A looping
// player seeks back to 0 at the end of the stream from the bus's sync
// handler, through GStreamer's own thread pool, so it loops without anybody
// asking (a WAV has no poll); the MP3's end is seen by the next mode query.
// Opening, playing and stopping are carried out on the sound thread: a file
// that is no sound, or no sink that opens, shows as a player that stopped.
#include <sys/stat.h>

#include "ui/gst/gst_devices.h"

namespace ui::gst {
namespace {

constexpr int kPlayFlagAudio = 0x2;  // GstPlayFlags: audio, no video, no subtitles
constexpr int kPrerollMs = 5000;

bool Initialized() {
  static const bool ok = gst_init_check(nullptr, nullptr, nullptr);
  return ok;
}

// An audio sink of that factory that opens its device.
bool SinkOpens(const char* factory) {
  GstElement* sink = gst_element_factory_make(factory, nullptr);
  if (!sink) return false;
  gst_object_ref_sink(sink);
  const bool ok = gst_element_set_state(sink, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
  gst_element_set_state(sink, GST_STATE_NULL);
  gst_object_unref(sink);
  return ok;
}

void SeekToStart(GstElement* pipeline, gpointer) {
  gst_element_seek_simple(pipeline, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0);
}

// Runs in the thread that posts the message. Only what the devices read is
// kept on the bus: nobody may read it for hours (a WAV is never asked).
GstBusSyncReply Sift(GstBus*, GstMessage* message, gpointer loop_pipeline) {
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
      if (!loop_pipeline) return GST_BUS_PASS;
      gst_element_call_async(static_cast<GstElement*>(loop_pipeline), SeekToStart, nullptr, nullptr);
      return GST_BUS_DROP;
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_TOC: return GST_BUS_PASS;
    default: return GST_BUS_DROP;
  }
}

class GstFilePlayer : public ui::mci::FilePlayer {
 public:
  int Open(const std::string& path, bool loop) override;
  int Play(std::optional<double> from_ms) override;
  void Stop() override;
  bool Playing() override;

 private:
  void Pump();

  std::unique_ptr<Pipeline> pipe_;
  // Set on the sound thread when the file did not preroll on a sink.
  std::shared_ptr<std::atomic<bool>> failed_ = std::make_shared<std::atomic<bool>>(false);
  bool playing_ = false;
  bool ended_ = false;
};

int GstFilePlayer::Open(const std::string& path, bool loop) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return ui::mci::kErrFileNotFound;
  if (!HasSinkFactory()) return ui::mci::kErrInternal;
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  if (!playbin) return ui::mci::kErrInternal;
  pipe_ = std::make_unique<Pipeline>(playbin, loop);
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  g_object_set(playbin, "uri", uri, "flags", kPlayFlagAudio, nullptr);
  g_free(uri);
  pipe_->Later([failed = failed_](GstElement* pipeline) {
    GstElement* sink = AudioSink().empty() ? nullptr : gst_element_factory_make(AudioSink().c_str(), nullptr);
    if (sink) g_object_set(pipeline, "audio-sink", sink, nullptr);
    if (!sink || !Pipeline::SetState(pipeline, GST_STATE_PAUSED, kPrerollMs)) *failed = true;
  });
  return 0;
}

void GstFilePlayer::Pump() {
  pipe_->Pump([this](GstMessage* message) {
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS || GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) ended_ = true;
  });
}

// A player whose file did not open has no pipeline: it plays nothing.
int GstFilePlayer::Play(std::optional<double> from_ms) {
  if (!pipe_) return ui::mci::kErrFileNotFound;
  Pump();
  if (from_ms) {
    ended_ = false;
  } else if (ended_) {
    // At the end there is nothing left to play: it stays stopped.
    return 0;
  }
  pipe_->Later([from_ms, failed = failed_](GstElement* pipeline) {
    if (*failed) return;
    if (from_ms) Pipeline::Seek(pipeline, *from_ms, std::nullopt);
    if (!Pipeline::SetState(pipeline, GST_STATE_PLAYING, 0)) *failed = true;
  });
  playing_ = true;
  return 0;
}

void GstFilePlayer::Stop() {
  if (!pipe_) return;
  pipe_->Later([failed = failed_](GstElement* pipeline) {
    if (!*failed) Pipeline::SetState(pipeline, GST_STATE_PAUSED, 0);
  });
  playing_ = false;
}

bool GstFilePlayer::Playing() {
  if (!pipe_) return false;
  Pump();
  return playing_ && !ended_ && !*failed_;
}

}  // namespace

const std::string& AudioSink() {
  static const std::string sink = [] {
    if (!Initialized()) return std::string();
    for (const char* factory : {"pulsesink", "alsasink"})
      if (SinkOpens(factory)) return std::string(factory);
    return std::string();
  }();
  return sink;
}

bool HasSinkFactory() {
  if (!Initialized()) return false;
  for (const char* factory : {"pulsesink", "alsasink"})
    if (GstElementFactory* found = gst_element_factory_find(factory)) {
      gst_object_unref(found);
      return true;
    }
  return false;
}

std::unique_ptr<ui::mci::FilePlayer> NewFilePlayer() { return std::make_unique<GstFilePlayer>(); }

Pipeline::Pipeline(GstElement* pipeline, bool loop)
    : pipeline_(GST_ELEMENT(gst_object_ref_sink(pipeline))), bus_(gst_element_get_bus(pipeline)) {
  gst_bus_set_sync_handler(bus_, Sift, loop ? pipeline_ : nullptr, nullptr);
}

Pipeline::~Pipeline() {
  OnSoundThread([pipeline = pipeline_, bus = bus_] {
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_bus_set_flushing(bus, TRUE);
    gst_object_unref(bus);
    gst_object_unref(pipeline);
  });
}

void Pipeline::Later(std::function<void(GstElement*)> job) {
  OnSoundThread([pipeline = pipeline_, job = std::move(job)] { job(pipeline); });
}

bool Pipeline::SetState(GstElement* pipeline, GstState state, int wait_ms) {
  const GstStateChangeReturn r = gst_element_set_state(pipeline, state);
  if (r == GST_STATE_CHANGE_FAILURE) return false;
  if (wait_ms <= 0 || r != GST_STATE_CHANGE_ASYNC) return true;
  GstState now = GST_STATE_VOID_PENDING;
  return gst_element_get_state(pipeline, &now, nullptr, wait_ms * GST_MSECOND) == GST_STATE_CHANGE_SUCCESS &&
         now == state;
}

bool Pipeline::Seek(GstElement* pipeline, double from_ms, std::optional<double> to_ms) {
  const auto ns = [](double ms) { return static_cast<gint64>(ms * GST_MSECOND); };
  return gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME,
                          static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET,
                          ns(from_ms), to_ms ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE, to_ms ? ns(*to_ms) : 0);
}

std::optional<double> Pipeline::PositionMs() {
  gint64 ns = 0;
  if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns)) return std::nullopt;
  return static_cast<double>(ns) / GST_MSECOND;
}

void Pipeline::Pump(const std::function<void(GstMessage*)>& on_message) {
  while (GstMessage* message = gst_bus_pop(bus_)) {
    on_message(message);
    gst_message_unref(message);
  }
}

}  // namespace ui::gst
