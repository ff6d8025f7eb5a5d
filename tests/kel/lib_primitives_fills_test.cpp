// What the brush paints: every fill style's 8 x 8 picture and colours, the
// alignment of patterns to the page whatever the bars and the viewport, the
// user pattern, the drawing colour put back after every filled figure, and
// flood fills that stop at outlines, at the clip and at bad seeds.
#include <cmath>
#include <functional>

#include "lib_primitives_support.h"

using namespace prim_test;

namespace {

// Pixels that show the fill colour in the built-in bitmap styles, one byte
// per row from the top, bit 7 leftmost.
struct FillBits {
  int style;
  unsigned char rows[8];
};
const FillBits kBitmapStyles[] = {
    {SLASH_FILL, {0xE0, 0xC1, 0x83, 0x07, 0x0E, 0x1C, 0x38, 0x70}},
    {BKSLASH_FILL, {0x07, 0x83, 0xC1, 0xE0, 0x70, 0x38, 0x1C, 0x0E}},
    {INTERLEAVE_FILL, {0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33}},
    {WIDE_DOT_FILL, {0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00}},
    {CLOSE_DOT_FILL, {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00}},
};

bool bit_at(const unsigned char rows[8], int x, int y) { return (rows[y & 7] >> (7 - (x & 7))) & 1; }

class PrimitiveFills : public PrimitivesTest {
 protected:
  static constexpr int kFill = YELLOW;
  static constexpr int kBack = BLUE;

  void SetUp() override {
    PrimitivesTest::SetUp();
    setbkcolor(kBack);
    cleardevice();
  }

  // True when [x0, x1) x [y0, y1) shows the fill colour exactly where
  // `fore(x, y)` holds (page coordinates) and the background elsewhere.
  ::testing::AssertionResult shows(const PageImage& image, int x0, int y0, int x1, int y1,
                                   const std::function<bool(int, int)>& fore) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        const uint32_t want = stored(fore(x, y) ? kFill : kBack);
        if (image.at(x, y) != want)
          return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex
                                               << image.at(x, y) << ", not " << want;
      }
    return ::testing::AssertionSuccess();
  }
};

// True when the pixels of [x0, x1) x [y0, y1) are `line` exactly where
// `family(x, y, j, k)` holds and `gap` elsewhere, for some phases j and k.
::testing::AssertionResult hatched(const PageImage& image, int x0, int y0, int x1, int y1,
                                   uint32_t line, uint32_t gap,
                                   const std::function<bool(int, int, int, int)>& family) {
  for (int j = 0; j < 8; ++j)
    for (int k = 0; k < 8; ++k) {
      bool all = true;
      for (int y = y0; y < y1 && all; ++y)
        for (int x = x0; x < x1 && all; ++x)
          all = image.at(x, y) == (family(x, y, j, k) ? line : gap);
      if (all) return ::testing::AssertionSuccess();
    }
  return ::testing::AssertionFailure() << "no phase of the hatch matches";
}

int mod8(int v) { return ((v % 8) + 8) % 8; }

}  // namespace

// ------------------------------------------------------------ fill styles
TEST_F(PrimitiveFills, EmptyAndSolidStyles) {
  setfillstyle(EMPTY_FILL, kFill);
  bar(0, 0, 40, 40);
  EXPECT_TRUE(shows(page(), 0, 0, 40, 40, [](int, int) { return false; }));
  scribble();
  bar(0, 0, 40, 40);
  EXPECT_TRUE(shows(page(), 0, 0, 40, 40, [](int, int) { return false; }))
      << "style 0 paints the background colour over anything";
  setfillstyle(SOLID_FILL, kFill);
  bar(0, 0, 40, 40);
  EXPECT_TRUE(shows(page(), 0, 0, 40, 40, [](int, int) { return true; }));
  fillsettingstype f;
  getfillsettings(&f);
  EXPECT_EQ(f.pattern, SOLID_FILL);
  EXPECT_EQ(f.color, kFill);
}

