// The layout of the settings window as data.
#include "settings_dialog/Tessellane_P_Layout.h"

#include <stdexcept>
#include <string>

namespace settings_dialog {
namespace {

using enum Container;

// Images at x >= 460 lie outside the 446-pixel client area and the hidden
// ones are never shown: they are the skin's image store.
constexpr LayoutRow kLayout[] = {
    {"Image1", -1, Window, 0, 0, 447, 22},
    {"lbl", 2, Window, 16, 4, 91, 13},
    {"ImgExit", -1, Window, 428, 4, 15, 15},
    {"imgImages", 1, Window, 504, 44, 16, 15},
    {"imgImages", 0, Window, 504, 64, 15, 15},
    {"Display", -1, Window, 20, 40, 324, 244},
    {"lbl", 0, Window, 352, 72, 77, 17},
    {"Shape", 0, Window, 352, 68, 77, 21},
    {"VS_Time", -1, Window, 368, 92, 21, 33},
    {"lbl_Stop_Time", -1, Window, 392, 104, 37, 13},
    {"lbl", 1, Window, 352, 136, 77, 17},
    {"Shape", 1, Window, 352, 132, 77, 21},
    {"Cmd_Color", -1, Window, 360, 156, 33, 33},
    {"lbl_Color", -1, Window, 396, 156, 33, 33},
    {"Img_Rdm", -1, Window, 364, 196, 13, 13},
    {"lbl_B_Rdm", -1, Window, 380, 196, 32, 13},
    {"Cmd_CAN", -1, Window, 352, 216, 77, 33},
    {"Cmd_Set", -1, Window, 352, 252, 77, 33},
    {"Img_Opt", 1, Window, 508, 84, 13, 13},
    {"Img_Opt", 0, Window, 508, 104, 13, 13},
    {"Img_Ra", 1, Window, 508, 124, 12, 12},
    {"Img_Ra", 0, Window, 508, 148, 12, 12},
    {"Pic_Mbl", -1, Window, 460, 36, 579, 21},
    {"Pic_1", -1, Window, 24, 296, 409, 137},
    {"lbl", 3, Panel, 12, 12, 101, 17},
    {"Shape", 6, Panel, 12, 8, 101, 21},
    {"Img_BGM", 1, Panel, 12, 40, 13, 13},
    {"lbl_BGM", 1, Panel, 28, 40, 43, 13},
    {"BGM_Repeat", -1, Panel, 76, 36, 41, 20},
    {"lbl", 4, Panel, 120, 40, 66, 13},
    {"Img_BGM", 0, Panel, 12, 56, 13, 13},
    {"lbl_BGM", 0, Panel, 28, 56, 23, 13},
    {"Img_BGM", 2, Panel, 12, 72, 13, 13},
    {"lbl_BGM", 2, Panel, 28, 72, 52, 13},
    {"lbl_Fname", -1, Panel, 60, 92, 333, 29},
    {"Cmd_BGM", -1, Window, 52, 388, 33, 33},
    {"lbl_URL", -1, Window, 220, 444, 207, 13},
};

}  // namespace

std::span<const LayoutRow> Layout() { return kLayout; }

const LayoutRow& LayoutOf(std::string_view name, int index) {
  for (const LayoutRow& row : kLayout)
    if (row.name == name && row.index == index) return row;
  throw std::logic_error("no layout row for " + std::string(name) + "(" + std::to_string(index) + ")");
}

}  // namespace settings_dialog
