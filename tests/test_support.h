// Shared helpers of the unit tests: a fresh headless process per test and a
// temporary program directory for the settings file.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "ui/codepage.h"
#include "ui/headless/headless.h"

namespace testing_support {

// A program directory of its own, removed again after the test.
class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("tess-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  // The directory as the program sees it (UTF-8).
  std::string str() const { return path_.string(); }
  std::filesystem::path Ini() const { return path_ / std::filesystem::path(u8"テセレーン.ini"); }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A settings file of UTF-8 lines, stored as code page 932 bytes.
inline void WriteIni(const TempDir& dir, const std::string& utf8_lines) {
  WriteBytes(dir.Ini(), ui::Utf8ToCp932("[Section]\r\n" + utf8_lines));
}

// Every test starts as a fresh process with its own program directory.
// The exit code a run of the program ends the process with.
inline int ExitCodeOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const headless::ProcessExit& exit) {
    return exit.code;
  }
  ADD_FAILURE() << "the program returned without ending the process";
  return -1;
}

class HeadlessTest : public ::testing::Test {
 protected:
  HeadlessTest() {
    headless::Reset();
    headless::config().app_path = dir_.str();
  }
  ~HeadlessTest() override { headless::Reset(); }
  TempDir dir_;
};

}  // namespace testing_support
