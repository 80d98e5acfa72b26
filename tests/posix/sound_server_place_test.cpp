// Where the music looks for the session's sound server when the host passes
// no XDG_RUNTIME_DIR: the user's own runtime folder, and only that.
#include "ui/posix/sound_server_place.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/posix/test_places.h"

namespace {

namespace fs = std::filesystem;
using posix_testing::ScopedVariable;

// A stand-in for /run/user, removed after the test.
struct UsersRoot : posix_testing::TemporaryFolder {
  std::string str() const { return path.string(); }
  // The folder of `uid`, made by this process and so owned by its user.
  std::string MakeFolder(uid_t uid, mode_t mode = 0700) const {
    const fs::path folder = path / std::to_string(uid);
    fs::create_directory(folder);
    chmod(folder.c_str(), mode);
    return folder.string();
  }
};

TEST(SoundRuntimeFolder, IsTheUsersOwnFolderWhenTheHostNamesNone) {
  UsersRoot root;
  const std::string folder = root.MakeFolder(getuid());
  EXPECT_EQ(ui::posix::SoundRuntimeFolder(nullptr, nullptr, getuid(), root.str()), folder);
  EXPECT_EQ(ui::posix::SoundRuntimeFolder("", "", getuid(), root.str()), folder);
}

TEST(SoundRuntimeFolder, NeverOverridesWhatTheEnvironmentNames) {
  UsersRoot root;
  root.MakeFolder(getuid());
  EXPECT_EQ(ui::posix::SoundRuntimeFolder("/run/user/elsewhere", nullptr, getuid(), root.str()), "");
  EXPECT_EQ(ui::posix::SoundRuntimeFolder(nullptr, "unix:/tmp/pulse.sock", getuid(), root.str()), "");
}

// Another user's folder (or one others may write) could hold anybody's
// socket; a file or nothing in its place is no folder at all.
TEST(SoundRuntimeFolder, IsNothingButAPrivateFolderOfTheUser) {
  UsersRoot root;
  const uid_t other = getuid() + 1;
  root.MakeFolder(other);  // owned by this process's user, not by `other`
  EXPECT_EQ(ui::posix::SoundRuntimeFolder(nullptr, nullptr, other, root.str()), "");
  EXPECT_EQ(ui::posix::SoundRuntimeFolder(nullptr, nullptr, getuid(), root.str()), "");  // missing
  for (const mode_t writable_by_others : {0720, 0702, 0777}) {
    root.MakeFolder(getuid(), writable_by_others);
    EXPECT_EQ(ui::posix::SoundRuntimeFolder(nullptr, nullptr, getuid(), root.str()), "")
        << "mode " << std::oct << writable_by_others;
  }
  fs::remove(root.path / std::to_string(getuid()));
  std::ofstream(root.path / std::to_string(getuid())) << "not a folder";
  EXPECT_EQ(ui::posix::SoundRuntimeFolder(nullptr, nullptr, getuid(), root.str()), "");
}

// What the sound module then finds in its environment.
TEST(SoundRuntimeFolder, IsProvidedOnlyWhereTheVariableWasMissing) {
  UsersRoot root;
  const std::string folder = root.MakeFolder(getuid());
  ScopedVariable no_server("PULSE_SERVER", std::nullopt);
  {
    ScopedVariable missing("XDG_RUNTIME_DIR", std::nullopt);
    ui::posix::ProvideSoundRuntimeFolder(root.str());
    EXPECT_STREQ(std::getenv("XDG_RUNTIME_DIR"), folder.c_str());
  }
  ScopedVariable named("XDG_RUNTIME_DIR", "/kept");
  ui::posix::ProvideSoundRuntimeFolder(root.str());
  EXPECT_STREQ(std::getenv("XDG_RUNTIME_DIR"), "/kept");
}

}  // namespace
