// The process as both Linux programs see it: the arguments it was started
// with, read once at the start, and the end SIGTERM or SIGINT asks for. The
// display program ends in the signal handler itself: it holds nothing the
// kernel and the X server do not free, and a host waits for it. In the
// settings program a signal only sets a flag and writes a byte to a pipe,
// which wakes whatever waits for events; the forms close at the next look
// at the events, so that a save under way is finished.
#pragma once
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/posix/launch_args.h"

namespace ui::posix {

// How a program answers SIGTERM and SIGINT; each backend says which.
enum class EndSignalAnswer { kEndAtOnce, kCloseForms };
EndSignalAnswer AnswerToEndSignal();

struct ProcessState {
  std::string program_path;
  std::vector<std::string> arguments;
  LaunchArgs launch;
  volatile std::sig_atomic_t end_requested = 0;
  int wake_pipe[2] = {-1, -1};
};
ProcessState& Process();

// Whether a signal asked the program to end since the last call. The pipe's
// bytes are read, so a later wait sleeps again.
bool TakeEndRequest();
// Whether a signal asked the program to end, without taking the request.
bool EndRequested();
// The descriptor a wait for events also watches, to wake at a signal.
int WakeDescriptor();

// Holds SIGTERM and SIGINT back while it lives, so that what is done
// meanwhile is done whole (a shared memory segment made and marked for
// removal: a display ending in between would leave it until the machine
// restarts). A signal that came meanwhile is answered when the hold ends.
class EndSignalsHeld {
 public:
  EndSignalsHeld();
  ~EndSignalsHeld();
  EndSignalsHeld(const EndSignalsHeld&) = delete;
  EndSignalsHeld& operator=(const EndSignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

// What the arguments ask the program to do; `root_window` gives the root's
// id, asked only when a hack is told to draw there, and `own_window` makes a
// hack's window of its own ("-window"; without it the display runs as with
// no switch). Help, a refused argument and a switch with nothing to do end
// the process here, before any connection to a display.
sys::LaunchRequest LaunchWith(const std::function<WindowHandle()>& root_window,
                              const std::function<WindowHandle()>& own_window = nullptr);

// Where a file the package installs beside the programs lies: beside this
// program (the build tree, the settings program), else in the package's
// private folder, found from the display program's place.
std::vector<std::string> PrivateFilePlaces(const std::string& name);

}  // namespace ui::posix
