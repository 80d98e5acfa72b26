// The settings window's widgets, its text and its dialogs are not part of
// this native build yet: "/c" ends before any of them is asked for (see
// launch_args.cpp). Should anything reach them, the program stops with an
// error instead of showing a window that does not work.
#include "ui/dialogs.h"
#include "ui/fatal.h"
#include "ui/user_control.h"
#include "ui/widgets.h"

namespace ui {
namespace {

[[noreturn]] void NotInThisBuild(const char* what) {
  throw ResourceError(std::string("the settings window's ") + what + " is not in this build");
}

}  // namespace

std::unique_ptr<CanvasPeer> CreateCanvasPeer(Canvas&) { NotInThisBuild("picture area"); }
std::unique_ptr<ComboBoxPeer> CreateComboBoxPeer(ComboBox&, Canvas&) { NotInThisBuild("combo box"); }
std::unique_ptr<ScrollBarPeer> CreateScrollBarPeer(VScrollBar&, Canvas&) { NotInThisBuild("scroll bar"); }
std::unique_ptr<PalettePicturePeer> CreatePalettePicturePeer(PalettePictureBox&, Form&) {
  NotInThisBuild("light-ray picture");
}
std::unique_ptr<UserControlPeer> CreateUserControlPeer(UserControl&, Form&) { NotInThisBuild("button"); }
void BringToTop(WindowHandle) { NotInThisBuild("control stacking"); }
void DrawTextInto(Picture&, const Rect&, const Rect&, std::string_view, const Font&, Colour, Alignment, bool, bool) {
  NotInThisBuild("text");
}
Point MeasureText(std::string_view, const Font&) { NotInThisBuild("text"); }

namespace sys {
Colour WindowTextColour() { return 0; }
std::optional<Colour> ChooseColour(WindowHandle) { NotInThisBuild("colour dialog"); }
std::optional<std::string> ChooseMusicFile(WindowHandle, const std::string&, const std::string&, const std::string&) {
  NotInThisBuild("file dialog");
}
void OpenDocument(WindowHandle, const std::string&) { NotInThisBuild("link"); }
}  // namespace sys

}  // namespace ui
