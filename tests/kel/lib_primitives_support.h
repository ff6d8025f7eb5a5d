// Helpers for the tests of the drawing primitives: a fixture that opens a
// window and reads its active page straight from the page bitmap, a copy of
// a page with counting and comparing, and the stored form of colour values.
#ifndef KEL_TESTS_LIB_PRIMITIVES_SUPPORT_H
#define KEL_TESTS_LIB_PRIMITIVES_SUPPORT_H

#include <algorithm>
#include <climits>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "lib_test_support.h"

namespace prim_test {

using Pixel = std::pair<int, int>;  // x, y

// The pixel value a colour value is stored as on a page (0x00RRGGBB).
inline uint32_t stored(int colour) {
  return kel_test::as_shown(static_cast<COLORREF>(converttorgb(colour)));
}

// A copy of a page, pixel by pixel as stored.
class PageImage {
 public:
  PageImage(int width, int height, std::vector<uint32_t> pixels)
      : width_(width), height_(height), pixels_(std::move(pixels)) {}

  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t at(int x, int y) const { return pixels_.at(size_t(y) * size_t(width_) + size_t(x)); }
  bool is(int x, int y, int colour) const { return at(x, y) == stored(colour); }
  bool operator==(const PageImage& other) const { return pixels_ == other.pixels_; }

  // Pixels of value `pixel` in [x0, x1) x [y0, y1), or on the whole page.
  int count(uint32_t pixel, int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += at(x, y) == pixel;
    return n;
  }
  int count(uint32_t pixel) const { return count(pixel, 0, 0, width_, height_); }

  // The pixels of value `pixel`.
  std::set<Pixel> with(uint32_t pixel) const {
    std::set<Pixel> out;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (at(x, y) == pixel) out.insert({x, y});
    return out;
  }

  // Number of pixels that differ from `other` (of the same size).
  int differences(const PageImage& other) const {
    int n = 0;
    for (size_t i = 0; i < pixels_.size(); ++i) n += pixels_[i] != other.pixels_.at(i);
    return n;
  }

  // Bounding box of the pixels of value `pixel`, right and bottom
  // exclusive; {0, 0, 0, 0} when there are none.
  RECT bounds(uint32_t pixel) const {
    RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (at(x, y) == pixel) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box.left == INT_MAX ? RECT{0, 0, 0, 0} : box;
  }

 private:
  int width_, height_;
  std::vector<uint32_t> pixels_;
};

// Opens a fresh 400 x 300 window for every test; it becomes current.
class PrimitivesTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 400;
  static constexpr int kHeight = 300;

  void SetUp() override {
    kel_test::open_window(kWidth, kHeight);
    wd_ = KEL__GetWindowDataPtr();
  }

  HDC page_dc() const { return wd_->hDC[wd_->active_page.load()]; }
  HBITMAP page_bitmap() const {
    return static_cast<HBITMAP>(GetCurrentObject(page_dc(), OBJ_BITMAP));
  }

  // The active page as it is now.
  PageImage page() const {
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    const LONG bytes = LONG(pixels.size() * sizeof(uint32_t));
    PageLock lock(wd_);
    EXPECT_EQ(GetBitmapBits(page_bitmap(), bytes, pixels.data()), bytes);
    return PageImage(kWidth, kHeight, std::move(pixels));
  }

  // Covers the active page with an irregular picture of many colours, so
  // that a figure drawn over it can be told apart from every kind of
  // background. The page mutex keeps the window's painting out meanwhile.
  void scribble() {
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    uint32_t state = 12345;
    for (uint32_t& p : pixels) {
      state = state * 1103515245u + 12345u;
      p = (state >> 8) & 0xFFFFFF;
    }
    const DWORD bytes = DWORD(pixels.size() * sizeof(uint32_t));
    PageLock lock(wd_);
    ASSERT_EQ(SetBitmapBits(page_bitmap(), bytes, pixels.data()), LONG(bytes));
  }

  WindowData* wd_ = nullptr;
};

}  // namespace prim_test

#endif  // KEL_TESTS_LIB_PRIMITIVES_SUPPORT_H
