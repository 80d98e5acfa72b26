// The headless backend's user controls as tests see them: scripted mouse and
// focus input, the painted face as pixels, counters of the drawing calls, and
// a scriptable answer to "which window is under the cursor".
#pragma once
#include <vector>

#include "ui/types.h"
#include "ui/user_control.h"

namespace headless {

struct PictureCopy {
  const ui::Picture* picture = nullptr;
  ui::Rect dest;    // pixels of the control
  ui::Rect source;  // pixels of the picture
};

struct ControlSurface {
  int width = 0;
  int height = 0;
  std::vector<ui::Colour> pixels;  // the painted face, without the caption
  bool opaque = true;
  long clears = 0;
  long refreshes = 0;
  long gradient_fills = 0;
  long label_changes = 0;
  struct Gradient {
    ui::Rect rect;
    ui::Colour top = 0, bottom = 0;
  } last_gradient;
  std::vector<PictureCopy> copies;  // since the last clear
  ui::Colour At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
const ControlSurface& SurfaceOf(ui::UserControl& control);

// Input, delivered in order by the next DoEvents; positions in the control's
// pixels. A left press also gives the control the focus (after its
// mouse-down), as a click on the window does, unless take_focus is false (a
// container that is not active); the control keeps the mouse until no button
// is held any more.
void PostMouseMove(ui::UserControl& control, float x, float y, int buttons_held = 0);
void PostMouseDown(ui::UserControl& control, int button, float x, float y, bool take_focus = true);
void PostMouseUp(ui::UserControl& control, int button, float x, float y);
// The focus arrives by keyboard.
void PostFocus(ui::UserControl& control);
// The focus moves to a window that is not one of the controls.
void PostFocusAway();

bool HasCapture(ui::UserControl& control);
ui::UserControl* FocusedControl();

// What WindowFromPoint answers (0 until set).
void SetWindowUnderCursor(ui::WindowHandle window);

}  // namespace headless
