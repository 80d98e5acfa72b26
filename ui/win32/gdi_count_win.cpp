#include "ui/win32/gdi_count_win.h"

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "ui/win32/backend_win.h"

namespace ui::win32 {
namespace {

// Wine answers 0 to GetProcessHandleCount: there the valid handle values are
// counted instead. Handles are given out from the lowest free value up, so a
// long run of invalid values marks the end of the table.
DWORD HandleCount() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
  int misses = 0;
  for (ULONG_PTR value = 4; misses < 1024; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
      ++count;
      misses = 0;
    } else {
      ++misses;
    }
  }
  return count;
}

// Rewrites the file once a second for as long as the process lives: one line
// "gdi=N handles=N private_bytes=N working_set=N peak_working_set=N". Written
// to a side file and renamed, so a reader never sees half a line.
void ReportForever(std::wstring path) {
  const std::wstring part = path + L".part";
  for (;;) {
    // The lowest count of the second: objects made and deleted within one
    // drawing call are not what a soak looks for.
    const std::atomic<long>& live = Backend().live_gdi_objects;
    long gdi = live.load();
    for (int i = 0; i < 20; ++i) {
      Sleep(50);
      gdi = std::min(gdi, live.load());
    }
    const DWORD handles = HandleCount();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    if (FILE* f = _wfopen(part.c_str(), L"w")) {
      std::fprintf(f, "gdi=%ld handles=%lu private_bytes=%llu working_set=%llu peak_working_set=%llu\n", gdi,
                   static_cast<unsigned long>(handles), static_cast<unsigned long long>(memory.PrivateUsage),
                   static_cast<unsigned long long>(memory.WorkingSetSize),
                   static_cast<unsigned long long>(memory.PeakWorkingSetSize));
      std::fclose(f);
      MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
  }
}

void StartReportIfAsked() {
  const wchar_t* path = _wgetenv(L"TESS_RESOURCE_FILE");
  if (!path || !*path) return;
  std::thread(ReportForever, std::wstring(path)).detach();
}

}  // namespace

void CountGdiMade() {
  Win32Backend& backend = Backend();
  if (!backend.resource_report_started) {
    backend.resource_report_started = true;
    StartReportIfAsked();
  }
  ++backend.live_gdi_objects;
}

void CountGdiDeleted() { --Backend().live_gdi_objects; }

}  // namespace ui::win32
