// Screen images in memory: imagesize, getimage and putimage.
//
// The image buffer is the platform's BITMAP record followed directly by the
// pixel rows of a bitmap compatible with the page, top row first. None of
// the three functions makes a bitmap on the portable platform: the rows go
// straight between the page and the buffer.
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
#include <vector>

#include "kel_internal.h"
#include "kel/dibutil.h"

namespace {

// Width or height of a rectangle given by two inclusive corners.
long long extent(int from, int to) {
  long long d = static_cast<long long>(to) - from;
  return (d < 0 ? -d : d) + 1;
}

unsigned pixel_bytes(const BITMAP& record) {
  return static_cast<unsigned>(record.bmWidthBytes) * static_cast<unsigned>(record.bmHeight);
}

// Whether an image of the record's size, with its header, can be counted in
// an unsigned 32-bit result.
bool countable(const BITMAP& record) {
  if (record.bmWidthBytes <= 0 || record.bmHeight <= 0) return false;
  unsigned long long total =
      static_cast<unsigned long long>(record.bmWidthBytes) * static_cast<unsigned long long>(record.bmHeight) +
      sizeof(BITMAP);
  return total <= UINT_MAX;
}

#ifdef _WIN32
// With the system's GDI the pixels go through a memory context holding a
// bitmap compatible with the page.
class PageImage {
 public:
  PageImage(HDC page, long long width, long long height) : page_(page) {
    std::memset(&record_, 0, sizeof record_);
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX) return;
    dc_ = CreateCompatibleDC(page);
    bitmap_ = CreateCompatibleBitmap(page, static_cast<int>(width), static_cast<int>(height));
    if (!dc_ || !bitmap_) return;
    old_ = SelectObject(dc_, bitmap_);
    BITMAP bm;
    if (!GetObject(bitmap_, sizeof bm, &bm) || !countable(bm)) return;
    record_ = bm;
    usable_ = true;
  }
  ~PageImage() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  PageImage(const PageImage&) = delete;
  PageImage& operator=(const PageImage&) = delete;

  bool usable() const { return usable_; }
  const BITMAP& record() const { return record_; }
  void read(int left, int top, char* pixels) {
    BitBlt(dc_, 0, 0, record_.bmWidth, record_.bmHeight, page_, left, top, SRCCOPY);
    GetBitmapBits(bitmap_, static_cast<LONG>(pixel_bytes(record_)), pixels);
  }
  void write(int left, int top, const char* pixels, DWORD rop) {
    SetBitmapBits(bitmap_, pixel_bytes(record_), pixels);
    BitBlt(page_, left, top, record_.bmWidth, record_.bmHeight, dc_, 0, 0, rop);
  }

 private:
  HDC page_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  BITMAP record_;
  bool usable_ = false;
};
#else
// On the portable platform the rows go straight between the page and the
// buffer, each pixel once, with the mix applied on the way.
class PageImage {
 public:
  PageImage(HDC page, long long width, long long height) : page_(page) {
    std::memset(&record_, 0, sizeof record_);
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX) return;
    BITMAP bm;
    int w = static_cast<int>(width), h = static_cast<int>(height);
    if (!KelImageRecord(page, w, h, &bm) || !countable(bm)) return;
    record_ = bm;
    usable_ = true;
  }
  bool usable() const { return usable_; }
  const BITMAP& record() const { return record_; }
  void read(int left, int top, char* pixels) { KelGetImage(page_, left, top, &record_, pixels); }
  void write(int left, int top, const char* pixels, DWORD rop) {
    KelPutImage(page_, left, top, &record_, pixels, rop);
  }

 private:
  HDC page_;
  BITMAP record_;
  bool usable_ = false;
};
#endif

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
  HeldPage page;
  PageImage image(page.dc(), extent(left, right), extent(top, bottom));
  unsigned result = sizeof(BITMAP);
  if (image.usable()) result += pixel_bytes(image.record());
  return result;
}

void getimage(int left, int top, int right, int bottom, void* bitmap) {
  HeldPage page;
  PageImage image(page.dc(), extent(left, right), extent(top, bottom));
  if (!bitmap) return;
  char* pixels = static_cast<char*>(bitmap) + sizeof(BITMAP);
  BITMAP header = image.record();
  if (!image.usable()) {
    header.bmPlanes = 1;
    header.bmBitsPixel = static_cast<WORD>(GetDeviceCaps(page.dc(), BITSPIXEL));
  }
  header.bmBits = pixels;
  std::memcpy(bitmap, &header, sizeof header);
  if (image.usable()) image.read(left, top, pixels);
}

void putimage(int left, int top, void* bitmap, int op) {
  BITMAP header;
  std::memset(&header, 0, sizeof header);
  if (bitmap) std::memcpy(&header, bitmap, sizeof header);
  HeldPage page;
  bool drawable = header.bmWidth > 0 && header.bmHeight > 0 && header.bmWidthBytes > 0;
  DWORD rop = raster_operation(op);
  PageImage image(page.dc(), drawable && rop ? header.bmWidth : 0, drawable ? header.bmHeight : 0);
  if (image.usable()) {
    const char* pixels = static_cast<const char*>(bitmap) + sizeof(BITMAP);
    // The bytes the header states, made up to whole rows with zeros.
    unsigned long long stated = static_cast<unsigned long long>(header.bmWidthBytes) *
                                static_cast<unsigned long long>(header.bmHeight);
    std::vector<char> padded;
    if (stated < pixel_bytes(image.record())) {
      padded.assign(pixel_bytes(image.record()), 0);
      std::memcpy(padded.data(), pixels, static_cast<size_t>(stated));
      pixels = padded.data();
    }
    image.write(left, top, pixels, rop);
  }
  RefreshWindow(nullptr);
}
