// The reason a file operation failed, as a Japanese user reads it in the
// settings window's message box (whatever the process's locale).
#pragma once
#include <string>

namespace ui::files {

// The text of errno value ERROR: the common causes of a failed save in the
// words Windows uses for them, anything else as its number and the C
// library's text.
std::string ErrorText(int error);

}  // namespace ui::files
