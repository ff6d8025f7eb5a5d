// Block transfers: every raster operation on known pixels, clipping on both
// sides, overlapping copies, monochrome conversions, stretching, shrinking
// with averaging and mirroring.
#include <gtest/gtest.h>

#include <climits>

#include "gdi_test_support.h"

using gdi_test::Page;

namespace {

constexpr uint32_t kSource = 0xCC55AA;
constexpr uint32_t kDest = 0xA0B0C3;
constexpr uint32_t kBrush = 0x135790;  // as a pixel, 0x00RRGGBB

struct RopCase {
  DWORD rop;
  uint32_t expected;
};

TEST(GdiBitBlt, EveryRasterOperationOnKnownPixels) {
  const RopCase cases[] = {
      {SRCCOPY, kSource},
      {SRCINVERT, kSource ^ kDest},
      {SRCPAINT, kSource | kDest},
      {SRCAND, kSource & kDest},
      {NOTSRCCOPY, ~kSource & 0xFFFFFF},
      {SRCERASE, kSource & ~kDest & 0xFFFFFF},
      {NOTSRCERASE, ~(kSource | kDest) & 0xFFFFFF},
      {DSTINVERT, ~kDest & 0xFFFFFF},
      {BLACKNESS, 0},
      {WHITENESS, 0xFFFFFF},
      {PATCOPY, kBrush},
      {PATINVERT, kBrush ^ kDest},
      {0x00B8074A, (kBrush & ~kSource) | (kDest & kSource)},  // a generic ternary code
  };
  Page source(4, 4, kSource);
  HBRUSH brush = CreateSolidBrush(kelplat::gdi::to_colorref(kBrush));
  for (const RopCase& c : cases) {
    Page dest(4, 4, kDest);
    HGDIOBJ old = SelectObject(dest.dc(), brush);
    ASSERT_TRUE(BitBlt(dest.dc(), 1, 1, 2, 2, source.dc(), 0, 0, c.rop)) << std::hex << c.rop;
    EXPECT_EQ(dest.at(1, 1), c.expected) << std::hex << c.rop;
    EXPECT_EQ(dest.at(2, 2), c.expected) << std::hex << c.rop;
    EXPECT_EQ(dest.count(kDest), 12) << "outside the rectangle, rop " << std::hex << c.rop;
    SelectObject(dest.dc(), old);
  }
  DeleteObject(brush);
}

TEST(GdiBitBlt, XorTwiceRestoresThePage) {
  Page source(5, 5), dest(5, 5, 0x102030);
  for (int i = 0; i < 25; i++) source.at(i % 5, i / 5) = uint32_t(i * 0x0A0B0C);
  BitBlt(dest.dc(), 0, 0, 5, 5, source.dc(), 0, 0, SRCINVERT);
  EXPECT_NE(dest.count(0x102030), 25);
  BitBlt(dest.dc(), 0, 0, 5, 5, source.dc(), 0, 0, SRCINVERT);
  EXPECT_EQ(dest.count(0x102030), 25);
}

TEST(GdiBitBlt, LogicalCoordinatesOnBothSides) {
  Page source(10, 10), dest(10, 10);
  source.at(6, 7) = 0xABCDEF;
  SetViewportOrgEx(source.dc(), 5, 5, nullptr);
  SetViewportOrgEx(dest.dc(), -2, 1, nullptr);
  BitBlt(dest.dc(), 4, 0, 3, 3, source.dc(), 0, 1, SRCCOPY);
  // Source logical (1, 2) = device (6, 7); destination logical (5, 1) = device (3, 2).
  EXPECT_EQ(dest.at(3, 2), 0xABCDEFu);
  EXPECT_EQ(dest.count(0xABCDEF), 1);
}

TEST(GdiBitBlt, ClippedByTheDestinationClipAndBothBitmaps) {
  Page source(4, 4, 0xFFFFFF), dest(8, 8);
  BitBlt(dest.dc(), -2, -2, 10, 10, source.dc(), -2, -2, SRCCOPY);
  EXPECT_EQ(dest.count(0xFFFFFF), 16);  // only where the source has pixels
  EXPECT_EQ(dest.at(3, 3), 0xFFFFFFu);
  EXPECT_EQ(dest.at(4, 4), 0u);

  Page clipped(8, 8);
  HRGN region = CreateRectRgn(1, 1, 3, 2);
  SelectClipRgn(clipped.dc(), region);
  DeleteObject(region);
  BitBlt(clipped.dc(), 0, 0, 8, 8, source.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(clipped.count(0xFFFFFF), 2);
  EXPECT_EQ(clipped.at(1, 1), 0xFFFFFFu);
  EXPECT_EQ(clipped.at(2, 1), 0xFFFFFFu);
}

TEST(GdiBitBlt, OverlappingCopyWithinOneBitmap) {
  Page page(6, 3);
  for (int x = 0; x < 6; x++) page.at(x, 1) = uint32_t(x + 1);
  BitBlt(page.dc(), 1, 0, 5, 3, page.dc(), 0, 0, SRCCOPY);  // shift right by one
  for (int x = 1; x < 6; x++) EXPECT_EQ(page.at(x, 1), uint32_t(x)) << x;
  BitBlt(page.dc(), 0, 1, 6, 2, page.dc(), 0, 0, SRCCOPY);  // shift down by one
  EXPECT_EQ(page.at(3, 1), 0u);
  EXPECT_EQ(page.at(3, 2), 3u);
}

TEST(GdiBitBlt, MonochromeSourceTakesTheDestinationColours) {
  const uint8_t rows[4] = {0xA0, 0x00, 0x50, 0x00};  // 1 0 1 0 / 0 1 0 1
  HBITMAP mono = CreateBitmap(4, 2, 1, 1, rows);
  HDC mono_dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mono_dc, mono);
  Page dest(4, 2);
  SetTextColor(dest.dc(), RGB(255, 0, 0));  // 0 bits
  SetBkColor(dest.dc(), RGB(0, 0, 255));    // 1 bits
  BitBlt(dest.dc(), 0, 0, 4, 2, mono_dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dest.at(0, 0), 0x0000FFu);
  EXPECT_EQ(dest.at(1, 0), 0xFF0000u);
  EXPECT_EQ(dest.at(0, 1), 0xFF0000u);
  EXPECT_EQ(dest.at(1, 1), 0x0000FFu);
  SelectObject(mono_dc, old);
  DeleteDC(mono_dc);
  DeleteObject(mono);
}

TEST(GdiBitBlt, ColourSourceOnMonochromeMakesAMask) {
  Page source(4, 1, 0x00FF00);
  source.at(2, 0) = 0x123456;
  SetBkColor(source.dc(), RGB(0, 255, 0));  // pixels of this colour become 1
  HBITMAP mono = CreateBitmap(4, 1, 1, 1, nullptr);
  HDC mono_dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mono_dc, mono);
  BitBlt(mono_dc, 0, 0, 4, 1, source.dc(), 0, 0, SRCCOPY);
  BYTE bits[2];
  GetBitmapBits(mono, 2, bits);
  EXPECT_EQ(bits[0] & 0xF0, 0xD0);  // 1 1 0 1
  SelectObject(mono_dc, old);
  DeleteDC(mono_dc);
  DeleteObject(mono);
}

