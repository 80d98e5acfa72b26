// What the window layer's calls do to real windows: the preview's adoption
// by its host, the note to its owner, the topmost display.
#include <windows.h>
#include <gtest/gtest.h>

#include "ui/backend.h"

namespace {

int g_close_requests = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) {
    ++g_close_requests;
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND Popup(HWND owner = nullptr) {
  static const ATOM kClass = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TessSystemTest";
    return RegisterClassW(&wc);
  }();
  return CreateWindowExW(0, MAKEINTATOM(kClass), L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 50, 40, owner, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

ui::WindowHandle Handle(HWND window) { return reinterpret_cast<ui::WindowHandle>(window); }

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST(SystemWin, AttachedWindowBecomesAChildOfItsHostKeepingItsStyle) {
  HWND host = Popup(), form = Popup();
  ASSERT_TRUE(host && form);
  ui::sys::AttachToParent(Handle(form), Handle(host));
  EXPECT_EQ(GetAncestor(form, GA_PARENT), host);
  const LONG style = GetWindowLongW(form, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_POPUP | WS_CLIPCHILDREN), WS_CHILD | WS_POPUP | WS_CLIPCHILDREN);
  DestroyWindow(host);
}

TEST(SystemWin, OwnerIsAskedToCloseWithoutWaiting) {
  HWND owner = Popup();
  HWND owned = Popup(owner);
  ASSERT_TRUE(owner && owned);
  g_close_requests = 0;
  ui::sys::NotifyOwnerClosed(Handle(owned));
  EXPECT_EQ(g_close_requests, 0) << "posted, not sent";
  Pump();
  EXPECT_EQ(g_close_requests, 1);
  DestroyWindow(owner);
}

TEST(SystemWin, TopmostWindowStaysWhereItIsAndInactive) {
  HWND window = Popup();
  ASSERT_TRUE(window);
  SetWindowPos(window, nullptr, 30, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  ui::sys::MakeTopmost(Handle(window));
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  ui::Rect rect;
  ASSERT_TRUE(ui::sys::GetWindowRect(Handle(window), rect));
  EXPECT_EQ(rect, (ui::Rect{30, 20, 80, 60}));
  EXPECT_NE(GetActiveWindow(), window);
  DestroyWindow(window);
}

TEST(SystemWin, WineAndEveryCurrentWindowsAskForThePasswordThemselves) { EXPECT_FALSE(ui::sys::SaverAsksPassword()); }

}  // namespace
