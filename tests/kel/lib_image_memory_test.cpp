// Screen images in memory: imagesize, getimage and putimage on a window's
// active page, with the five operations, reversed corners, refreshes,
// buffers that moved, and rectangles too large for any bitmap.
#include <climits>
#include <memory>

#include "lib_test_support.h"

using namespace kel_test;

namespace {

class ImageMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    open_window(kWidth, kHeight);
    // A pattern of distinct colours in the top-left 40 x 40 pixels.
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) putpixel(x, y, COLOR(x * 6, y * 6, (x + y) * 3));
  }
  std::vector<char> grab(int left, int top, int right, int bottom) {
    std::vector<char> buffer(imagesize(left, top, right, bottom));
    getimage(left, top, right, bottom, buffer.data());
    return buffer;
  }
  static BITMAP header_of(const std::vector<char>& buffer) {
    BITMAP bm;
    std::memcpy(&bm, buffer.data(), sizeof bm);
    return bm;
  }
  // The page's colours in a rectangle, row by row.
  std::vector<int> pixels(int left, int top, int width, int height) {
    std::vector<int> out;
    for (int y = top; y < top + height; ++y)
      for (int x = left; x < left + width; ++x) out.push_back(getpixel(x, y));
    return out;
  }
  static const int kWidth = 200;
  static const int kHeight = 150;
};

}  // namespace

TEST_F(ImageMemory, SizeIsRowBytesTimesRowsPlusTheHeader) {
  // On the 32-bit target the header is 24 bytes and 10 x 10 needs 424.
  EXPECT_EQ(imagesize(0, 0, 9, 9), 10u * 40u + sizeof(BITMAP));
  EXPECT_EQ(imagesize(9, 9, 0, 0), imagesize(0, 0, 9, 9));
  EXPECT_EQ(imagesize(5, 5, 5, 5), 4u + sizeof(BITMAP));
  EXPECT_EQ(imagesize(-20, 0, 20, 0), 41u * 4u + sizeof(BITMAP));  // beyond the page is fine
}

TEST_F(ImageMemory, GetImageWritesTheHeaderAndTheRowsTopFirst) {
  std::vector<char> buffer = grab(3, 4, 12, 8);
  BITMAP bm = header_of(buffer);
  EXPECT_EQ(bm.bmType, 0);
  EXPECT_EQ(bm.bmWidth, 10);
  EXPECT_EQ(bm.bmHeight, 5);
  EXPECT_EQ(bm.bmWidthBytes, 40);
  EXPECT_EQ(bm.bmPlanes, 1);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(bm.bmBits, buffer.data() + sizeof(BITMAP));
  // Pixels as the page stores them: blue, green, red, 0.
  const unsigned char* px = reinterpret_cast<const unsigned char*>(buffer.data() + sizeof(BITMAP));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 10; ++x) {
      int c = converttorgb(getpixel(3 + x, 4 + y));
      const unsigned char* p = px + y * 40 + x * 4;
      EXPECT_EQ(RGB(p[2], p[1], p[0]), COLORREF(c)) << x << "," << y;
    }
}

TEST_F(ImageMemory, ReversedCornersCopyTheAreaStartingAtLeftTop) {
  std::vector<char> reversed = grab(20, 20, 11, 11);  // 10 x 10 from (20, 20)
  putimage(100, 100, reversed.data(), COPY_PUT);
  EXPECT_EQ(pixels(100, 100, 10, 10), pixels(20, 20, 10, 10));
  EXPECT_NE(pixels(100, 100, 10, 10), pixels(11, 11, 10, 10));
}

TEST_F(ImageMemory, CopyPutRestoresAndStampsExactly) {
  std::vector<int> before = pixels(0, 0, 40, 40);
  std::vector<char> image = grab(0, 0, 39, 39);
  putimage(0, 0, image.data(), COPY_PUT);
  EXPECT_EQ(pixels(0, 0, 40, 40), before);
  putimage(150, 100, image.data(), COPY_PUT);
  EXPECT_EQ(pixels(150, 100, 40, 40), before);
  // Drawing is clipped by the page: a stamp hanging over the edge is fine.
  putimage(190, 140, image.data(), COPY_PUT);
  EXPECT_EQ(getpixel(199, 149), before[9 * 40 + 9]);
}

TEST_F(ImageMemory, TheFiveOperationsMixSourceAndPage) {
  setfillstyle(SOLID_FILL, COLOR(0xF0, 0x0F, 0x55));
  bar(0, 50, 9, 59);
  std::vector<char> source = grab(0, 50, 9, 59);
  auto stamp_on = [&](int page_color, int op) {
    setfillstyle(SOLID_FILL, page_color);
    bar(50, 50, 59, 59);
    putimage(50, 50, source.data(), op);
    return converttorgb(getpixel(55, 55));
  };
  const int page_color = COLOR(0x3C, 0xFF, 0x00);
  EXPECT_EQ(stamp_on(page_color, XOR_PUT), int(RGB(0xF0 ^ 0x3C, 0x0F ^ 0xFF, 0x55 ^ 0x00)));
  EXPECT_EQ(stamp_on(page_color, OR_PUT), int(RGB(0xF0 | 0x3C, 0x0F | 0xFF, 0x55 | 0x00)));
  EXPECT_EQ(stamp_on(page_color, AND_PUT), int(RGB(0xF0 & 0x3C, 0x0F & 0xFF, 0x55 & 0x00)));
  EXPECT_EQ(stamp_on(page_color, NOT_PUT), int(RGB(0x0F, 0xF0, 0xAA)));
  EXPECT_EQ(stamp_on(page_color, COPY_PUT), int(RGB(0xF0, 0x0F, 0x55)));
  EXPECT_EQ(stamp_on(page_color, 5), int(RGB(0x3C, 0xFF, 0x00)));
  EXPECT_EQ(stamp_on(page_color, -1), int(RGB(0x3C, 0xFF, 0x00)));
}

