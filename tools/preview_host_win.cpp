// preview_host.exe: stands in for the Display Properties dialog in the
// end-to-end tests. It makes preview areas (child windows of its own window),
// starts the screen saver with /p <area handle> for each, waits until the
// saver's window has become a shown child of the area, reports the window
// tree, then destroys its window and reports whether each saver ended.
//
//   preview_host --scr PATH [--size WxH] [--count N] [--colon] [--handle TEXT]
//                [--hold-ms MS] [--wait-ms MS] [--keep]
//
// --colon passes /p:<handle> instead of /p <handle>; --handle passes TEXT in
// place of the area's handle (a missing or invalid parent); --keep leaves the
// host's window alone after the report (for a saver that was refused).
// Output: key=value lines on stdout; exit code 0 when it could run the test,
// 2 on bad arguments, 3 when a saver could not be started.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kHostClass[] = L"PreviewHost";
constexpr wchar_t kAreaClass[] = L"PreviewArea";

double NowMs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(freq.QuadPart);
}

// Milliseconds since this process was created (system clock, 100 ns units).
double MsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER a{{created.dwLowDateTime, created.dwHighDateTime}};
  ULARGE_INTEGER b{{now.dwLowDateTime, now.dwHighDateTime}};
  return static_cast<double>(b.QuadPart - a.QuadPart) / 10000.0;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Waits up to ms while handling this thread's messages (the saver's child
