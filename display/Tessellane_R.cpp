// The preview: the form becomes a child of the preview area, is sized to fill
// it and shows the fixed picture. Nothing is drawn after that.
#include "display/Tessellane_R.h"

#include "base/numeric.h"
#include "ui/backend.h"

namespace display {
Tessellane_R::Tessellane_R() : Img_Prev(Form), Picture(ui::EmbeddedPicture(kPreviewPicture)) {
  Form.SetCaption("Preview Window");
  Form.SetBackColor(0);
  Form.KeyPreview = false;
  Form.OnUnload = [this] { Form_Unload(); };
}

std::shared_ptr<Tessellane_R> Tessellane_R::Start(std::int32_t parent) {
  // A handle is 32 bits significant; a wider one is its sign extension.
  const auto parent_window = static_cast<ui::WindowHandle>(static_cast<std::intptr_t>(parent));
  const int tx = ui::screen::TwipsPerPixelX(), ty = ui::screen::TwipsPerPixelY();

  ui::Rect rect;
  ui::sys::GetWindowRect(parent_window, rect);
  // Held in 32 bits: a parent wider or taller than 2,184 pixels (32,767
  // twips) is a large monitor, not an error.
  const std::int32_t w =
      base::num::RoundToInt32(static_cast<double>(tx) * (static_cast<double>(rect.right) - rect.left));
  const std::int32_t h =
      base::num::RoundToInt32(static_cast<double>(ty) * (static_cast<double>(rect.bottom) - rect.top));

  auto preview = std::make_shared<Tessellane_R>();
  ui::Form& form = preview->Form;
  form.AttachToParent(parent_window, w, h);

  preview->Img_Prev.Move(0, 0, w / tx, h / ty);
  preview->Img_Prev.Cls();
  preview->Img_Prev.PaintPicture(preview->Picture, 0, 0);
  form.Show();

  // Without a parent (handle 0, a window that never existed, or one that
  // went away before it could adopt the form) nothing would ever destroy the
  // window: end now, the same way as when the parent closes.
  ui::Rect still;
  if (!ui::sys::GetWindowRect(parent_window, still)) form.Unload();
  return preview;
}

void Tessellane_R::Form_Unload() { ui::sys::NotifyOwnerClosed(Form.Handle()); }

}  // namespace display
