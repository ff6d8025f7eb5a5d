// The drawing primitives: the pixels they set on the active page, the
// geometry they hand to the platform, the current position, the fill-colour
// bracket, clearing, and harmless answers for hostile arguments.
#include "lib_test_support.h"

using namespace kel_test;

namespace {

class Drawing : public ::testing::Test {
 protected:
  void SetUp() override {
    open_window(kWidth, kHeight);
    wd_ = KEL__GetWindowDataPtr();
  }
  // Number of pixels of colour c in the rectangle [x0, x1) x [y0, y1).
  int count(int c, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += getpixel(x, y) == c;
    return n;
  }
  static const int kWidth = 400;
  static const int kHeight = 300;
  WindowData* wd_ = nullptr;
};

}  // namespace

TEST(Geometry, ArcEndPointsTruncateTheOffsetsTowardZero) {
  const struct {
    int angle, x, y;
  } cases[] = {{0, 150, 100},  {30, 143, 76},   {45, 135, 65},   {90, 100, 50},   {135, 65, 65},
               {180, 50, 100}, {270, 100, 150}, {-90, 100, 150}, {360, 150, 100}, {450, 100, 50}};
  for (const auto& c : cases) {
    int xs, ys, xe, ye;
    ArcEndPoints(100, 100, 50, 50, c.angle, 0, xs, ys, xe, ye);
    EXPECT_EQ(xs, c.x) << c.angle;
    EXPECT_EQ(ys, c.y) << c.angle;
    EXPECT_EQ(xe, 150);
    EXPECT_EQ(ye, 100);
  }
  int l, t, r, b;
  CenterToBox(200, 100, 80, 40, l, t, r, b);
  EXPECT_EQ(l, 120);
  EXPECT_EQ(t, 60);
  EXPECT_EQ(r, 280);
  EXPECT_EQ(b, 140);
  CenterToBox(INT_MAX, INT_MIN, INT_MAX, INT_MAX, l, t, r, b);
  EXPECT_EQ(l, 0);
  EXPECT_EQ(r, INT_MAX) << "saturates instead of overflowing";
  EXPECT_EQ(t, INT_MIN);
  EXPECT_EQ(b, -1);
}

TEST_F(Drawing, PixelsReadBackAsColourValues) {
  for (int c = 0; c < 16; ++c) {
    putpixel(c, 5, c);
    EXPECT_EQ(getpixel(c, 5), c);
  }
  putpixel(20, 5, COLOR(1, 2, 3));
  EXPECT_EQ(getpixel(20, 5), COLOR(1, 2, 3));
  putpixel(21, 5, 0x00808000);  // an explicit colour equal to a table entry
  EXPECT_EQ(getpixel(21, 5), CYAN);
  EXPECT_EQ(getpixel(-1, 0), -1);
  EXPECT_EQ(getpixel(kWidth, 0), -1);
  EXPECT_EQ(getpixel(0, INT_MAX), -1);
}

TEST_F(Drawing, GetDisplayColorReportsTheDeviceColourAndRestoresThePixel) {
  putpixel(0, 0, LIGHTGREEN);
  EXPECT_EQ(getdisplaycolor(WHITE), WHITE);
  EXPECT_EQ(getdisplaycolor(COLOR(9, 9, 9)), COLOR(9, 9, 9));
  EXPECT_EQ(getpixel(0, 0), LIGHTGREEN);
  setviewport(kWidth + 10, 0, kWidth + 20, 10, 0);
  EXPECT_EQ(getdisplaycolor(WHITE), -1) << "the viewport corner is off the page";
}

TEST_F(Drawing, CircleIsSymmetricThroughItsFourExtremes) {
  setcolor(YELLOW);
  arccoordstype before = {1, 2, 3, 4, 5, 6};
  wd_->arcinfo = before;
  circle(100, 100, 50);
  for (auto p : {std::pair<int, int>{150, 100}, {100, 50}, {50, 100}, {100, 150}})
    EXPECT_EQ(getpixel(p.first, p.second), YELLOW) << p.first << "," << p.second;
  EXPECT_EQ(getpixel(100, 100), BLACK);
  EXPECT_EQ(getpixel(151, 100), BLACK);
  EXPECT_EQ(count(YELLOW, 50, 50, 101, 101), count(YELLOW, 100, 100, 151, 151));
  arccoordstype after;
  getarccoords(&after);
  EXPECT_EQ(after.xstart, 3) << "circle leaves the last arc alone";
}

