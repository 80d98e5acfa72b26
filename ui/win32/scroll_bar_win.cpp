// Vertical scroll bars on Win32: the system's own, a child of the container's
// window, which passes the bar's notifications on (DeliverScroll).
#include <windows.h>

#undef GetObject

#include <algorithm>
#include <cstdlib>

#include "ui/widgets.h"
#include "ui/win32/window_win.h"

namespace ui::win32 {
namespace {

constexpr wchar_t kScrollBarProp[] = L"TessellaneScrollBar";

class Win32ScrollBarPeer : public ScrollBarPeer {
 public:
  Win32ScrollBarPeer(VScrollBar& bar, Canvas& container) : bar_(bar), container_(container) {}
  ~Win32ScrollBarPeer() override {
    if (hwnd_ && IsWindow(hwnd_)) {
      RemovePropW(hwnd_, kScrollBarProp);
      DestroyWindow(hwnd_);
    }
  }
  WindowHandle Handle() override { return HandleOf(Window()); }
  void SetBounds(int x, int y, int width, int height) override { MoveWindow(Window(), x, y, width, height, TRUE); }
  void SetRange(int count) override { SetScrollRange(Window(), SB_CTL, 0, std::max(count - 1, 0), TRUE); }
  void SetPosition(int position) override { SetScrollPos(Window(), SB_CTL, position, TRUE); }

 private:
  HWND Window() {
    if (!hwnd_) {
      hwnd_ = CreateWindowChecked(L"SCROLLBAR", WS_CHILD | WS_VISIBLE | SBS_VERT, HwndOf(container_.Handle()), nullptr,
                                  "CreateWindowExW SCROLLBAR", {0, 0, 10, 10});
      SetPropW(hwnd_, kScrollBarProp, &bar_);
    }
    return hwnd_;
  }
  VScrollBar& bar_;
  Canvas& container_;
  HWND hwnd_ = nullptr;
};

}  // namespace

bool DeliverScroll(HWND window, WPARAM wp) {
  auto* bar = window ? static_cast<VScrollBar*>(GetPropW(window, kScrollBarProp)) : nullptr;
  if (!bar) return false;
  switch (LOWORD(wp)) {
    case SB_LINEUP:
    case SB_PAGEUP: bar->UserStepped(-1); break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN: bar->UserStepped(1); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: bar->UserScrolledTo(HIWORD(wp)); break;
    case SB_TOP: bar->UserScrolledTo(0); break;
    case SB_BOTTOM: bar->UserScrolledTo(std::abs(bar->Max() - bar->Min())); break;
  }
  return true;
}

}  // namespace ui::win32

namespace ui {

std::unique_ptr<ScrollBarPeer> CreateScrollBarPeer(VScrollBar& bar, Canvas& container) {
  return std::make_unique<win32::Win32ScrollBarPeer>(bar, container);
}

}  // namespace ui
