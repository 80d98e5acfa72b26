// The sound module's own thread: a sink on its way to READY waits for the
// sound server, 30 s for one that accepts and never answers, and so does
// every state change or seek of its pipeline meanwhile (they take the same
// lock). The program's thread hands those here and goes on drawing.
#include "ui/gst/gst_devices.h"

namespace ui::gst {
namespace {

void RunJob(gpointer job, gpointer) {
  auto* run = static_cast<std::function<void()>*>(job);
  (*run)();
  delete run;
}

}  // namespace

void OnSoundThread(std::function<void()> job) {
  // One thread at most: the jobs run in the order they were given.
  static GThreadPool* const pool = g_thread_pool_new(RunJob, nullptr, 1, FALSE, nullptr);
  g_thread_pool_push(pool, new std::function<void()>(std::move(job)), nullptr);
}

}  // namespace ui::gst
