// Multimedia services on Windows: the ANSI entry points of winmm. Commands
// and file names go out in the system's code page (932 on a Japanese
// desktop) and replies come back as UTF-8.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>

// A ui::sys function here, not the A/W macro of <mmsystem.h>.
#undef PlaySound

#include "ui/multimedia.h"
#include "ui/win32/text_win.h"

namespace ui::sys {
namespace {

// The text of a buffer the system filled: up to its first NUL.
std::string UpToNul(const std::string& buffer) { return buffer.substr(0, std::min(buffer.find('\0'), buffer.size())); }

}  // namespace

int MciSendString(const std::string& command, std::string* reply, std::size_t reply_length) {
  const std::string ansi = win32::ToAnsi(command);
  if (!reply || reply_length == 0)
    return static_cast<int>(mciSendStringA(ansi.c_str(), nullptr, 0, nullptr));
  // The buffer starts with what the caller's text holds, as a reused buffer would.
  std::string buffer(reply_length, '\0');
  const std::string previous = win32::ToAnsi(*reply);
  std::memcpy(buffer.data(), previous.data(), std::min(previous.size(), reply_length - 1));
  const MCIERROR code = mciSendStringA(ansi.c_str(), buffer.data(), static_cast<UINT>(reply_length), nullptr);
  buffer.back() = '\0';
  *reply = win32::FromAnsi(UpToNul(buffer));
  return static_cast<int>(code);
}

int MciGetErrorString(int code, std::string& text, std::size_t length) {
  if (length == 0) return 0;
  std::string buffer(length, '\0');
  const BOOL ok = mciGetErrorStringA(static_cast<MCIERROR>(code), buffer.data(), static_cast<UINT>(length));
  buffer.back() = '\0';
  if (ok) text = win32::FromAnsi(UpToNul(buffer));
  return ok ? 1 : 0;
}

int PlaySound(const std::string* name, std::uint32_t flags) {
  if (!name) return PlaySoundA(nullptr, nullptr, flags) ? 1 : 0;
  const std::string ansi = win32::ToAnsi(*name);
  return PlaySoundA(ansi.c_str(), nullptr, flags) ? 1 : 0;
}

int WaveOutGetNumDevs() { return static_cast<int>(waveOutGetNumDevs()); }

}  // namespace ui::sys
