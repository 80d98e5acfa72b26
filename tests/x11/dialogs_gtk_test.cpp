// The settings window's file chooser on Linux: its one filter takes MP3 and
// WAV files whatever the case of their names, and nothing else.

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include "ui/x11/backend_gtk.h"

namespace {

bool Takes(GtkFileFilter* filter, const char* name) {
  GtkFileFilterInfo info{};
  info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
  info.display_name = name;
  return gtk_file_filter_filter(filter, &info);
}

TEST(MusicFilter, TakesMp3AndWavInAnyCaseAndNothingElse) {
  GtkFileFilter* filter = ui::x11::gtk::MusicFilter("BGMﾌｧｲﾙ (MP3 WAV)", "*.MP3;*.WAV");
  g_object_ref_sink(filter);
  EXPECT_STREQ(gtk_file_filter_get_name(filter), "BGMﾌｧｲﾙ (MP3 WAV)");
  for (const char* name : {"song.MP3", "song.mp3", "曲.Mp3", "loop.WAV", "loop.wav", "a.b.wAv"})
    EXPECT_TRUE(Takes(filter, name)) << name;
  for (const char* name : {"song.mp3.txt", "song.mp4", "notes.txt", "MP3", "wav"})
    EXPECT_FALSE(Takes(filter, name)) << name;
  g_object_unref(filter);
}

}  // namespace
