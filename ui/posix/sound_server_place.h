// Where the music finds the session's sound server when the host withholds
// $XDG_RUNTIME_DIR (MATE's saver passes hacks only a short list of
// variables): PipeWire and PulseAudio listen at $XDG_RUNTIME_DIR/pulse/native,
// and the session's runtime folder is /run/user/<uid>.
#pragma once
#include <sys/types.h>

#include <string>

namespace ui::posix {

// The folder to give the sound module as $XDG_RUNTIME_DIR: "" when the
// environment already names the folder or the server (`runtime_folder`,
// `pulse_server`: their values, nullptr when unset), else `users_root`/<uid>
// when that is a folder of the user's own that no one else may write.
std::string SoundRuntimeFolder(const char* runtime_folder, const char* pulse_server, uid_t uid,
                               const std::string& users_root);

// Sets $XDG_RUNTIME_DIR to that folder, if any, before the sound module loads.
void ProvideSoundRuntimeFolder(const std::string& users_root = "/run/user");

}  // namespace ui::posix
