// X input in the forms' terms: keys by name, buttons and shift states as the
// forms' events number them. Plain functions of the event fields.
#pragma once
#include "ui/types.h"

namespace ui::x11 {

// A key symbol (XLookupKeysym with index 0).
Key KeyOf(unsigned long keysym);
// An event's modifier state: 1 shift, 2 control, 4 alt.
int ShiftOf(unsigned int state);
// An X button number: 1 left, 3 right, 2 middle; 0 for the wheel and others.
int ButtonOf(unsigned int button);
// The buttons held in an event's modifier state.
int ButtonsOf(unsigned int state);

}  // namespace ui::x11
