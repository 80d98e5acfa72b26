// The 8-bit palette picture on Win32: a DIB section whose bits the program
// changes in place, shown by a child window of the form.
#include <windows.h>

#undef GetObject

#include <algorithm>

#include "ui/widgets.h"
#include "ui/win32/checked_win.h"
#include "ui/win32/gdi_count_win.h"
#include "ui/win32/gdi_win.h"
#include "ui/win32/guard_win.h"
#include "ui/win32/window_win.h"

namespace ui::win32 {
namespace {

constexpr wchar_t kPaletteClass[] = L"TessellanePalettePicture";

class Win32PalettePicturePeer : public PalettePicturePeer {
 public:
  explicit Win32PalettePicturePeer(Form& form) : form_(form) {}
  ~Win32PalettePicturePeer() override {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    Release();
  }
  WindowHandle Handle() override { return HandleOf(Window()); }
  void SetBounds(int x, int y, int width, int height) override { MoveWindow(Window(), x, y, width, height, TRUE); }
  void SetSunkenBorder(bool sunken) override { SetClientEdge(Window(), sunken); }

  BitmapInfo Create(int width, int height, const Palette& palette) override {
    Release();
    // A positive height: scan lines bottom-up, as the program's view expects.
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[256];
    } bi{DibHeader(width, height, 8), {}};
    bi.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i)
      bi.colours[i] = RGBQUAD{static_cast<BYTE>(BlueOf(palette[i])), static_cast<BYTE>(GreenOf(palette[i])),
                              static_cast<BYTE>(RedOf(palette[i])), 0};
    dc_ = Required(Counted(CreateCompatibleDC(nullptr)), "CreateCompatibleDC");
    void* bits = nullptr;
    bitmap_ = Counted(CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_) return {};
    old_ = SelectObject(dc_, bitmap_);
    std::fill_n(static_cast<BYTE*>(bits), static_cast<std::size_t>((width + 3) / 4 * 4) * height, 0);
    // What the picture's bitmap object reports about itself.
    BITMAP record{};
    ::GetObjectW(bitmap_, sizeof record, &record);
    width_ = record.bmWidth;
    height_ = record.bmHeight;
    InvalidateRect(Window(), nullptr, FALSE);
    return BitmapInfo{record.bmWidth, record.bmHeight, record.bmWidthBytes, record.bmBitsPixel,
                      static_cast<std::uint8_t*>(record.bmBits)};
  }

  void Refresh() override {
    if (!hwnd_ || !dc_) return;
    HDC dc = GetDC(hwnd_);
    BitBlt(dc, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
    ReleaseDC(hwnd_, dc);
    ValidateRect(hwnd_, nullptr);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = InstanceOf<Win32PalettePicturePeer>(hwnd, msg, lp);
    if (self && msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (self->dc_) BitBlt(dc, 0, 0, self->width_, self->height_, self->dc_, 0, 0, SRCCOPY);
      EndPaint(hwnd, &ps);
      return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

 private:
  HWND Window() {
    if (!hwnd_) {
      RegisterClassOnce(kPaletteClass, Guarded<Proc>);
      hwnd_ = CreateWindowChecked(kPaletteClass, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, HwndOf(form_.Handle()), this,
                                  "CreateWindowExW picture");
    }
    return hwnd_;
  }
  void Release() {
    if (dc_) {
      SelectObject(dc_, old_);
      DeleteCountedDc(dc_);
      dc_ = nullptr;
    }
    if (bitmap_) {
      DeleteCounted(bitmap_);
      bitmap_ = nullptr;
    }
  }

  Form& form_;
  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace
}  // namespace ui::win32

namespace ui {

std::unique_ptr<PalettePicturePeer> CreatePalettePicturePeer(PalettePictureBox&, Form& form) {
  return std::make_unique<win32::Win32PalettePicturePeer>(form);
}

}  // namespace ui
