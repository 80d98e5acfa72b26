// Shared parts of the fuzz targets that run the program on the headless
// backend: a rule that aborts (so libFuzzer keeps the input), and one
// program directory per fuzzing process for the settings file.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzz_support {

inline void Require(bool ok, const char* rule) {
  if (ok) return;
  std::fprintf(stderr, "broken rule: %s\n", rule);
  std::abort();
}

// The program's directory: made once, removed at the end of the process.
inline const std::filesystem::path& ProgramDir() {
  struct Dir {
    std::filesystem::path path;
    Dir() : path(std::filesystem::temp_directory_path() / ("tess-fuzz-" + std::to_string(::getpid()))) {
      std::filesystem::create_directories(path);
    }
    ~Dir() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  };
  static Dir dir;
  return dir.path;
}

inline std::filesystem::path IniPath() { return ProgramDir() / std::filesystem::path(u8"テセレーン.ini"); }

// The settings file holds exactly these bytes; nullptr: there is none.
inline void SetIniBytes(const std::string_view* bytes) {
  std::error_code ec;
  std::filesystem::remove(IniPath(), ec);
  if (!bytes) return;
  std::ofstream out(IniPath(), std::ios::binary | std::ios::trunc);
  out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
}

}  // namespace fuzz_support