TEST_F(Drawing, ArcDrawsCounterClockwiseAndRecordsItsEnds) {
  setcolor(WHITE);
  arc(100, 100, 0, 90, 50);
  arccoordstype a;
  getarccoords(&a);
  EXPECT_EQ(a.x, 100);
  EXPECT_EQ(a.y, 100);
  EXPECT_EQ(a.xstart, 150);
  EXPECT_EQ(a.ystart, 100);
  EXPECT_EQ(a.xend, 100);
  EXPECT_EQ(a.yend, 50);
  EXPECT_GT(count(WHITE, 100, 40, 160, 101), 40) << "upper right quarter";
  EXPECT_EQ(count(WHITE, 40, 40, 97, 97), 0) << "not the upper left";
  EXPECT_EQ(count(WHITE, 103, 103, 160, 160), 0) << "not the lower right";
  arc(100, 100, 45, 135, 50);
  getarccoords(&a);
  EXPECT_EQ(a.xstart, 135);
  EXPECT_EQ(a.ystart, 65);
  EXPECT_EQ(a.xend, 65);
  EXPECT_EQ(a.yend, 65);
  getarccoords(nullptr);
  cleardevice();
  arc(100, 100, 30, 30, 40);  // equal angles: the whole circle
  EXPECT_EQ(getpixel(60, 100), WHITE);
  EXPECT_EQ(getpixel(100, 140), WHITE);
  ellipse(250, 100, 0, 360, 80, 40);
  for (auto p : {std::pair<int, int>{330, 100}, {170, 100}, {250, 60}, {250, 140}})
    EXPECT_EQ(getpixel(p.first, p.second), WHITE) << p.first << "," << p.second;
}

TEST_F(Drawing, LinesAndTheCurrentPosition) {
  moveto(5, 6);
  line(20, 30, 10, 10);
  EXPECT_EQ(getx(), 5);
  EXPECT_EQ(gety(), 6);
  EXPECT_EQ(getpixel(20, 30), WHITE);
  EXPECT_EQ(getpixel(10, 10), WHITE) << "the end point is drawn too";
  moveto(10, 10);
  lineto(50, 60);
  EXPECT_EQ(getx(), 50);
  EXPECT_EQ(gety(), 60);
  linerel(10, -5);
  EXPECT_EQ(getx(), 60);
  EXPECT_EQ(gety(), 55);
  EXPECT_EQ(getpixel(50, 60), WHITE) << "the previous end is the start of the next line";
}

TEST_F(Drawing, RectangleIsAnOutlineAndBarAFillWithoutOutline) {
  setcolor(WHITE);
  setfillstyle(SOLID_FILL, RED);
  rectangle(10, 10, 20, 20);
  for (auto p : {std::pair<int, int>{10, 10}, {20, 10}, {20, 20}, {10, 20}, {15, 10}})
    EXPECT_EQ(getpixel(p.first, p.second), WHITE);
  EXPECT_EQ(count(BLACK, 11, 11, 20, 20), 81);
  bar(30, 10, 40, 20);
  EXPECT_EQ(count(RED, 30, 10, 40, 20), 100);
  EXPECT_EQ(count(RED, 40, 10, 41, 21), 0) << "right edge left out";
  EXPECT_EQ(count(RED, 30, 20, 41, 21), 0) << "bottom edge left out";
}

TEST_F(Drawing, Bar3dOutlinesSideAndTop) {
  setcolor(WHITE);
  setfillstyle(SOLID_FILL, BLUE);
  bar3d(10, 20, 50, 80, 10, 1);
  EXPECT_EQ(getpixel(30, 50), BLUE);
  EXPECT_EQ(getpixel(10, 20), WHITE) << "front face is outlined";
  for (auto p : {std::pair<int, int>{60, 75}, {60, 15}, {20, 15}, {60, 40}, {40, 15}})
    EXPECT_EQ(getpixel(p.first, p.second), WHITE) << p.first << "," << p.second;
  EXPECT_EQ(getpixel(55, 40), BLACK) << "the side is not filled";
  cleardevice();
  bar3d(10, 20, 50, 80, 10, 0);
  EXPECT_EQ(getpixel(40, 15), BLACK) << "no top without topflag";
  EXPECT_EQ(getpixel(60, 40), WHITE);
  cleardevice();
  bar3d(10, 20, 50, 80, 0, 1);
  EXPECT_EQ(getpixel(55, 40), BLACK) << "no side without depth";
}

