// The settings window's dialogs in the browser: the browser's colour
// picker, a file input whose file the browser keeps, and a web address
// opened in a new tab.
#include <string>

#include "ui/backend.h"
#include "ui/web/browser.h"

namespace ui::sys {
namespace {

// "*.MP3;*.WAV" as a file input's accept list: ".mp3,.wav".
std::string AcceptList(const std::string& patterns) {
  std::string out;
  std::size_t start = 0;
  while (start <= patterns.size()) {
    const std::size_t end = std::min(patterns.find(';', start), patterns.size());
    std::string pattern = patterns.substr(start, end - start);
    if (pattern.rfind("*.", 0) == 0) {
      for (char& c : pattern)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      out += (out.empty() ? "" : ",") + pattern.substr(1);
    }
    start = end + 1;
  }
  return out;
}

}  // namespace

Colour WindowTextColour() { return 0; }

std::optional<Colour> ChooseColour(WindowHandle) {
  const int chosen = tess_choose_colour("色の設定");
  if (chosen < 0) return std::nullopt;
  return static_cast<Colour>(chosen);
}

// The file's bytes are kept in the browser's storage under its name, which
// is what the settings file stores and the music plays from.
std::optional<std::string> ChooseMusicFile(WindowHandle, const std::string& title, const std::string&,
                                           const std::string& patterns) {
  std::string name(1024, '\0');
  const int length =
      tess_choose_music_file(title.c_str(), AcceptList(patterns).c_str(), name.data(), static_cast<int>(name.size()));
  if (length < 0 || length > static_cast<int>(name.size())) return std::nullopt;
  name.resize(length);
  return name;
}

void OpenDocument(WindowHandle, const std::string& target) { tess_open_url(target.c_str()); }

}  // namespace ui::sys
