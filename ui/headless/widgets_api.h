// Test side of the headless containers, native widgets and dialogs: scripted
// clicks on windowless controls, typing and scrolling, scripted answers of the
// colour and file dialogs and of the shell, and what they were asked.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/backend.h"
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
// Who owned each colour dialog.
struct ColourDialogCall {
  ui::WindowHandle owner = 0;
};
const std::vector<ColourDialogCall>& ColourDialogCalls();

// The file dialog's next answers: a full path, or nullopt for cancel.
void AnswerFileDialog(std::optional<std::string> answer);
// What each file dialog was asked to show.
struct FileDialogCall {
  ui::WindowHandle owner = 0;
  std::string title, filter_description, patterns;
};
// The longest path the file dialog returns, in UTF-16 code units as the
// system counts them (its buffer less the NUL).
constexpr std::size_t kMaxPathChars = 254;
const std::vector<FileDialogCall>& FileDialogCalls();

// Runs while OpenDocument "runs" (to look at the pointer, for instance).
void SetOpenDocumentHook(std::function<void()> hook);

// How often the palette picture was refreshed.
long RefreshesOf(ui::PalettePictureBox& box);

}  // namespace headless
