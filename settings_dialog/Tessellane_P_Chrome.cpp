// The settings window's own chrome: the title strip that moves the window,
// the close button, and the link to the home page.
#include "app/Tessellane_B.h"
#include "base/numeric.h"
#include "base/runtime_error.h"
#include "settings_dialog/Tessellane_P.h"
#include "ui/backend.h"

namespace settings_dialog {
namespace {

using base::ResumeNext;

}  // namespace

void Tessellane_P::Image1_MouseDown(int button, int, float, float) {
  if (button != ui::kLeftButton) return;
  Dragging = 1;
  ui::Point cursor;
  ui::sys::GetCursorPos(cursor);
  // The window moves in twips, the cursor in pixels; the factor is fixed,
  // whatever the display's resolution. Skips a 16-bit overflow: a cursor
  // past about 2184 pixels is beyond 32767 twips.
  ResumeNext([&] { DragOffsetX = base::num::RoundToInt16(double(cursor.x) * ui::kDesignTwipsPerPixel - Form.Left()); });
  ResumeNext([&] { DragOffsetY = base::num::RoundToInt16(double(cursor.y) * ui::kDesignTwipsPerPixel - Form.Top()); });
}

void Tessellane_P::Image1_MouseMove(int, int, float, float) {
  if (Dragging != 1) return;
  ui::Point cursor;
  ui::sys::GetCursorPos(cursor);
  Form.SetTop(cursor.y * ui::kDesignTwipsPerPixel - DragOffsetY);
  Form.SetLeft(cursor.x * ui::kDesignTwipsPerPixel - DragOffsetX);
}

void Tessellane_P::Image1_MouseUp(int, int, float, float) { Dragging = 0; }

void Tessellane_P::ImgExit_MouseDown(int, int, float, float) { ImgExit.SetPicture(imgImages(1).GetPicture()); }

void Tessellane_P::ImgExit_MouseUp(int, int, float, float) {
  // Wherever the button is released: pressing the close button commits to closing.
  ImgExit.SetPicture(imgImages(0).GetPicture());
  ui::DoEvents();
  Form.Unload();
  ui::sys::EndProcess(0);
}

void Tessellane_P::lbl_URL_MouseDown(int, int, float, float) {
  ui::screen::SetMousePointer(ui::screen::kHourglassPointer);
  ui::sys::OpenDocument(Form.Handle(), lbl_URL.Caption());
  ui::screen::SetMousePointer(ui::screen::kDefaultPointer);
}

}  // namespace settings_dialog
