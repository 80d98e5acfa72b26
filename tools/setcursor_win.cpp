// setcursor.exe X Y: moves Wine's (and the X server's) cursor to (X, Y).
// Test helper: a window shown right afterwards gets its first mouse move at
// this point instead of wherever Wine last remembered the cursor.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: setcursor X Y\n");
    return 2;
  }
  char* end_x = nullptr;
  char* end_y = nullptr;
  const long x = std::strtol(argv[1], &end_x, 10);
  const long y = std::strtol(argv[2], &end_y, 10);
  if (*argv[1] == '\0' || *end_x != '\0' || *argv[2] == '\0' || *end_y != '\0') {
    std::fprintf(stderr, "setcursor: X and Y must be integers\n");
    return 2;
  }
  // Wine can leave an empty clip rectangle behind after a full-screen
  // window that held the pointer is gone (seen after the display ended with
  // music playing); the cursor would then stay pinned at 0,0.
  ClipCursor(nullptr);
  if (!SetCursorPos(static_cast<int>(x), static_cast<int>(y))) {
    std::fprintf(stderr, "setcursor: SetCursorPos failed (%lu)\n", GetLastError());
    return 1;
  }
  POINT p{};
  if (!GetCursorPos(&p)) {
    std::fprintf(stderr, "setcursor: GetCursorPos failed (%lu)\n", GetLastError());
    return 1;
  }
  if (p.x != x || p.y != y) {
    std::fprintf(stderr, "setcursor: cursor is at %ld,%ld, not %ld,%ld\n", static_cast<long>(p.x),
                 static_cast<long>(p.y), x, y);
    return 1;
  }
  return 0;
}