// window sends its parent messages that must be answered).
void PumpFor(double ms) {
  const double end = NowMs() + ms;
  while (NowMs() < end) {
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

std::string Narrow(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::string ClassOf(HWND h) {
  wchar_t name[256] = {};
  GetClassNameW(h, name, 256);
  return Narrow(name);
}

std::string TitleOf(HWND h) {
  wchar_t text[256] = {};
  GetWindowTextW(h, text, 256);
  return Narrow(text);
}

void ReportWindow(const char* prefix, HWND h, HWND expected_parent) {
  RECT r{};
  GetWindowRect(h, &r);
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  // GetAncestor, not GetParent: GetParent answers the owner for a window
  // that also keeps WS_POPUP.
  std::printf(
      "%s.class=%s\n%s.title=%s\n%s.child_style=%d\n%s.popup_style=%d\n%s.visible=%d\n"
      "%s.size=%ldx%ld\n%s.parent_ok=%d\n%s.pid=%lu\n",
      prefix, ClassOf(h).c_str(), prefix, TitleOf(h).c_str(), prefix, (style & WS_CHILD) ? 1 : 0, prefix,
      (style & WS_POPUP) ? 1 : 0, prefix, IsWindowVisible(h) ? 1 : 0, prefix, r.right - r.left, r.bottom - r.top,
      prefix, GetAncestor(h, GA_PARENT) == expected_parent ? 1 : 0, prefix, pid);
  // Position inside the parent: the preview sits at its top-left corner.
  POINT origin{r.left, r.top};
  ScreenToClient(expected_parent, &origin);
  std::printf("%s.pos=%ld,%ld\n", prefix, origin.x, origin.y);
}

struct Saver {
  HWND area = nullptr;
  PROCESS_INFORMATION pi{};
  double started_ms = 0;
  double attached_ms = -1;
  HWND preview = nullptr;
  bool exited = false;
};

int Usage() {
  std::fprintf(stderr,
               "usage: preview_host --scr PATH [--size WxH] [--count N] [--colon] [--handle TEXT]\n"
               "                    [--hold-ms MS] [--wait-ms MS] [--keep]\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring scr, handle_text;
  int width = 152, height = 112, count = 1;
  double hold_ms = 300, wait_ms = 10000;
  bool colon = false, keep = false, handle_given = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == L"--scr" && has_value) scr = argv[++i];
    else if (a == L"--size" && has_value) {
      if (std::swscanf(argv[++i], L"%dx%d", &width, &height) != 2) return Usage();
    } else if (a == L"--count" && has_value) count = _wtoi(argv[++i]);
    else if (a == L"--colon") colon = true;
    else if (a == L"--keep") keep = true;
    else if (a == L"--handle" && has_value) {
      handle_text = argv[++i];
      handle_given = true;
    } else if (a == L"--hold-ms" && has_value) hold_ms = _wtof(argv[++i]);
    else if (a == L"--wait-ms" && has_value) wait_ms = _wtof(argv[++i]);
    else return Usage();
  }
  if (scr.empty() || count < 1 || count > 8 || width < 0 || height < 0) return Usage();

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = kHostClass;
  RegisterClassExW(&wc);
  wc.lpszClassName = kAreaClass;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassExW(&wc);

  HWND host = CreateWindowExW(0, kHostClass, L"Tessellane preview host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 10,
                              10, 200 * count + 20, 160, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!host) return 3;
  std::vector<Saver> savers(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    savers[i].area = CreateWindowExW(0, kAreaClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 10 + 200 * i, 10,
                                     width, height, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  UpdateWindow(host);
  Pump();
  std::printf("host_start_ms=%.1f\n", MsSinceProcessStart());

  for (int i = 0; i < count; ++i) {
    Saver& s = savers[i];
    wchar_t number[32];
    std::swprintf(number, 32, L"%lld", static_cast<long long>(reinterpret_cast<INT_PTR>(s.area)));
    const std::wstring handle = handle_given ? handle_text : number;
    std::wstring command = L"\"" + scr + L"\" " + (colon ? L"/p:" : L"/p ") + handle;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    s.started_ms = NowMs();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &s.pi)) {
      std::printf("error=cannot start %s\n", Narrow(scr).c_str());
      return 3;
    }
    std::printf("saver%d.area=%lld\n", i, static_cast<long long>(reinterpret_cast<INT_PTR>(s.area)));
  }

  // Until every saver is attached and shown, or has ended.
  const double give_up = NowMs() + wait_ms;
  for (bool pending = true; pending && NowMs() < give_up;) {
    pending = false;
    for (Saver& s : savers) {
      if (s.attached_ms >= 0 || s.exited) continue;
      HWND child = GetWindow(s.area, GW_CHILD);
      if (child && IsWindowVisible(child)) {
        s.attached_ms = NowMs() - s.started_ms;
        s.preview = child;
      } else if (WaitForSingleObject(s.pi.hProcess, 0) == WAIT_OBJECT_0) {
        s.exited = true;
        s.attached_ms = -1;
        s.started_ms = NowMs() - s.started_ms;  // now: time to its end
      } else {
        pending = true;
      }
    }
    if (pending) PumpFor(2);
  }
  // Let the preview settle (its sizing and painting) before looking at it.
  PumpFor(hold_ms);

  for (int i = 0; i < count; ++i) {
    Saver& s = savers[i];
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "saver%d", i);
    std::printf("%s.attached=%d\n", prefix, s.preview ? 1 : 0);
    if (s.preview) {
      std::printf("%s.preview_ms=%.1f\n", prefix, s.attached_ms);
      DWORD pid = 0;
      GetWindowThreadProcessId(s.preview, &pid);
      std::printf("%s.preview_in_saver=%d\n", prefix, pid == s.pi.dwProcessId ? 1 : 0);
      std::snprintf(prefix, sizeof prefix, "saver%d.preview", i);
      ReportWindow(prefix, s.preview, s.area);
      int grandchildren = 0;
      for (HWND g = GetWindow(s.preview, GW_CHILD); g; g = GetWindow(g, GW_HWNDNEXT)) {
        char p2[48];
        std::snprintf(p2, sizeof p2, "saver%d.picture%d", i, grandchildren++);
        ReportWindow(p2, g, s.preview);
      }
      std::printf("saver%d.pictures=%d\n", i, grandchildren);
    } else if (s.exited) {
      std::printf("%s.ended_without_preview_ms=%.1f\n", prefix, s.started_ms);
    }
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(s.pi.hProcess, &pmc, sizeof pmc))
      std::printf("saver%d.peak_working_set_kb=%llu\n", i,
                  static_cast<unsigned long long>(pmc.PeakWorkingSetSize / 1024));
  }
  PROCESS_MEMORY_COUNTERS own{};
  own.cb = sizeof own;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &own, sizeof own))
    std::printf("host.peak_working_set_kb=%llu\n", static_cast<unsigned long long>(own.PeakWorkingSetSize / 1024));

  // Close the "dialog": the areas go with it, and with them the previews.
  if (!keep) {
    DestroyWindow(host);
    host = nullptr;
  }
  const double closed = NowMs();
  for (int i = 0; i < count; ++i) {
    Saver& s = savers[i];
    DWORD result = WAIT_TIMEOUT;
    while (NowMs() - closed < 1000) {
      result = WaitForSingleObject(s.pi.hProcess, 0);
      if (result == WAIT_OBJECT_0) break;
      PumpFor(2);
    }
    DWORD code = 0;
    GetExitCodeProcess(s.pi.hProcess, &code);
    std::printf("saver%d.ended_within_1s=%d\n", i, result == WAIT_OBJECT_0 ? 1 : 0);
    if (result == WAIT_OBJECT_0) std::printf("saver%d.exit_code=%lu\n", i, code);
    else {
      std::printf("saver%d.still_running=1\n", i);
      // Not left behind for the next test.
      TerminateProcess(s.pi.hProcess, 99);
    }
  }
  for (Saver& s : savers) {
    CloseHandle(s.pi.hThread);
    CloseHandle(s.pi.hProcess);
  }
  std::fflush(stdout);
  return 0;
}
