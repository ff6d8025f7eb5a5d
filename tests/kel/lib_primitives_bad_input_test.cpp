// Hostile arguments to the drawing primitives: coordinates at the ends of
// the int range, radii, depths and pen widths of a billion, point lists that
// are empty, negative or missing. Each must return quickly, draw only what
// lies on the page, and leave the window working.
#include "lib_primitives_support.h"

using namespace prim_test;

namespace {

const int kBillion = 1000000000;

class PrimitiveBadInput : public PrimitivesTest {
 protected:
  // The window still draws, reads back and paints.
  void expect_working() {
    setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
    setviewport(0, 0, kWidth, kHeight, 0);
    setwritemode(0);
    putpixel(3, 3, LIGHTRED);
    EXPECT_EQ(getpixel(3, 3), LIGHTRED);
    EXPECT_EQ(kel_test::Shown().at(3, 3), 0xFF8080u);
  }
};

}  // namespace

TEST_F(PrimitiveBadInput, CoordinatesAtTheEndsOfTheIntRange) {
  const int ends[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX - 1, INT_MAX};
  setfillstyle(SOLID_FILL, GREEN);
  for (int clip : {0, 1}) {
    setviewport(100, 50, 300, 200, clip);
    for (int a : ends)
      for (int b : ends) {
        line(a, b, b, a);
        rectangle(a, a, b, b);
        bar(a, b, b, a);
        circle(a, b, b);
        ellipse(a, b, a, b, a, b);
        fillellipse(b, a, a, b);
        pieslice(a, a, b, a, b);
        sector(b, b, a, b, a, a);
        bar3d(a, a, b, b, a, 1);
        bar3d(b, a, a, b, b, 1);
        arc(a, b, a, b, b);
        moveto(a, b);
        lineto(b, a);
        linerel(a, b);
      }
  }
  expect_working();
}

