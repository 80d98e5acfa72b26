#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#ifndef TESS_TEST_CASE_TIMEOUT
#define TESS_TEST_CASE_TIMEOUT 60
#endif

#ifndef __EMSCRIPTEN__
namespace {

// Ends the process, naming the case, when one case runs longer than its limit.
// ctest's own limit only names the whole program when all cases share one
// entry (the cross build under Wine), and a hang must fail with its name.
class CaseWatchdog : public testing::EmptyTestEventListener {
 public:
  explicit CaseWatchdog(std::chrono::seconds limit) : limit_(limit), thread_([this] { Watch(); }) {}
  ~CaseWatchdog() override {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  void OnTestStart(const testing::TestInfo& info) override {
    std::lock_guard lock(mutex_);
    name_ = std::string(info.test_suite_name()) + "." + info.name();
    deadline_ = std::chrono::steady_clock::now() + limit_;
    running_ = true;
    wake_.notify_all();
  }
  void OnTestEnd(const testing::TestInfo&) override {
    std::lock_guard lock(mutex_);
    running_ = false;
  }

 private:
  void Watch() {
    std::unique_lock lock(mutex_);
    while (!done_) {
      if (!running_) {
        wake_.wait(lock);
        continue;
      }
      const auto deadline = deadline_;
      if (wake_.wait_until(lock, deadline) == std::cv_status::timeout && running_ && deadline_ == deadline) {
        std::fprintf(stderr, "\nTIMEOUT: %s ran longer than %lld s\n", name_.c_str(),
                     static_cast<long long>(limit_.count()));
        std::fflush(stderr);
        std::_Exit(124);
      }
    }
  }

  std::chrono::seconds limit_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::string name_;
  std::chrono::steady_clock::time_point deadline_{};
  bool running_ = false;
  bool done_ = false;
  std::thread thread_;
};

std::chrono::seconds CaseLimit() {
  // TESS_TEST_CASE_TIMEOUT in the environment overrides the built-in limit
  // (a slow machine, a debugger session).
  if (const char* text = std::getenv("TESS_TEST_CASE_TIMEOUT")) {
    const long seconds = std::strtol(text, nullptr, 10);
    if (seconds > 0) return std::chrono::seconds(seconds);
  }
  return std::chrono::seconds(TESS_TEST_CASE_TIMEOUT);
}

}  // namespace
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifndef __EMSCRIPTEN__
  // Owned by GoogleTest's listener list from here on. WebAssembly without
  // threads has no watchdog: there ctest's limit covers the whole run.
  testing::UnitTest::GetInstance()->listeners().Append(new CaseWatchdog(CaseLimit()));
#endif
  return RUN_ALL_TESTS();
}