TEST_F(PrimitiveFills, HatchStylesDrawOnePixelLinesEveryEightInTheFillColour) {
  const struct {
    int style;
    std::function<bool(int, int, int, int)> family;
  } cases[] = {
      {LINE_FILL, [](int, int y, int j, int) { return mod8(y) == j; }},
      {LTSLASH_FILL, [](int x, int y, int j, int) { return mod8(x + y) == j; }},    // rising
      {LTBKSLASH_FILL, [](int x, int y, int j, int) { return mod8(x - y) == j; }},  // falling
      {HATCH_FILL, [](int x, int y, int j, int k) { return mod8(y) == j || mod8(x) == k; }},
      {XHATCH_FILL,
       [](int x, int y, int j, int k) { return mod8(x - y) == j || mod8(x + y) == k; }},
  };
  for (const auto& c : cases) {
    cleardevice();
    setfillstyle(c.style, kFill);
    bar(0, 0, 48, 48);
    EXPECT_TRUE(hatched(page(), 0, 0, 48, 48, stored(kFill), stored(kBack), c.family))
        << "style " << c.style;
  }
}

TEST_F(PrimitiveFills, BitmapStylesShowTheFillColourOnTheirPatternsPixels) {
  for (const FillBits& f : kBitmapStyles) {
    setfillstyle(f.style, kFill);
    bar(0, 0, 40, 40);
    EXPECT_TRUE(shows(page(), 0, 0, 40, 40, [&](int x, int y) { return bit_at(f.rows, x, y); }))
        << "style " << f.style;
    fillsettingstype s;
    getfillsettings(&s);
    EXPECT_EQ(s.pattern, f.style);
    EXPECT_EQ(s.color, kFill);
  }
}

TEST_F(PrimitiveFills, PatternsMeetSeamlesslyAcrossNeighbouringBarsAndViewports) {
  for (int style = LINE_FILL; style < USER_FILL; ++style) {
    setfillstyle(style, kFill);
    cleardevice();
    bar(3, 5, 83, 61);
    const PageImage one = page();
    cleardevice();
    bar(3, 5, 30, 61);
    bar(30, 5, 83, 27);
    bar(30, 27, 83, 61);
    EXPECT_TRUE(page() == one) << "three bars, style " << style;
    cleardevice();
    setviewport(3, 5, 30, 61, 0);
    bar(0, 0, 27, 56);
    setviewport(30, 5, 83, 61, 1);
    bar(-100, -100, 1000, 1000);  // clipped to the viewport
    setviewport(0, 0, kWidth, kHeight, 0);
    EXPECT_TRUE(page() == one) << "two viewports, style " << style;
  }
}

TEST_F(PrimitiveFills, EveryFilledFigureUsesTheSamePageAlignedPattern) {
  setcolor(kFill);  // outlines in the fill colour, so only the pattern differs
  setfillstyle(CLOSE_DOT_FILL, kFill);
  const FillBits& dots = kBitmapStyles[4];
  auto expected = [&](int x, int y) { return bit_at(dots.rows, x, y); };
  fillellipse(100, 100, 60, 40);
  EXPECT_TRUE(shows(page(), 80, 85, 120, 115, expected)) << "fillellipse";
  cleardevice();
  int square[] = {20, 20, 180, 20, 180, 180, 20, 180};
  fillpoly(4, square);
  EXPECT_TRUE(shows(page(), 21, 21, 180, 180, expected)) << "fillpoly";
  cleardevice();
  pieslice(100, 100, 0, 180, 70);
  EXPECT_TRUE(shows(page(), 60, 60, 140, 99, expected)) << "pieslice";
  cleardevice();
  bar3d(30, 40, 150, 160, 20, 1);
  EXPECT_TRUE(shows(page(), 31, 41, 150, 160, expected)) << "bar3d";
  cleardevice();
  rectangle(10, 10, 200, 200);
  floodfill(50, 50, kFill);
  EXPECT_TRUE(shows(page(), 11, 11, 200, 200, expected)) << "floodfill";
}