TEST(GdiBitBlt, PatternOperationsUseTheBrush) {
  Page dest(16, 2, 0x111111);
  HBRUSH null_brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  SelectObject(dest.dc(), null_brush);
  EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 16, 2, nullptr, 0, 0, PATCOPY));
  EXPECT_EQ(dest.count(0x111111), 32);  // a null brush paints nothing

  const uint8_t rows[16] = {0x55, 0, 0x55, 0, 0x55, 0, 0x55, 0, 0x55, 0, 0x55, 0, 0x55, 0, 0x55, 0};
  HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH pattern = CreatePatternBrush(bits);
  DeleteObject(bits);
  SelectObject(dest.dc(), pattern);
  SetTextColor(dest.dc(), RGB(255, 0, 0));
  SetBkColor(dest.dc(), RGB(0, 0, 255));
  EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 16, 1, nullptr, 0, 0, PATCOPY));
  for (int x = 0; x < 16; x++) EXPECT_EQ(dest.at(x, 0), x % 2 ? 0x0000FFu : 0xFF0000u) << x;
  SelectObject(dest.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(pattern);

  // Hatch lines in the brush colour, gaps in the background colour, aligned
  // to the device origin whatever the viewport.
  Page hatched(8, 10);
  HBRUSH lines = CreateHatchBrush(HS_HORIZONTAL, RGB(0, 255, 0));
  SelectObject(hatched.dc(), lines);
  SetBkColor(hatched.dc(), RGB(0, 0, 0));
  SetViewportOrgEx(hatched.dc(), 0, -3, nullptr);
  BitBlt(hatched.dc(), 0, 3, 8, 10, nullptr, 0, 0, PATCOPY);
  EXPECT_EQ(hatched.count(0x00FF00), 16);
  EXPECT_EQ(hatched.at(5, 0), 0x00FF00u);
  EXPECT_EQ(hatched.at(5, 8), 0x00FF00u);
  EXPECT_EQ(hatched.at(5, 4), 0u);
  SelectObject(hatched.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(lines);
}

TEST(GdiBitBlt, MissingSourceFailsOnlyWhenNeeded) {
  Page dest(2, 2);
  EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 2, 2, nullptr, 0, 0, WHITENESS));
  EXPECT_EQ(dest.count(0xFFFFFF), 4);
  HDC empty = CreateCompatibleDC(nullptr);  // holds only the placeholder
  EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, 2, 2, empty, 0, 0, SRCCOPY));
  EXPECT_FALSE(BitBlt(empty, 0, 0, 2, 2, dest.dc(), 0, 0, SRCCOPY));
  DeleteDC(empty);
}

