#include "ui/win32/window_win.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/form.h"
#include "ui/win32/backend_win.h"
#include "ui/win32/checked_win.h"

namespace ui::win32 {

void RegisterClassOnce(const wchar_t* name, WNDPROC proc, bool with_icon) {
  auto& registered = Backend().window_classes;
  if (std::find(registered.begin(), registered.end(), name) != registered.end()) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  if (with_icon) wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
  wc.lpszClassName = name;
  if (RegisterClassExW(&wc)) registered.emplace_back(name);
}

HWND CreateWindowChecked(const wchar_t* window_class, DWORD style, HWND parent, void* instance, const char* what,
                         const RECT& bounds, const wchar_t* title) {
  return Required(CreateWindowExW(0, window_class, title, style, bounds.left, bounds.top, bounds.right - bounds.left,
                                  bounds.bottom - bounds.top, parent, nullptr, GetModuleHandleW(nullptr), instance),
                  what);
}

int ShiftState() {
  return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
         (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int ButtonsOf(WPARAM w) {
  return (w & MK_LBUTTON ? kLeftButton : 0) | (w & MK_RBUTTON ? kRightButton : 0) |
         (w & MK_MBUTTON ? kMiddleButton : 0);
}

ButtonEvent ButtonEventOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN: return {kLeftButton, true};
    case WM_RBUTTONDOWN: return {kRightButton, true};
    case WM_MBUTTONDOWN: return {kMiddleButton, true};
    case WM_LBUTTONUP: return {kLeftButton, false};
    case WM_RBUTTONUP: return {kRightButton, false};
    case WM_MBUTTONUP: return {kMiddleButton, false};
    default: return {};
  }
}

Key KeyOf(WPARAM virtual_key) {
  switch (virtual_key) {
    case VK_LEFT: return Key::kLeft;
    case VK_RIGHT: return Key::kRight;
    case VK_ESCAPE: return Key::kEscape;
    default: return Key::kOtherKey;
  }
}

bool PreviewKey(Form& form, WPARAM key) {
  if (!form.KeyPreview || !form.OnKeyDown) return false;
  form.OnKeyDown(KeyOf(key), ShiftState());
  return true;
}

bool ShowHourglassIfBusy() {
  if (screen::MousePointer() != screen::kHourglassPointer) return false;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

void SetClientEdge(HWND hwnd, bool sunken) {
  LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  ex = sunken ? (ex | WS_EX_CLIENTEDGE) : (ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
  SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace ui::win32
