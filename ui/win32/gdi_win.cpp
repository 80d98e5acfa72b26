#include "ui/win32/gdi_win.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "ui/win32/backend_win.h"
#include "ui/win32/checked_win.h"
#include "ui/win32/gdi_count_win.h"
#include "ui/win32/text_win.h"

namespace ui::win32 {

HFONT FontOf(const Font& font) {
  auto& fonts = Backend().fonts;
  const auto key =
      std::make_tuple(font.Name, font.Size, font.Weight, font.Italic, font.Underline, font.Strikethrough, font.Charset);
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  LOGFONTW lf{};
  lf.lfHeight = -static_cast<LONG>(std::lround(font.Size * dpi / 72.0));
  lf.lfWeight = font.Weight;
  lf.lfItalic = font.Italic;
  lf.lfUnderline = font.Underline;
  lf.lfStrikeOut = font.Strikethrough;
  lf.lfCharSet = static_cast<BYTE>(font.Charset);
  lf.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = Widen(font.Name);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  HFONT made = Required(Counted(CreateFontIndirectW(&lf)), "CreateFontIndirectW");
  fonts.emplace(key, made);
  return made;
}

void FillColour(HDC dc, const RECT& r, Colour colour) {
  HBRUSH brush = Required(Counted(CreateSolidBrush(Ref(colour))), "CreateSolidBrush");
  FillRect(dc, &r, brush);
  DeleteCounted(brush);
}

void DrawTextIn(HDC dc, const std::wstring& text, RECT r, UINT format, const Font& font, Colour colour, bool enabled) {
  HGDIOBJ old_font = SelectObject(dc, FontOf(font));
  SetBkMode(dc, TRANSPARENT);
  const int n = static_cast<int>(text.size());
  if (enabled) {
    SetTextColor(dc, Ref(colour));
    DrawTextW(dc, text.c_str(), n, &r, format);
  } else {
    RECT shadow = r;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, text.c_str(), n, &shadow, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, text.c_str(), n, &r, format);
  }
  SelectObject(dc, old_font);
}

void StretchPicture(HDC dc, const Picture& pic, const Rect& d, const Rect& s) {
  if (pic.Empty()) return;
  // A bottom-up 32-bit DIB (0x00RRGGBB; colour values are 0x00BBGGRR): its
  // source rectangle counts rows from the bottom, without the top-down
  // special cases of StretchDIBits.
  std::vector<DWORD> bits(pic.pixels.size());
  for (int y = 0; y < pic.height; ++y)
    for (int x = 0; x < pic.width; ++x)
      bits[static_cast<std::size_t>(pic.height - 1 - y) * pic.width + x] = DibPixel(pic.At(x, y));
  const BITMAPINFO bi{DibHeader(pic.width, pic.height, 32), {}};
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, d.left, d.top, d.right - d.left, d.bottom - d.top, s.left, pic.height - s.bottom, s.right - s.left,
                s.bottom - s.top, bits.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
}

bool TextScratch::Ensure(int w, int h) {
  if (dc && w <= width && h <= height) return true;
  if (!dc) dc = Required(Counted(CreateCompatibleDC(nullptr)), "CreateCompatibleDC");
  w = std::max(w, width);
  h = std::max(h, height);
  const BITMAPINFO bi{DibHeader(w, -h, 32), {}};
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

MemoryBitmap::~MemoryBitmap() { Release(); }

void MemoryBitmap::Release() {
  if (!dc_) return;
  SelectObject(dc_, old_bitmap_);
  DeleteCounted(bitmap_);
  DeleteCountedDc(dc_);
  dc_ = nullptr;
}

void MemoryBitmap::Resize(int width, int height, Colour fill) {
  if (dc_ && width == width_ && height == height_) return;
  HDC screen = GetDC(nullptr);
  HDC dc = Required(Counted(CreateCompatibleDC(screen)), "CreateCompatibleDC");
  HBITMAP bitmap = Required(Counted(CreateCompatibleBitmap(screen, width, height)), "CreateCompatibleBitmap");
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  FillColour(dc, RECT{0, 0, width, height}, fill);
  if (dc_) BitBlt(dc, 0, 0, std::min(width, width_), std::min(height, height_), dc_, 0, 0, SRCCOPY);
  Release();
  dc_ = dc;
  bitmap_ = bitmap;
  old_bitmap_ = old;
  width_ = width;
  height_ = height;
}

}  // namespace ui::win32
