// Forms on Win32: borderless popup windows.
#include <windows.h>

#include "ui/backend.h"
#include "ui/form.h"
#include "ui/win32/backend_win.h"
#include "ui/win32/gdi_win.h"
#include "ui/win32/guard_win.h"
#include "ui/win32/text_win.h"
#include "ui/win32/window_win.h"

namespace ui::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"TessellaneForm";

class Win32FormPeer : public FormPeer {
 public:
  explicit Win32FormPeer(Form& form) : form_(form) {}
  ~Win32FormPeer() override { Destroy(); }

  WindowHandle Handle() override { return HandleOf(Window()); }
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
  // Windows starts no saver inside another program's window but the
  // preview, which attaches itself: a host is taken as a parent.
  void AdoptHost(WindowHandle host) override { sys::AttachToParent(Handle(), host); }
  Point HostSize() override {
    RECT r{};
    GetClientRect(GetParent(Window()), &r);
    return Point{r.right - r.left, r.bottom - r.top};
  }
  void Destroy() override {
    if (!hwnd_) return;
    HWND h = hwnd_;
    hwnd_ = nullptr;
    destroyed_ = true;
    --Backend().live_forms;
    if (!destroyed_by_system_) DestroyWindow(h);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (auto* self = InstanceOf<Win32FormPeer>(hwnd, msg, lp)) {
      switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: return self->OnKeyDown(wp);
        case WM_ERASEBKGND: return self->OnEraseBackground(reinterpret_cast<HDC>(wp));
        case WM_CLOSE: return self->OnClose();
        case WM_ENDSESSION: return self->OnEndSession(wp != FALSE);
        case WM_DESTROY: return self->OnDestroy();
        case WM_SETCURSOR:
          if (ShowHourglassIfBusy()) return TRUE;
          break;
      }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

  LRESULT OnKeyDown(WPARAM key) {
    if (form_.OnKeyDown) form_.OnKeyDown(KeyOf(key), ShiftState());
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
    hwnd_ = CreateWindowChecked(kFormClass, WS_POPUP | WS_CLIPCHILDREN, nullptr, this, "CreateWindowExW form", bounds_,
                                caption_.c_str());
    if (hwnd_) ++Backend().live_forms;
  }

  HWND hwnd_ = nullptr;
  bool destroyed_ = false;
  bool destroyed_by_system_ = false;
  std::wstring caption_;
  RECT bounds_{};
  Colour back_ = 0;
};

}  // namespace

int LiveForms() { return Backend().live_forms; }

}  // namespace ui::win32

namespace ui {

std::unique_ptr<FormPeer> CreateFormPeer(Form& form) { return std::make_unique<win32::Win32FormPeer>(form); }

}  // namespace ui
