// The multimedia services of the systems without MCI of their own (Linux,
// the browser): the shared interpreter over the backend's devices.
#include <cstdio>

#include "ui/backend.h"
#include "ui/common/mci_interpreter.h"

namespace ui::sys {

int MciSendString(const std::string& command, std::string* reply, std::size_t reply_length) {
  const int code = mci::SystemInterpreter().Send(command, reply, reply_length);
  // A command the music should not send: said where a developer sees it.
  if (code == mci::kErrUnsupported)
    std::fprintf(stderr, "tessellane: MCI command not understood: %s\n", command.c_str());
  return code;
}

int MciGetErrorString(int code, std::string& text, std::size_t length) {
  const char* description = mci::ErrorText(code);
  if (!description || length == 0) return 0;
  text = std::string(description).substr(0, length - 1);
  return 1;
}

int PlaySoundLooped(const std::string& file) { return mci::SystemInterpreter().PlayLooped(file); }
int StopSound() { return mci::SystemInterpreter().StopLooped(); }
int WaveOutputDevices() { return mci::SystemSoundOutputs(); }

}  // namespace ui::sys
