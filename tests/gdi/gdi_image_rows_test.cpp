// Screen image rows straight between a context and memory (KelImageRecord,
// KelGetImage, KelPutImage): the same bytes and the same page as the route
// through a compatible bitmap and BitBlt, for every operation, with viewport
// origins, clip regions, rectangles beyond the target and unaligned buffers;
// refusals leave everything alone.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi_test_support.h"

using gdi_test::Page;

namespace {

// A page of distinct pixels, with a viewport origin and a clip rectangle.
struct Scene {
  Scene() : page(40, 30) {
    for (int y = 0; y < 30; y++)
      for (int x = 0; x < 40; x++) page.at(x, y) = uint32_t(x * 0x050301 + y * 0x0B0007) & 0xFFFFFF;
    SetViewportOrgEx(page.dc(), 3, -2, nullptr);
    HRGN clip = CreateRectRgn(5, 4, 33, 25);
    SelectClipRgn(page.dc(), clip);
    DeleteObject(clip);
  }
  std::vector<uint32_t> pixels() {
    std::vector<uint32_t> out;
    for (int y = 0; y < 30; y++)
      for (int x = 0; x < 40; x++) out.push_back(page.at(x, y));
    return out;
  }
  Page page;
};

BITMAP record_of(HDC dc, int width, int height) {
  BITMAP record;
  EXPECT_TRUE(KelImageRecord(dc, width, height, &record));
  return record;
}

// The rows as BitBlt into a new compatible bitmap and GetBitmapBits give them.
std::vector<uint8_t> rows_by_bitblt(HDC page, int x, int y, int width, int height) {
  HDC memory = CreateCompatibleDC(page);
  HBITMAP bitmap = CreateCompatibleBitmap(page, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, page, x, y, SRCCOPY);
  std::vector<uint8_t> out(size_t(width) * height * 4);
  GetBitmapBits(bitmap, LONG(out.size()), out.data());
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return out;
}

// A pattern of rows for stamping: distinct bytes, top bytes 0.
std::vector<uint8_t> stamp_rows(int width, int height) {
  std::vector<uint8_t> out(size_t(width) * height * 4);
  for (size_t i = 0; i < out.size(); i++) out[i] = (i % 4 == 3) ? 0 : uint8_t(i * 37 + 11);
  return out;
}

}  // namespace

TEST(GdiImageRows, RecordIsThatOfACompatibleBitmap) {
  Page page(8, 8);
  for (int width : {1, 7, 64}) {
    HBITMAP made = CreateCompatibleBitmap(page.dc(), width, 5);
    BITMAP expected, record = record_of(page.dc(), width, 5);
    GetObjectA(made, sizeof expected, &expected);
    // Field by field: the record's padding bytes are not part of it.
    EXPECT_EQ(expected.bmType, record.bmType) << width;
    EXPECT_EQ(expected.bmWidth, record.bmWidth) << width;
    EXPECT_EQ(expected.bmHeight, record.bmHeight) << width;
    EXPECT_EQ(expected.bmWidthBytes, record.bmWidthBytes) << width;
    EXPECT_EQ(expected.bmPlanes, record.bmPlanes) << width;
    EXPECT_EQ(expected.bmBitsPixel, record.bmBitsPixel) << width;
    EXPECT_EQ(expected.bmBits, record.bmBits) << width;
    DeleteObject(made);
  }
  BITMAP record;
  EXPECT_FALSE(KelImageRecord(page.dc(), 1 << 15, 1 << 15, &record));  // no such bitmap is made
  EXPECT_EQ(CreateCompatibleBitmap(page.dc(), 1 << 15, 1 << 15), nullptr);
  EXPECT_FALSE(KelImageRecord(page.dc(), 0, 5, &record));
  EXPECT_FALSE(KelImageRecord(page.dc(), 5, 5, nullptr));
}

TEST(GdiImageRows, GetMatchesBitBltInsideAndBeyondThePage) {
  Scene scene;
  const int rects[][4] = {{2, 3, 10, 6}, {-8, -5, 12, 9}, {30, 20, 15, 14}, {-50, 0, 20, 3},
                          {0, 40, 5, 5},  {-10, -10, 60, 45}};
  for (const auto& r : rects) {
    SCOPED_TRACE(::testing::Message() << r[0] << "," << r[1] << " " << r[2] << "x" << r[3]);
    BITMAP record = record_of(scene.page.dc(), r[2], r[3]);
    std::vector<uint8_t> rows(size_t(r[2]) * r[3] * 4 + 1, 0xA5);
    ASSERT_TRUE(KelGetImage(scene.page.dc(), r[0], r[1], &record, rows.data() + 1));  // unaligned
    EXPECT_EQ(rows[0], 0xA5);
    EXPECT_EQ(std::vector<uint8_t>(rows.begin() + 1, rows.end()),
              rows_by_bitblt(scene.page.dc(), r[0], r[1], r[2], r[3]));
  }
}

