// The multimedia services the music module uses: the MCI command
// strings, their error texts, wave files played in a loop and the count of
// wave-output devices.
// Text is UTF-8 here; the Win32 backend hands it to the Unicode entry points
// and converts replies back.
#pragma once
#include <cstddef>
#include <string>

namespace ui::sys {

// mciSendString with callback window 0. With a reply buffer (reply not null
// and reply_length > 0) the system gets a buffer of reply_length characters
// that starts with the current text of *reply; afterwards *reply is that
// buffer up to its first NUL. Returns 0 or the MCI error code.
int MciSendString(const std::string& command, std::string* reply, std::size_t reply_length);

// mciGetErrorString into a buffer of `length` characters; `text` receives the
// buffer up to its first NUL. Nonzero when a description was written.
int MciGetErrorString(int code, std::string& text, std::size_t length);

// Plays a wave file over and over without waiting for it; nonzero on success.
int PlaySoundLooped(const std::string& file);
// Stops whatever PlaySoundLooped plays; nonzero on success.
int StopSound();

// How many wave-output devices the system has (0: none).
int WaveOutputDevices();

}  // namespace ui::sys
