// Helpers for the GDI core tests: a memory context holding a 32-bit bitmap,
// with direct access to its pixels (0x00RRGGBB, rows top to bottom).
#ifndef KEL_TESTS_GDI_TEST_SUPPORT_H
#define KEL_TESTS_GDI_TEST_SUPPORT_H

#include <cstdint>

#include "platform/gdi/gdi_objects.h"
#include "platform.h"

namespace gdi_test {

class Page {
 public:
  Page(int width, int height, uint32_t fill = 0)
      : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)),
        bitmap_(CreateBitmap(width, height, 1, 32, nullptr)) {
    old_ = SelectObject(dc_, bitmap_);
    for (int y = 0; y < height; y++) {
      for (int x = 0; x < width; x++) at(x, y) = fill;
    }
  }
  ~Page() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t& at(int x, int y) {
    return kelplat::gdi::lookup<kelplat::gdi::Bitmap>(bitmap_)->row32(y)[x];
  }
  // Number of pixels that hold `pixel`.
  int count(uint32_t pixel) {
    int n = 0;
    for (int y = 0; y < height_; y++) {
      for (int x = 0; x < width_; x++) n += at(x, y) == pixel;
    }
    return n;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

}  // namespace gdi_test

#endif  // KEL_TESTS_GDI_TEST_SUPPORT_H
