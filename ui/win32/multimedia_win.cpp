// Multimedia services on Windows: the Unicode entry points of winmm, so that
// a music file of any name plays on a system of any language. Commands go
// out and replies come back as UTF-8 text.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>

// A ui::sys function here, not the A/W macro of <mmsystem.h>.
#undef PlaySound

#include "ui/backend.h"
#include "ui/win32/text_win.h"

namespace ui::sys {
namespace {

// The text of a buffer the system filled: up to its first NUL.
std::wstring UpToNul(const std::wstring& buffer) {
  return buffer.substr(0, std::min(buffer.find(L'\0'), buffer.size()));
}

}  // namespace

int MciSendString(const std::string& command, std::string* reply, std::size_t reply_length) {
  const std::wstring wide = win32::Widen(command);
  if (!reply || reply_length == 0) return static_cast<int>(mciSendStringW(wide.c_str(), nullptr, 0, nullptr));
  // The buffer starts with what the caller's text holds, as a reused buffer would.
  std::wstring buffer(reply_length, L'\0');
  const std::wstring previous = win32::Widen(*reply);
  std::copy_n(previous.data(), std::min(previous.size(), reply_length - 1), buffer.data());
  const MCIERROR code = mciSendStringW(wide.c_str(), buffer.data(), static_cast<UINT>(reply_length), nullptr);
  buffer.back() = L'\0';
  *reply = win32::FromWide(UpToNul(buffer));
  return static_cast<int>(code);
}

int MciGetErrorString(int code, std::string& text, std::size_t length) {
  if (length == 0) return 0;
  std::wstring buffer(length, L'\0');
  const BOOL ok = mciGetErrorStringW(static_cast<MCIERROR>(code), buffer.data(), static_cast<UINT>(length));
  buffer.back() = L'\0';
  if (ok) text = win32::FromWide(UpToNul(buffer));
  return ok ? 1 : 0;
}

int PlaySoundLooped(const std::string& file) {
  return PlaySoundW(win32::Widen(file).c_str(), nullptr, SND_ASYNC | SND_LOOP) ? 1 : 0;
}

int StopSound() { return PlaySoundW(nullptr, nullptr, 0) ? 1 : 0; }

int WaveOutputDevices() { return static_cast<int>(waveOutGetNumDevs()); }

}  // namespace ui::sys
