// The common dialogs, the shell and the system colours on Win32, through the
// Unicode entry points, so that any file name and any system language work.
// Each record carries the size of the platform's own structure (a 64-bit
// build's records are larger than a 32-bit build's).
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cwchar>

#include "ui/backend.h"
#include "ui/win32/text_win.h"
#include "ui/win32/window_win.h"

namespace ui::sys {
namespace {

using win32::HwndOf;

// The file dialog's buffers hold this many characters, the NUL included.
constexpr DWORD kFileBufferChars = 255;

}  // namespace

Colour WindowTextColour() { return static_cast<Colour>(::GetSysColor(COLOR_WINDOWTEXT)); }

std::optional<Colour> ChooseColour(WindowHandle owner) {
  COLORREF custom[16];
  for (int i = 0; i < 16; ++i) custom[i] = ::GetSysColor(i);
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = HwndOf(owner);
  cc.hInstance = reinterpret_cast<HWND>(GetModuleHandleW(nullptr));
  cc.rgbResult = 0;
  cc.lpCustColors = custom;
  cc.Flags = CC_PREVENTFULLOPEN;
  if (!ChooseColorW(&cc)) return std::nullopt;
  return static_cast<Colour>(cc.rgbResult);
}

std::optional<std::string> ChooseMusicFile(WindowHandle owner, const std::string& title,
                                           const std::string& filter_description, const std::string& patterns) {
  // Description and patterns, each ended by a NUL, the list by a second NUL.
  const std::wstring filter = win32::Widen(filter_description) + L'\0' + win32::Widen(patterns) + L'\0';
  const std::wstring wide_title = win32::Widen(title);
  wchar_t file[kFileBufferChars + 1]{};
  wchar_t file_title[kFileBufferChars + 1]{};

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = HwndOf(owner);
  ofn.hInstance = GetModuleHandleW(nullptr);
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = kFileBufferChars;
  ofn.lpstrFileTitle = file_title;
  ofn.nMaxFileTitle = kFileBufferChars;
  ofn.lpstrTitle = wide_title.c_str();
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return win32::FromWide(std::wstring_view(file, wcsnlen(file, kFileBufferChars)));
}

void OpenDocument(WindowHandle window, const std::string& target) {
  ShellExecuteW(HwndOf(window), L"open", win32::Widen(target).c_str(), L"", L"", SW_SHOWNORMAL);
}

}  // namespace ui::sys