TEST(GdiStretchBlt, EnlargingRepeatsTheNearestPixel) {
  Page source(2, 2), dest(6, 6);
  source.at(0, 0) = 1, source.at(1, 0) = 2, source.at(0, 1) = 3, source.at(1, 1) = 4;
  StretchBlt(dest.dc(), 0, 0, 6, 6, source.dc(), 0, 0, 2, 2, SRCCOPY);
  for (int y = 0; y < 6; y++) {
    for (int x = 0; x < 6; x++) {
      EXPECT_EQ(dest.at(x, y), uint32_t(1 + x / 3 + 2 * (y / 3))) << x << "," << y;
    }
  }
}

void checkerboard(Page& page) {
  for (int y = 0; y < page.height(); y++) {
    for (int x = 0; x < page.width(); x++) page.at(x, y) = (x + y) % 2 ? 0xFFFFFF : 0;
  }
}

TEST(GdiStretchBlt, ShrinkingAveragesInColourModes) {
  Page source(8, 8);
  checkerboard(source);
  for (int mode : {COLORONCOLOR, HALFTONE}) {
    Page dest(4, 4, 0x123456);
    SetStretchBltMode(dest.dc(), mode);
    StretchBlt(dest.dc(), 0, 0, 4, 4, source.dc(), 0, 0, 8, 8, SRCCOPY);
    EXPECT_EQ(dest.count(0x808080), 16) << "mode " << mode;
  }
}

TEST(GdiStretchBlt, ShrinkingKeepsBlackOrWhiteInTheMonochromeModes) {
  Page source(8, 8);
  checkerboard(source);
  Page black(4, 4, 0x123456), white(4, 4, 0x123456);
  SetStretchBltMode(black.dc(), BLACKONWHITE);
  SetStretchBltMode(white.dc(), WHITEONBLACK);
  StretchBlt(black.dc(), 0, 0, 4, 4, source.dc(), 0, 0, 8, 8, SRCCOPY);
  StretchBlt(white.dc(), 0, 0, 4, 4, source.dc(), 0, 0, 8, 8, SRCCOPY);
  EXPECT_EQ(black.count(0), 16);
  EXPECT_EQ(white.count(0xFFFFFF), 16);
}

