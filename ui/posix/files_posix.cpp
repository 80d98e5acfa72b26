// Whole-file services on a POSIX system: the settings file in the user's
// configuration folder, replaced in one step by a rename.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

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

// The file a save replaces: at the end of the links' chain, so that a link
// (a dotfile manager's) stays and its target gets the new settings. A link
// that leads to no file yet leads to where the file is made; a path that is
// no link is itself the file.
std::string FileBehindLinks(const std::string& path) {
  std::string file = path;
  // As many links in a row as the kernel follows; a loop ends there too,
  // and the save reports it.
  for (int links = 0; links < 40; ++links) {
    char target[4096];
    const ssize_t n = readlink(file.c_str(), target, sizeof target);
    if (n < 0 || n == static_cast<ssize_t>(sizeof target)) break;
    const std::string leads(target, static_cast<std::size_t>(n));
    const auto slash = file.rfind('/');
    file = leads.front() == '/' || slash == std::string::npos ? leads : file.substr(0, slash + 1) + leads;
  }
  return file;
}

// A settings file the user made private stays private.
void KeepPermissions(int fd, const std::string& file) {
  struct stat st {};
  if (stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode)) fchmod(fd, st.st_mode & 07777);
}

// $HOME, or the account's home folder where the host passes none.
std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return home;
  const passwd* account = getpwuid(getuid());
  if (account && account->pw_dir && account->pw_dir[0] == '/') return account->pw_dir;
  return {};
}

}  // namespace

// Only a regular file: a named pipe or a device in the settings file's
// place would hold the start.
std::optional<std::string> Read(const std::string& path, std::size_t max_bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return std::nullopt;
  }
  std::string bytes;
  bytes.reserve(std::min(static_cast<std::size_t>(st.st_size), max_bytes));
  char buffer[65536];
  while (bytes.size() < max_bytes) {
    const ssize_t n = read(fd, buffer, std::min(sizeof buffer, max_bytes - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return bytes;
}

bool Replace(const std::string& path, std::string_view bytes, std::string& reason) {
  const std::string file = FileBehindLinks(path);
  const std::string temp = file + ".new";
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    reason = ErrorText(errno);
    return false;
  }
  KeepPermissions(fd, file);
  const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
  const int write_error = errno;
  if (close(fd) != 0 || !written) {
    reason = ErrorText(written ? errno : write_error);
    unlink(temp.c_str());
    return false;
  }
  if (rename(temp.c_str(), file.c_str()) != 0) {
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

// Always ~/.config/tessellane, whatever $XDG_CONFIG_HOME says: the savers
// that host the hack (MATE's, Xfce's) start it without that variable, and
// the hack must read what the settings window saved.
SettingsPlaces SettingsFilePlaces(const std::string& file_name) {
  SettingsPlaces places;
  const std::string home = HomeFolder();
  if (!home.empty()) places.user_copy = home + "/.config/tessellane/" + file_name;
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
