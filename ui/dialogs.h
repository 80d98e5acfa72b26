// The common dialogs, the shell and the system colours, at the level of the
// records the system calls take. Texts are UTF-8 here; a backend converts them
// for the system's Unicode entry points. The size field of
// each record is the platform's own record size, filled in by the backend.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "ui/types.h"

namespace ui::sys {

// GetSysColor: the colour of a system element (0 COLOR_SCROLLBAR to 15 COLOR_BTNFACE, ...).
Colour GetSysColor(int index);
constexpr int kColorWindowText = 8;

// The program's instance handle.
WindowHandle InstanceHandle();

// ChooseColor.
struct ChooseColorRecord {
  WindowHandle hwndOwner = 0;
  WindowHandle hInstance = 0;
  Colour rgbResult = 0;
  std::array<Colour, 16>* lpCustColors = nullptr;
  std::uint32_t Flags = 0;
  std::intptr_t lCustData = 0;
};
constexpr std::uint32_t kCcRgbInit = 1;
constexpr std::uint32_t kCcPreventFullOpen = 4;
// Nonzero when the user confirmed; rgbResult then holds the colour.
int ChooseColor(ChooseColorRecord& record);

// GetOpenFileName. The buffers are texts of nMaxFile / nMaxFileTitle characters;
// on success the file buffer holds the full path followed by a NUL.
struct OpenFileNameRecord {
  WindowHandle hwndOwner = 0;
  WindowHandle hInstance = 0;
  // Pairs of description and pattern, each ended by a NUL, the list by a second NUL.
  std::string lpstrFilter;
  std::uint32_t nFilterIndex = 0;
  std::string* lpstrFile = nullptr;
  std::uint32_t nMaxFile = 0;
  std::string* lpstrFileTitle = nullptr;
  std::uint32_t nMaxFileTitle = 0;
  std::string lpstrInitialDir;  // empty: none
  std::string lpstrTitle;
  std::uint32_t Flags = 0;
  std::string lpstrDefExt;  // empty: none
};
// Nonzero when the user chose a file.
int GetOpenFileName(OpenFileNameRecord& record);

// ShellExecute: opens a document or URL with its associated program. The
// result is the system's (above 32 on success).
std::intptr_t ShellExecute(WindowHandle window, const std::string& operation, const std::string& file,
                           const std::string& parameters, const std::string& directory, int show_command);
constexpr int kSwShowNormal = 1;

}  // namespace ui::sys