TEST_F(PrimitiveFills, UserPatternCheckerboard) {
  char checker[8] = {char(0xAA), 0x55, char(0xAA), 0x55, char(0xAA), 0x55, char(0xAA), 0x55};
  setfillpattern(checker, YELLOW);
  fillsettingstype f;
  getfillsettings(&f);
  EXPECT_EQ(f.pattern, USER_FILL);
  EXPECT_EQ(f.color, YELLOW);
  char back[8] = {};
  getfillpattern(back);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(back[i], checker[i]) << i;
  bar(10, 10, 50, 50);
  EXPECT_TRUE(shows(page(), 10, 10, 50, 50, [](int x, int y) { return (x + y) % 2 == 0; }));
  setfillstyle(USER_FILL, RED);  // accepted and ignored
  getfillsettings(&f);
  EXPECT_EQ(f.pattern, USER_FILL);
  EXPECT_EQ(f.color, YELLOW);
  EXPECT_EQ(graphresult(), grOk);
  bar(50, 10, 90, 50);
  EXPECT_TRUE(shows(page(), 10, 10, 90, 50, [](int x, int y) { return (x + y) % 2 == 0; }));
}

TEST_F(PrimitiveFills, UserPatternIsKeptOnEveryPage) {
  unsigned char stripes[8] = {0xF0, 0xF0, 0, 0, 0xF0, 0xF0, 0, 0};
  setfillpattern(reinterpret_cast<char*>(stripes), kFill);
  setactivepage(2);
  setbkcolor(kBack);
  cleardevice();
  bar(0, 0, 32, 32);
  EXPECT_TRUE(shows(page(), 0, 0, 32, 32, [&](int x, int y) { return bit_at(stripes, x, y); }));
}

TEST_F(PrimitiveFills, BadFillStyleSetsTheErrorAndKeepsTheBrush) {
  setfillstyle(INTERLEAVE_FILL, kFill);
  setfillstyle(13, RED);
  EXPECT_EQ(graphresult(), grError);
  EXPECT_EQ(graphresult(), grOk);
  setfillstyle(-1, RED);
  EXPECT_EQ(graphresult(), grError);
  fillsettingstype f;
  getfillsettings(&f);
  EXPECT_EQ(f.pattern, INTERLEAVE_FILL);
  EXPECT_EQ(f.color, kFill);
  bar(0, 0, 16, 16);
  EXPECT_TRUE(shows(page(), 0, 0, 16, 16,
                    [](int x, int y) { return bit_at(kBitmapStyles[2].rows, x, y); }));
}

// ------------------------------------------------------ the fill colour
TEST_F(PrimitiveFills, TheDrawingColourComesBackAfterEveryFilledFigure) {
  const int drawing = COLOR(10, 200, 30);
  setcolor(drawing);
  setfillstyle(WIDE_DOT_FILL, LIGHTRED);
  int triangle[] = {200, 200, 260, 200, 230, 250};
  const std::function<void()> fills[] = {
      [] { bar(10, 10, 50, 50); },
      [] { bar3d(60, 20, 100, 60, 10, 1); },
      [] { fillellipse(150, 50, 30, 20); },
      [&] { fillpoly(3, triangle); },
      [] { pieslice(300, 100, 0, 90, 40); },
      [] { sector(300, 220, 180, 270, 40, 30); },
      [] { floodfill(380, 280, WHITE); },
  };
  int n = 0;
  for (const auto& fill : fills) {
    fill();
    for (int p = 0; p < 4; ++p)
      EXPECT_EQ(GetTextColor(wd_->hDC[p]), COLORREF(converttorgb(drawing))) << "fill " << n << " page " << p;
    ++n;
  }
  cleardevice();
  setbkcolor(BLACK);
  settextstyle(DEFAULT_FONT, HORIZ_DIR, 0);
  outtextxy(20, 20, "MW");
  PageImage text = page();
  EXPECT_GT(text.count(stored(drawing)), 20) << "text in the drawing colour";
  EXPECT_EQ(text.count(stored(LIGHTRED)), 0) << "not in the fill colour";
}

