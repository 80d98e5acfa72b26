// Stands in for a screen-saver host on X: a window of the depth asked for
// (24, or 32 for the ARGB visual a preferences pane may pick), mapped on the
// screen, its id printed on the first line. It lives until killed and
// prints "gone" if its window is destroyed by someone else.
//   host_window DEPTH WIDTHxHEIGHT
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: host_window DEPTH WIDTHxHEIGHT\n");
    return 2;
  }
  const int depth = std::atoi(argv[1]);
  unsigned width = 0, height = 0;
  if (std::sscanf(argv[2], "%ux%u", &width, &height) != 2 || !width || !height) return 2;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  const int screen = DefaultScreen(display);
  XVisualInfo info;
  if (!XMatchVisualInfo(display, screen, depth, TrueColor, &info)) {
    std::fprintf(stderr, "host_window: no TrueColor visual of depth %d\n", depth);
    return 1;
  }
  // A visual other than the root's needs its own colour map and border.
  XSetWindowAttributes attributes{};
  attributes.colormap = XCreateColormap(display, RootWindow(display, screen), info.visual, AllocNone);
  attributes.border_pixel = 0;
  attributes.background_pixel = 0;
  const Window window = XCreateWindow(display, RootWindow(display, screen), 0, 0, width, height, 0, depth, InputOutput,
                                      info.visual, CWColormap | CWBorderPixel | CWBackPixel, &attributes);
  XStoreName(display, window, "tess-host");
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  std::printf("0x%lx\n", window);
  std::fflush(stdout);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == DestroyNotify && event.xdestroywindow.window == window) {
      std::printf("gone\n");
      std::fflush(stdout);
      return 0;
    }
  }
}
