// The common dialogs, the shell and the system colours on Win32, through the
// ANSI entry points: texts go to the system in its ANSI code page. Each record
// carries the size of the platform's own structure (a 64-bit build's records
// are larger than a 32-bit build's).
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#undef ChooseColor
#undef GetOpenFileName
#undef ShellExecute

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/dialogs.h"
#include "ui/win32/text_win.h"

namespace ui::sys {
namespace {

HWND H(WindowHandle h) { return reinterpret_cast<HWND>(h); }

// The ANSI bytes of a list of NUL-separated texts, the NULs kept.
std::string AnsiList(const std::string& list) {
  std::string out;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = list.find('\0', start);
    const std::size_t stop = end == std::string::npos ? list.size() : end;
    out += win32::ToAnsi(std::string_view(list).substr(start, stop - start));
    if (end == std::string::npos) break;
    out += '\0';
    start = end + 1;
  }
  return out;
}

// A byte buffer of the given size holding the ANSI form of a text.
std::vector<char> AnsiBuffer(const std::string* text, std::uint32_t size) {
  std::vector<char> buffer(size + 1, '\0');
  if (text) {
    const std::string ansi = win32::ToAnsi(text->substr(0, text->find('\0')));
    std::copy_n(ansi.data(), std::min<std::size_t>(ansi.size(), size), buffer.data());
  }
  return buffer;
}

// The buffer's text up to its first NUL, back in UTF-8 and followed by a NUL.
void ReturnBuffer(const std::vector<char>& buffer, std::string* text) {
  if (!text) return;
  const std::string ansi(buffer.data(), strnlen(buffer.data(), buffer.size()));
  *text = win32::FromAnsi(ansi);
  text->push_back('\0');
}

}  // namespace

Colour GetSysColor(int index) { return static_cast<Colour>(::GetSysColor(index)); }

WindowHandle InstanceHandle() { return reinterpret_cast<WindowHandle>(GetModuleHandleW(nullptr)); }

int ChooseColor(ChooseColorRecord& record) {
  COLORREF custom[16]{};
  if (record.lpCustColors)
    for (int i = 0; i < 16; ++i) custom[i] = static_cast<COLORREF>((*record.lpCustColors)[i]);
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = H(record.hwndOwner);
  cc.hInstance = reinterpret_cast<HWND>(record.hInstance);
  cc.rgbResult = static_cast<COLORREF>(record.rgbResult);
  cc.lpCustColors = custom;
  cc.Flags = record.Flags;
  cc.lCustData = record.lCustData;
  const int result = ChooseColorA(&cc);
  record.rgbResult = static_cast<Colour>(cc.rgbResult);
  if (record.lpCustColors)
    for (int i = 0; i < 16; ++i) (*record.lpCustColors)[i] = static_cast<Colour>(custom[i]);
  return result;
}

int GetOpenFileName(OpenFileNameRecord& record) {
  const std::string filter = AnsiList(record.lpstrFilter);
  const std::string title = win32::ToAnsi(record.lpstrTitle);
  const std::string initial_dir = win32::ToAnsi(record.lpstrInitialDir);
  const std::string def_ext = win32::ToAnsi(record.lpstrDefExt);
  std::vector<char> file = AnsiBuffer(record.lpstrFile, record.nMaxFile);
  std::vector<char> file_title = AnsiBuffer(record.lpstrFileTitle, record.nMaxFileTitle);

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = H(record.hwndOwner);
  ofn.hInstance = reinterpret_cast<HINSTANCE>(record.hInstance);
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = record.nFilterIndex;
  ofn.lpstrFile = record.lpstrFile ? file.data() : nullptr;
  ofn.nMaxFile = record.nMaxFile;
  ofn.lpstrFileTitle = record.lpstrFileTitle ? file_title.data() : nullptr;
  ofn.nMaxFileTitle = record.nMaxFileTitle;
  ofn.lpstrInitialDir = initial_dir.empty() ? nullptr : initial_dir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = record.Flags;
  ofn.lpstrDefExt = def_ext.empty() ? nullptr : def_ext.c_str();
  const int result = GetOpenFileNameA(&ofn);
  if (result) {
    ReturnBuffer(file, record.lpstrFile);
    ReturnBuffer(file_title, record.lpstrFileTitle);
  }
  return result;
}

std::intptr_t ShellExecute(WindowHandle window, const std::string& operation, const std::string& file,
                           const std::string& parameters, const std::string& directory, int show_command) {
  const std::string op = win32::ToAnsi(operation), f = win32::ToAnsi(file), p = win32::ToAnsi(parameters),
                    d = win32::ToAnsi(directory);
  return reinterpret_cast<std::intptr_t>(
      ShellExecuteA(H(window), op.c_str(), f.c_str(), p.c_str(), d.c_str(), show_command));
}

}  // namespace ui::sys
