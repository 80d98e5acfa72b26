// The settings file on Linux: where it lives whatever the host passes, a
// save that cannot be made leaves the old file whole, leaves no ".new" file
// behind, and gives its reason in Japanese, whatever the process's locale; a
// link to the file stays a link; a read stops at its limit.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/Tessellane_B.h"
#include "tests/posix/test_places.h"
#include "ui/backend.h"
#include "ui/posix/error_text.h"

namespace {

namespace fs = std::filesystem;
using posix_testing::ScopedVariable;

using Folder = posix_testing::TemporaryFolder;

std::string Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// No file this process writes may grow past `bytes`: a disk that fills up,
// made without privileges. SIGXFSZ is ignored, so that the write fails with
// EFBIG instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_{};
  void (*old_handler_)(int) = SIG_DFL;
};

const std::string kIni = "テセレーン.ini";

TEST(SaveFailure, ReasonsAreJapaneseAndNameTheirCause) {
  EXPECT_EQ(ui::files::ErrorText(EACCES), "アクセスが拒否されました。");
  EXPECT_EQ(ui::files::ErrorText(EPERM), ui::files::ErrorText(EACCES));
  EXPECT_EQ(ui::files::ErrorText(ENOSPC), "ディスクに十分な空き領域がありません。");
  EXPECT_EQ(ui::files::ErrorText(EDQUOT), ui::files::ErrorText(ENOSPC));
  EXPECT_NE(ui::files::ErrorText(EROFS).find("読み取り専用"), std::string::npos);
  // An uncommon cause still says which it was.
  const std::string other = ui::files::ErrorText(EMLINK);
  EXPECT_EQ(other.rfind("エラー " + std::to_string(EMLINK) + " (", 0), 0u) << other;
}

TEST(SaveFailure, AMissingFolderKeepsNothingBehind) {
  Folder f;
  std::string reason;
  EXPECT_FALSE(ui::files::Replace((f.path / "gone" / "テセレーン.ini").string(), "[a]\r\n", reason));
  EXPECT_EQ(reason, "指定されたパスが見つかりません。");
  EXPECT_TRUE(fs::is_empty(f.path));
}

TEST(SaveFailure, AFolderInTheFilesPlaceStaysAndNoNewFileIsLeft) {
  Folder f;
  const fs::path target = f.path / "テセレーン.ini";
  fs::create_directory(target);
  std::ofstream(target / "inside") << "kept";
  std::string reason;
  EXPECT_FALSE(ui::files::Replace(target.string(), "[a]\r\n", reason));
  EXPECT_EQ(reason, "同じ名前のフォルダーがあります。");
  EXPECT_EQ(Bytes(target / "inside"), "kept");
  EXPECT_FALSE(fs::exists(f.path / "テセレーン.ini.new"));
}

TEST(SaveFailure, AFileWhereAFolderMustBeIsReported) {
  Folder f;
  std::ofstream(f.path / "tessellane") << "a file";
  std::string reason;
  EXPECT_FALSE(ui::files::CreateFolders((f.path / "tessellane" / "sub").string(), reason));
  EXPECT_EQ(reason, "指定されたパスが見つかりません。");
  EXPECT_EQ(Bytes(f.path / "tessellane"), "a file");
}

TEST(Save, ReplacesTheWholeFileInOneStep) {
  Folder f;
  const fs::path target = f.path / "テセレーン.ini";
  std::ofstream(target) << "old contents that are longer than the new";
  std::string reason;
  ASSERT_TRUE(ui::files::Replace(target.string(), "[新]\r\n", reason)) << reason;
  EXPECT_EQ(Bytes(target), "[新]\r\n");
  EXPECT_FALSE(fs::exists(f.path / "テセレーン.ini.new"));
  ASSERT_TRUE(ui::files::CreateFolders((f.path / "a" / "b").string(), reason)) << reason;
  EXPECT_TRUE(fs::is_directory(f.path / "a" / "b"));
}

// A disk that fills up in the middle of the new file: the old one stays
// whole and the new one goes.
TEST(SaveFailure, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
  Folder f;
  const fs::path target = f.path / kIni;
  std::ofstream(target) << "[Section]\r\nold=1\r\n";
  const std::string new_bytes(4096, 'n');
  std::string reason;
  bool replaced;
  {
    FileSizeLimit limit(1000);
    replaced = ui::files::Replace(target.string(), new_bytes, reason);
  }
  EXPECT_FALSE(replaced);
  EXPECT_EQ(reason, ui::files::ErrorText(EFBIG));
  EXPECT_EQ(Bytes(target), "[Section]\r\nold=1\r\n");
  EXPECT_FALSE(fs::exists(f.path / (kIni + ".new")));
}

// Dotfile managers keep the file elsewhere and link it into ~/.config: a
// save goes through the links (here two) into the file at their end, which
// keeps its permissions, and the links stay.
TEST(Save, ALinkedFileIsReplacedWhereItLiesAndTheLinksStay) {
  Folder home, dotfiles;
  const fs::path file = dotfiles.path / kIni;
  std::ofstream(file) << "old";
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(file, dotfiles.path / "current.ini");
  const fs::path link = home.path / kIni;
  fs::create_symlink(dotfiles.path / "current.ini", link);
  std::string reason;
  ASSERT_TRUE(ui::files::Replace(link.string(), "[新]\r\n", reason)) << reason;
  ASSERT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), dotfiles.path / "current.ini");
  EXPECT_TRUE(fs::is_symlink(dotfiles.path / "current.ini"));
  EXPECT_EQ(Bytes(file), "[新]\r\n");
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(home.path), {}), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dotfiles.path), {}), 2);
}

