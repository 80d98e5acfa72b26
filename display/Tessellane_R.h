// Form Tessellane_R: the still picture shown in the small monitor of the
// Display Properties dialog, as a child window of the window it is given.
#pragma once
#include <cstdint>
#include <memory>

#include "ui/form.h"

namespace display {

class Tessellane_R {
 public:
  Tessellane_R();

  // Attaches a newly loaded preview to `parent` (a window handle of another
  // program, as the command line gives it) and shows it. The returned form
  // lives until its window goes away; a parent that does not exist unloads it
  // at once, so the program ends instead of lingering without a place to show.
  static std::shared_ptr<Tessellane_R> Start(std::int32_t parent);

  // Tells the owner to close, so that the whole program ends with the preview.
  void Form_Unload();

  ui::Form Form;
  // Shows the picture at its own size from the top-left corner; the rest of
  // the control is the form's black.
  ui::PictureBox Img_Prev;
  const ui::Picture& Picture;
};

// The preview picture's asset name.
inline constexpr const char* kPreviewPicture = "preview.jpg";

}  // namespace display
