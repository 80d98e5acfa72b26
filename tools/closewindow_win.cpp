// closewindow.exe TITLE [close|endsession] [wait]: what another program or the
// end of the session does to the window with this title: posts it WM_CLOSE,
// or sends it WM_QUERYENDSESSION and WM_ENDSESSION as logging off does.
// With "wait" it then waits (15 s at most) for the window's process to end
// and prints "sending" just before the message and "ended_ms N", the time
// from then to that end: a figure without this helper's own start-up, which
// a loaded machine makes long.
// Test helper of the end-to-end tests.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: closewindow TITLE [close|endsession] [wait]\n");
    return 2;
  }
  HWND window = FindWindowW(nullptr, argv[1]);
  if (!window) {
    std::fprintf(stderr, "closewindow: no window with that title\n");
    return 1;
  }
  const bool wait = argc == 4 && std::wcscmp(argv[3], L"wait") == 0;
  HANDLE process = nullptr;
  if (wait) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) {
      std::fprintf(stderr, "closewindow: cannot wait for process %lu (%lu)\n", pid, GetLastError());
      return 1;
    }
  }
  if (wait) {
    std::printf("sending\n");
    std::fflush(stdout);
  }
  const ULONGLONG start = GetTickCount64();
  if (argc >= 3 && std::wcscmp(argv[2], L"endsession") == 0) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
  } else if (!PostMessageW(window, WM_CLOSE, 0, 0)) {
    return 1;
  }
  if (!wait) return 0;
  const DWORD result = WaitForSingleObject(process, 15000);
  CloseHandle(process);
  if (result != WAIT_OBJECT_0) {
    std::fprintf(stderr, "closewindow: the process did not end within 15 s\n");
    return 3;
  }
  std::printf("ended_ms %llu\n", GetTickCount64() - start);
  return 0;
}
