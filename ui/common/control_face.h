// A user control as the backends without a system control show it: its
// painted surface with the caption label drawn over it.
#pragma once
#include "ui/picture.h"
#include "ui/user_control.h"

namespace ui {

Picture FaceWithCaption(const ControlLabel& label, const Picture& surface);

}  // namespace ui
