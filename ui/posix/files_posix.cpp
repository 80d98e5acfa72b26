// Whole-file services on a POSIX system: the settings file in the user's
// configuration folder, replaced in one step by a rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "ui/backend.h"
#include "ui/posix/error_text.h"

namespace ui::files {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

// Only a regular file: a named pipe or a device in the settings file's
// place would hold the start.
std::optional<std::string> Read(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return bytes;
}

bool Replace(const std::string& path, std::string_view bytes, std::string& reason) {
  const std::string temp = path + ".new";
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    reason = ErrorText(errno);
    return false;
  }
  const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
  const int write_error = errno;
  if (close(fd) != 0 || !written) {
    reason = ErrorText(written ? errno : write_error);
    unlink(temp.c_str());
    return false;
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    reason = ErrorText(errno);
    unlink(temp.c_str());
    return false;
  }
  return true;
}

bool CreateFolders(const std::string& folder, std::string& reason) {
  for (std::size_t at = 1; at <= folder.size(); ++at) {
    if (at < folder.size() && folder[at] != '/') continue;
    const std::string part = folder.substr(0, at);
    if (mkdir(part.c_str(), 0755) == 0 || errno == EEXIST) continue;
    reason = ErrorText(errno);
    return false;
  }
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    reason = ErrorText(ENOTDIR);
    return false;
  }
  return true;
}

// $XDG_CONFIG_HOME/tessellane, or ~/.config/tessellane: the user's copy is
// the only one.
SettingsPlaces SettingsFilePlaces(const std::string& file_name) {
  SettingsPlaces places;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string folder;
  if (config && config[0] == '/') folder = config;
  else if (home && home[0]) folder = std::string(home) + "/.config";
  if (!folder.empty()) places.user_copy = folder + "/tessellane/" + file_name;
  return places;
}

}  // namespace ui::files

namespace ui::sys {

// Without O_NONBLOCK a named pipe given as the music file would hold the
// start until something wrote to it.
bool CanOpenForReading(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  const bool file = fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
  close(fd);
  return file;
}

}  // namespace ui::sys
