// Picture boxes on Win32: a child window painted from a memory bitmap that
// keeps everything drawn on it (the persistent surface).
#include <windows.h>

#include <algorithm>
#include <vector>

#include "ui/form.h"
#include "ui/win32/backend_win.h"
#include "ui/win32/checked_win.h"
#include "ui/win32/gdi_count_win.h"
#include "ui/win32/gdi_win.h"
#include "ui/win32/guard_win.h"
#include "ui/win32/surfaces_win.h"
#include "ui/win32/window_win.h"

namespace ui::win32 {
namespace {

constexpr wchar_t kPictureClass[] = L"TessellanePicture";

}  // namespace

class Win32PictureBoxPeer : public ChildWindowPeer<Win32PictureBoxPeer, PictureBoxPeer> {
 public:
  Win32PictureBoxPeer(PictureBox& box, Form& parent) : box_(box), parent_(parent) {
    Backend().pictures.push_back(this);
  }
  ~Win32PictureBoxPeer() override {
    auto& pictures = Backend().pictures;
    pictures.erase(std::remove(pictures.begin(), pictures.end(), this), pictures.end());
    if (surface_.Dc()) SelectObject(surface_.Dc(), GetStockObject(BLACK_PEN));
    if (pen_) DeleteCounted(pen_);
  }

  void Clear(Colour back) override {
    back_ = back;
    const RECT r{0, 0, surface_.Width(), surface_.Height()};
    FillColour(surface_.Dc(), r, back);
    Invalidate(r);
  }
  void Circle(int x, int y, int radius, Colour colour) override {
    SelectPen(colour);
    Ellipse(surface_.Dc(), x - radius, y - radius, x + radius + 1, y + radius + 1);
    Invalidate(RECT{x - radius - 1, y - radius - 1, x + radius + 2, y + radius + 2});
  }
  void Line(int x1, int y1, int x2, int y2, Colour colour) override {
    SelectPen(colour);
    MoveToEx(surface_.Dc(), x1, y1, nullptr);
    LineTo(surface_.Dc(), x2, y2);
    Invalidate(RECT{std::min(x1, x2) - 1, std::min(y1, y2) - 1, std::max(x1, x2) + 2, std::max(y1, y2) + 2});
  }
  void PaintPicture(const Picture& pic, const Rect& d, const Rect& s) override {
    StretchPicture(surface_.Dc(), pic, d, s);
    Invalidate(RECT{d.left, d.top, d.right, d.bottom});
  }
  void Refresh() override { Flush(); }
  void Focus() override { SetFocus(Window()); }

