// bare_loop_x11 SECONDS [RADIUS]: the reference for the native display's
// speed. A full-screen override-redirect window, one shared-memory image,
// the same circle plotter, the same walk with the image cleared when the path
// is back at the corner (as a cycle ends), and the same presentation policy
// as the display (the image reaches the window at most once per 16 ms, the
// queue is looked at no more than every 0.5 ms), and nothing else. Prints "first_ring_ms N"
// (from the start of main to the first presented ring), then after SECONDS
// "circles_per_second N circles N".
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "ui/common/raster.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

int main(int argc, char** argv) {
  const auto start = Clock::now();
  if (argc < 2 || std::atof(argv[1]) <= 0) {
    std::fprintf(stderr, "usage: bare_loop_x11 SECONDS [RADIUS]\n");
    return 2;
  }
  const double seconds = std::atof(argv[1]);
  const int radius = argc > 2 ? std::atoi(argv[2]) : 50;
  Display* d = XOpenDisplay(nullptr);
  if (!d || !XShmQueryExtension(d)) return 1;
  const int screen = DefaultScreen(d);
  const int w = DisplayWidth(d, screen), h = DisplayHeight(d, screen);
  XSetWindowAttributes a{};
  a.override_redirect = True;
  a.background_pixmap = None;
  const Window win = XCreateWindow(d, DefaultRootWindow(d), 0, 0, w, h, 0, CopyFromParent, InputOutput, CopyFromParent,
                                   CWOverrideRedirect | CWBackPixmap, &a);
  XSelectInput(d, win, KeyPressMask | ButtonPressMask | PointerMotionMask | ExposureMask | StructureNotifyMask);
  XMapRaised(d, win);
  const GC gc = XCreateGC(d, win, 0, nullptr);

  XShmSegmentInfo shm{};
  XImage* image = XShmCreateImage(d, DefaultVisual(d, screen), DefaultDepth(d, screen), ZPixmap, nullptr, &shm, w, h);
  shm.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * h, IPC_CREAT | 0600);
  shm.shmaddr = image->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
  XShmAttach(d, &shm);
  XSync(d, False);
  shmctl(shm.shmid, IPC_RMID, nullptr);
  const ui::PixelGrid grid{reinterpret_cast<ui::Colour*>(image->data), w, h};
  const ui::Colour ring = 0x00FFFF00;  // yellow as the server's pixel value

  // The same walk as the display: 14 pixels per circle, bouncing off the edges.
  int x = 0, y = 0, dx = 14, dy = 14;
  long long circles = 0;
  auto last_present = Clock::time_point{}, last_look = Clock::time_point{};
  bool first_shown = false;
  const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  int left = w, top = h, right = 0, bottom = 0;
  for (;;) {
    x += dx;
    y += dy;
    ui::DrawCircle(grid, x, y, radius, ring);
    left = std::min(left, x - radius), top = std::min(top, y - radius);
    right = std::max(right, x + radius + 1), bottom = std::max(bottom, y + radius + 1);
    ++circles;
    if (x > w || x < 0) dx = -dx;
    if (y > h || y < 0) dy = -dy;
    if (x < 0 && y < 0) {
      // A finished cycle: the next starts on a cleared picture.
      std::fill(grid.pixels, grid.pixels + static_cast<std::size_t>(w) * h, 0);
      left = 0, top = 0, right = w, bottom = h;
      x = 0, y = 0, dx = 14, dy = 14;
    }
    const auto now = Clock::now();
    if (now - last_present >= std::chrono::milliseconds(16)) {
      left = std::max(left, 0), top = std::max(top, 0), right = std::min(right, w), bottom = std::min(bottom, h);
      if (right > left && bottom > top)
        XShmPutImage(d, win, gc, image, left, top, left, top, right - left, bottom - top, False);
      left = w, top = h, right = 0, bottom = 0;
      XFlush(d);
      last_present = now;
      if (!first_shown) {
        XSync(d, False);
        first_shown = true;
        std::printf("first_ring_ms %.1f\n", std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        std::fflush(stdout);
      }
    }
    if (now - last_look >= std::chrono::microseconds(500)) {
      last_look = now;
      while (XPending(d) > 0) {
        XEvent e;
        XNextEvent(d, &e);
      }
      if (now >= end) break;
    }
  }
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("circles_per_second %.0f circles %lld\n", static_cast<double>(circles) / elapsed, circles);
  return 0;
}
