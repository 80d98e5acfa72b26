// Windows of the Win32 widgets: their creation, the input their procedures
// translate, and what the widget files share about each other's windows.
#pragma once
#include <windows.h>

#include <algorithm>

#include "ui/types.h"

namespace ui {
class Form;
}

namespace ui::win32 {

inline HWND HwndOf(WindowHandle h) { return reinterpret_cast<HWND>(h); }
inline WindowHandle HandleOf(HWND h) { return reinterpret_cast<WindowHandle>(h); }

// A peer with a child window made on first use (Self::Create sets hwnd_) and
// a surface that follows the window's size (Self::Resize, at least 1 x 1).
template <class Self, class Peer>
class ChildWindowPeer : public Peer {
 public:
  WindowHandle Handle() override { return HandleOf(Window()); }
  HWND Window() {
    if (!hwnd_) static_cast<Self*>(this)->Create();
    return hwnd_;
  }
  void SetBoundsPixels(int x, int y, int w, int h) override {
    MoveWindow(Window(), x, y, w, h, TRUE);
    static_cast<Self*>(this)->Resize(std::max(w, 1), std::max(h, 1));
  }

 protected:
  HWND hwnd_ = nullptr;
};

// Registers a window class of this program once (arrow cursor; the
// program's icon where `with_icon`); later calls do nothing.
void RegisterClassOnce(const wchar_t* name, WNDPROC proc, bool with_icon = false);

// A window whose procedure finds `instance` with InstanceOf. A window the
// system refuses ends the program with its error message, naming `what`.
HWND CreateWindowChecked(const wchar_t* window_class, DWORD style, HWND parent, void* instance, const char* what,
                         const RECT& bounds = {0, 0, 1, 1}, const wchar_t* title = L"");

// In a window procedure: the instance given at creation, kept from the
// window's first message on; null before it and once cleared.
template <class T>
T* InstanceOf(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Shift state of an event: 1 shift, 2 ctrl, 4 alt.
int ShiftState();
// The program's name for a virtual-key code.
Key KeyOf(WPARAM virtual_key);
// Buttons held during a mouse message (MouseButton values).
int ButtonsOf(WPARAM w);
// The button a press or release message is about; button 0 for any other.
struct ButtonEvent {
  int button = 0;
  bool down = false;
};
ButtonEvent ButtonEventOf(UINT msg);

// A key at a control: the form sees every key before its controls. True
// when the form took it.
bool PreviewKey(Form& form, WPARAM key);

// Shows the hourglass while it is the screen-wide pointer; true when it did.
bool ShowHourglassIfBusy();

void SetClientEdge(HWND hwnd, bool sunken);

// Forms alive: the event loop runs while there is one.
int LiveForms();

// Passes a scroll message from a native scroll bar on to its control; false
// when the sender is not one of ours.
bool DeliverScroll(HWND bar, WPARAM wp);

}  // namespace ui::win32