  // Copies what was drawn since the last flush onto the window.
  void Flush() {
    if (!hwnd_ || IsRectEmpty(&dirty_)) return;
    HDC dc = GetDC(hwnd_);
    BitBlt(dc, dirty_.left, dirty_.top, dirty_.right - dirty_.left, dirty_.bottom - dirty_.top, surface_.Dc(),
           dirty_.left, dirty_.top, SRCCOPY);
    ReleaseDC(hwnd_, dc);
    SetRectEmpty(&dirty_);
    last_flush_ = GetTickCount64();
  }
  // Drawing goes to the memory bitmap at once and reaches the screen about
  // once per display frame: a loop that draws one ring per event pass then
  // costs little more than the drawing itself.
  void FlushIfDue() {
    if (!IsRectEmpty(&dirty_) && GetTickCount64() - last_flush_ >= kFrameMs) Flush();
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = InstanceOf<Win32PictureBoxPeer>(hwnd, msg, lp);
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    const float x = static_cast<float>(static_cast<short>(LOWORD(lp)));
    const float y = static_cast<float>(static_cast<short>(HIWORD(lp)));
    if (const ButtonEvent b = ButtonEventOf(msg); b.button)
      return b.down ? self->OnButtonDown(b.button, x, y) : self->OnButtonUp(b.button, wp, x, y);
    switch (msg) {
      case WM_PAINT: return self->OnPaint();
      case WM_ERASEBKGND: return 1;
      case WM_MOUSEMOVE: return self->OnMouse(self->box_.OnMouseMove, ButtonsOf(wp), x, y);
      case WM_CAPTURECHANGED: return self->OnCaptureChanged(reinterpret_cast<HWND>(lp));
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (PreviewKey(self->parent_, wp)) return 0;
        break;
      case WM_SETCURSOR:
        if (ShowHourglassIfBusy()) return TRUE;
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

 private:
  friend ChildWindowPeer;
  LRESULT OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    const RECT& r = ps.rcPaint;
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, surface_.Dc(), r.left, r.top, SRCCOPY);
    EndPaint(hwnd_, &ps);
    return 0;
  }
  LRESULT OnMouse(const std::function<void(int, int, float, float)>& handler, int button, float x, float y) {
    if (handler) handler(button, ShiftState(), x, y);
    return 0;
  }
  LRESULT OnButtonDown(int button, float x, float y) {
    SetCapture(hwnd_);
    if (button == kLeftButton) left_down_ = true;
    return OnMouse(box_.OnMouseDown, button, x, y);
  }
  LRESULT OnButtonUp(int button, WPARAM held, float x, float y) {
    OnMouse(box_.OnMouseUp, button, x, y);
    // A click is a left press and release on the control.
    RECT client;
    GetClientRect(hwnd_, &client);
    const bool inside = x >= 0 && y >= 0 && x < client.right && y < client.bottom;
    if (button == kLeftButton && left_down_ && inside && box_.OnClick) box_.OnClick();
    if (button == kLeftButton) left_down_ = false;
    // The mouse stays here until the last held button is released, so that
    // every release comes back to where its press went.
    if (ButtonsOf(held) == 0 && GetCapture() == hwnd_) ReleaseCapture();
    return 0;
  }
  LRESULT OnCaptureChanged(HWND new_owner) {
    if (new_owner == hwnd_) return 0;
    left_down_ = false;
    if (box_.OnCaptureLost) box_.OnCaptureLost();
    return 0;
  }

  void Create() {
    RegisterClassOnce(kPictureClass, Guarded<Proc>);
    hwnd_ = CreateWindowChecked(kPictureClass, WS_CHILD | WS_VISIBLE, HwndOf(parent_.Handle()), this,
                                "CreateWindowExW picture box");
    Resize(1, 1);
  }

  void Resize(int w, int h) {
    if (surface_.Dc() && pen_) SelectObject(surface_.Dc(), GetStockObject(BLACK_PEN));
    surface_.Resize(w, h, back_);
    // Rings are outlines: the brush stays hollow.
    SelectObject(surface_.Dc(), GetStockObject(NULL_BRUSH));
    if (pen_) SelectObject(surface_.Dc(), pen_);
  }

  void SelectPen(Colour colour) {
    if (pen_ && colour == pen_colour_) return;
    HPEN pen = Required(Counted(CreatePen(PS_SOLID, 1, Ref(colour))), "CreatePen");
    SelectObject(surface_.Dc(), pen);
    if (pen_) DeleteCounted(pen_);
    pen_ = pen;
    pen_colour_ = colour;
  }

  void Invalidate(const RECT& r) {
    RECT clipped;
    const RECT all{0, 0, surface_.Width(), surface_.Height()};
    if (IntersectRect(&clipped, &r, &all)) UnionRect(&dirty_, &dirty_, &clipped);
  }

  static constexpr ULONGLONG kFrameMs = 15;
  RECT dirty_{};
  ULONGLONG last_flush_ = 0;

  PictureBox& box_;
  Form& parent_;
  MemoryBitmap surface_;
  HPEN pen_ = nullptr;
  Colour pen_colour_ = 0;
  Colour back_ = 0;
  bool left_down_ = false;
};

void FlushSurfaces() {
  for (auto* p : Backend().pictures) p->Flush();
}

void FlushSurfacesIfDue() {
  for (auto* p : Backend().pictures) p->FlushIfDue();
}

}  // namespace ui::win32

namespace ui {

std::unique_ptr<PictureBoxPeer> CreatePictureBoxPeer(PictureBox& box, Form& parent) {
  return std::make_unique<win32::Win32PictureBoxPeer>(box, parent);
}

}  // namespace ui
