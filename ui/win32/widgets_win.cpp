// Forms, picture boxes and timers on Win32. A form is a borderless popup
// window; a picture box is a child window painted from a memory bitmap that
// keeps everything drawn on it (the persistent surface).
#include <windows.h>

#include <algorithm>
#include <map>
#include <vector>

#include "ui/events.h"
#include "ui/form.h"
#include "ui/screen.h"
#include "ui/win32/checked_win.h"
#include "ui/win32/gdi_count_win.h"
#include "ui/win32/gdi_win.h"
#include "ui/win32/guard_win.h"
#include "ui/win32/surfaces_win.h"
#include "ui/win32/text_win.h"

namespace ui::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"TessellaneForm";
constexpr wchar_t kPictureClass[] = L"TessellanePicture";

class Win32FormPeer;
class Win32PictureBoxPeer;
std::vector<Win32PictureBoxPeer*> g_pictures;
int g_live_forms = 0;

template <class Peer>
Peer* PeerOf(HWND hwnd) {
  return reinterpret_cast<Peer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool SetPointerCursor() {
  if (screen::MousePointer() != 11) return false;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

class Win32FormPeer : public FormPeer {
 public:
  explicit Win32FormPeer(Form& form) : form_(form) {}
  ~Win32FormPeer() override { Destroy(); }

  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(Window()); }
  HWND Window() {
    if (!hwnd_ && !destroyed_) Create();
    return hwnd_;
  }
  void SetCaption(const std::string& caption) override {
    caption_ = Widen(caption);
    if (hwnd_) SetWindowTextW(hwnd_, caption_.c_str());
  }
  void SetBoundsPixels(int x, int y, int w, int h) override {
    bounds_ = {x, y, x + w, y + h};
    if (hwnd_) MoveWindow(hwnd_, x, y, w, h, TRUE);
  }
  void SetBackColor(Colour colour) override {
    back_ = colour;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
  }
  void Show() override { ShowWindow(Window(), SW_SHOWNORMAL); }
  void Destroy() override {
    if (!hwnd_) return;
    HWND h = hwnd_;
    hwnd_ = nullptr;
    destroyed_ = true;
    --g_live_forms;
    if (!destroyed_by_system_) DestroyWindow(h);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
      SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = PeerOf<Win32FormPeer>(hwnd);
    if (self) {
      switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: return self->OnKeyDown(wp);
        case WM_ERASEBKGND: return self->OnEraseBackground(reinterpret_cast<HDC>(wp));
        case WM_CLOSE: return self->OnClose();
        case WM_ENDSESSION: return self->OnEndSession(wp != FALSE);
        case WM_DESTROY: return self->OnDestroy();
        case WM_SETCURSOR:
          if (SetPointerCursor()) return TRUE;
          break;
      }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

  LRESULT OnKeyDown(WPARAM key) {
    if (form_.OnKeyDown) form_.OnKeyDown(static_cast<int>(key), ShiftState());
    return 0;
  }
  LRESULT OnEraseBackground(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    FillColour(dc, r, back_);
    return 1;
  }
  LRESULT OnClose() {
    form_.Unload();
    return 0;
  }
  // The session ends (log-off, shutdown): the process may be ended as soon
  // as this returns, so the form unloads now.
  LRESULT OnEndSession(bool ending) {
    if (ending) form_.Unload();
    return 0;
  }
  // Destroyed by the system, not by Unload (a window this form was made a
  // child of went away): the form unloads all the same, while its handle is
  // still valid, and the event loop wakes to see whether any form is left.
  LRESULT OnDestroy() {
    if (!hwnd_) return 0;
    destroyed_by_system_ = true;
    form_.Unload();
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    return 0;
  }

  Form& form_;

 private:
  void Create() {
    RegisterClassOnce(kFormClass, Guarded<Proc>, true);
    hwnd_ = Required(CreateWindowExW(0, kFormClass, caption_.c_str(), WS_POPUP | WS_CLIPCHILDREN, bounds_.left,
                                     bounds_.top, bounds_.right - bounds_.left, bounds_.bottom - bounds_.top, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), this),
                     "CreateWindowExW form");
    if (hwnd_) ++g_live_forms;
  }

  HWND hwnd_ = nullptr;
  bool destroyed_ = false;
  bool destroyed_by_system_ = false;
  std::wstring caption_;
  RECT bounds_{};
  Colour back_ = 0;
};

class Win32PictureBoxPeer : public PictureBoxPeer {
 public:
  Win32PictureBoxPeer(PictureBox& box, Form& parent) : box_(box), parent_(parent) { g_pictures.push_back(this); }
  ~Win32PictureBoxPeer() override {
    g_pictures.erase(std::remove(g_pictures.begin(), g_pictures.end(), this), g_pictures.end());
    if (surface_.Dc()) SelectObject(surface_.Dc(), GetStockObject(BLACK_PEN));
    if (pen_) DeleteCounted(pen_);
  }

  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(Window()); }
  HWND Window() {
    if (!hwnd_) Create();
    return hwnd_;
  }
  void SetBoundsPixels(int x, int y, int w, int h) override {
    MoveWindow(Window(), x, y, w, h, TRUE);
    Resize(std::max(w, 1), std::max(h, 1));
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
    BitBlt(dc, dirty_.left, dirty_.top, dirty_.right - dirty_.left, dirty_.bottom - dirty_.top, surface_.Dc(), dirty_.left,
           dirty_.top, SRCCOPY);
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
    if (msg == WM_NCCREATE)
      SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = PeerOf<Win32PictureBoxPeer>(hwnd);
    if (self) {
      const float x = static_cast<float>(static_cast<short>(LOWORD(lp)));
      const float y = static_cast<float>(static_cast<short>(HIWORD(lp)));
      switch (msg) {
        case WM_PAINT: return self->OnPaint();
        case WM_ERASEBKGND: return 1;
        case WM_MOUSEMOVE: return self->OnMouse(self->box_.OnMouseMove, ButtonsOf(wp), x, y);
        case WM_LBUTTONDOWN: return self->OnButtonDown(1, x, y);
        case WM_RBUTTONDOWN: return self->OnButtonDown(2, x, y);
        case WM_MBUTTONDOWN: return self->OnButtonDown(4, x, y);
        case WM_LBUTTONUP: return self->OnButtonUp(1, wp, x, y);
        case WM_RBUTTONUP: return self->OnButtonUp(2, wp, x, y);
        case WM_MBUTTONUP: return self->OnButtonUp(4, wp, x, y);
        case WM_CAPTURECHANGED: return self->OnCaptureChanged(reinterpret_cast<HWND>(lp));
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
          // The form sees every key before its controls.
          if (self->parent_.KeyPreview && self->parent_.OnKeyDown) {
            self->parent_.OnKeyDown(static_cast<int>(wp), ShiftState());
            return 0;
          }
          break;
        case WM_SETCURSOR:
          if (SetPointerCursor()) return TRUE;
          break;
      }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

 private:
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
    if (button == 1) left_down_ = true;
    return OnMouse(box_.OnMouseDown, button, x, y);
  }
  LRESULT OnButtonUp(int button, WPARAM held, float x, float y) {
    OnMouse(box_.OnMouseUp, button, x, y);
    // A click is a left press and release on the control.
    RECT client;
    GetClientRect(hwnd_, &client);
    const bool inside = x >= 0 && y >= 0 && x < client.right && y < client.bottom;
    if (button == 1 && left_down_ && inside && box_.OnClick) box_.OnClick();
    if (button == 1) left_down_ = false;
    // The mouse stays here until the last held button is released, so that
    // every release comes back to where its press went.
    if ((held & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == hwnd_) ReleaseCapture();
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
    HWND parent = reinterpret_cast<HWND>(parent_.Handle());
    hwnd_ = Required(CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, parent, nullptr,
                                     GetModuleHandleW(nullptr), this),
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
  HWND hwnd_ = nullptr;
  MemoryBitmap surface_;
  HPEN pen_ = nullptr;
  Colour pen_colour_ = 0;
  Colour back_ = 0;
  bool left_down_ = false;
};

std::map<UINT_PTR, Timer*> g_timers;

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = g_timers.find(id);
  if (it != g_timers.end() && it->second->OnTick) it->second->OnTick();
}

class Win32TimerPeer : public TimerPeer {
 public:
  explicit Win32TimerPeer(Timer& timer) : timer_(timer) {}
  ~Win32TimerPeer() override { Stop(); }
  void Start(int interval_ms) override {
    Stop();
    id_ = SetTimer(nullptr, 0, static_cast<UINT>(interval_ms), GuardedTimer<TimerProc>);
    if (id_) g_timers[id_] = &timer_;
  }
  void Stop() override {
    if (!id_) return;
    KillTimer(nullptr, id_);
    g_timers.erase(id_);
    id_ = 0;
  }

 private:
  Timer& timer_;
  UINT_PTR id_ = 0;
};

}  // namespace

void FlushSurfaces() {
  for (auto* p : g_pictures) p->Flush();
}

void FlushSurfacesIfDue() {
  for (auto* p : g_pictures) p->FlushIfDue();
}

}  // namespace ui::win32

