// The display's shared images and SIGTERM: a host ends its hack at any
// moment, a resize drag makes new images one after the other, and the
// display ends in its signal handler. No segment of shared memory may be
// left behind, whenever the signal comes (it would stay until the machine
// restarts).

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "ui/backend.h"
#include "ui/x11/backend_x11.h"
#include "ui/x11/surface_x11.h"

// The moment a SIGTERM would hurt most: right after a segment is made (the
// test binary is linked with --wrap=shmget).
extern "C" int __real_shmget(key_t key, size_t size, int flags);
namespace {
bool signal_after_shmget = false;
}  // namespace
extern "C" int __wrap_shmget(key_t key, size_t size, int flags) {
  const int id = __real_shmget(key, size, flags);
  if (signal_after_shmget) raise(SIGTERM);
  return id;
}

namespace {

// A hack that makes a new shared image again and again, as a resize drag
// does, until a signal ends it; it says when its first image is made.
[[noreturn]] void ResizeUntilEnded(int ready) {
  ui::x11::Backend().display = nullptr;  // a connection of its own, not the parent's
  char program[] = "tessellane", root[] = "-root";
  char* argv[] = {program, root, nullptr};
  ui::sys::TakeArguments(2, argv);
  Display* d = ui::x11::Dpy();
  const Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 200, 200, 0, 0, 0);
  ui::x11::Surface surface(window);
  for (int i = 0;; ++i) {
    if (i == 1) [[maybe_unused]]
      const auto n = write(ready, "r", 1);
    surface.Resize(100 + i % 97, 100 + i * 7 % 89, 0);
    surface.Touch(0, 0, 8, 8);
    surface.Present();
    XSync(d, False);
  }
}

// Segments of shared memory whose maker is one of `pids`.
int SegmentsOf(const std::set<int>& pids) {
  std::ifstream table("/proc/sysvipc/shm");
  std::string line;
  std::getline(table, line);  // the heading
  int count = 0;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    long key, id, perms, size, maker;
    if (fields >> key >> id >> perms >> size >> maker && pids.count(static_cast<int>(maker))) ++count;
  }
  return count;
}

// A hack's first image, a SIGTERM the moment its segment exists.
[[noreturn]] void EndedAsItsSegmentIsMade() {
  ui::x11::Backend().display = nullptr;
  char program[] = "tessellane", root[] = "-root";
  char* argv[] = {program, root, nullptr};
  ui::sys::TakeArguments(2, argv);
  Display* d = ui::x11::Dpy();
  const Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 64, 64, 0, 0, 0);
  ui::x11::Surface surface(window);
  surface.Resize(64, 64, 0);
  signal_after_shmget = true;
  surface.TouchAll();
  surface.Present();
  std::_Exit(3);  // the signal did not end it
}

TEST(SharedImage, SigtermRightAfterTheSegmentIsMadeEndsTheHackAndLeavesNoSegment) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) EndedAsItsSegmentIsMade();
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (SegmentsOf({child}) > 0 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(SegmentsOf({child}), 0);
}

TEST(SharedImage, SigtermAtAnyMomentOfAResizeLeavesNoSegment) {
  std::mt19937 random(20261208);
  std::set<int> children;
  for (int run = 0; run < 40; ++run) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) ResizeUntilEnded(ready[1]);
    children.insert(child);
    char byte = 0;
    EXPECT_EQ(read(ready[0], &byte, 1), 1) << "run " << run << ": the hack did not start";
    close(ready[0]);
    close(ready[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "run " << run << " status " << status;
  }
  // The server lets go of an ended client's segments soon after; a segment
  // never marked for removal stays.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (SegmentsOf(children) > 0 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(SegmentsOf(children), 0) << "segments left behind by 40 hacks ended during resizes";
}

}  // namespace
