// The common dialogs, the shell and the system colours on Win32, through the
// Unicode entry points, so that any file name and any system language work.
// Each record carries the size of the platform's own structure (a 64-bit
// build's records are larger than a 32-bit build's).
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#undef ChooseColor
#undef GetOpenFileName
#undef ShellExecute

#include <algorithm>
#include <cwchar>
#include <vector>

#include "ui/dialogs.h"
#include "ui/win32/text_win.h"

namespace ui::sys {
namespace {

HWND H(WindowHandle h) { return reinterpret_cast<HWND>(h); }

// A list of NUL-separated texts, widened with its NULs kept.
std::wstring WideList(const std::string& list) {
  std::wstring out;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = list.find('\0', start);
    const std::size_t stop = end == std::string::npos ? list.size() : end;
    out += win32::Widen(std::string_view(list).substr(start, stop - start));
    if (end == std::string::npos) break;
    out += L'\0';
    start = end + 1;
  }
  return out;
}

// A buffer of the given number of characters holding a text.
std::vector<wchar_t> WideBuffer(const std::string* text, std::uint32_t size) {
  std::vector<wchar_t> buffer(size + 1, L'\0');
  if (text) {
    const std::wstring wide = win32::Widen(text->substr(0, text->find('\0')));
    std::copy_n(wide.data(), std::min<std::size_t>(wide.size(), size), buffer.data());
  }
  return buffer;
}

// The buffer's text up to its first NUL, back in UTF-8 and followed by a NUL.
void ReturnBuffer(const std::vector<wchar_t>& buffer, std::string* text) {
  if (!text) return;
  *text = win32::FromWide(std::wstring_view(buffer.data(), wcsnlen(buffer.data(), buffer.size())));
  text->push_back('\0');
}

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

Colour GetSysColor(int index) { return static_cast<Colour>(::GetSysColor(index)); }

WindowHandle InstanceHandle() { return reinterpret_cast<WindowHandle>(GetModuleHandleW(nullptr)); }

int ChooseColor(ChooseColorRecord& record) {
  COLORREF custom[16]{};
  if (record.lpCustColors)
    for (int i = 0; i < 16; ++i) custom[i] = static_cast<COLORREF>((*record.lpCustColors)[i]);
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = H(record.hwndOwner);
  cc.hInstance = reinterpret_cast<HWND>(record.hInstance);
  cc.rgbResult = static_cast<COLORREF>(record.rgbResult);
  cc.lpCustColors = custom;
  cc.Flags = record.Flags;
  cc.lCustData = record.lCustData;
  const int result = ChooseColorW(&cc);
  record.rgbResult = static_cast<Colour>(cc.rgbResult);
  if (record.lpCustColors)
    for (int i = 0; i < 16; ++i) (*record.lpCustColors)[i] = static_cast<Colour>(custom[i]);
  return result;
}

int GetOpenFileName(OpenFileNameRecord& record) {
  const std::wstring filter = WideList(record.lpstrFilter);
  const std::wstring title = win32::Widen(record.lpstrTitle);
  const std::wstring initial_dir = win32::Widen(record.lpstrInitialDir);
  const std::wstring def_ext = win32::Widen(record.lpstrDefExt);
  std::vector<wchar_t> file = WideBuffer(record.lpstrFile, record.nMaxFile);
  std::vector<wchar_t> file_title = WideBuffer(record.lpstrFileTitle, record.nMaxFileTitle);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = H(record.hwndOwner);
  ofn.hInstance = reinterpret_cast<HINSTANCE>(record.hInstance);
  ofn.lpstrFilter = OrNull(filter);
  ofn.nFilterIndex = record.nFilterIndex;
  ofn.lpstrFile = record.lpstrFile ? file.data() : nullptr;
  ofn.nMaxFile = record.nMaxFile;
  ofn.lpstrFileTitle = record.lpstrFileTitle ? file_title.data() : nullptr;
  ofn.nMaxFileTitle = record.nMaxFileTitle;
  ofn.lpstrInitialDir = OrNull(initial_dir);
  ofn.lpstrTitle = OrNull(title);
  ofn.Flags = record.Flags;
  ofn.lpstrDefExt = OrNull(def_ext);
  const int result = GetOpenFileNameW(&ofn);
  if (result) {
    ReturnBuffer(file, record.lpstrFile);
    ReturnBuffer(file_title, record.lpstrFileTitle);
  }
  return result;
}

std::intptr_t ShellExecute(WindowHandle window, const std::string& operation, const std::string& file,
                           const std::string& parameters, const std::string& directory, int show_command) {
  const std::wstring op = win32::Widen(operation), f = win32::Widen(file), p = win32::Widen(parameters),
                     d = win32::Widen(directory);
  return reinterpret_cast<std::intptr_t>(
      ShellExecuteW(H(window), op.c_str(), f.c_str(), p.c_str(), d.c_str(), show_command));
}

}  // namespace ui::sys
