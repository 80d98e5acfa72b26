// Where every control of the settings window sits: one row per control, in
// the window's control order. Positions and sizes are pixels of the
// container's client area (the window, or the music panel Pic_1).
#pragma once
#include <span>
#include <string_view>

#include "settings_dialog/Tessellane_P.h"

namespace settings_dialog {

enum class Container { Window, Panel };

struct LayoutRow {
  Tessellane_P::ControlRef (*control)(Tessellane_P& form);
  std::string_view name;
  int index;  // element of a control array, -1 for a single control
  Container where;
  int x, y, width, height;
};

// The whole table, in control order.
std::span<const LayoutRow> Layout();
// The row of one control; a missing row is a programming error (it throws).
const LayoutRow& LayoutOf(Tessellane_P& form, Tessellane_P::ControlRef control);

// The window's client area in pixels.
inline constexpr int kClientWidth = 446;
inline constexpr int kClientHeight = 477;

}  // namespace settings_dialog
