// The settings window's file chooser on Linux: its one filter takes MP3 and
// WAV files whatever the case of their names, and nothing else.

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <vector>

#include "ui/gtk/backend_gtk.h"
#include "ui/widgets.h"

namespace {

bool Takes(GtkFileFilter* filter, const char* name) {
  GtkFileFilterInfo info{};
  info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
  info.display_name = name;
  return gtk_file_filter_filter(filter, &info);
}

TEST(MusicFilter, TakesMp3AndWavInAnyCaseAndNothingElse) {
  GtkFileFilter* filter = ui::gtk::MusicFilter("BGMﾌｧｲﾙ (MP3 WAV)", "*.MP3;*.WAV");
  g_object_ref_sink(filter);
  EXPECT_STREQ(gtk_file_filter_get_name(filter), "BGMﾌｧｲﾙ (MP3 WAV)");
  for (const char* name : {"song.MP3", "song.mp3", "曲.Mp3", "loop.WAV", "loop.wav", "a.b.wAv"})
    EXPECT_TRUE(Takes(filter, name)) << name;
  for (const char* name : {"song.mp3.txt", "song.mp4", "notes.txt", "MP3", "wav"})
    EXPECT_FALSE(Takes(filter, name)) << name;
  g_object_unref(filter);
}

}  // namespace

namespace {

// The labels a widget shows, in order.
void Labels(GtkWidget* widget, std::vector<std::string>& out) {
  if (GTK_IS_LABEL(widget) && gtk_widget_is_visible(widget)) out.push_back(gtk_label_get_text(GTK_LABEL(widget)));
  if (!GTK_IS_CONTAINER(widget)) return;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  for (GList* c = children; c; c = c->next) Labels(GTK_WIDGET(c->data), out);
  g_list_free(children);
}

TEST(ColourChooser, KeepsToItsPaletteWithNoWayToTheEditor) {
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
  GtkWidget* dialog = gtk_color_chooser_dialog_new("色の設定", nullptr);
  GtkWidget* add = ui::gtk::FindNamed(dialog, "add-color-button");
  ASSERT_NE(add, nullptr) << "GTK's chooser has no + button any more: look at what replaced it";
  std::vector<std::string> before;
  gtk_widget_show_all(dialog);
  Labels(dialog, before);

  ui::gtk::KeepToPalette(dialog);
  gtk_widget_show_all(dialog);
  EXPECT_FALSE(gtk_widget_is_visible(add));
  std::vector<std::string> after;
  Labels(dialog, after);
  EXPECT_EQ(after.size() + 1, before.size()) << "only the Custom row's label goes";

  // A swatch's Customize item opens the editor through the chooser widget.
  GtkWidget* chooser = ui::gtk::FindNamed(dialog, "GtkColorChooserWidget");
  ASSERT_NE(chooser, nullptr);
  g_object_set(chooser, "show-editor", TRUE, nullptr);
  gboolean shown = TRUE;
  g_object_get(dialog, "show-editor", &shown, nullptr);
  EXPECT_FALSE(shown);
  g_object_get(chooser, "show-editor", &shown, nullptr);
  EXPECT_FALSE(shown);
  // Gone from the server before the next test looks at its windows.
  gtk_widget_destroy(dialog);
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  gdk_display_sync(gdk_display_get_default());
}

}  // namespace
