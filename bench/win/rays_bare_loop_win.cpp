// rays_bare_loop.exe SECONDS: reference for the settings window's light-ray
// speed. A window with a 320 x 240 8-bit DIB section and a loop that does
// nothing but drain the message queue, add one to 100 bytes of the bits and
// blit the picture to the window: the least a ray-per-repaint loop can do.
// Prints "rays_per_second N" after SECONDS and exits.
#include <windows.h>

#include "bench/win/bench_clock_win.h"

#include <cstdio>
#include <cstdlib>

namespace {

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 0;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: rays_bare_loop SECONDS\n");
    return 2;
  }
  HWND hwnd = BenchWindow(L"RaysBareLoop", WndProc, 0, 100, 100, 320, 240);
  if (!hwnd) return 1;

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } bi{};
  bi.header.biSize = sizeof(BITMAPINFOHEADER);
  bi.header.biWidth = 320;
  bi.header.biHeight = 240;
  bi.header.biPlanes = 1;
  bi.header.biBitCount = 8;
  bi.header.biCompression = BI_RGB;
  bi.header.biClrUsed = 256;
  const BYTE rg[8] = {0, 32, 64, 96, 128, 160, 192, 255}, b[4] = {0, 64, 128, 255};
  for (int i = 0; i < 256; ++i) bi.colours[i] = RGBQUAD{b[i & 3], rg[(i >> 2) & 7], rg[(i >> 5) & 7], 0};
  HDC memory = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return 1;
  SelectObject(memory, dib);
  auto* pixels = static_cast<BYTE*>(bits);

  const double start = BenchNow();
  long long rays = 0;
  int x = 0, y = 0;
  MSG msg;
  while (BenchNow() - start < seconds) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return 0;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    for (int i = 0; i < 100; ++i) {
      BYTE& p = pixels[y * 320 + x];
      if (p < 254) ++p;
      x = (x + 1) % 320;
      if (x == 0) y = (y + 1) % 240;
    }
    HDC dc = GetDC(hwnd);
    BitBlt(dc, 0, 0, 320, 240, memory, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
    ++rays;
  }
  const double elapsed = BenchNow() - start;
  std::printf("rays_per_second %.1f\nrays %lld\nseconds %.3f\n", rays / elapsed, rays, elapsed);
  return 0;
}
