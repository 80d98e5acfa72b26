// What only Windows does, answered once for every other system: there the
// session's screen locker asks for the password and keeps its own state,
// windows have no owner to tell and captions no animation.
#include "ui/backend.h"

namespace ui::sys {

bool SaverAsksPassword() { return false; }
bool VerifyPassword(WindowHandle) { return true; }
void ChangePassword(WindowHandle) {}

// The server's own blanking and the desktop's saver keep their settings:
// they are the user's, and a setting changed here would outlive a crash.
void SetScreenSaverRunning(bool) {}
void ReactivateScreenSaver() {}

void NotifyOwnerClosed(WindowHandle) {}
void AnimateCaption(WindowHandle, const Rect&, const Rect&) {}

}  // namespace ui::sys
