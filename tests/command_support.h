// Helpers of the Command button tests: a button on a headless form, what its
// last face was painted from, and the hover timer's tick.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "controls/Command.h"
#include "tests/test_support.h"
#include "ui/backend.h"
#include "ui/headless/headless_controls.h"

namespace command_testing {

using controls::Command;
using controls::Face;

class CommandTest : public testing_support::HeadlessTest {
 protected:
  // The dialog's sizes: 1155 x 495 and 495 x 495 twips.
  std::unique_ptr<Command> Place(int x = 10, int y = 10, int width = 77, int height = 33) {
    auto button = std::make_unique<Command>(form_);
    button->Move(x, y, width, height);
    button->Click = [this, b = button.get()] { clicks_[b] += 1; };
    return button;
  }

  static const headless::ControlSurface& SurfaceOf(Command& b) { return headless::SurfaceOf(b.Surface()); }
  // The picture the frame was last cut from; null when nothing was painted.
  static const ui::Picture* Painted(Command& b) {
    const auto& s = SurfaceOf(b);
    return s.copies.empty() ? nullptr : s.copies.front().picture;
  }
  static bool Shows(Command& b, Face face) { return Painted(b) == &b.PictureOf(face); }
  // True when the last gradient was dark at the top.
  static bool DarkAtTop(Command& b) { return SurfaceOf(b).last_gradient.top == ui::Rgb(0xC6, 0xC5, 0xD7); }
  static long Paints(Command& b) { return SurfaceOf(b).clears; }

  void Run() { ui::DoEvents(); }
  // One tick of every hover timer, with the given window under the cursor.
  void Tick(ui::WindowHandle under_cursor) {
    headless::SetWindowUnderCursor(under_cursor);
    headless::AdvanceMs(100);
    ui::DoEvents();
  }
  // The cursor comes onto the button.
  void Enter(Command& b) {
    headless::SetWindowUnderCursor(b.Handle());
    headless::PostMouseMove(b.Surface(), 5, 5);
    Run();
  }
  int Clicks(Command& b) { return clicks_[&b]; }

  ui::Form form_;
  std::map<Command*, int> clicks_;
};

}  // namespace command_testing
