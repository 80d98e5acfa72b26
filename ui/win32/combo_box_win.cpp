// Combo boxes on Win32: the system's own, a child of the container's window.
#include <windows.h>

#undef GetObject

#include <algorithm>
#include <string>

#include "ui/widgets.h"
#include "ui/win32/gdi_win.h"
#include "ui/win32/text_win.h"
#include "ui/win32/window_win.h"

namespace ui::win32 {
namespace {

// The list that drops down below the combo box's edit field.
constexpr int kDropDownHeight = 160;

class Win32ComboBoxPeer : public ComboBoxPeer {
 public:
  explicit Win32ComboBoxPeer(Canvas& container) : container_(container) {}
  ~Win32ComboBoxPeer() override {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  WindowHandle Handle() override { return HandleOf(Window()); }
  void SetBounds(int x, int y, int width, int height) override {
    MoveWindow(Window(), x, y, width, height + kDropDownHeight, TRUE);
    // The edit field keeps the height the font gives it; the design height
    // sets the field's item height where the system allows it.
    SendMessageW(Window(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(height - 6, 8));
  }
  void SetFont(const Font& font) override {
    SendMessageW(Window(), WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(font)), TRUE);
  }
  void SetText(const std::string& text) override { SetWindowTextW(Window(), Widen(text).c_str()); }
  std::string Text() override {
    const int n = GetWindowTextLengthW(Window());
    std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(Window(), w.data(), n + 1);
    w.resize(static_cast<std::size_t>(n));
    return FromWide(w);
  }
  void AddItem(const std::string& item) override {
    SendMessageW(Window(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  }

 private:
  HWND Window() {
    if (!hwnd_)
      hwnd_ = CreateWindowChecked(L"COMBOBOX",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                  HwndOf(container_.Handle()), nullptr, "CreateWindowExW COMBOBOX", {0, 0, 10, 10});
    return hwnd_;
  }
  Canvas& container_;
  HWND hwnd_ = nullptr;
};

}  // namespace
}  // namespace ui::win32

namespace ui {

std::unique_ptr<ComboBoxPeer> CreateComboBoxPeer(ComboBox&, Canvas& container) {
  return std::make_unique<win32::Win32ComboBoxPeer>(container);
}

}  // namespace ui
