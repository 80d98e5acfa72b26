// Plain value types shared by the core and every backend.
#pragma once
#include <cstdint>

namespace ui {

// An opaque window handle: a HWND on Windows, a backend-assigned id elsewhere.
using WindowHandle = std::uintptr_t;

// A colour value in the Windows layout 0x00BBGGRR (red in the low byte).
using Colour = std::int32_t;

constexpr Colour Rgb(int r, int g, int b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }
constexpr int RedOf(Colour c) { return c & 0xFF; }
constexpr int GreenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(Colour c) { return (c >> 16) & 0xFF; }
constexpr Colour kWhite = Rgb(255, 255, 255);

// Twips per pixel at 96 dpi, the scale the forms were laid out at.
constexpr int kDesignTwipsPerPixel = 15;

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const Rect&) const = default;
};

// The keys the program tells apart; every other key is kOtherKey.
enum class Key : int { kOtherKey, kLeft, kRight, kEscape };

// Mouse buttons as the forms' events report them.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

}  // namespace ui
