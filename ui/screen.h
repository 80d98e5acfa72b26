// Screen metrics and the screen-wide mouse pointer.
#pragma once
#include "ui/types.h"

namespace ui::screen {

// The primary monitor.
int WidthTwips();
int HeightTwips();
// What all monitors together cover (the virtual screen); left and top are
// negative where a monitor lies left of or above the primary one.
Rect DesktopTwips();
int TwipsPerPixelX();
int TwipsPerPixelY();
// The screen-wide mouse pointers, numbered as the forms' language numbers them.
constexpr int kDefaultPointer = 0;
constexpr int kHourglassPointer = 11;
void SetMousePointer(int pointer);
int MousePointer();

}  // namespace ui::screen
