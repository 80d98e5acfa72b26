// A persistent drawing surface for one window: an image in memory the
// server shares with the program (MIT-SHM) where it can, a plain image sent
// with XPutImage where it cannot. The image has the window's own visual and
// depth (a host's window may differ from the screen's default), and the
// program plots straight into it, 16 or 32 bits a pixel; Present copies the
// part that changed to the window.
#pragma once
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "ui/common/pixel_format.h"
#include "ui/common/raster.h"
#include "ui/picture.h"

namespace ui::x11 {

// A window's visual and depth: a host's window may have chosen its own (a
// preview pane's GL or 32-bit ARGB visual), and an image of another depth
// would not go into it.
struct WindowVisual {
  Visual* visual = nullptr;
  int depth = 0;
};

// The pixel value of a colour in a window of the screen's default visual
// (a form's own window). Throws UnsupportedScreen as a Surface does.
unsigned long ScreenPixel(Colour colour);

// Whether the server may take shared images from this program: it has the
// extension and no attach has failed yet (one does over a remote link).
bool ServerSharesImages(Display* display);

class Surface {
 public:
  // Throws UnsupportedScreen when the window's pixels are not ones the
  // plotters can write (a colour-mapped visual, 24-bit packed pixels).
  explicit Surface(Window window);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  // A new size: the image is made anew, all of it `fill`. What was drawn is
  // not kept: a display that changes its size starts a new picture.
  void Resize(int width, int height, Colour fill);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Hands the image's pixels to `draw` as a grid of its pixel size, for the
  // portable plotters; each pixel holds the server's value (see Pixel).
  template <class Draw>
  void WithGrid(Draw draw) {
    Ready();
    OnGrid(draw);
  }
  // The pixel value of a colour value 0x00BBGGRR in this window.
  Colour Pixel(Colour colour) const { return static_cast<Colour>(format_.Pixel(colour)); }
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
  Surface(Window window, const WindowVisual& target);
  void Ready();
  template <class Draw>
  void OnGrid(Draw draw) {
    if (!pixels_) return;
    if (format_.BitsPerPixel() == 16) draw(PixelGrid16{static_cast<std::uint16_t*>(pixels_), width_, height_, stride_});
    else draw(PixelGrid{static_cast<Colour*>(pixels_), width_, height_, stride_});
  }
  void Release();
  bool CreateShared(int width, int height);
  void CreatePlain(int width, int height);

  Window window_;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  PixelFormat format_;
  GC gc_ = nullptr;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  bool shared_ = false;
  void* pixels_ = nullptr;
  int width_ = 0, height_ = 0;
  int stride_ = 0;  // pixels from one row to the next
  bool fill_pending_ = false;
  Colour fill_ = 0;
  // The changed rectangle (empty when right <= left).
  int dirty_left_ = 0, dirty_top_ = 0, dirty_right_ = 0, dirty_bottom_ = 0;
};

}  // namespace ui::x11
