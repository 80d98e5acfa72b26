// A persistent drawing surface for one window: an image in memory the
// server shares with the program (MIT-SHM) where it can, a plain image sent
// with XPutImage where it cannot. The program draws into the image at once;
// Present copies the part that changed to the window.
#pragma once
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "ui/common/raster.h"
#include "ui/picture.h"

namespace ui::x11 {

// Whether the server may take shared images from this program: it has the
// extension and no attach has failed yet (one does over a remote link).
bool ServerSharesImages(Display* display);

class Surface {
 public:
  explicit Surface(Window window);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  // A new size: the image is made anew, all of it `fill`. What was drawn is
  // not kept: a display that changes its size starts a new picture.
  void Resize(int width, int height, Colour fill);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // The image's pixels, for the portable plotters: each holds the server's
  // pixel value of a colour (see Pixel).
  PixelGrid Grid() {
    Ready();
    return PixelGrid{pixels_, width_, height_};
  }
  // The pixel value of a colour value 0x00BBGGRR.
  Colour Pixel(Colour colour) const;
  // A picture with its colours turned into pixel values.
  Picture InPixels(const Picture& picture) const;

  // The whole image becomes `colour`.
  void Fill(Colour colour);
  // Marks a rectangle as changed, to be copied by the next Present.
  void Touch(int left, int top, int right, int bottom);
  void TouchAll() { Touch(0, 0, width_, height_); }
  // Copies the changed part to the window.
  void Present();

 private:
  // The image is made, and a fill carried out, only when pixels are needed:
  // the sizes and clears a window goes through before its first picture
  // cost nothing.
  void Ready();
  void Release();
  bool CreateShared(int width, int height);
  void CreatePlain(int width, int height);

  Window window_;
  GC gc_ = nullptr;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  bool shared_ = false;
  Colour* pixels_ = nullptr;
  int width_ = 0, height_ = 0;
  int red_shift_ = 16, green_shift_ = 8, blue_shift_ = 0;
  bool fill_pending_ = false;
  Colour fill_ = 0;
  // The changed rectangle (empty when right <= left).
  int dirty_left_ = 0, dirty_top_ = 0, dirty_right_ = 0, dirty_bottom_ = 0;
};

}  // namespace ui::x11