// ---------------------------------------------------------- flood fill
TEST_F(PrimitiveFills, FloodfillInsideACircleDoesNotLeakThroughItsOutline) {
  setcolor(WHITE);
  setfillstyle(SOLID_FILL, GREEN);
  for (int radius : {50, 37, 13}) {
    cleardevice();
    circle(150, 150, radius);
    floodfill(150, 150, WHITE);
    PageImage image = page();
    EXPECT_EQ(image.count(stored(GREEN)) + image.count(stored(WHITE)) + image.count(stored(kBack)),
              kWidth * kHeight);
    for (int y = 150 - radius - 2; y <= 150 + radius + 2; ++y)
      for (int x = 150 - radius - 2; x <= 150 + radius + 2; ++x) {
        const double r = std::hypot(x - 150, y - 150);
        if (r > radius + 0.5) {
          EXPECT_FALSE(image.is(x, y, GREEN)) << "leak at " << x << "," << y;
        } else if (r < radius - 1.5) {
          EXPECT_TRUE(image.is(x, y, GREEN)) << "gap at " << x << "," << y;
        }
      }
    EXPECT_EQ(image.count(stored(GREEN), 0, 0, kWidth, 150 - radius), 0);
  }
}

TEST_F(PrimitiveFills, ShapesClosedByLinesHoldAFloodFill) {
  // Each line covers both its end points, so where two lines meet at an end
  // no gap is left for the fill to run out through.
  setcolor(WHITE);
  setfillstyle(SOLID_FILL, GREEN);
  line(100, 50, 180, 200);
  line(180, 200, 30, 170);
  line(30, 170, 100, 50);
  floodfill(100, 140, WHITE);
  EXPECT_EQ(page().count(stored(GREEN), 0, 0, kWidth, 49), 0) << "nothing above the triangle";
  EXPECT_GT(page().count(stored(GREEN)), 5000);
  EXPECT_LT(page().count(stored(GREEN)), 150 * 80);
  cleardevice();
  moveto(200, 20);
  lineto(300, 20);
  linerel(0, 80);
  lineto(200, 20);
  floodfill(280, 40, WHITE);
  EXPECT_EQ(page().count(stored(GREEN), 0, 0, 200, kHeight), 0);
  EXPECT_EQ(page().count(stored(GREEN), 0, 101, kWidth, kHeight), 0);
  EXPECT_GT(page().count(stored(GREEN)), 3000);
}

TEST_F(PrimitiveFills, FloodfillStopsAtTheClipRectangle) {
  setfillstyle(SOLID_FILL, GREEN);
  setviewport(100, 50, 300, 200, 1);
  floodfill(10, 10, WHITE);
  PageImage image = page();
  EXPECT_EQ(image.count(stored(GREEN)), 200 * 150);
  EXPECT_RECT((RECT{100, 50, 300, 200}), image.bounds(stored(GREEN)));
  setviewport(0, 0, kWidth, kHeight, 0);
  setfillstyle(SOLID_FILL, RED);
  floodfill(5, 5, GREEN);
  EXPECT_EQ(page().count(stored(RED)), kWidth * kHeight - 200 * 150) << "the rest, round it";
}

TEST_F(PrimitiveFills, FloodfillWithABadSeedFillsNothing) {
  setcolor(WHITE);
  setfillstyle(SOLID_FILL, GREEN);
  rectangle(10, 10, 60, 60);
  const PageImage before = page();
  floodfill(-5, -5, WHITE);
  floodfill(kWidth, 10, WHITE);
  floodfill(INT_MAX, INT_MAX, WHITE);
  floodfill(INT_MIN, 0, WHITE);
  floodfill(10, 30, WHITE);  // on the border
  setviewport(100, 100, 200, 200, 1);
  floodfill(-50, -50, WHITE);  // on the page but outside the clip
  EXPECT_TRUE(page() == before);
}

TEST_F(PrimitiveFills, FloodfillStepsToFourNeighboursOnly) {
  // A diamond of one-pixel diagonals touches itself only at corners: a fill
  // that also stepped diagonally would leave it in every direction.
  setfillstyle(SOLID_FILL, GREEN);
  int diamond[] = {200, 100, 250, 150, 200, 200, 150, 150, 200, 100};
  drawpoly(5, diamond);
  floodfill(200, 150, WHITE);
  PageImage image = page();
  EXPECT_EQ(image.count(stored(GREEN)), 2 * 50 * 50 - 2 * 50 + 1) << "|x| + |y| < 50";
  EXPECT_EQ(image.count(stored(WHITE)), 4 * 50);
}
