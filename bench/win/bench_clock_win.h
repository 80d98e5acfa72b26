// What the test-only benchmark programs share: seconds from the
// high-resolution counter and a visible popup window of their own class.
#pragma once
#include <windows.h>

inline double BenchNow() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A visible popup of a class named `name`, with the arrow pointer; null when
// the class or the window cannot be made.
inline HWND BenchWindow(const wchar_t* name, WNDPROC proc, DWORD ex_style, int x, int y, int w, int h) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  if (!RegisterClassW(&wc)) return nullptr;
  return CreateWindowExW(ex_style, name, name, WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr, wc.hInstance,
                         nullptr);
}
