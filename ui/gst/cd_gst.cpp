// The CD drive of the native program: cdiocddasrc reading the whole disc as
// one stream (a real drive, or a cue sheet with its disc image), so that a
// time on the stream is a time on the disc. The table of contents comes from
// the source when it starts; a stopped disc is held paused where it stopped.
#include <cstdlib>
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
  explicit GstCdDrive(GstElement* pipeline) : pipe_(pipeline, false) {}
  std::vector<double> Tracks() override;
  double Position() override;
  int Play(double from_ms, double to_ms) override;
  void Stop() override;
  bool Playing() override;

 private:
  void Pump();

  Pipeline pipe_;
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

std::vector<double> GstCdDrive::Tracks() {
  if (!started_) {
    started_ = true;
    failed_ = !pipe_.SetState(GST_STATE_PAUSED, kSpinUpMs);
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
  if (!pipe_.Seek(from_ms, to_ms)) return ui::mci::kErrDeviceNotReady;
  ended_ = false;
  end_ms_ = to_ms;
  last_ms_ = from_ms;
  playing_ = pipe_.SetState(GST_STATE_PLAYING, 0);
  return playing_ ? 0 : ui::mci::kErrDeviceNotReady;
}

void GstCdDrive::Stop() {
  Position();
  pipe_.SetState(GST_STATE_PAUSED, 0);
  playing_ = false;
}

bool GstCdDrive::Playing() {
  Pump();
  return playing_ && !ended_ && !failed_;
}

}  // namespace

std::unique_ptr<ui::mci::CdDrive> OpenCdDrive(int& error) {
  error = ui::mci::kErrInternal;
  if (AudioSink().empty()) return nullptr;
  GstElement* source = gst_element_factory_make("cdiocddasrc", nullptr);
  error = ui::mci::kErrInvalidDeviceName;  // no CD support: as if there were no drive
  if (!source) return nullptr;
  if (const char* device = std::getenv("TESSELLANE_CD_DEVICE"); device && *device)
    g_object_set(source, "device", device, nullptr);
  g_object_set(source, "mode", kContinuousMode, nullptr);
  GstElement* pipeline = gst_pipeline_new(nullptr);
  GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
  GstElement* resample = gst_element_factory_make("audioresample", nullptr);
  GstElement* sink = gst_element_factory_make(AudioSink().c_str(), nullptr);
  if (!convert || !resample || !sink) {
    for (GstElement* e : {source, convert, resample, sink})
      if (e) gst_object_unref(gst_object_ref_sink(e));
    gst_object_unref(gst_object_ref_sink(pipeline));
    return nullptr;
  }
  gst_bin_add_many(GST_BIN(pipeline), source, convert, resample, sink, nullptr);
  if (!gst_element_link_many(source, convert, resample, sink, nullptr)) {
    gst_object_unref(gst_object_ref_sink(pipeline));
    return nullptr;
  }
  return std::make_unique<GstCdDrive>(pipeline);
}

}  // namespace ui::gst
