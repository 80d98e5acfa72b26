#include "ui/x11/window_queries.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace ui::x11 {
namespace {

// Window managers put a client's window a few levels under the root.
constexpr int kSearchDepth = 4;

std::string Utf8Property(Display* d, Window w, Atom property, Atom type) {
  Atom actual = None;
  int format = 0;
  unsigned long count = 0, left = 0;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(d, w, property, 0, 1024, False, type, &actual, &format, &count, &left, &data) == Success &&
      data && actual == type && format == 8)
    out.assign(reinterpret_cast<char*>(data), count);
  if (data) XFree(data);
  return out;
}

TitleAtoms AtomsOf(Display* d) {
  char* names[] = {const_cast<char*>("_NET_WM_NAME"), const_cast<char*>("UTF8_STRING")};
  Atom atoms[2] = {};
  XInternAtoms(d, names, 2, False, atoms);
  return TitleAtoms{atoms[0], atoms[1]};
}

std::string TitleOf(Display* d, Window w, const TitleAtoms& atoms) {
  std::string title = Utf8Property(d, w, atoms.net_wm_name, atoms.utf8);
  if (!title.empty()) return title;
  XTextProperty text{};
  if (!XGetWMName(d, w, &text) || !text.value) return {};
  char** list = nullptr;
  int n = 0;
  if (Xutf8TextPropertyToTextList(d, &text, &list, &n) >= Success && list && n > 0) title = list[0];
  if (list) XFreeStringList(list);
  XFree(text.value);
  return title;
}

// Among the windows below `w`, from the top of the stacking order down.
Window SearchBelow(Display* d, Window w, const std::string& title, const TitleAtoms& atoms, int depth) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (depth == 0 || !XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = count; i-- > 0 && !found;) {
    if (TitleOf(d, children[i], atoms) == title) found = children[i];
    else found = SearchBelow(d, children[i], title, atoms, depth - 1);
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

std::string TitleOf(Display* d, Window w) { return TitleOf(d, w, AtomsOf(d)); }

Window FindByTitle(Display* d, const std::string& title, const TitleAtoms& atoms) {
  if (title.empty()) return 0;
  return SearchBelow(d, DefaultRootWindow(d), title, atoms, kSearchDepth);
}

Window WindowAt(Display* d, int x, int y) {
  Window w = DefaultRootWindow(d), child = 0;
  for (int depth = 0; depth < 32; ++depth) {
    int local_x, local_y;
    if (!XTranslateCoordinates(d, DefaultRootWindow(d), w, x, y, &local_x, &local_y, &child) || !child) break;
    w = child;
  }
  return w;
}

bool WindowRect(Display* d, Window window, Rect& rect) {
  XWindowAttributes a;
  Window child;
  int x = 0, y = 0;
  if (!window || !XGetWindowAttributes(d, window, &a)) return false;
  XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child);
  rect = Rect{x, y, x + a.width, y + a.height};
  return true;
}

bool PointerPosition(Display* d, Point& point) {
  Window root, child;
  int x, y, window_x, window_y;
  unsigned int mask;
  if (!XQueryPointer(d, DefaultRootWindow(d), &root, &child, &x, &y, &window_x, &window_y, &mask)) return false;
  point = Point{x, y};
  return true;
}

}  // namespace ui::x11