TEST_F(Drawing, FilledFiguresPutTheDrawingColourBack) {
  setcolor(LIGHTCYAN);
  setfillstyle(SOLID_FILL, MAGENTA);
  int triangle[] = {200, 200, 260, 200, 230, 250};
  fillpoly(3, triangle);
  EXPECT_EQ(getpixel(230, 215), MAGENTA);
  fillellipse(100, 200, 30, 20);
  EXPECT_EQ(getpixel(100, 200), MAGENTA);
  pieslice(300, 100, 0, 90, 40);
  EXPECT_EQ(getpixel(310, 90), MAGENTA);
  EXPECT_EQ(getpixel(290, 110), BLACK);
  sector(300, 220, 180, 270, 40, 30);
  EXPECT_EQ(getpixel(290, 230), MAGENTA);
  for (HDC dc : wd_->hDC) EXPECT_EQ(GetTextColor(dc), COLORREF(converttorgb(LIGHTCYAN)));
}

TEST_F(Drawing, PolygonsCloseOnlyWhenAsked) {
  int open[] = {10, 10, 60, 10, 60, 60};
  drawpoly(3, open);
  EXPECT_EQ(getpixel(35, 10), WHITE);
  EXPECT_EQ(getpixel(35, 35), BLACK) << "no closing edge";
  int closed[] = {100, 10, 150, 10, 150, 60, 100, 10};
  drawpoly(4, closed);
  EXPECT_EQ(getpixel(125, 35), WHITE);
  drawpoly(3, nullptr);
  fillpoly(-4, open);
  fillpoly(0, open);
  drawpoly(INT_MIN, open);
}

TEST_F(Drawing, FloodFillStopsAtTheBorderColour) {
  setcolor(WHITE);
  rectangle(10, 10, 50, 50);
  setfillstyle(SOLID_FILL, GREEN);
  floodfill(30, 30, WHITE);
  EXPECT_EQ(count(GREEN, 11, 11, 50, 50), 39 * 39);
  EXPECT_EQ(getpixel(5, 5), BLACK);
  EXPECT_EQ(getpixel(10, 30), WHITE);
}

TEST_F(Drawing, ClearDeviceClearsThePageAndKeepsTheClipping) {
  setbkcolor(BLUE);
  setviewport(100, 50, 200, 150, 1);
  cleardevice();
  EXPECT_EQ(getx(), -100);
  EXPECT_EQ(gety(), -50);
  putpixel(150, 10, WHITE);  // outside the clip rectangle
  setviewport(0, 0, kWidth, kHeight, 0);
  EXPECT_EQ(count(BLUE, 0, 0, kWidth, kHeight), kWidth * kHeight);
}

TEST_F(Drawing, ClearViewportClearsOnlyTheViewport) {
  setbkcolor(BLUE);
  setviewport(100, 50, 200, 150, 0);
  moveto(7, 7);
  clearviewport();
  EXPECT_EQ(getx(), 0);
  EXPECT_EQ(gety(), 0);
  setviewport(0, 0, kWidth, kHeight, 0);
  EXPECT_EQ(count(BLUE, 100, 50, 200, 150), 100 * 100);
  EXPECT_EQ(count(BLUE, 0, 0, kWidth, 50), 0);
  EXPECT_EQ(getpixel(200, 100), BLACK);
}

TEST_F(Drawing, HugeCoordinatesAndSizesAreHarmless) {
  putpixel(INT_MAX, INT_MIN, WHITE);
  line(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  circle(0, 0, INT_MAX);
  arc(INT_MAX, INT_MAX, INT_MIN, INT_MAX, INT_MAX);
  ellipse(INT_MIN, 0, 0, 360, INT_MAX, INT_MAX);
  fillellipse(100, 100, INT_MAX, INT_MIN);
  pieslice(100, 100, 0, 90, INT_MAX);
  sector(INT_MAX, INT_MIN, 0, 90, INT_MAX, INT_MAX);
  bar(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  bar3d(INT_MAX, INT_MIN, INT_MAX, INT_MAX, INT_MAX, 1);
  bar3d(0, 0, 10, 10, INT_MIN, 1);
  rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  moveto(INT_MAX, INT_MAX);
  linerel(INT_MAX, INT_MAX);
  setlinestyle(SOLID_LINE, 0, -5);
  line(0, 0, 100, 100);
  setlinestyle(SOLID_LINE, 0, 1 << 30);
  line(0, 0, 100, 100);
  floodfill(INT_MIN, INT_MAX, WHITE);
  // The window still works and paints.
  setlinestyle(SOLID_LINE, 0, 1);
  setviewport(0, 0, kWidth, kHeight, 0);
  putpixel(3, 3, LIGHTRED);
  EXPECT_EQ(getpixel(3, 3), LIGHTRED);
  EXPECT_EQ(Shown().at(3, 3), 0xFF8080u);
}
