// The settings window's widgets come from GTK (ui/x11/*_gtk.cpp); only a
// process started for the settings window uses GTK. Should anything else ask
// for one of them, the program stops with an error instead of mixing the
// two toolkits.
#include "ui/fatal.h"
#include "ui/user_control.h"
#include "ui/widgets.h"
#include "ui/x11/backend_gtk.h"
#include "ui/x11/backend_x11.h"

namespace ui {
namespace {

void NeedGtk(const char* what) {
  if (!x11::UsesGtk())
    throw ResourceError(std::string("the settings window's ") + what + " outside the settings window");
}

}  // namespace

std::unique_ptr<CanvasPeer> CreateCanvasPeer(Canvas& canvas) {
  NeedGtk("picture area");
  return x11::gtk::CreateCanvasPeer(canvas);
}
std::unique_ptr<ComboBoxPeer> CreateComboBoxPeer(ComboBox& box, Canvas& container) {
  NeedGtk("combo box");
  return x11::gtk::CreateComboBoxPeer(box, container);
}
std::unique_ptr<ScrollBarPeer> CreateScrollBarPeer(VScrollBar& bar, Canvas& container) {
  NeedGtk("scroll bar");
  return x11::gtk::CreateScrollBarPeer(bar, container);
}
std::unique_ptr<PalettePicturePeer> CreatePalettePicturePeer(PalettePictureBox& box, Form& form) {
  NeedGtk("light-ray picture");
  return x11::gtk::CreatePalettePicturePeer(box, form);
}
std::unique_ptr<UserControlPeer> CreateUserControlPeer(UserControl& control, Form& container) {
  NeedGtk("button");
  return x11::gtk::CreateUserControlPeer(control, container);
}
void BringToTop(WindowHandle child) {
  if (x11::UsesGtk()) x11::gtk::BringToTop(child);
}

}  // namespace ui
