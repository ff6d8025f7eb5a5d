// Brushes and area fills: FillRect edges and mix, hatches, pattern
// alignment, pattern brushes, the sixteen mix modes, and flood fill.
#include <climits>

#include "gdi_raster_page.h"

namespace {

using raster_test::Page;
using raster_test::Pixel;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlue = 0x0000FF;  // pixel of RGB(0, 0, 255)

void fill(Page& page, int left, int top, int right, int bottom, HBRUSH brush) {
  RECT r{left, top, right, bottom};
  FillRect(page.dc(), &r, brush);
}

TEST(RasterFill, FillRectIncludesLeftTopAndIgnoresTheMixMode) {
  Page page(40, 40, 0x123456);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  SetROP2(page.dc(), R2_XORPEN);
  fill(page, 10, 10, 20, 20, white);
  EXPECT_EQ(page.drawn(0x123456).size(), 100u);
  EXPECT_EQ(page.at(10, 10), kWhite);
  EXPECT_EQ(page.at(19, 19), kWhite);
  EXPECT_EQ(page.at(20, 20), 0x123456u);
  fill(page, 10, 10, 20, 20, white);  // copies again, does not toggle
  EXPECT_EQ(page.at(15, 15), kWhite);
  fill(page, 30, 30, 25, 35, white);  // reversed: nothing
  fill(page, 30, 30, 30, 35, white);  // empty: nothing
  EXPECT_EQ(page.drawn(0x123456).size(), 100u);
  fill(page, INT_MIN, INT_MIN, INT_MAX, INT_MAX, white);
  EXPECT_EQ(page.drawn(0x123456).size(), 1600u);
  DeleteObject(white);
}

bool expected_hatch(int style, int x, int y) {
  int cx = x & 7, cy = y & 7;
  bool horizontal = cy == 0, vertical = cx == 0;
  bool falling = cx == cy, rising = ((cx + cy) & 7) == 7;
  switch (style) {
    case HS_HORIZONTAL: return horizontal;
    case HS_VERTICAL: return vertical;
    case HS_FDIAGONAL: return falling;
    case HS_BDIAGONAL: return rising;
    case HS_CROSS: return horizontal || vertical;
    default: return falling || rising;
  }
}

TEST(RasterFill, HatchesAreThinLinesEveryEightPixels) {
  for (int style = HS_HORIZONTAL; style <= HS_DIAGCROSS; style++) {
    for (int mode : {OPAQUE, TRANSPARENT}) {
      Page page(32, 32, 0x00FF00);
      SetBkColor(page.dc(), RGB(0, 0, 0));
      SetBkMode(page.dc(), mode);
      HBRUSH hatch = CreateHatchBrush(style, RGB(255, 255, 255));
      fill(page, 0, 0, 32, 32, hatch);
      DeleteObject(hatch);
      for (int y = 0; y < 32; y++) {
        for (int x = 0; x < 32; x++) {
          uint32_t gap = mode == OPAQUE ? 0u : 0x00FF00u;
          ASSERT_EQ(page.at(x, y), expected_hatch(style, x, y) ? kWhite : gap)
              << "style " << style << " mode " << mode << " at " << x << "," << y;
        }
      }
    }
  }
  // "\" falls to the right, "/" rises to the right.
  EXPECT_TRUE(expected_hatch(HS_FDIAGONAL, 1, 1) && expected_hatch(HS_FDIAGONAL, 2, 2));
  EXPECT_TRUE(expected_hatch(HS_BDIAGONAL, 1, 6) && expected_hatch(HS_BDIAGONAL, 2, 5));
}

TEST(RasterFill, PatternsFollowTheDeviceOriginWhateverTheViewport) {
  Page page(64, 32);
  SetBkColor(page.dc(), RGB(0, 0, 0));
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(255, 255, 255));
  SetViewportOrgEx(page.dc(), 0, 0, nullptr);
  fill(page, 0, 0, 29, 32, hatch);
  SetViewportOrgEx(page.dc(), 29, 3, nullptr);  // the next bar, another origin
  fill(page, 0, -3, 35, 29, hatch);
  DeleteObject(hatch);
  for (int y = 0; y < 32; y++) {
    for (int x = 0; x < 64; x++) {
      ASSERT_EQ(page.at(x, y), expected_hatch(HS_DIAGCROSS, x, y) ? kWhite : 0u) << x << "," << y;
    }
  }
}

