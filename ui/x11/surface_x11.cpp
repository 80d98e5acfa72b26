#include "ui/x11/surface_x11.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>

#include "ui/fatal.h"
#include "ui/posix/process.h"
#include "ui/x11/backend_x11.h"

namespace ui::x11 {
namespace {

WindowVisual VisualOf(Display* d, Window window) {
  XWindowAttributes attributes;
  if (!Trapped([&] { XGetWindowAttributes(d, window, &attributes); }))
    return {DefaultVisual(d, DefaultScreen(d)), DefaultDepth(d, DefaultScreen(d))};
  return {attributes.visual, attributes.depth};
}

// Bits per pixel of the server's images of a depth.
int BitsPerPixelOf(Display* d, int depth) {
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(d, &count);
  int bits = 0;
  for (int i = 0; i < count; ++i)
    if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
  if (formats) XFree(formats);
  return bits;
}

const char* ClassName(int visual_class) {
  switch (visual_class) {
    case StaticGray: return "StaticGray";
    case GrayScale: return "GrayScale";
    case StaticColor: return "StaticColor";
    case PseudoColor: return "PseudoColor";
    case DirectColor: return "DirectColor";
    default: return "TrueColor";
  }
}

// The format of the window's pixels; a visual whose colours go through a
// colour map is refused with its reason.
PixelFormat FormatOf(Display* d, const WindowVisual& target) {
  const Visual* visual = target.visual;
  if (visual->c_class != TrueColor)
    throw UnsupportedScreen("画面の色が " + std::to_string(target.depth) + " ビットの " + ClassName(visual->c_class) +
                            " です。16、24、30、32 ビットの TrueColor の画面に描けます。");
  PixelFormat format(static_cast<std::uint32_t>(visual->red_mask), static_cast<std::uint32_t>(visual->green_mask),
                     static_cast<std::uint32_t>(visual->blue_mask), target.depth, BitsPerPixelOf(d, target.depth));
  if (const std::string why = format.WhyNotDrawable(); !why.empty()) throw UnsupportedScreen(why + "。");
  return format;
}

// Attaches a segment to a new image; the segment is marked for removal as
// soon as the server has it, so that it goes with the program however the
// program ends. A signal ends the display in its handler: none is taken
// between the segment's making and its mark.
XImage* AttachShared(Display* d, const WindowVisual& target, int width, int height, XShmSegmentInfo& shm) {
  Visual* visual = target.visual;
  const int depth = target.depth;
  XImage* image = XShmCreateImage(d, visual, depth, ZPixmap, nullptr, &shm, width, height);
  if (!image) return nullptr;
  const posix::EndSignalsHeld held;
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

unsigned long ScreenPixel(Colour colour) {
  Display* d = Dpy();
  return FormatOf(d, WindowVisual{DefaultVisual(d, DefaultScreen(d)), DefaultDepth(d, DefaultScreen(d))}).Pixel(colour);
}

bool ServerSharesImages(Display* display) {
  int& known = Backend().shares_images;
  if (known < 0) known = XShmQueryExtension(display) ? 1 : 0;
  return known == 1;
}

Surface::Surface(Window window) : Surface(window, VisualOf(Dpy(), window)) {}

Surface::Surface(Window window, const WindowVisual& target)
    : window_(window), visual_(target.visual), depth_(target.depth), format_(FormatOf(Dpy(), target)) {}

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
  image_ = AttachShared(Dpy(), WindowVisual{visual_, depth_}, width, height, shm_);
  shared_ = image_ != nullptr;
  if (!shared_) Backend().shares_images = 0;
  return shared_;
}

void Surface::CreatePlain(int width, int height) {
  const int bytes = format_.BitsPerPixel() / 8;
  char* data = static_cast<char*>(std::calloc(static_cast<std::size_t>(width) * height, bytes));
  if (!data) throw ResourceError("no memory for a picture");
  image_ = XCreateImage(Dpy(), visual_, depth_, ZPixmap, 0, data, width, height, bytes * 8, width * bytes);
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
    const int bytes = image_->bits_per_pixel / 8;
    if (image_->bits_per_pixel != format_.BitsPerPixel() || image_->bytes_per_line % bytes != 0)
      throw UnsupportedScreen("画面の画像の形式が分かりません。");
    pixels_ = image_->data;
    stride_ = image_->bytes_per_line / bytes;
  }
  if (fill_pending_ && pixels_) {
    fill_pending_ = false;
    OnGrid([&](auto grid) { ui::Fill(grid, Pixel(fill_)); });
  }
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
