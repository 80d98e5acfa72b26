// The settings window's own mouse pointer (the one over the close button and
// the link) from the cursor file's image, as GDK cursors.
#include <map>

#include "ui/common/cursor_pixels.h"
#include "ui/gtk/backend_gtk.h"
#include "ui/widgets.h"

namespace ui::gtk {

GdkCursor* CursorFor(const CursorImage* image) {
  static std::map<const CursorImage*, GdkCursor*> made;
  if (!image) return nullptr;
  auto it = made.find(image);
  if (it != made.end()) return it->second;
  GdkCursor* cursor = nullptr;
  const CursorPixels pixels = CursorRgba(*image);
  if (!pixels.Empty()) {
    GBytes* bytes = g_bytes_new(pixels.rgba.data(), pixels.rgba.size());
    GdkPixbuf* pixbuf =
        gdk_pixbuf_new_from_bytes(bytes, GDK_COLORSPACE_RGB, TRUE, 8, pixels.width, pixels.height, pixels.width * 4);
    cursor = gdk_cursor_new_from_pixbuf(gdk_display_get_default(), pixbuf, image->hot_x, image->hot_y);
    g_object_unref(pixbuf);
    g_bytes_unref(bytes);
  }
  made[image] = cursor;
  return cursor;
}

}  // namespace ui::gtk
