// Screen metrics and the screen-wide mouse pointer.
#pragma once

namespace ui::screen {

int WidthTwips();
int HeightTwips();
int TwipsPerPixelX();
int TwipsPerPixelY();
// 0 default arrow, 11 hourglass.
void SetMousePointer(int pointer);
int MousePointer();

}  // namespace ui::screen