// The dotfiles case: the link is there before the file it leads to. The save
// makes the file where the link leads (a relative link from the link's
// folder) and keeps the link; where that folder is missing it says so.
TEST(Save, ALinkToNoFileYetGetsItsFileAndStaysALink) {
  Folder home, dotfiles;
  const fs::path link = home.path / kIni;
  fs::create_symlink(fs::relative(dotfiles.path / "tessellane.ini", home.path), link);
  std::string reason;
  ASSERT_TRUE(ui::files::Replace(link.string(), "[新]\r\n", reason)) << reason;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Bytes(dotfiles.path / "tessellane.ini"), "[新]\r\n");

  // A chain: an absolute link to a link in another folder, which leads on
  // relative to its own folder.
  Folder other;
  fs::create_symlink("tessellane.ini", other.path / "current.ini");
  const fs::path chained = home.path / "chained.ini";
  fs::create_symlink(other.path / "current.ini", chained);
  ASSERT_TRUE(ui::files::Replace(chained.string(), "[鎖]", reason)) << reason;
  EXPECT_TRUE(fs::is_symlink(chained));
  EXPECT_EQ(Bytes(other.path / "tessellane.ini"), "[鎖]");

  const fs::path nowhere = home.path / "nowhere.ini";
  fs::create_symlink(dotfiles.path / "missing" / "tessellane.ini", nowhere);
  EXPECT_FALSE(ui::files::Replace(nowhere.string(), "x", reason));
  EXPECT_EQ(reason, ui::files::ErrorText(ENOENT));
  EXPECT_TRUE(fs::is_symlink(nowhere));
}

// A new account: neither ~/.config nor the settings folder exists yet. The
// save makes both and the file, in code page 932.
TEST(Save, ANewAccountGetsItsSettingsFolderAndFile) {
  Folder home;
  ScopedVariable home_variable("HOME", home.path.string());
  app::SettingsValues values;
  values.StopTime = 7;
  app::SettingsSave save;
  save.Write(values);
  std::string failure;
  ASSERT_TRUE(save.Commit(failure)) << failure;
  const std::string saved = Bytes(home.path / ".config" / "tessellane" / kIni);
  EXPECT_NE(saved.find("\x92\xe2\x8e\x7e\x8e\x9e\x8a\xd4= 7\r\n"), std::string::npos) << saved;
}

TEST(Read, StopsAtItsLimit) {
  Folder f;
  const fs::path file = f.path / kIni;
  std::ofstream(file) << std::string(3 << 20, 'a') << "end";
  EXPECT_EQ(ui::files::Read(file.string(), 1 << 20)->size(), std::size_t{1} << 20);
  EXPECT_EQ(ui::files::Read(file.string(), 5 << 20)->size(), (std::size_t{3} << 20) + 3);
  // Limits that are no multiple of the reads' chunk.
  for (const std::size_t limit : {std::size_t{1}, std::size_t{65537}, std::size_t{100000}, (std::size_t{1} << 20) + 1})
    EXPECT_EQ(ui::files::Read(file.string(), limit)->size(), limit);
  EXPECT_FALSE(ui::files::Read((f.path / "none").string(), 10));
}

// The hosts (MATE's saver) start the hack without XDG_CONFIG_HOME, so the
// settings window, which gets it, must not save anywhere the variable
// leads: the file is ~/.config/tessellane's whatever the variable says.
TEST(SettingsPlace, IsInTheHomeFoldersConfigWhateverXdgConfigHomeSays) {
  Folder home;
  const std::string expected = home.path.string() + "/.config/tessellane/" + kIni;
  ScopedVariable home_variable("HOME", home.path.string());
  for (const std::optional<std::string>& config :
       {std::optional<std::string>(), std::optional<std::string>("relative/config"),
        std::optional<std::string>("/elsewhere/config"), std::optional<std::string>("")}) {
    ScopedVariable config_variable("XDG_CONFIG_HOME", config);
    EXPECT_EQ(ui::files::SettingsFilePlaces(kIni).user_copy, expected) << config.value_or("(unset)");
    EXPECT_EQ(ui::files::SettingsFilePlaces(kIni).program_copy, "");
  }
}

// A host that passes no HOME (or a relative one) still finds the account's.
TEST(SettingsPlace, WithoutAnAbsoluteHomeIsInTheAccountsHomeFolder) {
  const passwd* account = getpwuid(getuid());
  ASSERT_NE(account, nullptr);
  const std::string expected = std::string(account->pw_dir) + "/.config/tessellane/" + kIni;
  for (const std::optional<std::string>& home : {std::optional<std::string>(), std::optional<std::string>("rel")}) {
    ScopedVariable home_variable("HOME", home);
    EXPECT_EQ(ui::files::SettingsFilePlaces(kIni).user_copy, expected) << home.value_or("(unset)");
  }
}

}  // namespace