TEST(RasterFill, MonochromePatternPaintsTextAndBackgroundColours) {
  Page page(24, 24);
  const uint16_t rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH checker = CreatePatternBrush(bits);
  DeleteObject(bits);
  SetTextColor(page.dc(), RGB(255, 255, 0));
  SetBkColor(page.dc(), RGB(0, 0, 255));
  SetBkMode(page.dc(), TRANSPARENT);  // pattern brushes paint both colours anyway
  fill(page, 3, 2, 20, 21, checker);
  for (int y = 2; y < 21; y++) {
    for (int x = 3; x < 20; x++) {
      bool one = ((0xAA >> (7 - (x & 7))) ^ (y & 1)) & 1;  // row bytes alternate AA, 55
      ASSERT_EQ(page.at(x, y), one ? kBlue : 0xFFFF00u) << x << "," << y;
    }
  }
  // The same brush fills figures too, with the mix mode.
  page.brush(checker);
  page.null_pen();
  SetROP2(page.dc(), R2_NOTCOPYPEN);
  Rectangle(page.dc(), 0, 0, 1, 1);
  EXPECT_EQ(page.at(0, 0), 0xFFFFFFu ^ kBlue);      // a 1 bit: inverted background colour
  EXPECT_EQ(page.at(1, 0), 0xFFFFFFu ^ 0xFFFF00u);  // a 0 bit: inverted text colour
}

// Result bits of a mix mode, from its definition.
uint32_t by_definition(int mode, uint32_t pen, uint32_t dest) {
  uint32_t r = 0;
  switch (mode) {
    case R2_BLACK: r = 0; break;
    case R2_NOTMERGEPEN: r = ~(dest | pen); break;
    case R2_MASKNOTPEN: r = dest & ~pen; break;
    case R2_NOTCOPYPEN: r = ~pen; break;
    case R2_MASKPENNOT: r = pen & ~dest; break;
    case R2_NOT: r = ~dest; break;
    case R2_XORPEN: r = dest ^ pen; break;
    case R2_NOTMASKPEN: r = ~(dest & pen); break;
    case R2_MASKPEN: r = dest & pen; break;
    case R2_NOTXORPEN: r = ~(dest ^ pen); break;
    case R2_NOP: r = dest; break;
    case R2_MERGENOTPEN: r = dest | ~pen; break;
    case R2_COPYPEN: r = pen; break;
    case R2_MERGEPENNOT: r = pen | ~dest; break;
    case R2_MERGEPEN: r = dest | pen; break;
    case R2_WHITE: r = ~0u; break;
  }
  return r & 0xFFFFFF;
}

TEST(RasterFill, AllSixteenMixModesForPenAndBrush) {
  const uint32_t dest = 0x3C5AF0;
  for (int mode = R2_BLACK; mode <= R2_WHITE; mode++) {
    Page page(20, 20, dest);
    SetROP2(page.dc(), mode);
    page.pen(1, RGB(0x0F, 0x33, 0xC3));  // pixel 0x0F33C3
    page.line(0, 0, 10, 0);
    page.null_pen();
    page.solid_brush(RGB(0x99, 0x66, 0x0F));  // pixel 0x99660F
    Rectangle(page.dc(), 0, 5, 10, 10);
    EXPECT_EQ(page.at(3, 0), by_definition(mode, 0x0F33C3, dest)) << "pen, mode " << mode;
    EXPECT_EQ(page.at(3, 7), by_definition(mode, 0x99660F, dest)) << "brush, mode " << mode;
    EXPECT_EQ(page.at(3, 15), dest);
  }
}

class FloodFillTest : public testing::Test {
 protected:
  FloodFillTest() : page(200, 160) {
    page.pen(1, RGB(255, 255, 255));
    Arc(page.dc(), 40, 20, 140, 120, 0, 0, 0, 0);  // a closed circle outline
    page.solid_brush(RGB(0, 0, 255));
  }
  Page page;
};

