#include "ui/x11/surface_x11.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>

#include "ui/fatal.h"
#include "ui/x11/backend_x11.h"

namespace ui::x11 {
namespace {

int ShiftOf(unsigned long mask) {
  int shift = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

// Attaches a segment to a new image; the segment is marked for removal at
// once, so that it goes with the program however the program ends.
XImage* AttachShared(Display* d, int width, int height, XShmSegmentInfo& shm) {
  Visual* visual = DefaultVisual(d, DefaultScreen(d));
  const int depth = DefaultDepth(d, DefaultScreen(d));
  XImage* image = XShmCreateImage(d, visual, depth, ZPixmap, nullptr, &shm, width, height);
  if (!image) return nullptr;
  shm.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * height, IPC_CREAT | 0600);
  if (shm.shmid < 0) {
    XDestroyImage(image);
    return nullptr;
  }
  shm.shmaddr = image->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
  shm.readOnly = False;
#ifdef MADV_POPULATE_WRITE
  // The whole image is filled at once: its pages are made in one call rather
  // than one fault at a time.
  if (shm.shmaddr != reinterpret_cast<char*>(-1))
    madvise(shm.shmaddr, static_cast<std::size_t>(image->bytes_per_line) * height, MADV_POPULATE_WRITE);
#endif
  const bool attached = shm.shmaddr != reinterpret_cast<char*>(-1) && Trapped([&] { XShmAttach(d, &shm); });
  shmctl(shm.shmid, IPC_RMID, nullptr);
  if (!attached) {
    if (shm.shmaddr != reinterpret_cast<char*>(-1)) shmdt(shm.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
    return nullptr;
  }
  return image;
}

}  // namespace

bool ServerSharesImages(Display* display) {
  int& known = Backend().shares_images;
  if (known < 0) known = XShmQueryExtension(display) ? 1 : 0;
  return known == 1;
}

Surface::Surface(Window window) : window_(window) {
  const Visual* visual = DefaultVisual(Dpy(), DefaultScreen(Dpy()));
  red_shift_ = ShiftOf(visual->red_mask);
  green_shift_ = ShiftOf(visual->green_mask);
  blue_shift_ = ShiftOf(visual->blue_mask);
}

Surface::~Surface() {
  Release();
  if (gc_) XFreeGC(Dpy(), gc_);
}

void Surface::Release() {
  if (!image_) return;
  Display* d = Dpy();
  if (shared_) {
    XShmDetach(d, &shm_);
    XSync(d, False);
    shmdt(shm_.shmaddr);
    image_->data = nullptr;
  }
  XDestroyImage(image_);  // frees a plain image's pixels too
  image_ = nullptr;
  pixels_ = nullptr;
  shared_ = false;
}

// The first attach that fails (the extension is there, but the server is
// on another machine) settles it for every later image.
bool Surface::CreateShared(int width, int height) {
  image_ = AttachShared(Dpy(), width, height, shm_);
  shared_ = image_ != nullptr;
  if (!shared_) Backend().shares_images = 0;
  return shared_;
}

void Surface::CreatePlain(int width, int height) {
  Display* d = Dpy();
  char* data = static_cast<char*>(std::calloc(static_cast<std::size_t>(width) * height, 4));
  if (!data) throw ResourceError("no memory for a picture");
  image_ = XCreateImage(d, DefaultVisual(d, DefaultScreen(d)), DefaultDepth(d, DefaultScreen(d)), ZPixmap, 0, data,
                        width, height, 32, width * 4);
  if (!image_) {
    std::free(data);
    throw ResourceError("the server refused a picture");
  }
}

void Surface::Resize(int width, int height, Colour fill) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  Release();
  width_ = width;
  height_ = height;
  Fill(fill);
}

void Surface::Ready() {
  if (!image_ && width_ > 0 && height_ > 0) {
    if (!(ServerSharesImages(Dpy()) && CreateShared(width_, height_))) CreatePlain(width_, height_);
    if (image_->bits_per_pixel != 32) throw ResourceError("the screen needs 24 or 32 bits per pixel");
    pixels_ = reinterpret_cast<Colour*>(image_->data);
    // Rows may be padded: the grid assumes they are not.
    if (image_->bytes_per_line != width_ * 4) throw ResourceError("unexpected image row length");
  }
  if (fill_pending_ && pixels_) {
    ui::Fill(PixelGrid{pixels_, width_, height_}, Pixel(fill_));
    fill_pending_ = false;
  }
}

Colour Surface::Pixel(Colour c) const {
  return static_cast<Colour>((static_cast<std::uint32_t>(RedOf(c)) << red_shift_) |
                             (static_cast<std::uint32_t>(GreenOf(c)) << green_shift_) |
                             (static_cast<std::uint32_t>(BlueOf(c)) << blue_shift_));
}

Picture Surface::InPixels(const Picture& picture) const {
  Picture out = picture;
  for (Colour& c : out.pixels) c = Pixel(c);
  return out;
}

void Surface::Fill(Colour colour) {
  fill_ = colour;
  fill_pending_ = true;
  TouchAll();
}

void Surface::Touch(int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (right <= left || bottom <= top) return;
  if (dirty_right_ <= dirty_left_) {
    dirty_left_ = left, dirty_top_ = top, dirty_right_ = right, dirty_bottom_ = bottom;
    return;
  }
  dirty_left_ = std::min(dirty_left_, left);
  dirty_top_ = std::min(dirty_top_, top);
  dirty_right_ = std::max(dirty_right_, right);
  dirty_bottom_ = std::max(dirty_bottom_, bottom);
}

void Surface::Present() {
  if (dirty_right_ <= dirty_left_) return;
  Ready();
  if (!image_) return;
  Display* d = Dpy();
  if (!gc_) gc_ = XCreateGC(d, window_, 0, nullptr);
  const int x = dirty_left_, y = dirty_top_, w = dirty_right_ - dirty_left_, h = dirty_bottom_ - dirty_top_;
  if (shared_) XShmPutImage(d, window_, gc_, image_, x, y, x, y, w, h, False);
  else XPutImage(d, window_, gc_, image_, x, y, x, y, w, h);
  dirty_left_ = dirty_right_ = 0;
}

}  // namespace ui::x11