TEST(GdiImageRows, PutMatchesBitBltForEveryOperationClippedAndShifted) {
  HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
  const DWORD merge_copy = 0x00C000CA;  // pattern AND source
  for (DWORD rop : {SRCCOPY, SRCINVERT, SRCPAINT, SRCAND, NOTSRCCOPY, PATINVERT, merge_copy,
                    DSTINVERT}) {
    for (POINT at : {POINT{4, 5}, POINT{-6, -3}, POINT{30, 22}}) {
      SCOPED_TRACE(::testing::Message() << std::hex << rop << std::dec << " at " << at.x << ","
                                        << at.y);
      const int width = 11, height = 7;
      std::vector<uint8_t> rows = stamp_rows(width, height);
      Scene direct, blitted;
      SelectObject(direct.page.dc(), brush);
      SelectObject(blitted.page.dc(), brush);
      BITMAP record = record_of(direct.page.dc(), width, height);
      std::vector<uint8_t> unaligned(rows.size() + 1);
      std::memcpy(unaligned.data() + 1, rows.data(), rows.size());
      ASSERT_TRUE(KelPutImage(direct.page.dc(), at.x, at.y, &record, unaligned.data() + 1, rop));

      HDC memory = CreateCompatibleDC(blitted.page.dc());
      HBITMAP bitmap = CreateCompatibleBitmap(blitted.page.dc(), width, height);
      HGDIOBJ old = SelectObject(memory, bitmap);
      SetBitmapBits(bitmap, DWORD(rows.size()), rows.data());
      BitBlt(blitted.page.dc(), at.x, at.y, width, height, memory, 0, 0, rop);
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      EXPECT_EQ(direct.pixels(), blitted.pixels());
      SelectObject(direct.page.dc(), GetStockObject(WHITE_BRUSH));
      SelectObject(blitted.page.dc(), GetStockObject(WHITE_BRUSH));
    }
  }
  DeleteObject(brush);
}

TEST(GdiImageRows, RefusalsLeaveEverythingAlone) {
  Scene scene;
  std::vector<uint32_t> before = scene.pixels();
  BITMAP good = record_of(scene.page.dc(), 4, 4);
  std::vector<uint8_t> rows(64, 0x77);
  BITMAP narrow = good;
  narrow.bmWidthBytes = 12;  // shorter than a row of 4 pixels
  BITMAP empty = good;
  empty.bmHeight = 0;
  HDC placeholder = CreateCompatibleDC(nullptr);  // holds the 1 x 1 monochrome bitmap
  HDC bad = reinterpret_cast<HDC>(uintptr_t(0x12345678));
  HDC pen_as_dc = static_cast<HDC>(GetStockObject(BLACK_PEN));
  for (HDC dc : {placeholder, bad, pen_as_dc, static_cast<HDC>(nullptr)}) {
    BITMAP record;
    EXPECT_FALSE(KelImageRecord(dc, 4, 4, &record));
    EXPECT_FALSE(KelGetImage(dc, 0, 0, &good, rows.data()));
    EXPECT_FALSE(KelPutImage(dc, 0, 0, &good, rows.data(), SRCCOPY));
  }
  const BITMAP* refused[] = {&narrow, &empty, nullptr};
  for (const BITMAP* record : refused) {
    EXPECT_FALSE(KelGetImage(scene.page.dc(), 0, 0, record, rows.data()));
    EXPECT_FALSE(KelPutImage(scene.page.dc(), 0, 0, record, rows.data(), SRCCOPY));
  }
  EXPECT_FALSE(KelGetImage(scene.page.dc(), 0, 0, &good, nullptr));
  EXPECT_FALSE(KelPutImage(scene.page.dc(), 0, 0, &good, nullptr, SRCCOPY));
  EXPECT_EQ(rows, std::vector<uint8_t>(64, 0x77));
  EXPECT_EQ(scene.pixels(), before);
  DeleteDC(placeholder);
}
