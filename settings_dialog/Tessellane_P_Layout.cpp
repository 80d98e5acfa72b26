// The layout of the settings window as data.
#include "settings_dialog/Tessellane_P_Layout.h"

#include <stdexcept>

namespace settings_dialog {
namespace {

using enum Container;

template <auto Control>
Tessellane_P::ControlRef One(Tessellane_P& form) {
  return &(form.*Control);
}

template <auto Array, int Index>
Tessellane_P::ControlRef Element(Tessellane_P& form) {
  return &(form.*Array)(Index);
}

// The control's name is the member's: a row can neither name a control the
// window lacks nor call it by another name.
#define ONE(control) One<&Tessellane_P::control>, #control, -1
#define ELEMENT(array, index) Element<&Tessellane_P::array, index>, #array, index

// Images at x >= 460 lie outside the 446-pixel client area and the hidden
// ones are never shown: they are the skin's image store.
constexpr LayoutRow kLayout[] = {
    {ONE(Image1), Window, 0, 0, 447, 22},
    {ELEMENT(lbl, 2), Window, 16, 4, 91, 13},
    {ONE(ImgExit), Window, 428, 4, 15, 15},
    {ELEMENT(imgImages, 1), Window, 504, 44, 16, 15},
    {ELEMENT(imgImages, 0), Window, 504, 64, 15, 15},
    {ONE(Display), Window, 20, 40, 324, 244},
    {ELEMENT(lbl, 0), Window, 352, 72, 77, 17},
    {ELEMENT(Shape, 0), Window, 352, 68, 77, 21},
    {ONE(VS_Time), Window, 368, 92, 21, 33},
    {ONE(lbl_Stop_Time), Window, 392, 104, 37, 13},
    {ELEMENT(lbl, 1), Window, 352, 136, 77, 17},
    {ELEMENT(Shape, 1), Window, 352, 132, 77, 21},
    {ONE(Cmd_Color), Window, 360, 156, 33, 33},
    {ONE(lbl_Color), Window, 396, 156, 33, 33},
    {ONE(Img_Rdm), Window, 364, 196, 13, 13},
    {ONE(lbl_B_Rdm), Window, 380, 196, 32, 13},
    {ONE(Cmd_CAN), Window, 352, 216, 77, 33},
    {ONE(Cmd_Set), Window, 352, 252, 77, 33},
    {ELEMENT(Img_Opt, 1), Window, 508, 84, 13, 13},
    {ELEMENT(Img_Opt, 0), Window, 508, 104, 13, 13},
    {ELEMENT(Img_Ra, 1), Window, 508, 124, 12, 12},
    {ELEMENT(Img_Ra, 0), Window, 508, 148, 12, 12},
    {ONE(Pic_Mbl), Window, 460, 36, 579, 21},
    {ONE(Pic_1), Window, 24, 296, 409, 137},
    {ELEMENT(lbl, 3), Panel, 12, 12, 101, 17},
    {ELEMENT(Shape, 6), Panel, 12, 8, 101, 21},
    {ELEMENT(Img_BGM, 1), Panel, 12, 40, 13, 13},
    {ELEMENT(lbl_BGM, 1), Panel, 28, 40, 43, 13},
    {ONE(BGM_Repeat), Panel, 76, 36, 41, 20},
    {ELEMENT(lbl, 4), Panel, 120, 40, 66, 13},
    {ELEMENT(Img_BGM, 0), Panel, 12, 56, 13, 13},
    {ELEMENT(lbl_BGM, 0), Panel, 28, 56, 23, 13},
    {ELEMENT(Img_BGM, 2), Panel, 12, 72, 13, 13},
    {ELEMENT(lbl_BGM, 2), Panel, 28, 72, 52, 13},
    {ONE(lbl_Fname), Panel, 60, 92, 333, 29},
    {ONE(Cmd_BGM), Window, 52, 388, 33, 33},
    {ONE(lbl_URL), Window, 220, 444, 207, 13},
};

#undef ONE
#undef ELEMENT

}  // namespace

std::span<const LayoutRow> Layout() { return kLayout; }

const LayoutRow& LayoutOf(Tessellane_P& form, Tessellane_P::ControlRef control) {
  for (const LayoutRow& row : kLayout)
    if (row.control(form) == control) return row;
  throw std::logic_error("a control without a layout row");
}

}  // namespace settings_dialog
