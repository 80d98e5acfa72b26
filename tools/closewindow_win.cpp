// closewindow.exe TITLE [close|endsession]: what another program or the end
// of the session does to the window with this title: posts it WM_CLOSE, or
// sends it WM_QUERYENDSESSION and WM_ENDSESSION as logging off does.
// Test helper of the end-to-end tests.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: closewindow TITLE [close|endsession]\n");
    return 2;
  }
  HWND window = FindWindowW(nullptr, argv[1]);
  if (!window) {
    std::fprintf(stderr, "closewindow: no window with that title\n");
    return 1;
  }
  if (argc == 3 && std::wcscmp(argv[2], L"endsession") == 0) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    return 0;
  }
  return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}
