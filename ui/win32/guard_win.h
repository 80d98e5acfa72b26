// Procedure boundaries: every window and timer procedure the system calls
// goes through one of these, so that no exception unwinds through the
// system's own frames (ui/fatal.h ends the program instead).
#pragma once
#include <windows.h>

#include <exception>

#include "ui/fatal.h"

namespace ui::win32 {

template <LRESULT(CALLBACK* Body)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK Guarded(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    return Body(hwnd, msg, wp, lp);
  } catch (...) {
    EndWithError(std::current_exception());
  }
}

template <void(CALLBACK* Body)(HWND, UINT, UINT_PTR, DWORD)>
void CALLBACK GuardedTimer(HWND hwnd, UINT msg, UINT_PTR id, DWORD time) {
  try {
    Body(hwnd, msg, id, time);
  } catch (...) {
    EndWithError(std::current_exception());
  }
}

}  // namespace ui::win32
