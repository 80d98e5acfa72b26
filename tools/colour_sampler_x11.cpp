// colour_sampler SECONDS [INTERVAL_MS]: reads the whole screen (the root
// window) every INTERVAL_MS (default 50) for SECONDS and prints a line per
// reading: the milliseconds since the first and the most frequent colour of
// a 32 x 32 grid of points, RRGGBB. ImageMagick's import takes about a third
// of a second a shot: too slow to see a display that changes its background
// several times a second.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

namespace {

// The colour of a pixel, RRGGBB, from the visual's masks.
unsigned long Rgb(const Visual* visual, unsigned long pixel) {
  const auto component = [pixel](unsigned long mask) {
    if (!mask) return 0ul;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long max = mask >> shift;
    return (((pixel & mask) >> shift) * 255 + max / 2) / max;
  };
  return component(visual->red_mask) << 16 | component(visual->green_mask) << 8 | component(visual->blue_mask);
}

unsigned long MostFrequent(Display* d, XImage* image) {
  std::map<unsigned long, int> counts;
  for (int gy = 0; gy < 32; ++gy)
    for (int gx = 0; gx < 32; ++gx)
      ++counts[XGetPixel(image, (2 * gx + 1) * image->width / 64, (2 * gy + 1) * image->height / 64)];
  unsigned long best = 0;
  int most = -1;
  for (const auto& [pixel, n] : counts)
    if (n > most) best = pixel, most = n;
  return Rgb(DefaultVisual(d, DefaultScreen(d)), best);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: colour_sampler SECONDS [INTERVAL_MS]\n");
    return 2;
  }
  const auto duration = std::chrono::duration<double>(std::atof(argv[1]));
  const auto interval = std::chrono::milliseconds(argc > 2 ? std::atoi(argv[2]) : 50);
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  const Window root = DefaultRootWindow(d);
  XWindowAttributes a;
  XGetWindowAttributes(d, root, &a);
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  for (auto next = start; Clock::now() - start < duration; next += interval) {
    std::this_thread::sleep_until(next);
    XImage* image = XGetImage(d, root, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image) continue;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf("%.0f %06lX\n", ms, MostFrequent(d, image));
    std::fflush(stdout);
    XDestroyImage(image);
  }
  XCloseDisplay(d);
  return 0;
}
