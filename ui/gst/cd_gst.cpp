// The CD drive of the native program: cdiocddasrc reading the whole disc as
// one stream (a real drive, or a cue sheet with its disc image), so that a
// time on the stream is a time on the disc. The table of contents comes from
// the source when it starts; a stopped disc is held paused where it stopped.
// The sink is chosen and the disc started on the sound thread; the first
// question about the tracks waits for that a bounded time.
#include <chrono>
#include <cstdlib>
#include <future>
#include <vector>

#include "ui/gst/gst_devices.h"

namespace ui::gst {
namespace {

constexpr int kSpinUpMs = 5000;
constexpr int kContinuousMode = 1;  // GstAudioCdSrcMode: the whole disc as one stream

void CollectTracks(GList* entries, std::vector<double>& tracks) {
  for (GList* e = entries; e; e = e->next) {
    auto* entry = static_cast<GstTocEntry*>(e->data);
    if (gst_toc_entry_get_entry_type(entry) != GST_TOC_ENTRY_TYPE_TRACK) {
      CollectTracks(gst_toc_entry_get_sub_entries(entry), tracks);
      continue;
    }
    gint64 start = 0, stop = 0;
    if (gst_toc_entry_get_start_stop_times(entry, &start, &stop) && stop > start)
      tracks.push_back(static_cast<double>(stop - start) / GST_MSECOND);
  }
}

class GstCdDrive : public ui::mci::CdDrive {
 public:
  GstCdDrive(GstElement* pipeline, GstElement* feed) : pipe_(pipeline, false), feed_(feed) {}
  std::vector<double> Tracks() override;
  double Position() override;
  int Play(double from_ms, double to_ms) override;
  void Stop() override;
  bool Playing() override;

 private:
  void Pump();
  void SpinUp();

  Pipeline pipe_;
  GstElement* feed_;      // the last element before the sink
  bool started_ = false;  // the source was asked to start (and read the disc)
  bool failed_ = false;   // no disc, or the drive failed
  std::vector<double> tracks_;
  bool playing_ = false;
  bool ended_ = false;
  double end_ms_ = 0;
  double last_ms_ = 0;
};

void GstCdDrive::Pump() {
  pipe_.Pump([this](GstMessage* message) {
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_TOC: {
        GstToc* toc = nullptr;
        gst_message_parse_toc(message, &toc, nullptr);
        std::vector<double> tracks;
        CollectTracks(gst_toc_get_entries(toc), tracks);
        if (!tracks.empty()) tracks_ = tracks;
        gst_toc_unref(toc);
        break;
      }
      case GST_MESSAGE_EOS: ended_ = true; break;
      case GST_MESSAGE_ERROR:
        failed_ = true;
        tracks_.clear();
        break;
      default: break;
    }
  });
}

// The sink joins the pipeline there, and the disc starts; a sound server
// that does not answer costs the wait's bound once, not its own time.
void GstCdDrive::SpinUp() {
  auto spun = std::make_shared<std::promise<bool>>();
  std::future<bool> result = spun->get_future();
  pipe_.Later([spun, feed = feed_](GstElement* pipeline) {
    GstElement* sink = AudioSink().empty() ? nullptr : gst_element_factory_make(AudioSink().c_str(), nullptr);
    bool ok = sink && gst_bin_add(GST_BIN(pipeline), sink) && gst_element_link(feed, sink);
    ok = ok && Pipeline::SetState(pipeline, GST_STATE_PAUSED, kSpinUpMs);
    spun->set_value(ok);
  });
  failed_ = result.wait_for(std::chrono::milliseconds(kSpinUpMs)) != std::future_status::ready || !result.get();
}

std::vector<double> GstCdDrive::Tracks() {
  if (!started_) {
    started_ = true;
    SpinUp();
  }
  Pump();
  return failed_ ? std::vector<double>() : tracks_;
}

double GstCdDrive::Position() {
  Pump();
  if (ended_) return end_ms_;
  if (auto ms = pipe_.PositionMs()) last_ms_ = *ms;
  return last_ms_;
}

int GstCdDrive::Play(double from_ms, double to_ms) {
  if (failed_) return ui::mci::kErrDeviceNotReady;
  ended_ = false;
  end_ms_ = to_ms;
  last_ms_ = from_ms;
  pipe_.Later([from_ms, to_ms](GstElement* pipeline) {
    if (Pipeline::Seek(pipeline, from_ms, to_ms)) Pipeline::SetState(pipeline, GST_STATE_PLAYING, 0);
  });
  playing_ = true;
  return 0;
}

void GstCdDrive::Stop() {
  Position();
  pipe_.Later([](GstElement* pipeline) { Pipeline::SetState(pipeline, GST_STATE_PAUSED, 0); });
  playing_ = false;
}

bool GstCdDrive::Playing() {
  Pump();
  return playing_ && !ended_ && !failed_;
}

}  // namespace

std::unique_ptr<ui::mci::CdDrive> OpenCdDrive(int& error) {
  error = ui::mci::kErrInternal;
  if (!HasSinkFactory()) return nullptr;
  GstElement* source = gst_element_factory_make("cdiocddasrc", nullptr);
  error = ui::mci::kErrInvalidDeviceName;  // no CD support: as if there were no drive
  if (!source) return nullptr;
  if (const char* device = std::getenv("TESSELLANE_CD_DEVICE"); device && *device)
    g_object_set(source, "device", device, nullptr);
  g_object_set(source, "mode", kContinuousMode, nullptr);
  GstElement* pipeline = gst_pipeline_new(nullptr);
  GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
  GstElement* resample = gst_element_factory_make("audioresample", nullptr);
  if (!convert || !resample) {
    for (GstElement* e : {source, convert, resample})
      if (e) gst_object_unref(gst_object_ref_sink(e));
    gst_object_unref(gst_object_ref_sink(pipeline));
    return nullptr;
  }
  gst_bin_add_many(GST_BIN(pipeline), source, convert, resample, nullptr);
  if (!gst_element_link_many(source, convert, resample, nullptr)) {
    gst_object_unref(gst_object_ref_sink(pipeline));
    return nullptr;
  }
  return std::make_unique<GstCdDrive>(pipeline, resample);
}

}  // namespace ui::gst
