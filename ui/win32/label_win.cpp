// Label text on Win32: drawn with GDI straight into the composed pixels, so
// it is smoothed against what really lies below it.
#include <windows.h>

#undef GetObject

#include <algorithm>
#include <string>

#include "ui/widgets.h"
#include "ui/win32/backend_win.h"
#include "ui/win32/checked_win.h"
#include "ui/win32/gdi_count_win.h"
#include "ui/win32/gdi_win.h"
#include "ui/win32/text_win.h"

namespace ui {

using namespace win32;

void DrawTextInto(Picture& target, const Rect& box, const Rect& clip, std::string_view text, const Font& font,
                  Colour colour, Alignment alignment, bool enabled, bool word_wrap) {
  const Rect c{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, target.width),
               std::min(clip.bottom, target.height)};
  const int w = c.right - c.left, h = c.bottom - c.top;
  if (w <= 0 || h <= 0 || text.empty()) return;
  TextScratch& s = Backend().text_scratch;
  if (!s.Ensure(w, h)) return;
  // The pixels below the text go in first: the glyphs are blended with them.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.bits[y * s.width + x] = DibPixel(target.At(c.left + x, c.top + y));
  GdiFlush();
  HRGN region = Counted(CreateRectRgn(0, 0, w, h));
  SelectClipRgn(s.dc, region);
  DeleteCounted(region);
  UINT format = DT_NOPREFIX | (word_wrap ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE);
  format |= alignment == Alignment::Center ? DT_CENTER : alignment == Alignment::Right ? DT_RIGHT : DT_LEFT;
  DrawTextIn(s.dc, Widen(text), RECT{box.left - c.left, box.top - c.top, box.right - c.left, box.bottom - c.top},
             format, font, colour, enabled);
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
