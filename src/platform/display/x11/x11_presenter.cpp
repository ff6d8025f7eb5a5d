// Presenting a window's shown picture on its X window.
#include "x11_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstring>

namespace kelplat::x11 {
namespace {

// Pixels are 32-bit words in the host's byte order.
constexpr int kHostByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;

// An image header over pixels we own, for XPutImage.
bool wrap_pixels(const VisualChoice& visual, char* data, int width, int height, int bytes_per_line,
                 XImage* image) {
  *image = XImage{};
  image->width = width;
  image->height = height;
  image->format = ZPixmap;
  image->data = data;
  image->byte_order = kHostByteOrder;
  image->bitmap_unit = 32;
  image->bitmap_bit_order = kHostByteOrder;
  image->bitmap_pad = 32;
  image->depth = visual.depth;
  image->bytes_per_line = bytes_per_line;
  image->bits_per_pixel = 32;
  image->red_mask = visual.visual->red_mask;
  image->green_mask = visual.visual->green_mask;
  image->blue_mask = visual.visual->blue_mask;
  return XInitImage(image) != 0;
}

}  // namespace

Presenter::Presenter(std::shared_ptr<Connection> connection, Window window, bool allow_shm)
    : connection_(std::move(connection)),
      window_(window),
      gc_(XCreateGC(connection_->display(), window, 0, nullptr)),
      shm_refused_(!allow_shm || !connection_->has_shm()) {}

Presenter::~Presenter() {
  release_shm_image();
  XFreeGC(connection_->display(), gc_);
}

bool Presenter::make_shm_image(int width, int height) {
  Display* display = connection_->display();
  const VisualChoice& visual = connection_->visual();
  XImage* image = XShmCreateImage(display, visual.visual, unsigned(visual.depth), ZPixmap, nullptr,
                                  &shm_info_, unsigned(width), unsigned(height));
  if (!image) return false;
  if (image->bits_per_pixel != 32 || image->byte_order != kHostByteOrder) {
    XDestroyImage(image);
    return false;
  }
  size_t bytes = size_t(image->bytes_per_line) * size_t(height);
  shm_info_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (shm_info_.shmid < 0) {
    XDestroyImage(image);
    return false;
  }
  void* address = shmat(shm_info_.shmid, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(shm_info_.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    return false;
  }
  shm_info_.shmaddr = image->data = static_cast<char*>(address);
  shm_info_.readOnly = False;
  take_x_error();
  Status attached = XShmAttach(display, &shm_info_);
  XSync(display, False);
  // Marked for removal now, the segment goes away once both sides detach,
  // even if the process ends without cleaning up.
  shmctl(shm_info_.shmid, IPC_RMID, nullptr);
  if (!attached || take_x_error() != 0) {
    shmdt(address);
    image->data = nullptr;
    XDestroyImage(image);
    return false;
  }
  shm_image_ = image;
  return true;
}

void Presenter::release_shm_image() {
  if (!shm_image_) return;
  Display* display = connection_->display();
  XShmDetach(display, &shm_info_);
  XSync(display, False);
  shmdt(shm_info_.shmaddr);
  shm_image_->data = nullptr;
  XDestroyImage(shm_image_);
  shm_image_ = nullptr;
  shm_put_pending_ = false;
}

void Presenter::copy_rows(const RECT& rect, const display::PictureView& picture, uint8_t* data,
                          int bytes_per_line) const {
  const PixelFormat& format = connection_->visual().format;
  size_t width = size_t(rect.right - rect.left);
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    const uint32_t* source = picture.pixels + size_t(y) * size_t(picture.stride) + rect.left;
    auto* target = reinterpret_cast<uint32_t*>(data + size_t(y - rect.top) * bytes_per_line);
    if (format.native) {
      std::memcpy(target, source, width * 4);
    } else {
      for (size_t x = 0; x < width; ++x) target[x] = format.convert(source[x]);
    }
  }
}

void Presenter::put_shm(const RECT& rect, const display::PictureView& picture, int dx, int dy) {
  Display* display = connection_->display();
  // The segment is rewritten only after the server has read the last put.
  if (shm_put_pending_) XSync(display, False);
  int bpl = shm_image_->bytes_per_line;
  auto* origin =
      reinterpret_cast<uint8_t*>(shm_image_->data) + size_t(rect.top) * bpl + size_t(rect.left) * 4;
  copy_rows(rect, picture, origin, bpl);
  XShmPutImage(display, window_, gc_, shm_image_, rect.left, rect.top, rect.left + dx,
               rect.top + dy, unsigned(rect.right - rect.left), unsigned(rect.bottom - rect.top),
               False);
  shm_put_pending_ = true;
}

void Presenter::put_plain(const RECT& rect, const display::PictureView& picture, int dx, int dy) {
  const VisualChoice& visual = connection_->visual();
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  XImage image;
  if (visual.format.native) {
    // Xlib sends the pixels before XPutImage returns, so the picture itself
    // serves as the image.
    char* data = reinterpret_cast<char*>(const_cast<uint32_t*>(picture.pixels));
    if (!wrap_pixels(visual, data, picture.width, picture.height, picture.stride * 4, &image))
      return;
    XPutImage(connection_->display(), window_, gc_, &image, rect.left, rect.top, rect.left + dx,
              rect.top + dy, unsigned(width), unsigned(height));
    return;
  }
  converted_.resize(size_t(width) * size_t(height));
  copy_rows(rect, picture, reinterpret_cast<uint8_t*>(converted_.data()), width * 4);
  if (!wrap_pixels(visual, reinterpret_cast<char*>(converted_.data()), width, height, width * 4,
                   &image))
    return;
  XPutImage(connection_->display(), window_, gc_, &image, 0, 0, rect.left + dx, rect.top + dy,
            unsigned(width), unsigned(height));
}

void Presenter::present(const RECT& rect, const display::PictureView& picture, int dx, int dy) {
  if (!picture.pixels || rect.right <= rect.left || rect.bottom <= rect.top) return;
  bool size_changed =
      shm_image_ && (shm_image_->width != picture.width || shm_image_->height != picture.height);
  if (size_changed) release_shm_image();
  if (!shm_image_ && !shm_refused_ && !make_shm_image(picture.width, picture.height))
    shm_refused_ = true;
  if (shm_image_) {
    put_shm(rect, picture, dx, dy);
  } else {
    put_plain(rect, picture, dx, dy);
  }
  XFlush(connection_->display());
}

}  // namespace kelplat::x11
