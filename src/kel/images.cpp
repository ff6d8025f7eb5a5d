// Screen images in memory: imagesize, getimage and putimage.
//
// The image buffer is the platform's BITMAP record followed directly by the
// pixel rows of a bitmap compatible with the page, top row first.
//
// Two engineering notes on the buffer:
// - putimage reads the pixels that follow the header in the buffer it is
//   given, not from the address stored in bmBits: a buffer that was copied
//   or moved after getimage would otherwise make it read memory that may
//   have been freed. getimage still stores that address in bmBits.
// - imagesize and getimage agree for every rectangle. Where no bitmap of the
//   size can be made, or its byte count would not fit the result type,
//   imagesize answers the header size alone and getimage writes the header
//   of an empty image (width and height 0) and nothing else; putimage of
//   such a header draws nothing.
#include <climits>
#include <cstring>

#include "kel_internal.h"
#include "kel/dibutil.h"

namespace {

// Width or height of a rectangle given by two inclusive corners.
long long extent(int from, int to) {
  long long d = static_cast<long long>(to) - from;
  return (d < 0 ? -d : d) + 1;
}

// A memory context holding a bitmap compatible with the page, for the
// image's pixels. Empty when no such bitmap can be made, or when its bytes
// and the header would not fit an unsigned 32-bit count.
class ImageBitmap {
 public:
  ImageBitmap(HDC page, long long width, long long height) {
    std::memset(&record_, 0, sizeof record_);
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX) return;
    dc_ = CreateCompatibleDC(page);
    bitmap_ = CreateCompatibleBitmap(page, static_cast<int>(width), static_cast<int>(height));
    if (!dc_ || !bitmap_) return;
    old_ = SelectObject(dc_, bitmap_);
    BITMAP bm;
    if (!GetObject(bitmap_, sizeof bm, &bm) || bm.bmWidthBytes <= 0 || bm.bmHeight <= 0) return;
    unsigned long long total =
        static_cast<unsigned long long>(bm.bmWidthBytes) * static_cast<unsigned long long>(bm.bmHeight) +
        sizeof(BITMAP);
    if (total > UINT_MAX) return;
    record_ = bm;
    usable_ = true;
  }
  ~ImageBitmap() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  ImageBitmap(const ImageBitmap&) = delete;
  ImageBitmap& operator=(const ImageBitmap&) = delete;

  bool usable() const { return usable_; }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  const BITMAP& record() const { return record_; }
  unsigned pixel_bytes() const {
    return static_cast<unsigned>(record_.bmWidthBytes) * static_cast<unsigned>(record_.bmHeight);
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  BITMAP record_;
  bool usable_ = false;
};

DWORD raster_operation(int op) {
  switch (op) {
    case COPY_PUT:
      return SRCCOPY;
    case XOR_PUT:
      return SRCINVERT;
    case OR_PUT:
      return SRCPAINT;
    case AND_PUT:
      return SRCAND;
    case NOT_PUT:
      return NOTSRCCOPY;
    default:
      return 0;
  }
}

}  // namespace

unsigned imagesize(int left, int top, int right, int bottom) {
  long long width = extent(left, right), height = extent(top, bottom);
  HeldPage page;
  ImageBitmap image(page.dc(), width, height);
  unsigned result = sizeof(BITMAP);
  if (image.usable()) result += image.pixel_bytes();
  return result;
}

void getimage(int left, int top, int right, int bottom, void* bitmap) {
  HeldPage page;
  ImageBitmap image(page.dc(), extent(left, right), extent(top, bottom));
  if (!bitmap) return;
  char* pixels = static_cast<char*>(bitmap) + sizeof(BITMAP);
  BITMAP header = image.record();
  if (image.usable()) {
    BitBlt(image.dc(), 0, 0, header.bmWidth, header.bmHeight, page.dc(), left, top, SRCCOPY);
  } else {
    header.bmPlanes = 1;
    header.bmBitsPixel = static_cast<WORD>(GetDeviceCaps(page.dc(), BITSPIXEL));
  }
  header.bmBits = pixels;
  std::memcpy(bitmap, &header, sizeof header);
  if (image.usable()) GetBitmapBits(image.bitmap(), static_cast<LONG>(image.pixel_bytes()), pixels);
}

void putimage(int left, int top, void* bitmap, int op) {
  BITMAP header;
  std::memset(&header, 0, sizeof header);
  if (bitmap) std::memcpy(&header, bitmap, sizeof header);
  HeldPage page;
  bool drawable = header.bmWidth > 0 && header.bmHeight > 0 && header.bmWidthBytes > 0;
  ImageBitmap image(page.dc(), drawable ? header.bmWidth : 0, drawable ? header.bmHeight : 0);
  if (drawable && image.usable()) {
    unsigned long long stated = static_cast<unsigned long long>(header.bmWidthBytes) *
                                static_cast<unsigned long long>(header.bmHeight);
    unsigned bytes = stated < image.pixel_bytes() ? static_cast<unsigned>(stated) : image.pixel_bytes();
    SetBitmapBits(image.bitmap(), bytes, static_cast<const char*>(bitmap) + sizeof(BITMAP));
    if (DWORD rop = raster_operation(op))
      BitBlt(page.dc(), left, top, header.bmWidth, header.bmHeight, image.dc(), 0, 0, rop);
  }
  RefreshWindow(nullptr);
}