TEST_F(ImageMemory, XorTwiceRestoresThePage) {
  std::vector<int> before = pixels(20, 20, 40, 40);
  std::vector<char> image = grab(0, 0, 39, 39);
  putimage(20, 20, image.data(), XOR_PUT);
  EXPECT_NE(pixels(20, 20, 40, 40), before);
  putimage(20, 20, image.data(), XOR_PUT);
  EXPECT_EQ(pixels(20, 20, 40, 40), before);
}

TEST_F(ImageMemory, PutImageRefreshesTheWholeWindowEvenWhenItDrawsNothing) {
  std::vector<char> image = grab(0, 0, 3, 3);
  HeldPainting held;
  putimage(10, 10, image.data(), 5);
  EXPECT_RECT((RECT{0, 0, kWidth, kHeight}), held.take());
  setrefreshingkel(false);
  putimage(10, 10, image.data(), COPY_PUT);
  EXPECT_RECT((RECT{0, 0, kWidth, kHeight}), held.take());
  setrefreshingkel(true);
  // getimage and imagesize change nothing and ask for no repaint.
  grab(0, 0, 30, 30);
  EXPECT_RECT((RECT{0, 0, 0, 0}), held.take());
}

TEST_F(ImageMemory, AMovedBufferIsReadWhereItIsNow) {
  std::vector<int> before = pixels(0, 0, 40, 40);
  std::unique_ptr<std::vector<char>> original(new std::vector<char>(grab(0, 0, 39, 39)));
  std::vector<char> moved = *original;
  original.reset();  // bmBits in the copy now names freed memory
  putimage(120, 60, moved.data(), COPY_PUT);
  EXPECT_EQ(pixels(120, 60, 40, 40), before);
}

TEST_F(ImageMemory, RectanglesTooLargeForABitmapGiveAnEmptyImage) {
  const int huge[][4] = {{0, 0, INT_MAX, INT_MAX}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                         {0, 0, 99999, 99999}, {0, 0, 0, INT_MAX}};
  for (const auto& r : huge) {
    SCOPED_TRACE(r[2]);
    EXPECT_EQ(imagesize(r[0], r[1], r[2], r[3]), sizeof(BITMAP));
    // getimage writes the header alone: the guard bytes after it stay.
    std::vector<char> buffer(sizeof(BITMAP) + 16, '\x5A');
    getimage(r[0], r[1], r[2], r[3], buffer.data());
    BITMAP bm = header_of(buffer);
    EXPECT_EQ(bm.bmWidth, 0);
    EXPECT_EQ(bm.bmHeight, 0);
    for (size_t i = sizeof(BITMAP); i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '\x5A');
    // And putimage of it draws nothing.
    std::vector<int> before = pixels(0, 0, 40, 40);
    putimage(0, 0, buffer.data(), NOT_PUT);
    EXPECT_EQ(pixels(0, 0, 40, 40), before);
  }
}

TEST_F(ImageMemory, NullBuffersAreIgnored) {
  std::vector<int> before = pixels(0, 0, 40, 40);
  getimage(0, 0, 10, 10, nullptr);
  putimage(0, 0, nullptr, COPY_PUT);
  EXPECT_EQ(pixels(0, 0, 40, 40), before);
}

TEST_F(ImageMemory, ViewportShiftsBothButClipsOnlyPutImage) {
  std::vector<int> source = pixels(0, 0, 10, 10);
  setviewport(100, 50, 130, 80, 1);  // clips to x 100..129, y 50..79
  std::vector<char> image = grab(-100, -50, -81, -31);  // the page's (0, 0), outside the viewport
  putimage(20, 20, image.data(), COPY_PUT);              // hangs over the viewport's corner
  setviewport(0, 0, kWidth - 1, kHeight - 1, 1);
  EXPECT_EQ(pixels(120, 70, 10, 10), source);
  EXPECT_EQ(pixels(130, 70, 10, 20), std::vector<int>(200, BLACK));
  EXPECT_EQ(pixels(120, 80, 10, 10), std::vector<int>(100, BLACK));
}

TEST_F(ImageMemory, BytesAShortHeaderLeavesOutStampAsZero) {
  std::vector<char> image = grab(0, 0, 9, 9);
  BITMAP bm = header_of(image);
  bm.bmWidthBytes = 20;  // 200 of the 400 pixel bytes: the first five rows
  std::memcpy(image.data(), &bm, sizeof bm);
  setfillstyle(SOLID_FILL, WHITE);
  bar(100, 100, 109, 109);
  putimage(100, 100, image.data(), COPY_PUT);
  EXPECT_EQ(pixels(100, 100, 10, 5), pixels(0, 0, 10, 5));
  EXPECT_EQ(pixels(100, 105, 10, 5), std::vector<int>(50, BLACK));
}
