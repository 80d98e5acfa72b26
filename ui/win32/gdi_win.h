// GDI helpers shared by the Win32 widgets: colours, fonts, pictures and the
// memory bitmaps behind the persistent surfaces.
#pragma once
#include <windows.h>

#include "ui/font.h"
#include "ui/picture.h"
#include "ui/types.h"

namespace ui::win32 {

constexpr Colour kWhite = Rgb(255, 255, 255);

inline COLORREF Ref(Colour c) { return static_cast<COLORREF>(c) & 0xFFFFFF; }

// The GDI font for a description, made once and kept for the process.
HFONT FontOf(const Font& font);

void FillColour(HDC dc, const RECT& r, Colour colour);

// Copies a source rectangle of a picture stretched into a destination rectangle.
void StretchPicture(HDC dc, const Picture& picture, const Rect& dest, const Rect& source);

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
