// bare_window_gtk: the reference for the settings window's start and
// footprint on Linux: a GTK 3 window of the settings window's size and place
// on a 1024 x 768 screen (446 x 477 at 289, 97), without decorations, that
// paints itself lavender and waits until it is closed or ended.
#include <gtk/gtk.h>

namespace {

gboolean Draw(GtkWidget*, cairo_t* cr, gpointer) {
  cairo_set_source_rgb(cr, 220 / 255.0, 220 / 255.0, 250 / 255.0);
  cairo_paint(cr);
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), 446, 477);
  gtk_window_move(GTK_WINDOW(window), 289, 97);
  GtkWidget* area = gtk_drawing_area_new();
  gtk_container_add(GTK_CONTAINER(window), area);
  g_signal_connect(area, "draw", G_CALLBACK(Draw), nullptr);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
