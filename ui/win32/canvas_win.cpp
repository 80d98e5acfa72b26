// Containers, native widgets and the 8-bit palette picture on Win32.
//
// A canvas is a picture box window that the composition paints; its window
// procedure is wrapped to give windowless controls their cursor and to pass
// the scroll bars' notifications on. Text is drawn with GDI straight into
// the composed pixels, so it is smoothed against what really lies below it.
#include <windows.h>
#include <commctrl.h>

#undef GetObject

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "ui/screen.h"
#include "ui/widgets.h"
#include "ui/win32/checked_win.h"
#include "ui/win32/gdi_count_win.h"
#include "ui/win32/gdi_win.h"
#include "ui/win32/guard_win.h"
#include "ui/win32/modules_win.h"
#include "ui/win32/text_win.h"

namespace ui::win32 {
namespace {

constexpr wchar_t kCanvasProp[] = L"TessellaneCanvas";
constexpr wchar_t kOldProcProp[] = L"TessellaneCanvasProc";
constexpr wchar_t kScrollBarProp[] = L"TessellaneScrollBar";
constexpr wchar_t kPaletteClass[] = L"TessellanePalettePicture";

HWND H(WindowHandle h) { return reinterpret_cast<HWND>(h); }
WindowHandle W(HWND h) { return reinterpret_cast<WindowHandle>(h); }

HCURSOR CursorOf(const CursorImage* image) {
  // Keyed by the picture itself, not by where it lies: a control's picture
  // freed with its window may be followed by another at the same address.
  static std::map<std::tuple<std::vector<unsigned char>, int, int>, HCURSOR> cursors;
  if (!image || image->Empty()) return nullptr;
  auto key = std::make_tuple(std::vector<unsigned char>(image->image.begin(), image->image.end()),
                             int(image->hot_x), int(image->hot_y));
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

void SetClientEdge(HWND hwnd, bool sunken) {
  LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  ex = sunken ? (ex | WS_EX_CLIENTEDGE) : (ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
  SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The tool-tip of the windowless control under the cursor: one tip window
// per canvas, its single tool moved onto whichever control the cursor is over.
// Both maps lose a canvas's entries when its window is destroyed (the tip,
// owned by it, goes with it): a later window may get the same handle.
std::map<HWND, HWND> g_tips;
std::map<HWND, const Windowless*> g_tip_current;

void ForgetToolTip(HWND hwnd) {
  g_tips.erase(hwnd);
  g_tip_current.erase(hwnd);
}

void ShowToolTipFor(HWND hwnd, const Windowless* over) {
  auto& tips = g_tips;
  auto& current = g_tip_current;
  if (current[hwnd] == over) return;
  current[hwnd] = over;
  HWND& tip = tips[hwnd];
  if (!tip) {
    if (!over || over->ToolTipText.empty()) return;
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = LoadedModule(L"comctl32.dll");
    auto init = comctl ? reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")))
                       : nullptr;
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    if (!init || !init(&classes)) return;
    tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
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
  if (over && !text.empty()) tool.rect = RECT{over->Left(), over->Top(), over->Left() + over->Width(), over->Top() + over->Height()};
  SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  tool.lpszText = text.data();
  SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CALLBACK CanvasProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* canvas = static_cast<Canvas*>(GetPropW(hwnd, kCanvasProp));
  auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProp));
  switch (msg) {
    case WM_MOUSEMOVE:
      if (canvas)
        ShowToolTipFor(hwnd, canvas->HitTest(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))));
      break;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && canvas) {
        if (screen::MousePointer() == 11) {
          SetCursor(LoadCursorW(nullptr, IDC_WAIT));
          return TRUE;
        }
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
      if (auto* bar = lp ? static_cast<VScrollBar*>(GetPropW(reinterpret_cast<HWND>(lp), kScrollBarProp)) : nullptr) {
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
        return 0;
      }
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
    HWND hwnd = H(canvas_.Handle());
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

// --- Text ----------------------------------------------------------------------

// A device context with a 32-bit DIB of at least the given size.
struct TextScratch {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  DWORD* bits = nullptr;
  int width = 0, height = 0;

  bool Ensure(int w, int h) {
    if (dc && w <= width && h <= height) return true;
    if (!dc) dc = Required(Counted(CreateCompatibleDC(nullptr)), "CreateCompatibleDC");
    w = std::max(w, width);
    h = std::max(h, height);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP made = Counted(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
    if (!made) return false;
    HGDIOBJ previous = SelectObject(dc, made);
    if (bitmap) DeleteCounted(bitmap);
    else old = previous;
    bitmap = made;
    bits = static_cast<DWORD*>(p);
    width = w;
    height = h;
    return true;
  }
};

TextScratch& Scratch() {
  static TextScratch scratch;
  return scratch;
}

}  // namespace
}  // namespace ui::win32

namespace ui {

using namespace win32;

std::unique_ptr<CanvasPeer> CreateCanvasPeer(Canvas& canvas) { return std::make_unique<Win32CanvasPeer>(canvas); }

void BringToTop(WindowHandle child) {
  if (child) SetWindowPos(H(child), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void DrawTextInto(Picture& target, const Rect& box, const Rect& clip, std::string_view text, const Font& font,
                  Colour colour, Alignment alignment, bool enabled, bool word_wrap) {
  const Rect c{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, target.width),
               std::min(clip.bottom, target.height)};
  const int w = c.right - c.left, h = c.bottom - c.top;
  if (w <= 0 || h <= 0 || text.empty()) return;
  TextScratch& s = Scratch();
  if (!s.Ensure(w, h)) return;
  // The pixels below the text go in first: the glyphs are blended with them.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Colour p = target.At(c.left + x, c.top + y);
      s.bits[y * s.width + x] = static_cast<DWORD>((RedOf(p) << 16) | (GreenOf(p) << 8) | BlueOf(p));
    }
  GdiFlush();
  HRGN region = Counted(CreateRectRgn(0, 0, w, h));
  SelectClipRgn(s.dc, region);
  DeleteCounted(region);
  HGDIOBJ old_font = SelectObject(s.dc, FontOf(font));
  SetBkMode(s.dc, TRANSPARENT);
  const std::wstring wide = Widen(text);
  UINT format = DT_NOPREFIX | (word_wrap ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE);
  format |= alignment == Alignment::Center ? DT_CENTER : alignment == Alignment::Right ? DT_RIGHT : DT_LEFT;
  RECT r{box.left - c.left, box.top - c.top, box.right - c.left, box.bottom - c.top};
  if (enabled) {
    SetTextColor(s.dc, Ref(colour));
    DrawTextW(s.dc, wide.c_str(), static_cast<int>(wide.size()), &r, format);
  } else {
    RECT shadow{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    SetTextColor(s.dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(s.dc, wide.c_str(), static_cast<int>(wide.size()), &shadow, format);
    SetTextColor(s.dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(s.dc, wide.c_str(), static_cast<int>(wide.size()), &r, format);
  }
  SelectObject(s.dc, old_font);
  SelectClipRgn(s.dc, nullptr);
  GdiFlush();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const DWORD p = s.bits[y * s.width + x];
      target.pixels[static_cast<std::size_t>(c.top + y) * target.width + c.left + x] =
          Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
}

Point MeasureText(std::string_view text, const Font& font) {
  if (text.empty()) return {};
  HDC dc = Required(Counted(CreateCompatibleDC(nullptr)), "CreateCompatibleDC");
  HGDIOBJ old = SelectObject(dc, FontOf(font));
  const std::wstring wide = Widen(text);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteCountedDc(dc);
  return Point{r.right - r.left, r.bottom - r.top};
}

}  // namespace ui

// --- Combo box, scroll bar --------------------------------------------------------

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
  WindowHandle Handle() override { return W(Window()); }
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
      hwnd_ = Required(CreateWindowExW(0, L"COMBOBOX", L"",
                                       WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                       0, 0, 10, 10, H(container_.Handle()), nullptr, GetModuleHandleW(nullptr), nullptr),
                       "CreateWindowExW COMBOBOX");
    return hwnd_;
  }
  Canvas& container_;
  HWND hwnd_ = nullptr;
};

class Win32ScrollBarPeer : public ScrollBarPeer {
 public:
  Win32ScrollBarPeer(VScrollBar& bar, Canvas& container) : bar_(bar), container_(container) {}
  ~Win32ScrollBarPeer() override {
    if (hwnd_ && IsWindow(hwnd_)) {
      RemovePropW(hwnd_, kScrollBarProp);
      DestroyWindow(hwnd_);
    }
  }
  WindowHandle Handle() override { return W(Window()); }
  void SetBounds(int x, int y, int width, int height) override { MoveWindow(Window(), x, y, width, height, TRUE); }
  void SetRange(int count) override { SetScrollRange(Window(), SB_CTL, 0, std::max(count - 1, 0), TRUE); }
  void SetPosition(int position) override { SetScrollPos(Window(), SB_CTL, position, TRUE); }

 private:
  HWND Window() {
    if (!hwnd_) {
      hwnd_ = Required(CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 10, 10,
                                       H(container_.Handle()), nullptr, GetModuleHandleW(nullptr), nullptr),
                       "CreateWindowExW SCROLLBAR");
      SetPropW(hwnd_, kScrollBarProp, &bar_);
    }
    return hwnd_;
  }
  VScrollBar& bar_;
  Canvas& container_;
  HWND hwnd_ = nullptr;
};

// --- The palette picture -------------------------------------------------------------

class Win32PalettePicturePeer : public PalettePicturePeer {
 public:
  explicit Win32PalettePicturePeer(Form& form) : form_(form) {}
  ~Win32PalettePicturePeer() override {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    Release();
  }
  WindowHandle Handle() override { return W(Window()); }
  void SetBounds(int x, int y, int width, int height) override { MoveWindow(Window(), x, y, width, height, TRUE); }
  void SetSunkenBorder(bool sunken) override { SetClientEdge(Window(), sunken); }

  BitmapInfo Create(int width, int height, const Palette& palette) override {
    Release();
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[256];
    } bi{};
    // A positive height: scan lines bottom-up, as the program's view expects.
    bi.header.biSize = sizeof(BITMAPINFOHEADER);
    bi.header.biWidth = width;
    bi.header.biHeight = height;
    bi.header.biPlanes = 1;
    bi.header.biBitCount = 8;
    bi.header.biCompression = BI_RGB;
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
    if (msg == WM_NCCREATE)
      SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<Win32PalettePicturePeer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
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
      hwnd_ = Required(CreateWindowExW(0, kPaletteClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 1, 1,
                                       H(form_.Handle()), nullptr, GetModuleHandleW(nullptr), this),
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

std::unique_ptr<ComboBoxPeer> CreateComboBoxPeer(ComboBox&, Canvas& container) {
  return std::make_unique<win32::Win32ComboBoxPeer>(container);
}
std::unique_ptr<ScrollBarPeer> CreateScrollBarPeer(VScrollBar& bar, Canvas& container) {
  return std::make_unique<win32::Win32ScrollBarPeer>(bar, container);
}
std::unique_ptr<PalettePicturePeer> CreatePalettePicturePeer(PalettePictureBox&, Form& form) {
  return std::make_unique<win32::Win32PalettePicturePeer>(form);
}

}  // namespace ui