TEST_F(FloodFillTest, FillsInsideTheOutlineOnly) {
  std::set<Pixel> ring = page.with(kWhite);
  EXPECT_TRUE(FloodFill(page.dc(), 90, 70, RGB(255, 255, 255)));
  EXPECT_EQ(page.with(kWhite), ring);
  EXPECT_EQ(page.at(90, 70), kBlue);
  EXPECT_EQ(page.at(5, 5), 0u);     // outside: untouched
  EXPECT_EQ(page.at(90, 21), kBlue);  // just inside the top
  // Every pixel inside is filled: row by row between the outline's pixels.
  for (int y = 21; y < 120; y++) {
    int first = 0, last = 0;
    for (int x = 0; x < 200; x++) {
      if (page.at(x, y) != kWhite) continue;
      if (!first) first = x;
      last = x;
    }
    for (int x = first + 1; x < last; x++) {
      ASSERT_TRUE(page.at(x, y) == kWhite || page.at(x, y) == kBlue) << x << "," << y;
    }
  }
}

TEST_F(FloodFillTest, StopsAtTheClipRectangle) {
  HRGN clip = CreateRectRgn(0, 0, 90, 160);
  SelectClipRgn(page.dc(), clip);
  DeleteObject(clip);
  EXPECT_TRUE(FloodFill(page.dc(), 60, 70, RGB(255, 255, 255)));
  EXPECT_EQ(page.at(89, 70), kBlue);
  EXPECT_EQ(page.at(90, 70), 0u);
}

TEST_F(FloodFillTest, SeedOutsideOrOnTheBorderFillsNothing) {
  std::vector<uint32_t> before = page.snapshot();
  EXPECT_FALSE(FloodFill(page.dc(), -1, 70, RGB(255, 255, 255)));
  EXPECT_FALSE(FloodFill(page.dc(), 200, 70, RGB(255, 255, 255)));
  EXPECT_FALSE(FloodFill(page.dc(), INT_MIN, INT_MAX, RGB(255, 255, 255)));
  EXPECT_FALSE(FloodFill(page.dc(), 140, 70, RGB(255, 255, 255)));  // on the outline
  EXPECT_FALSE(ExtFloodFill(page.dc(), 90, 70, RGB(255, 255, 255), 7));
  EXPECT_FALSE(FloodFill(nullptr, 90, 70, 0));
  EXPECT_EQ(page.snapshot(), before);
}

TEST_F(FloodFillTest, BrushOfTheFilledColourDoesNotLoop) {
  page.solid_brush(RGB(0, 0, 0));  // the colour of the area being filled
  EXPECT_TRUE(ExtFloodFill(page.dc(), 90, 70, RGB(0, 0, 0), FLOODFILLSURFACE));
  page.solid_brush(RGB(255, 255, 255));  // the border colour itself
  EXPECT_TRUE(FloodFill(page.dc(), 90, 70, RGB(255, 255, 255)));
  EXPECT_EQ(page.at(90, 70), kWhite);
  EXPECT_EQ(page.at(5, 5), 0u);
}

TEST_F(FloodFillTest, SurfaceModeAndPatternBrushes) {
  HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(0, 0, 255));
  page.brush(hatch);
  SetBkColor(page.dc(), RGB(0, 0, 0));  // hatch gaps in the surface colour
  EXPECT_TRUE(ExtFloodFill(page.dc(), 5, 5, RGB(0, 0, 0), FLOODFILLSURFACE));
  EXPECT_EQ(page.at(8, 8), kBlue);   // a grid pixel outside the circle
  EXPECT_EQ(page.at(9, 9), 0u);      // a gap
  EXPECT_EQ(page.at(88, 72), 0u);    // inside the circle: another area
  EXPECT_FALSE(ExtFloodFill(page.dc(), 140, 70, RGB(0, 0, 0), FLOODFILLSURFACE));
}

TEST(RasterFill, FloodFillCoversAMazeOfCorridors) {
  // A comb: the fill must turn down every tooth and come back up.
  Page page(101, 60);
  page.pen(1, RGB(255, 255, 255));
  for (int x = 2; x < 100; x += 4) page.line(x, (x / 4) % 2 ? 2 : 10, x, (x / 4) % 2 ? 50 : 58);
  page.solid_brush(RGB(0, 0, 255));
  EXPECT_TRUE(FloodFill(page.dc(), 0, 30, RGB(255, 255, 255)));
  EXPECT_EQ(page.with(0).size(), 0u);
}

}  // namespace
