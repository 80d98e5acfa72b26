#include "ui/posix/sound_server_place.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace ui::posix {
namespace {

bool Named(const char* value) { return value && value[0]; }

// As logind makes it: the user's, and closed to the others, so nobody else
// can have put a server socket there.
bool OwnPrivateFolder(const std::string& folder, uid_t uid) {
  struct stat st {};
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

std::string SoundRuntimeFolder(const char* runtime_folder, const char* pulse_server, uid_t uid,
                               const std::string& users_root) {
  if (Named(runtime_folder) || Named(pulse_server)) return {};
  const std::string folder = users_root + "/" + std::to_string(uid);
  return OwnPrivateFolder(folder, uid) ? folder : std::string();
}

void ProvideSoundRuntimeFolder(const std::string& users_root) {
  const std::string folder =
      SoundRuntimeFolder(std::getenv("XDG_RUNTIME_DIR"), std::getenv("PULSE_SERVER"), getuid(), users_root);
  if (!folder.empty()) setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

}  // namespace ui::posix
