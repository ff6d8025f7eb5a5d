// What the pen draws: the dash patterns of the line styles and of user
// patterns, their phase running on round a rectangle's corners, thick lines
// with square caps and bevelled corners, and exclusive-or drawing that a
// second identical figure undoes.
#include <cmath>
#include <functional>
#include <string>

#include "lib_primitives_support.h"

using namespace prim_test;

namespace {

class PrimitivePens : public PrimitivesTest {
 protected:
  // The drawn (1) and blank (0) pixels of row y from x0 on, `n` of them,
  // going right (step 1) or left (step -1).
  std::string row_bits(int x0, int y, int n, int step = 1) {
    PageImage image = page();
    std::string bits;
    for (int i = 0; i < n; ++i) bits += image.is(x0 + step * i, y, WHITE) ? '1' : '0';
    return bits;
  }
};

// Pixel i of a line with a 16-bit user pattern is drawn when bit i mod 16 is.
std::string user_bits(unsigned pattern, int n) {
  std::string bits;
  for (int i = 0; i < n; ++i) bits += (pattern >> (i % 16)) & 1 ? '1' : '0';
  return bits;
}

// The system GDI of Windows builds a wide pen's outline with corners on
// whole pixels and fills it leaving out its right and bottom edges: a
// square cap that ends there, half a pixel beyond the pixel centres the
// portable platform covers, stops one pixel short. 1 where the picture
// shows that (allowed on Windows only), else 0.
int short_cap(bool one_short) { return KEL__SystemGdi && one_short ? 1 : 0; }

// `on` drawn pixels then `off` blank ones (and so on for the next pairs),
// repeated until n pixels.
std::string runs(std::initializer_list<int> lengths, int n) {
  std::string period;
  bool drawn = true;
  for (int length : lengths) {
    period.append(size_t(length), drawn ? '1' : '0');
    drawn = !drawn;
  }
  std::string bits;
  while (int(bits.size()) < n) bits += period;
  return bits.substr(0, size_t(n));
}

}  // namespace

// -------------------------------------------------------------- dashes
TEST_F(PrimitivePens, LineStylesDashAlongAHorizontalLine) {
  const struct {
    int style;
    std::string expected;
  } cases[] = {
      {SOLID_LINE, runs({1}, 150)},
      {DOTTED_LINE, runs({4, 3}, 150)},
      {CENTER_LINE, runs({4, 3, 8, 3}, 150)},
      {DASHED_LINE, runs({8, 3}, 150)},
  };
  for (const auto& c : cases) {
    cleardevice();
    setlinestyle(c.style, 0, NORM_WIDTH);
    line(10, 20, 160, 20);
    EXPECT_EQ(row_bits(10, 20, 150, 1), c.expected) << "style " << c.style;
    EXPECT_EQ(page().count(stored(WHITE), 0, 0, kWidth, 20), 0) << "nothing above";
  }
}

TEST_F(PrimitivePens, UserPatternsRepeatTheirBitsFromBitZero) {
  for (unsigned pattern : {0x00FFu, 0x0F0Fu, 0x3333u, 0x0001u, 0xFFFFu, 0x5555u, 0x0107u}) {
    cleardevice();
    setlinestyle(USERBIT_LINE, pattern, NORM_WIDTH);
    line(10, 20, 170, 20);
    EXPECT_EQ(row_bits(10, 20, 160), user_bits(pattern, 160)) << std::hex << pattern;
    line(300, 40, 140, 40);  // leftwards: the pattern starts at the first point
    EXPECT_EQ(row_bits(300, 40, 160, -1), user_bits(pattern, 160)) << std::hex << pattern;
  }
  cleardevice();
  setlinestyle(USERBIT_LINE, 0x10000u | 0x00FFu, NORM_WIDTH);
  line(10, 20, 170, 20);
  EXPECT_EQ(row_bits(10, 20, 160), user_bits(0x00FF, 160)) << "bits above 15 are not used";
}

TEST_F(PrimitivePens, DashesFollowTheLongerAxisOfSteepAndSlantedLines) {
  setlinestyle(USERBIT_LINE, 0x00FF, NORM_WIDTH);
  line(30, 10, 30, 170);
  PageImage image = page();
  std::string column;
  for (int y = 10; y < 170; ++y) column += image.is(30, y, WHITE) ? '1' : '0';
  EXPECT_EQ(column, user_bits(0x00FF, 160));
  cleardevice();
  line(50, 10, 210, 90);  // two columns per row
  image = page();
  std::string steps;
  for (int i = 0; i < 160; ++i) {
    const int y = 10 + (i + 1) / 2;  // the ideal row, halves rounded toward the end
    steps += image.is(50 + i, y, WHITE) ? '1' : '0';
  }
  EXPECT_EQ(steps, user_bits(0x00FF, 160));
}

