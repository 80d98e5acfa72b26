// The Command button on a picture-box surface.
#include "controls/Command.h"

#include <memory>

namespace controls {

struct Command::Impl {
  explicit Impl(ui::Form& container) : surface(container), timer(100) {}
  ui::PictureBox surface;
  ui::Timer timer;
  std::string caption = "Command";
  ui::Font font;
  ui::Colour font_colour = 0;
  bool enabled = true;
  bool visible = true;
  int state = 0;
};

Command::Command(ui::Form& container) : impl_(new Impl(container)) {
  impl_->surface.OnMouseUp = [this](int, int, float, float) {
    if (impl_->enabled && Click) Click();
  };
}

Command::~Command() { delete impl_; }

void Command::Move(int x, int y, int width, int height) { impl_->surface.Move(x, y, width, height); }

std::string Command::Caption() const { return impl_->caption; }
void Command::SetCaption(const std::string& New_Caption) { impl_->caption = New_Caption; }
ui::Font Command::Font() const { return impl_->font; }
void Command::SetFont(const ui::Font& New_Font) { impl_->font = New_Font; }
ui::Colour Command::FontColour() { return impl_->font_colour; }
void Command::SetFontColour(ui::Colour New_FontColour) { impl_->font_colour = New_FontColour; }
bool Command::Enabled() { return impl_->enabled; }
void Command::SetEnabled(bool New_Enabled) { impl_->enabled = New_Enabled; }
bool Command::Visible() { return impl_->visible; }
void Command::SetVisible(bool New_Visible) { impl_->visible = New_Visible; }

void Command::Initialize() {
  impl_->state = 1;
  impl_->timer.SetEnabled(true);
}

ui::WindowHandle Command::Handle() { return impl_->surface.Handle(); }

}  // namespace controls
