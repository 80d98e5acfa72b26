// What a test of the POSIX files and places sets up: an environment
// variable set for one test, a folder of its own.
#pragma once
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace posix_testing {

// A new folder under /tmp, removed with everything in it after the test.
struct TemporaryFolder {
  std::filesystem::path path;
  TemporaryFolder() {
    char name[] = "/tmp/tess-test-XXXXXX";
    path = mkdtemp(name);
  }
  ~TemporaryFolder() { std::filesystem::remove_all(path); }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
};

// An environment variable set (or, with nullopt, unset) for one test, and
// put back afterwards.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
  }
  ~ScopedVariable() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace posix_testing
