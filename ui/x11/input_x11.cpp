#include "ui/x11/input_x11.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace ui::x11 {

Key KeyOf(unsigned long keysym) {
  switch (keysym) {
    case XK_Left:
    case XK_KP_Left: return Key::kLeft;
    case XK_Right:
    case XK_KP_Right: return Key::kRight;
    case XK_Escape: return Key::kEscape;
    default: return Key::kOtherKey;
  }
}

int ShiftOf(unsigned int state) {
  return (state & ShiftMask ? 1 : 0) | (state & ControlMask ? 2 : 0) | (state & Mod1Mask ? 4 : 0);
}

int ButtonOf(unsigned int button) {
  switch (button) {
    case Button1: return kLeftButton;
    case Button2: return kMiddleButton;
    case Button3: return kRightButton;
    default: return 0;
  }
}

int ButtonsOf(unsigned int state) {
  return (state & Button1Mask ? kLeftButton : 0) | (state & Button2Mask ? kMiddleButton : 0) |
         (state & Button3Mask ? kRightButton : 0);
}

}  // namespace ui::x11
