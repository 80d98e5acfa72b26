// Pending-event processing on Windows: the loop's own calls are rationed,
// a handler's call for pending events is not.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "ui/backend.h"

namespace {

constexpr UINT kOuter = WM_APP + 1;
constexpr UINT kInner = WM_APP + 2;

std::vector<UINT>* g_seen = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kOuter || message == kInner) {
    g_seen->push_back(message);
    if (message == kOuter) {
      // Like a handler that changes a picture and wants it painted before it
      // goes on: what it posted must be handled inside this call.
      PostMessageW(window, kInner, 0, 0);
      ui::DoEvents();
      g_seen->push_back(0);
    }
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

TEST(EventsWin, AHandlersCallForPendingEventsIsNotPutOff) {
  std::vector<UINT> seen;
  g_seen = &seen;
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TessEventsWinTest";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND window =
      CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);

  // Twice in a row: the second outer call comes well within the ration of the
  // first, and the outer message still waits for a later call.
  for (int round = 0; round < 2; ++round) {
    seen.clear();
    PostMessageW(window, kOuter, 0, 0);
    for (int i = 0; i < 200 && seen.empty(); ++i) {
      ui::DoEvents();
      Sleep(1);
    }
    EXPECT_EQ(seen, (std::vector<UINT>{kOuter, kInner, 0})) << "round " << round;
  }
  DestroyWindow(window);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
  g_seen = nullptr;
}

}  // namespace
