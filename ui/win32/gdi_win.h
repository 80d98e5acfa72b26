// GDI helpers shared by the Win32 widgets: colours, fonts, pictures and the
// memory bitmaps behind the persistent surfaces.
#pragma once
#include <windows.h>

#include <string>

#include "ui/font.h"
#include "ui/picture.h"
#include "ui/types.h"

namespace ui::win32 {

inline COLORREF Ref(Colour c) { return static_cast<COLORREF>(c) & 0xFFFFFF; }

// The GDI font for a description, made once and kept for the process.
HFONT FontOf(const Font& font);

void FillColour(HDC dc, const RECT& r, Colour colour);

// Text in a font and colour, or in the system's disabled style: engraved, a
// highlight one pixel down and right under the grey text.
void DrawTextIn(HDC dc, const std::wstring& text, RECT r, UINT format, const Font& font, Colour colour, bool enabled);

// The header of an uncompressed DIB; a negative height runs top-down.
inline BITMAPINFOHEADER DibHeader(int width, int height, WORD bits_per_pixel) {
  return {sizeof(BITMAPINFOHEADER), width, height, 1, bits_per_pixel, BI_RGB, 0, 0, 0, 0, 0};
}
// A picture's colour as a pixel of a 32-bit DIB (0x00RRGGBB).
inline DWORD DibPixel(Colour c) { return static_cast<DWORD>((RedOf(c) << 16) | (GreenOf(c) << 8) | BlueOf(c)); }

// Copies a source rectangle of a picture stretched into a destination rectangle.
void StretchPicture(HDC dc, const Picture& picture, const Rect& dest, const Rect& source);

// A device context with a 32-bit top-down DIB of at least the given size,
// grown as needed and kept: label text is drawn in it.
struct TextScratch {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  DWORD* bits = nullptr;
  int width = 0, height = 0;

  // False when the system has no memory for the bitmap.
  bool Ensure(int w, int h);
};

// A bitmap selected into a memory DC; resizing keeps what overlaps.
class MemoryBitmap {
 public:
  MemoryBitmap() = default;
  ~MemoryBitmap();
  MemoryBitmap(const MemoryBitmap&) = delete;
  MemoryBitmap& operator=(const MemoryBitmap&) = delete;

  HDC Dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // New parts are filled with `fill`.
  void Resize(int width, int height, Colour fill);

 private:
  void Release();
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace ui::win32
