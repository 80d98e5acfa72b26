// Test side of the headless containers, native widgets and dialogs: scripted
// clicks on windowless controls, typing and scrolling, scripted answers of the
// colour and file dialogs and of the shell, and what they were asked.
#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialogs.h"
#include "ui/widgets.h"

namespace headless {

// Input, delivered in order by the next DoEvents. Positions are relative to
// the control and reach it through its container's hit test.
void PostMouseDownOn(ui::Windowless& control, int button, float x, float y);
void PostMouseMoveOn(ui::Windowless& control, int button, float x, float y);
void PostMouseUpOn(ui::Windowless& control, int button, float x, float y);
// Press and release of a button at the control's centre.
void PostClickOn(ui::Windowless& control, int button = ui::kLeftButton);
// The user replaces the text of the combo box.
void PostTypeText(ui::ComboBox& box, const std::string& text);
// The user clicks an arrow of the scroll bar: -1 the upper one, +1 the lower one.
void PostScrollArrow(ui::VScrollBar& bar, int direction);

// The colour dialog's next answers, in order: a colour confirms, nullopt
// cancels. Without a scripted answer the dialog is cancelled.
void AnswerColourDialog(std::optional<ui::Colour> answer);
// The record and custom colours the colour dialog was last called with.
struct ColourDialogCall {
  ui::sys::ChooseColorRecord record;
  std::array<ui::Colour, 16> custom_colours{};
};
const std::vector<ColourDialogCall>& ColourDialogCalls();

// The file dialog's next answers: a full path, or nullopt for cancel.
void AnswerFileDialog(std::optional<std::string> answer);
// The records the file dialog was called with (buffer contents as passed in).
struct FileDialogCall {
  ui::sys::OpenFileNameRecord record;
  std::string file_buffer;
  std::string file_title_buffer;
};
const std::vector<FileDialogCall>& FileDialogCalls();

// Runs while ShellExecute "runs" (to look at the pointer, for instance).
void SetShellExecuteHook(std::function<void()> hook);

// How often the palette picture was refreshed.
long RefreshesOf(ui::PalettePictureBox& box);

}  // namespace headless