TEST_F(PrimitiveBadInput, FiguresSpanningTheWholeRangeDrawWhatFallsOnThePage) {
  setfillstyle(SOLID_FILL, GREEN);
  bar(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(page().count(stored(GREEN)), kWidth * kHeight) << "the bar covers the page";
  cleardevice();
  rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(page().count(stored(BLACK)), kWidth * kHeight) << "its outline is far off the page";
  line(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  PageImage image = page();
  EXPECT_EQ(image.count(stored(WHITE)), kHeight) << "an exact diagonal";
  for (int i = 0; i < kHeight; ++i) EXPECT_TRUE(image.is(i, i, WHITE)) << i;
  cleardevice();
  setviewport(100, 50, 300, 200, 0);
  line(INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // the viewport's origin shifts it by (100, 50)
  image = page();
  for (int y = 0; y < kHeight; ++y) EXPECT_TRUE(image.is(y + 50, y, WHITE)) << y;
  EXPECT_EQ(image.count(stored(WHITE)), kHeight);
  cleardevice();
  setviewport(0, 0, kWidth, kHeight, 0);
  int triangle[] = {INT_MIN, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX};
  fillpoly(3, triangle);
  EXPECT_EQ(page().count(stored(GREEN)), kWidth * kHeight) << "the page lies inside";
}

TEST_F(PrimitiveBadInput, RadiiAndDepthsOfABillion) {
  setfillstyle(SOLID_FILL, GREEN);
  circle(200, 150, kBillion);
  ellipse(200, 150, 0, 360, kBillion, kBillion);
  arc(200, 150, 0, 90, kBillion);
  EXPECT_EQ(page().count(stored(BLACK)), kWidth * kHeight) << "outlines far off the page";

  circle(200, kBillion, kBillion);  // its top touches row 0 around column 200
  PageImage image = page();
  EXPECT_TRUE(image.is(200, 0, WHITE));
  EXPECT_EQ(image.count(stored(WHITE), 0, 1, kWidth, kHeight), 0);

  cleardevice();
  fillellipse(200, 150, kBillion, kBillion);
  EXPECT_EQ(page().count(stored(GREEN)), kWidth * kHeight) << "the fill covers the page";

  cleardevice();
  pieslice(200, 150, 0, 90, kBillion);  // the upper right quarter of the page
  image = page();
  EXPECT_EQ(image.count(stored(GREEN), 201, 0, kWidth, 150), 199 * 150);
  EXPECT_EQ(image.count(stored(GREEN), 0, 151, kWidth, kHeight), 0);
  EXPECT_EQ(image.count(stored(GREEN), 0, 0, 200, kHeight), 0);
  EXPECT_TRUE(image.is(300, 150, WHITE)) << "the radius along the start angle";
  EXPECT_TRUE(image.is(200, 50, WHITE)) << "the radius along the end angle";

  cleardevice();
  sector(200, 150, 180, 270, kBillion, kBillion / 2);  // the lower left quarter
  image = page();
  EXPECT_EQ(image.count(stored(GREEN), 0, 151, 199, kHeight), 199 * 149);
  EXPECT_EQ(image.count(stored(GREEN), 0, 0, kWidth, 150), 0);

  cleardevice();
  bar3d(10, 20, 50, 80, kBillion, 1);
  image = page();
  EXPECT_EQ(image.count(stored(GREEN)), 39 * 59) << "the front face";
  EXPECT_TRUE(image.is(11, 19, WHITE)) << "the top's edge leaves the corner up and right";
  EXPECT_TRUE(image.is(51, 79, WHITE)) << "so does the side's lower edge";
  expect_working();
}

TEST_F(PrimitiveBadInput, PenWidthsOfAMillionCoverThePage) {
  setcolor(YELLOW);
  setlinestyle(SOLID_LINE, 0, 1000000);
  line(10, 10, 20, 20);
  EXPECT_EQ(page().count(stored(YELLOW)), kWidth * kHeight) << "line";
  cleardevice();
  circle(200, 150, 50);
  EXPECT_EQ(page().count(stored(YELLOW)), kWidth * kHeight) << "circle";
  cleardevice();
  rectangle(10, 10, 20, 20);
  EXPECT_EQ(page().count(stored(YELLOW)), kWidth * kHeight) << "rectangle";
  cleardevice();
  setlinestyle(DASHED_LINE, 0, 1000000);
  arc(200, 150, 10, 80, 100);
  int zigzag[] = {0, 0, 100, 100, 200, 0};
  drawpoly(3, zigzag);
  setlinestyle(SOLID_LINE, 0, INT_MAX);
  line(0, 0, 1, 1);
  EXPECT_EQ(page().count(stored(YELLOW)), kWidth * kHeight) << "wider than the page";
  expect_working();
}

TEST_F(PrimitiveBadInput, PenWidthsOfZeroOrLessDrawOnePixelWide) {
  for (int width : {0, -5, INT_MIN}) {
    cleardevice();
    setlinestyle(SOLID_LINE, 0, width);
    line(10, 10, 110, 10);
    circle(200, 150, 30);
    PageImage image = page();
    EXPECT_EQ(image.count(stored(WHITE), 0, 0, kWidth, 100), 101) << width;
    EXPECT_TRUE(image.is(230, 150, WHITE)) << width;
    EXPECT_FALSE(image.is(231, 150, WHITE)) << width;
  }
  expect_working();
}

TEST_F(PrimitiveBadInput, PointListsThatAreEmptyNegativeOrMissing) {
  setfillstyle(SOLID_FILL, GREEN);
  int square[] = {10, 10, 60, 10, 60, 60, 10, 60};
  for (int n : {-5, 0, 1, INT_MIN}) {
    drawpoly(n, square);
    fillpoly(n, square);
  }
  drawpoly(0, nullptr);
  fillpoly(0, nullptr);
  drawpoly(4, nullptr);
  fillpoly(4, nullptr);
  EXPECT_EQ(page().count(stored(BLACK)), kWidth * kHeight) << "nothing drawn";
  int two[] = {10, 10, 60, 10};
  fillpoly(2, two);
  EXPECT_EQ(page().count(stored(GREEN)), 0) << "two points enclose nothing";
  expect_working();
}

TEST_F(PrimitiveBadInput, AnglesAtTheEndsOfTheIntRange) {
  setfillstyle(SOLID_FILL, GREEN);
  for (int a : {INT_MIN, -1, 0, 359, 360, 361, INT_MAX})
    for (int b : {INT_MIN, -1, 0, 359, 360, 361, INT_MAX}) {
      arc(200, 150, a, b, 40);
      pieslice(200, 150, a, b, 40);
      sector(200, 150, a, b, 60, 20);
      ellipse(200, 150, a, b, 60, 20);
    }
  arccoordstype last;
  getarccoords(&last);
  EXPECT_EQ(last.x, 200);
  EXPECT_EQ(last.y, 150);
  EXPECT_GE(last.xend, 160);
  EXPECT_LE(last.xend, 240);
  expect_working();
}