TEST_F(PrimitivePens, TheDashPhaseRunsOnRoundARectanglesCorners) {
  // Sides of 21 and 13 pixels are no multiple of the 16-pixel pattern, so a
  // pattern restarted at a corner would show.
  for (unsigned pattern : {0x00FFu, 0x0F0Fu, 0x0107u}) {
    cleardevice();
    setlinestyle(USERBIT_LINE, pattern, NORM_WIDTH);
    rectangle(10, 10, 31, 23);
    PageImage image = page();
    std::string walk;  // clockwise from the top-left corner
    for (int x = 10; x < 31; ++x) walk += image.is(x, 10, WHITE) ? '1' : '0';
    for (int y = 10; y < 23; ++y) walk += image.is(31, y, WHITE) ? '1' : '0';
    for (int x = 31; x > 10; --x) walk += image.is(x, 23, WHITE) ? '1' : '0';
    for (int y = 23; y > 10; --y) walk += image.is(10, y, WHITE) ? '1' : '0';
    EXPECT_EQ(walk, user_bits(pattern, 68)) << std::hex << pattern;
  }
}

TEST_F(PrimitivePens, DashedCircleIsPartOfTheSolidOne) {
  circle(100, 100, 60);
  const std::set<Pixel> solid = page().with(stored(WHITE));
  cleardevice();
  setlinestyle(USERBIT_LINE, 0x00FF, NORM_WIDTH);
  circle(100, 100, 60);
  const std::set<Pixel> dashed = page().with(stored(WHITE));
  for (const Pixel& p : dashed) EXPECT_TRUE(solid.count(p)) << p.first << "," << p.second;
  EXPECT_GT(dashed.size(), solid.size() * 4 / 10);
  EXPECT_LT(dashed.size(), solid.size() * 6 / 10);
}

// ---------------------------------------------------------- thick lines
TEST_F(PrimitivePens, ThickHorizontalAndVerticalLinesAreAsWideAsThePenWithSquareCaps) {
  for (int width : {int(THICK_WIDTH), 5, 7, 11}) {
    const int half = (width - 1) / 2;
    cleardevice();
    setlinestyle(SOLID_LINE, 0, width);
    line(50, 50, 150, 50);
    PageImage image = page();
    RECT box = image.bounds(stored(WHITE));
    int short_end = short_cap(box.right == 150 + half);
    EXPECT_RECT((RECT{50 - half, 50 - half, 151 + half - short_end, 51 + half}), box)
        << "width " << width;
    EXPECT_EQ(image.count(stored(WHITE)), width * (101 + 2 * half - short_end)) << "width " << width;
    cleardevice();
    line(200, 160, 200, 40);
    image = page();
    box = image.bounds(stored(WHITE));
    short_end = short_cap(box.bottom == 160 + half);
    EXPECT_RECT((RECT{200 - half, 40 - half, 201 + half, 161 + half - short_end}), box)
        << "width " << width;
    EXPECT_EQ(image.count(stored(WHITE)), width * (121 + 2 * half - short_end)) << "width " << width;
  }
}

TEST_F(PrimitivePens, ThickDiagonalLineReachesPastBothEnds) {
  setlinestyle(SOLID_LINE, 0, 9);
  line(50, 50, 150, 150);
  PageImage image = page();
  // Across: 9 * sqrt(2) = 12.7 pixels of every row in the middle.
  for (int y = 70; y < 130; ++y) {
    const int n = image.count(stored(WHITE), 0, y, kWidth, y + 1);
    EXPECT_GE(n, 12) << y;
    // Windows: the band's corners on whole pixels, filled inclusively,
    // take one more pixel of a slanted row.
    EXPECT_LE(n, KEL__SystemGdi ? 14 : 13) << y;
  }
  // The caps reach 4.5 pixels along the line beyond each end: (3.2, 3.2).
  EXPECT_TRUE(image.is(153, 153, WHITE));
  EXPECT_TRUE(image.is(47, 47, WHITE));
  EXPECT_FALSE(image.is(155, 155, WHITE));
  EXPECT_FALSE(image.is(45, 45, WHITE));
}

TEST_F(PrimitivePens, ThickRectangleHasBevelledCorners) {
  setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
  rectangle(50, 50, 100, 80);
  PageImage image = page();
  EXPECT_RECT((RECT{49, 49, 102, 82}), image.bounds(stored(WHITE)));
  for (Pixel corner : {Pixel{101, 49}, Pixel{101, 81}, Pixel{49, 81}})
    EXPECT_FALSE(image.is(corner.first, corner.second, WHITE)) << corner.first << "," << corner.second;
  for (Pixel edge : {Pixel{100, 49}, Pixel{101, 50}, Pixel{101, 80}, Pixel{100, 81}, Pixel{50, 81},
                     Pixel{49, 80}})
    EXPECT_TRUE(image.is(edge.first, edge.second, WHITE) ||
                short_cap(edge == Pixel{100, 49}))  // the top side's end, as a cap's
        << edge.first << "," << edge.second;
  EXPECT_EQ(image.count(stored(WHITE), 52, 52, 99, 79), 0) << "the inside stays clear";
}

