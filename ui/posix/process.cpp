#include "ui/posix/process.h"

#include <fcntl.h>
#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace ui::posix {
namespace {

void EndAtOnce(int) { _exit(0); }

// The handler may interrupt a save between its failed call and the reading
// of its reason: errno is left as it was.
void AskFormsToClose(int) {
  const int saved_errno = errno;
  Process().end_requested = 1;
  const char byte = 1;
  [[maybe_unused]] const auto n = write(Process().wake_pipe[1], &byte, 1);
  errno = saved_errno;
}

// From the first moment on: a host may end the program while it starts. The
// pipe is made before the handler that writes to it is installed.
void ListenForTermination(ProcessState& process) {
  struct sigaction action {};
  action.sa_handler = EndAtOnce;
  if (AnswerToEndSignal() == EndSignalAnswer::kCloseForms) {
    if (pipe2(process.wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) process.wake_pipe[0] = process.wake_pipe[1] = -1;
    action.sa_handler = AskFormsToClose;
  }
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  // A host may start the program with the two blocked.
  sigset_t ends;
  sigemptyset(&ends);
  sigaddset(&ends, SIGTERM);
  sigaddset(&ends, SIGINT);
  sigprocmask(SIG_UNBLOCK, &ends, nullptr);
}

}  // namespace

ProcessState& Process() {
  static ProcessState process;
  return process;
}

bool EndRequested() { return Process().end_requested != 0; }

// The pipe is emptied before the flag is taken: a signal in between leaves
// its byte in the pipe as well as the flag, so the next wait still wakes.
// (The other order could take a byte after clearing the flag, and lose the
// request of a signal that came in between.)
bool TakeEndRequest() {
  ProcessState& process = Process();
  char buffer[64];
  while (process.wake_pipe[0] >= 0 && read(process.wake_pipe[0], buffer, sizeof buffer) > 0) {
  }
  if (!process.end_requested) return false;
  process.end_requested = 0;
  return true;
}

int WakeDescriptor() { return Process().wake_pipe[0]; }

EndSignalsHeld::EndSignalsHeld() {
  sigset_t ends;
  sigemptyset(&ends);
  sigaddset(&ends, SIGTERM);
  sigaddset(&ends, SIGINT);
  pthread_sigmask(SIG_BLOCK, &ends, &previous_);
}

EndSignalsHeld::~EndSignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

sys::LaunchRequest LaunchWith(const std::function<WindowHandle()>& root_window,
                              const std::function<WindowHandle()>& own_window) {
  const ProcessState& process = Process();
  const LaunchArgs& args = process.launch;
  switch (args.action) {
    case LaunchArgs::Action::kHelp: std::cout << Usage(process.program_path); sys::EndProcess(0);
    case LaunchArgs::Action::kBad:
      std::cerr << process.program_path << ": " << args.error << "\n" << Usage(process.program_path);
      sys::EndProcess(1);
    case LaunchArgs::Action::kEndAtOnce: sys::EndProcess(0);
    case LaunchArgs::Action::kHosted:
      return sys::LaunchRequest{{}, args.root ? root_window() : static_cast<WindowHandle>(args.window)};
    case LaunchArgs::Action::kOwnWindow:
      if (own_window) return sys::LaunchRequest{{}, own_window()};
      break;
    case LaunchArgs::Action::kRun: break;
  }
  return sys::LaunchRequest{args.command_line, 0};
}

std::vector<std::string> PrivateFilePlaces(const std::string& name) {
  const std::string program_folder = sys::AppPath();
  return {program_folder + "/" + name, program_folder + "/" TESS_PRIVATE_DIR_FROM_PROGRAM "/" + name};
}

}  // namespace ui::posix

namespace ui::sys {

void TakeArguments(int argc, char** argv) {
  posix::ProcessState& process = posix::Process();
  posix::ListenForTermination(process);
  process.program_path = argc > 0 ? argv[0] : "tessellane";
  process.arguments.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
  const char* host = std::getenv("XSCREENSAVER_WINDOW");
  process.launch = posix::ParseLaunchArgs(process.arguments, host ? host : "");
}

std::string AppPath() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string dir(path, static_cast<std::size_t>(n));
  const auto slash = dir.rfind('/');
  return slash == 0 ? "/" : dir.substr(0, slash);
}

// Everything the program made goes with it: the display server frees the
// windows and pictures of a connection that closes, and the shared image
// memory was marked for removal when it was made.
void EndProcess(int exit_code) {
  std::fflush(nullptr);
  std::_Exit(exit_code);
}

void StartSettingsProgram() {
  std::vector<std::string> args = {"tessellane-settings"};
  for (const std::string& arg : posix::Process().arguments) args.push_back(arg);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::vector<std::string> places = posix::PrivateFilePlaces("tessellane-settings");
  for (const std::string& place : places) execv(place.c_str(), argv.data());
  std::cerr << "tessellane: cannot start the settings program " << places.back() << ": " << std::strerror(errno)
            << std::endl;
  EndProcess(1);
}

void ReportFatalError(const std::string& text) { std::cerr << "tessellane: " << text << std::endl; }

double SecondsSinceMidnight() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_nsec / 1e9;
}

}  // namespace ui::sys