namespace ui {

std::unique_ptr<FormPeer> CreateFormPeer(Form& form) { return std::make_unique<win32::Win32FormPeer>(form); }
std::unique_ptr<PictureBoxPeer> CreatePictureBoxPeer(PictureBox& box, Form& parent) {
  return std::make_unique<win32::Win32PictureBoxPeer>(box, parent);
}
std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) { return std::make_unique<win32::Win32TimerPeer>(timer); }

namespace {

// Asking the system for messages costs tens of microseconds (a server round
// trip under Wine); a loop that asks after every small step would spend nearly
// all its time asking. A look within half a millisecond of the last one is
// skipped: what arrives meanwhile waits at most that long.
bool LookedJustNow() {
  static LARGE_INTEGER frequency{}, last{};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const bool recent = last.QuadPart != 0 && (now.QuadPart - last.QuadPart) * 2000 < frequency.QuadPart;
  if (!recent) last = now;
  return recent;
}

// How many DoEvents calls are dispatching right now.
int g_dispatch_depth = 0;

void DispatchPending() {
  ++g_dispatch_depth;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  --g_dispatch_depth;
}

}  // namespace

void DoEvents() {
  // A handler that asks for pending events (one that changed a picture and
  // wants it seen before it goes on) gets them at once, with everything drawn.
  const bool from_handler = g_dispatch_depth > 0;
  if (from_handler) win32::FlushSurfaces();
  else win32::FlushSurfacesIfDue();
  if (!from_handler && LookedJustNow()) return;
  DispatchPending();
}

void ProcessEventsFor(std::uint32_t milliseconds, const std::function<bool()>& done) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    // Wine copies drawing to the screen only while the queue is looked at.
    win32::FlushSurfaces();
    DispatchPending();
    if (done && done()) return;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    // Input, paint and timer messages all wake the wait.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void RunEventLoop() {
  MSG msg;
  while (win32::g_live_forms > 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    win32::FlushSurfaces();
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace ui
