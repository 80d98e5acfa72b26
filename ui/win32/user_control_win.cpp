// User controls on Win32: a child window of a class of its own with a memory
// bitmap as the persistent surface. The caption label has no window: it is
// drawn over the surface whenever the window is painted.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/user_control.h"
#include "ui/win32/checked_win.h"
#include "ui/win32/gdi_count_win.h"
#include "ui/win32/gdi_win.h"
#include "ui/win32/guard_win.h"
#include "ui/win32/text_win.h"
#include "ui/win32/window_win.h"

namespace ui::win32 {
namespace {

constexpr wchar_t kControlClass[] = L"TessellaneUserControl";

class Win32UserControlPeer : public ChildWindowPeer<Win32UserControlPeer, UserControlPeer> {
 public:
  Win32UserControlPeer(UserControl& control, Form& container) : control_(control), container_(container) {}
  ~Win32UserControlPeer() override {
    if (hwnd_) {
      // No notification may reach a control that is going away.
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      DestroyWindow(hwnd_);
    }
  }

  void Clear(Colour back) override {
    FillColour(surface_.Dc(), RECT{0, 0, surface_.Width(), surface_.Height()}, back);
    Invalidate();
  }

  void PaintPicture(const Picture& pic, const Rect& d, const Rect& s) override {
    if (!surface_.Dc()) return;
    StretchPicture(surface_.Dc(), pic, d, s);
    Invalidate();
  }

  void PaintVerticalGradient(const Rect& r, Colour top, Colour bottom) override {
    if (!surface_.Dc()) return;
    // Colour bytes in the high byte of each 16-bit channel. The rectangle
    // names the lower vertex first; the fill still runs from top to bottom.
    const auto vertex = [](int x, int y, Colour c) {
      return TRIVERTEX{x,
                       y,
                       static_cast<COLOR16>(RedOf(c) << 8),
                       static_cast<COLOR16>(GreenOf(c) << 8),
                       static_cast<COLOR16>(BlueOf(c) << 8),
                       0};
    };
    TRIVERTEX vertices[2] = {vertex(r.left, r.top, top), vertex(r.right, r.bottom, bottom)};
    GRADIENT_RECT rect{1, 0};
    ::GradientFill(surface_.Dc(), vertices, 2, &rect, 1, GRADIENT_FILL_RECT_V);
    Invalidate();
  }

  void SetOpaque(bool opaque) override {
    opaque_ = opaque;
    Invalidate();
  }
  void LabelChanged(const ControlLabel&) override { Invalidate(); }
  void Refresh() override {
    if (hwnd_) UpdateWindow(hwnd_);
  }
  void TakeFocus() override { SetFocus(Window()); }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = InstanceOf<Win32UserControlPeer>(hwnd, msg, lp);
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    const float x = static_cast<float>(static_cast<short>(LOWORD(lp)));
    const float y = static_cast<float>(static_cast<short>(HIWORD(lp)));
    if (const ButtonEvent b = ButtonEventOf(msg); b.button)
      return b.down ? self->OnButtonDown(b.button, x, y) : self->OnButtonUp(b.button, x, y);
    switch (msg) {
      case WM_PAINT: return self->OnPaint();
      case WM_ERASEBKGND: return 1;
      case WM_MOUSEMOVE: self->control_.DeliverMouseMove(ButtonsOf(wp), ShiftState(), x, y); return 0;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hwnd) self->buttons_ = 0;
        return 0;
      case WM_SETFOCUS: self->control_.DeliverFocus(true); return 0;
      case WM_KILLFOCUS: self->control_.DeliverFocus(false); return 0;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (PreviewKey(self->container_, wp)) return 0;
        break;
      case WM_NCDESTROY: self->hwnd_ = nullptr; break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

 private:
  friend ChildWindowPeer;
  LRESULT OnButtonDown(int button, float x, float y) {
    buttons_ |= button;
    // The control keeps the mouse while a button is held, also off its window.
    if (GetCapture() != hwnd_) SetCapture(hwnd_);
    control_.DeliverMouseDown(button, ShiftState(), x, y);
    // A left click on the control gives it the focus; the other buttons do not.
    if (button == kLeftButton && hwnd_ && GetFocus() != hwnd_) SetFocus(hwnd_);
    return 0;
  }

  LRESULT OnButtonUp(int button, float x, float y) {
    buttons_ &= ~button;
    const int still_held = buttons_;
    if (still_held == 0 && GetCapture() == hwnd_) ReleaseCapture();
    control_.DeliverMouseUp(button, still_held, ShiftState(), x, y);
    return 0;
  }

  LRESULT OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    // Composed off screen: the surface (or the container behind a transparent
    // control) and the caption over it, then shown in one copy.
    HDC buffer = Required(Counted(CreateCompatibleDC(dc)), "CreateCompatibleDC");
    const int width = surface_.Width(), height = surface_.Height();
    HBITMAP bitmap = Required(Counted(CreateCompatibleBitmap(dc, width, height)), "CreateCompatibleBitmap");
    HGDIOBJ old = SelectObject(buffer, bitmap);
    if (opaque_) {
      BitBlt(buffer, 0, 0, width, height, surface_.Dc(), 0, 0, SRCCOPY);
    } else {
      HWND parent = GetParent(hwnd_);
      POINT origin{0, 0};
      MapWindowPoints(hwnd_, parent, &origin, 1);
      POINT previous;
      SetViewportOrgEx(buffer, -origin.x, -origin.y, &previous);
      SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer), 0);
      SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer), PRF_CLIENT);
      SetViewportOrgEx(buffer, previous.x, previous.y, nullptr);
    }
    DrawCaption(buffer);
    const RECT& r = ps.rcPaint;
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer, r.left, r.top, SRCCOPY);
    SelectObject(buffer, old);
    DeleteCounted(bitmap);
    DeleteCountedDc(buffer);
    EndPaint(hwnd_, &ps);
    return 0;
  }

  void DrawCaption(HDC dc) {
    const ControlLabel& label = control_.Label();
    if (label.Caption().empty()) return;
    const Rect b = label.PixelBounds();
    DrawTextIn(dc, Widen(label.Caption()), RECT{b.left, b.top, b.right, b.bottom},
               DT_CENTER | DT_WORDBREAK | DT_NOPREFIX, label.FontObject(), label.ForeColor(), label.Enabled());
  }

  void Create() {
    RegisterClassOnce(kControlClass, Guarded<Proc>);
    hwnd_ = CreateWindowChecked(kControlClass, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, HwndOf(container_.Handle()),
                                this, "CreateWindowExW control");
    Resize(1, 1);
  }

  void Resize(int w, int h) { surface_.Resize(w, h, kWhite); }

  void Invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
  }

  UserControl& control_;
  Form& container_;
  MemoryBitmap surface_;
  int buttons_ = 0;
  bool opaque_ = true;
};

}  // namespace
}  // namespace ui::win32

namespace ui {

std::unique_ptr<UserControlPeer> CreateUserControlPeer(UserControl& control, Form& container) {
  return std::make_unique<win32::Win32UserControlPeer>(control, container);
}

}  // namespace ui
