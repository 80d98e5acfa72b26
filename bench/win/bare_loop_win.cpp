// bare_loop.exe SECONDS [RADIUS]: reference for the display's drawing speed.
// A topmost full-screen popup window and a loop that does nothing but draw one
// hollow circle outline with Ellipse and drain the message queue with
// PeekMessage/DispatchMessage, the least a circle-per-yield loop can do. After
// SECONDS it prints "circles_per_second N" (and the totals) and its peak
// working set in bytes, "peak_working_set N", and exits.
#include <windows.h>
#include <psapi.h>

#include "bench/win/bench_clock_win.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool g_quit = false;

LRESULT CALLBACK wnd_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DESTROY:
      g_quit = true;
      PostQuitMessage(0);
      return 0;
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bare_loop SECONDS [RADIUS]\n");
    return 2;
  }
  const double seconds = std::atof(argv[1]);
  const int radius = argc > 2 ? std::atoi(argv[2]) : 50;
  if (seconds <= 0 || radius < 1) {
    std::fprintf(stderr, "bare_loop: SECONDS and RADIUS must be positive\n");
    return 2;
  }

  const int w = GetSystemMetrics(SM_CXSCREEN);
  const int h = GetSystemMetrics(SM_CYSCREEN);
  HWND hwnd = BenchWindow(L"BareLoop", wnd_proc, WS_EX_TOPMOST, 0, 0, w, h);
  if (!hwnd) return 1;

  HDC dc = GetDC(hwnd);
  PatBlt(dc, 0, 0, w, h, BLACKNESS);
  SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 0));
  SelectObject(dc, pen);

  // The same walk as the display: 14 pixels per circle, bouncing off the edges.
  int x = 0, y = 0, dx = 14, dy = 14;
  long long circles = 0;
  LARGE_INTEGER freq, start, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  const LONGLONG limit = static_cast<LONGLONG>(seconds * static_cast<double>(freq.QuadPart));
  MSG msg;
  for (;;) {
    x += dx;
    y += dy;
    Ellipse(dc, x - radius, y - radius, x + radius + 1, y + radius + 1);
    ++circles;
    if (x > w || x < 0) dx = -dx;
    if (y > h || y < 0) dy = -dy;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (g_quit) break;
    // Checking the clock every circle would cost as much as drawing one.
    if ((circles & 63) == 0) {
      QueryPerformanceCounter(&now);
      if (now.QuadPart - start.QuadPart >= limit) break;
    }
  }
  QueryPerformanceCounter(&now);
  const double elapsed = static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);

  ReleaseDC(hwnd, dc);
  DeleteObject(pen);
  if (!g_quit) DestroyWindow(hwnd);

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf("circles %lld\nseconds %.3f\ncircles_per_second %.0f\npeak_working_set %llu\n", circles, elapsed,
              elapsed > 0 ? static_cast<double>(circles) / elapsed : 0.0,
              static_cast<unsigned long long>(memory.PeakWorkingSetSize));
  std::fflush(stdout);
  return 0;
}
