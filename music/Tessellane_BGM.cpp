// The MCI command layer of the music module. An MCI failure is never raised:
// it comes back as a code, and through MciQuery as the text "Error:<code>"
// that callers find by looking for "ERR".
#include "music/Tessellane_BGM.h"

#include "app/Tessellane_B.h"
#include "app/text.h"
#include "ui/backend.h"

namespace music {

std::string FileType(const std::string& path) { return app::text::UpperAscii(app::text::Right(path, 3)); }

Tessellane_BGM::Tessellane_BGM(app::Tessellane_B& module) : module_(module) {}

std::int32_t Tessellane_BGM::SendMciCommand(const std::string& command, std::string& reply_text) {
  // Refused before MCI sees it; ApiResult keeps the previous call's result.
  if (command.empty()) {
    reply_text = kNoCommandText;
    return -1;
  }
  module_.ApiResult = ui::sys::MciSendString(command, &reply_buffer_, kMciReplyLength);
  if (module_.ApiResult != 0) {
    if (ui::sys::MciGetErrorString(module_.ApiResult, error_text_buffer_, kMciErrorTextLength) != 0)
      reply_text = error_text_buffer_;
    else reply_text = kNoErrorText;
    return module_.ApiResult;
  }
  reply_text = reply_buffer_;
  return 0;
}

std::string Tessellane_BGM::MciQuery(const std::string& command) {
  const std::int32_t code = SendMciCommand(command, MciReplyText);
  module_.ApiResult = code;
  // The marker, not the description: callers test for "ERR" in any language.
  if (code != 0) return "Error:" + std::to_string(code);
  return MciReplyText;
}

std::int32_t Tessellane_BGM::MciPlay(const std::string& device, const std::string& start, const std::string& end) {
  std::string command = "play " + device;
  if (!start.empty()) command += " from " + start;
  if (!end.empty()) command += " to " + end;
  return SendMciCommand(command, MciReplyText);
}

}  // namespace music