TEST(GdiStretchBlt, ShrinkingAveragesUnevenBoxes) {
  Page source(3, 1), dest(2, 1);
  source.at(0, 0) = 0x000000, source.at(1, 0) = 0x0000FF, source.at(2, 0) = 0x0000FF;
  SetStretchBltMode(dest.dc(), HALFTONE);
  StretchBlt(dest.dc(), 0, 0, 2, 1, source.dc(), 0, 0, 3, 1, SRCCOPY);
  // Pixel 0 covers source 0 and half of 1; pixel 1 covers half of 1 and 2.
  EXPECT_EQ(dest.at(0, 0), 0x000080u);
  EXPECT_EQ(dest.at(1, 0), 0x0000FFu);
}

TEST(GdiStretchBlt, NegativeSizesMirror) {
  Page source(4, 2), dest(4, 2);
  for (int x = 0; x < 4; x++) source.at(x, 0) = uint32_t(x + 1), source.at(x, 1) = uint32_t(x + 11);
  StretchBlt(dest.dc(), 3, 0, -4, 2, source.dc(), 0, 0, 4, 2, SRCCOPY);
  for (int x = 0; x < 4; x++) EXPECT_EQ(dest.at(x, 0), uint32_t(4 - x)) << x;
  StretchBlt(dest.dc(), 0, 1, 4, -2, source.dc(), 0, 0, 4, 2, SRCCOPY);
  EXPECT_EQ(dest.at(2, 1), 3u);   // upside down: source row 0 at the bottom
  EXPECT_EQ(dest.at(2, 0), 13u);
  // Both negative: no mirror.
  StretchBlt(dest.dc(), 3, 1, -4, -2, source.dc(), 3, 1, -4, -2, SRCCOPY);
  EXPECT_EQ(dest.at(0, 0), 1u);
  EXPECT_EQ(dest.at(3, 1), 14u);
}

TEST(GdiStretchBlt, SourceOutsideTheBitmapLeavesTheDestination) {
  Page source(2, 2, 0xFFFFFF), dest(4, 4, 0x222222);
  StretchBlt(dest.dc(), 0, 0, 4, 4, source.dc(), 1, 1, 2, 2, SRCCOPY);
  EXPECT_EQ(dest.count(0xFFFFFF), 4);  // the source's one pixel, doubled
  EXPECT_EQ(dest.at(1, 1), 0xFFFFFFu);
  EXPECT_EQ(dest.at(2, 2), 0x222222u);
}

TEST(GdiStretchBlt, HugeExtentsFinish) {
  Page source(8, 8, 0xFFFFFF), dest(16, 16);
  EXPECT_TRUE(StretchBlt(dest.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, source.dc(), 0, 0, 8, 8,
                         SRCCOPY));
  EXPECT_TRUE(StretchBlt(dest.dc(), 0, 0, 16, 16, source.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX,
                         SRCCOPY));
  EXPECT_TRUE(StretchBlt(dest.dc(), 0, 0, 16, 16, source.dc(), 0, 0, INT_MIN, INT_MIN, SRCCOPY));
  EXPECT_TRUE(BitBlt(dest.dc(), INT_MAX, INT_MAX, INT_MAX, INT_MAX, source.dc(), 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 0, 5, source.dc(), 0, 0, SRCCOPY));
}

TEST(GdiStretchBlt, PaintCopyFromAPageToAWindowSurface) {
  Page page(10, 10);
  page.at(4, 5) = 0x00FF00;
  SetViewportOrgEx(page.dc(), 3, 3, nullptr);  // pages carry the viewport origin
  HBITMAP surface = kelplat::gdi::create_color_bitmap(10, 10);
  HDC window = kelplat::gdi::create_window_dc(nullptr, surface);
  POINT corner{2, 2};
  DPtoLP(page.dc(), &corner, 1);
  BitBlt(window, 2, 2, 6, 6, page.dc(), corner.x, corner.y, SRCCOPY);
  EXPECT_EQ(GetPixel(window, 4, 5), RGB(0, 255, 0));
  kelplat::gdi::destroy_window_dc(window);
  DeleteObject(surface);
}

}  // namespace
