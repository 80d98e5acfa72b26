// The common dialogs, the shell and the system colours. Texts are UTF-8
// here; a backend converts them for the system's Unicode entry points.
#pragma once
#include <optional>
#include <string>

#include "ui/types.h"

namespace ui::sys {

// The colour of text in windows, in the user's colour scheme.
Colour WindowTextColour();

// The colour dialog, opening on black without its custom-colour part
// unfolded; the system's first sixteen colours are its custom colours.
// Nothing when the user cancels.
std::optional<Colour> ChooseColour(WindowHandle owner);

// The open-file dialog with one filter (its description and its patterns,
// such as "*.MP3;*.WAV"). A path must fit 254 characters; nothing when the
// user cancels or the path is longer.
std::optional<std::string> ChooseMusicFile(WindowHandle owner, const std::string& title,
                                           const std::string& filter_description, const std::string& patterns);

// Opens a document or web address with the program the system associates
// with it.
void OpenDocument(WindowHandle window, const std::string& target);

}  // namespace ui::sys
