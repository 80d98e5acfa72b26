// Saving the settings file on Linux: a save that cannot be made leaves the
// old file whole, leaves no ".new" file behind, and gives its reason in
// Japanese, whatever the process's locale.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ui/backend.h"
#include "ui/posix/error_text.h"

namespace {

namespace fs = std::filesystem;

struct Folder {
  fs::path path;
  Folder() {
    char name[] = "/tmp/tess-files-XXXXXX";
    path = mkdtemp(name);
  }
  ~Folder() { fs::remove_all(path); }
};

std::string Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

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

}  // namespace
