// The skinned push button `Command` (programmatic identifier
// "Tessellane.Command"): a face painted from six state pictures over a
// two-colour vertical gradient, a centred caption, its own hover, focus and
// press tracking, and a Click event.
//
// This header is the button's public face as the settings dialog uses it;
// the state, drawing and tracking members follow the button's own design.
#pragma once
#include <functional>
#include <string>

#include "ui/font.h"
#include "ui/form.h"
#include "ui/types.h"

namespace controls {

class Command {
 public:
  // Placed on a container form, at a position and size in the form's pixels.
  explicit Command(ui::Form& container);
  ~Command();
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  void Move(int x, int y, int width, int height);

  // Properties.
  std::string Caption() const;
  void SetCaption(const std::string& New_Caption);
  ui::Font Font() const;
  void SetFont(const ui::Font& New_Font);
  ui::Colour FontColour();
  void SetFontColour(ui::Colour New_FontColour);
  bool Enabled();
  void SetEnabled(bool New_Enabled);
  bool Visible();
  void SetVisible(bool New_Visible);

  // Starts hover tracking and paints the idle face.
  void Initialize();

  // Raised when a mouse button is released over an enabled button (see the
  // tracking rules).
  std::function<void()> Click;

  ui::WindowHandle Handle();

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace controls
