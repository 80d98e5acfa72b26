// Code page 932 through iconv (glibc ships CP932).
#include "ui/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace ui {
namespace {

std::string Convert(std::string_view in, const char* from, const char* to, const char* bad) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  char buf[256];
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  while (left > 0) {
    char* dst = buf;
    size_t room = sizeof buf;
    size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // Invalid or truncated sequence: replace one byte and carry on.
      out += bad;
      ++src;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) { return Convert(utf8, "UTF-8", "CP932", "?"); }
std::string Cp932ToUtf8(std::string_view cp932) { return Convert(cp932, "CP932", "UTF-8", "\xEF\xBF\xBD"); }

}  // namespace ui