TEST_F(PrimitivePens, ThickDashesKeepTheirCapsAndGaps) {
  // Dashes of 8 with square caps of 1.5 on each side at width 3: the
  // 8-pixel gaps shrink to 5 (the dash entry 7 covers 7 + 3 = 10 pixels).
  setlinestyle(USERBIT_LINE, 0x00FF, THICK_WIDTH);
  line(20, 100, 180, 100);
  PageImage image = page();
  std::string bits;
  for (int x = 19; x < 179; ++x) bits += image.is(x, 100, WHITE) ? '1' : '0';
  // Windows: every dash's cap at its right end one pixel short.
  const int dash = 10 - short_cap(bits == runs({9, 7}, 160));
  EXPECT_EQ(bits, runs({dash, 16 - dash}, 160));
  for (int x = 19; x < 179; ++x) {
    EXPECT_EQ(image.at(x, 99), image.at(x, 100)) << x;
    EXPECT_EQ(image.at(x, 101), image.at(x, 100)) << x;
  }
}

// ---------------------------------------------------------- exclusive-or
TEST_F(PrimitivePens, ExclusiveOrFlipsEachPixelOfAFigureOnceSoTwiceRestoresThePage) {
  const std::function<void()> figures[] = {
      [] { line(20, 30, 300, 250); },
      [] {
        setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
        line(20, 250, 300, 40);
      },
      [] {
        setlinestyle(SOLID_LINE, 0, 8);
        line(30, 30, 200, 31);
      },
      [] {
        int star[] = {50, 50, 250, 60, 80, 200, 150, 10, 220, 200, 50, 50};
        drawpoly(6, star);
      },
      [] {
        setlinestyle(SOLID_LINE, 0, 5);
        int zigzag[] = {10, 10, 300, 20, 20, 30, 310, 40, 10, 10};
        drawpoly(5, zigzag);
      },
      [] { rectangle(40, 40, 240, 180); },
      [] {
        setlinestyle(SOLID_LINE, 0, 6);
        rectangle(40, 40, 240, 180);
      },
      [] { circle(200, 150, 90); },
      [] {
        setlinestyle(SOLID_LINE, 0, 7);
        circle(200, 150, 90);
      },
      [] { arc(200, 150, 30, 300, 70); },
      [] {
        setlinestyle(DASHED_LINE, 0, 5);
        arc(200, 150, 100, 20, 70);
      },
      [] {
        setlinestyle(CENTER_LINE, 0, THICK_WIDTH);
        int open[] = {10, 290, 390, 10, 390, 290};
        drawpoly(3, open);
      },
      [] {
        moveto(5, 5);
        lineto(395, 150);
      },
      [] {
        moveto(395, 150);
        linerel(-300, 140);
      },
  };
  setcolor(LIGHTGREEN);
  const uint32_t pen = stored(LIGHTGREEN);
  int n = 0;
  for (const auto& draw : figures) {
    // The pixels the figure covers, drawn in copy mode on a black page.
    setwritemode(0);
    cleardevice();
    setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
    draw();
    const std::set<Pixel> covered = page().with(pen);
    ASSERT_FALSE(covered.empty()) << "figure " << n;

    scribble();
    const PageImage original = page();
    setwritemode(1);
    setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
    draw();
    const PageImage once = page();
    // Each covered pixel is flipped exactly once; a pixel covered twice
    // would be flipped back and look untouched.
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const uint32_t want = covered.count({x, y}) ? original.at(x, y) ^ pen : original.at(x, y);
        wrong += once.at(x, y) != want;
      }
    EXPECT_EQ(wrong, 0) << "figure " << n;
    setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
    draw();
    EXPECT_EQ(page().differences(original), 0) << "figure " << n << " drawn twice";
    ++n;
  }
}

TEST_F(PrimitivePens, ExclusiveOrFlipsThePenColoursBitsAndCopyModeComesBack) {
  setbkcolor(BLUE);
  cleardevice();
  setcolor(YELLOW);
  setwritemode(1);
  line(10, 10, 110, 10);
  EXPECT_EQ(page().at(50, 10), stored(BLUE) ^ stored(YELLOW));
  setwritemode(2);  // not a mode: nothing changes
  line(10, 12, 110, 12);
  EXPECT_EQ(page().at(50, 12), stored(BLUE) ^ stored(YELLOW));
  setwritemode(0);
  line(10, 10, 110, 10);
  EXPECT_EQ(page().at(50, 10), stored(YELLOW));
}
