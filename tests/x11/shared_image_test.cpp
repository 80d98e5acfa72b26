// The display's shared images and SIGTERM: a host ends its hack at any
// moment (every resize makes a new image), and the display ends in its
// signal handler. No segment of shared memory may be left behind, even when
// the signal comes the moment a segment is made (it would stay until the
// machine restarts).

// GoogleTest first: X's headers define None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
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

// Segments of shared memory the process `pid` made.
int SegmentsOf(pid_t pid) {
  std::ifstream table("/proc/sysvipc/shm");
  std::string line;
  std::getline(table, line);  // the heading
  int count = 0;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    long key, id, perms, size, maker;
    if (fields >> key >> id >> perms >> size >> maker && maker == pid) ++count;
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
  while (SegmentsOf(child) > 0 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(SegmentsOf(child), 0);
}

}  // namespace
