// Containers on Win32. A canvas is a picture box window that the composition
// paints; its window procedure is wrapped to give windowless controls their
// cursor and tool-tip and to pass the scroll bars' notifications on.
#include <windows.h>
#include <commctrl.h>

#undef GetObject

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "ui/widgets.h"
#include "ui/win32/backend_win.h"
#include "ui/win32/guard_win.h"
#include "ui/win32/modules_win.h"
#include "ui/win32/text_win.h"
#include "ui/win32/window_win.h"

namespace ui::win32 {
namespace {

constexpr wchar_t kCanvasProp[] = L"TessellaneCanvas";
constexpr wchar_t kOldProcProp[] = L"TessellaneCanvasProc";

HCURSOR CursorOf(const CursorImage* image) {
  // Keyed by the picture itself, not by where it lies: a control's picture
  // freed with its window may be followed by another at the same address.
  auto& cursors = Backend().cursors;
  if (!image || image->Empty()) return nullptr;
  auto key = std::make_tuple(std::vector<unsigned char>(image->image.begin(), image->image.end()), int(image->hot_x),
                             int(image->hot_y));
  auto it = cursors.find(key);
  if (it != cursors.end()) return it->second;
  // A cursor resource is the image preceded by its hot spot.
  std::vector<BYTE> resource(4 + image->image.size());
  resource[0] = static_cast<BYTE>(image->hot_x & 0xFF);
  resource[1] = static_cast<BYTE>(image->hot_x >> 8);
  resource[2] = static_cast<BYTE>(image->hot_y & 0xFF);
  resource[3] = static_cast<BYTE>(image->hot_y >> 8);
  std::copy(image->image.begin(), image->image.end(), resource.begin() + 4);
  HCURSOR made = reinterpret_cast<HCURSOR>(CreateIconFromResourceEx(
      resource.data(), static_cast<DWORD>(resource.size()), FALSE, 0x00030000, image->width, image->height, 0));
  cursors.emplace(std::move(key), made);
  return made;
}

void AddStyle(HWND hwnd, LONG_PTR style) {
  SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | style);
}

// The tool-tip of the windowless control under the cursor: one tip window
// per canvas, its single tool moved onto whichever control the cursor is over.
// A canvas's entries go when its window is destroyed (the tip, owned by it,
// goes with it): a later window may get the same handle.
void ForgetToolTip(HWND hwnd) {
  Backend().tips.erase(hwnd);
  Backend().tip_current.erase(hwnd);
}

void ShowToolTipFor(HWND hwnd, const Windowless* over) {
  auto& tips = Backend().tips;
  auto& current = Backend().tip_current;
  if (current[hwnd] == over) return;
  current[hwnd] = over;
  HWND& tip = tips[hwnd];
  if (!tip) {
    if (!over || over->ToolTipText.empty()) return;
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = LoadedModule(L"comctl32.dll");
    auto init = comctl
                    ? reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")))
                    : nullptr;
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    if (!init || !init(&classes)) return;
    tip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tip) return;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd;
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  std::wstring text = over ? Widen(over->ToolTipText) : std::wstring();
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = hwnd;
  tool.uId = 1;
  if (over && !text.empty())
    tool.rect = RECT{over->Left(), over->Top(), over->Left() + over->Width(), over->Top() + over->Height()};
  SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  tool.lpszText = text.data();
  SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CALLBACK CanvasProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* canvas = static_cast<Canvas*>(GetPropW(hwnd, kCanvasProp));
  auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProp));
  switch (msg) {
    case WM_MOUSEMOVE:
      if (canvas) ShowToolTipFor(hwnd, canvas->HitTest(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))));
      break;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && canvas) {
        if (ShowHourglassIfBusy()) return TRUE;
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd, &p);
        const Windowless* over = canvas->HitTest(p.x, p.y);
        if (HCURSOR c = over ? CursorOf(over->MouseIcon) : nullptr) {
          SetCursor(c);
          return TRUE;
        }
      }
      break;
    case WM_VSCROLL:
      if (DeliverScroll(reinterpret_cast<HWND>(lp), wp)) return 0;
      break;
    case WM_NCDESTROY:
      ForgetToolTip(hwnd);
      RemovePropW(hwnd, kCanvasProp);
      RemovePropW(hwnd, kOldProcProp);
      if (old) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
      break;
  }
  return old ? CallWindowProcW(old, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

class Win32CanvasPeer : public CanvasPeer {
 public:
  explicit Win32CanvasPeer(Canvas& canvas) : canvas_(canvas) {}
  void Attach() override {
    HWND hwnd = HwndOf(canvas_.Handle());
    if (!hwnd || attached_ == hwnd) return;
    attached_ = hwnd;
    AddStyle(hwnd, WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    SetPropW(hwnd, kCanvasProp, &canvas_);
    const LONG_PTR old = SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Guarded<CanvasProc>));
    SetPropW(hwnd, kOldProcProp, reinterpret_cast<HANDLE>(old));
  }
  void SetSunkenBorder(bool sunken) override {
    Attach();
    if (attached_) SetClientEdge(attached_, sunken);
  }
  void SetVisible(bool visible) override {
    if (attached_) ShowWindow(attached_, visible ? SW_SHOWNA : SW_HIDE);
  }
  void ZOrder(bool to_top) override {
    Attach();
    if (attached_)
      SetWindowPos(attached_, to_top ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

 private:
  Canvas& canvas_;
  HWND attached_ = nullptr;
};

}  // namespace
}  // namespace ui::win32

namespace ui {

using namespace win32;

std::unique_ptr<CanvasPeer> CreateCanvasPeer(Canvas& canvas) { return std::make_unique<Win32CanvasPeer>(canvas); }

void BringToTop(WindowHandle child) {
  if (child) SetWindowPos(HwndOf(child), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace ui
