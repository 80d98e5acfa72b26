// Wide-string helpers for the Win32 backend.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace ui::win32 {

inline std::wstring Widen(std::string_view s, UINT cp = CP_UTF8) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

inline std::string FromWide(std::wstring_view w, UINT cp = CP_UTF8) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// The system's ANSI code page bytes of a UTF-8 text (932 on a Japanese system).
inline std::string ToAnsi(std::string_view utf8) { return FromWide(Widen(utf8), CP_ACP); }
inline std::string FromAnsi(std::string_view ansi) { return FromWide(Widen(ansi, CP_ACP)); }

}  // namespace ui::win32
