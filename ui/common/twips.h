// Twips per pixel from the screen's logical dots per inch (a twip is 1/1440
// inch), shared by the backends so that they agree at any setting.
#pragma once

namespace ui::screen {

// At least 1: above 1440 dpi a pixel is smaller than a twip, the integer
// quotient would be 0, and every twips-to-pixels conversion would divide by
// it. An unknown (zero or negative) dpi counts as the usual 96.
constexpr int TwipsPerPixelAt(int dpi) {
  if (dpi <= 0) dpi = 96;
  const int twips = 1440 / dpi;
  return twips > 0 ? twips : 1;
}

}  // namespace ui::screen
