// rays_bare_loop_gtk SECONDS: the reference for the settings window's
// light-ray speed on Linux. A GTK 3 window with a 320 x 240 drawing area
// showing an 8-bit image through a 256-colour palette, and a loop that does
// nothing but run the pending GTK events, add one to 100 bytes of the image
// and ask for a repaint (the image is turned into the screen's pixels when
// GTK paints, as the settings window's picture is): the least a
// ray-per-repaint loop can do on GTK. Prints "steps_per_second N" (bytes
// changed) and "rays_per_second N" after SECONDS, and "peak_rss_kb N" (a
// bare GTK 3 window's footprint), and exits.
#include <gtk/gtk.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 320, kHeight = 240;

struct Picture {
  std::vector<std::uint8_t> bits = std::vector<std::uint8_t>(kWidth * kHeight, 0);
  std::uint32_t palette[256] = {};
  cairo_surface_t* mirror = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  bool dirty = true;
};

gboolean Draw(GtkWidget*, cairo_t* cr, gpointer data) {
  auto& p = *static_cast<Picture*>(data);
  if (p.dirty) {
    p.dirty = false;
    cairo_surface_flush(p.mirror);
    auto* out = cairo_image_surface_get_data(p.mirror);
    const int stride = cairo_image_surface_get_stride(p.mirror);
    for (int y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(out + static_cast<std::size_t>(y) * stride);
      const std::uint8_t* in = &p.bits[static_cast<std::size_t>(kHeight - 1 - y) * kWidth];
      for (int x = 0; x < kWidth; ++x) row[x] = p.palette[in[x]];
    }
    cairo_surface_mark_dirty(p.mirror);
  }
  cairo_set_source_surface(cr, p.mirror, 0, 0);
  cairo_paint(cr);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 0;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: rays_bare_loop_gtk SECONDS\n");
    return 2;
  }
  if (!gtk_init_check(nullptr, nullptr)) return 1;
  Picture picture;
  const std::uint8_t rg[8] = {0, 32, 64, 96, 128, 160, 192, 255}, b[4] = {0, 64, 128, 255};
  for (int i = 0; i < 256; ++i)
    picture.palette[i] = (std::uint32_t{rg[(i >> 5) & 7]} << 16) | (std::uint32_t{rg[(i >> 2) & 7]} << 8) | b[i & 3];

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_move(GTK_WINDOW(window), 100, 100);
  GtkWidget* area = gtk_drawing_area_new();
  gtk_widget_set_size_request(area, kWidth, kHeight);
  g_signal_connect(area, "draw", G_CALLBACK(Draw), &picture);
  gtk_container_add(GTK_CONTAINER(window), area);
  gtk_widget_show_all(window);

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  long long rays = 0;
  int x = 0, y = 0;
  while (elapsed() < seconds) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    for (int i = 0; i < 100; ++i) {
      std::uint8_t& p = picture.bits[static_cast<std::size_t>(y) * kWidth + x];
      if (p < 254) ++p;
      x = (x + 1) % kWidth;
      if (x == 0) y = (y + 1) % kHeight;
    }
    picture.dirty = true;
    gtk_widget_queue_draw(area);
    ++rays;
  }
  const double took = elapsed();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("steps_per_second %.1f\nrays_per_second %.1f\nrays %lld\nseconds %.3f\npeak_rss_kb %ld\n",
              100 * rays / took, rays / took, rays, took, usage.ru_maxrss);
  return 0;
}
