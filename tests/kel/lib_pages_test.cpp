// Pages and refresh: which calls invalidate what, and what the window shows.
#include <climits>

#include "lib_test_support.h"

using namespace kel_test;

namespace {

const RECT kNothing = {0, 0, 0, 0};

class Pages : public ::testing::Test {
 protected:
  void SetUp() override { open_window(kWidth, kHeight); }
  static const int kWidth = 400;
  static const int kHeight = 300;
  const RECT whole_ = {0, 0, kWidth, kHeight};
};

// Red in the shown picture's format.
const uint32_t kShownRed = 0xFF8080;   // light red, colour 12
const uint32_t kShownBlue = 0x8080FF;  // light blue, colour 9

}  // namespace

TEST_F(Pages, FiguresWithABoxInvalidateThatBox) {
  HeldPainting held;
  putpixel(5, 6, WHITE);
  EXPECT_RECT((RECT{5, 6, 6, 7}), held.take());
  line(20, 30, 10, 10);
  EXPECT_RECT((RECT{10, 10, 21, 31}), held.take());
  moveto(10, 10);
  lineto(50, 60);
  EXPECT_RECT((RECT{10, 10, 51, 61}), held.take());
  linerel(-20, 5);
  EXPECT_RECT((RECT{30, 60, 51, 66}), held.take());
  circle(100, 100, 50);
  EXPECT_RECT((RECT{50, 50, 151, 151}), held.take());
  ellipse(200, 100, 0, 360, 80, 40);
  EXPECT_RECT((RECT{120, 60, 281, 141}), held.take());
  bar(10, 10, 20, 20);
  EXPECT_RECT((RECT{10, 10, 21, 21}), held.take());
  bar3d(10, 20, 50, 80, 10, 1);
  EXPECT_RECT((RECT{10, 15, 61, 81}), held.take());
  rectangle(30, 40, 60, 70);
  EXPECT_RECT((RECT{30, 40, 61, 71}), held.take());
  pieslice(100, 100, 0, 90, 20);
  EXPECT_RECT((RECT{80, 80, 121, 121}), held.take());
  sector(100, 100, 0, 90, 30, 20);
  EXPECT_RECT((RECT{70, 80, 131, 121}), held.take());
  fillellipse(100, 100, 30, 20);
  EXPECT_RECT((RECT{70, 80, 131, 121}), held.take());
  arc(100, 100, 0, 90, 10);
  EXPECT_RECT((RECT{90, 90, 111, 111}), held.take());
}

TEST_F(Pages, FiguresWithoutABoxInvalidateTheWholeWindowEvenWithRefreshOff) {
  int points[] = {10, 10, 50, 10, 30, 40};
  HeldPainting held;
  setrefreshingkel(false);
  EXPECT_FALSE(getrefreshingkel());
  drawpoly(3, points);
  EXPECT_RECT(whole_, held.take());
  fillpoly(3, points);
  EXPECT_RECT(whole_, held.take());
  floodfill(200, 200, WHITE);
  EXPECT_RECT(whole_, held.take());
  cleardevice();
  EXPECT_RECT(whole_, held.take());
  clearviewport();
  EXPECT_RECT(whole_, held.take());
  refreshallkel();
  EXPECT_RECT(whole_, held.take());
}

TEST_F(Pages, RefreshOffSuppressesBoxesAndStateChangesInvalidateNothing) {
  HeldPainting held;
  setrefreshingkel(false);
  putpixel(5, 5, WHITE);
  line(0, 0, 50, 50);
  circle(50, 50, 10);
  bar(0, 0, 10, 10);
  EXPECT_RECT(kNothing, held.take());
  setrefreshingkel(true);
  setcolor(RED);
  setbkcolor(BLUE);
  setlinestyle(DOTTED_LINE, 0, 3);
  setfillstyle(HATCH_FILL, GREEN);
  setviewport(10, 10, 100, 100, 1);
  moveto(5, 5);
  setactivepage(2);
  setactivepage(0);
  EXPECT_RECT(kNothing, held.take());
}

TEST_F(Pages, RefreshKelNormalisesAndDoesNotWidenTheCorners) {
  HeldPainting held;
  setrefreshingkel(false);
  refreshkel(100, 80, 10, 20);
  EXPECT_RECT((RECT{10, 20, 100, 80}), held.take());
  setviewport(50, 40, 300, 200, 0);
  refreshkel(10, 20, 100, 80);
  EXPECT_RECT((RECT{60, 60, 150, 120}), held.take());
  refreshkel(INT_MAX - 20, INT_MAX - 20, INT_MAX, INT_MAX);
  EXPECT_RECT(kNothing, held.take()) << "moved by the viewport, the box stays beyond the window";
}

TEST_F(Pages, RefreshWindowConvertsTheRectangleToClientCoordinates) {
  setviewport(30, 20, 200, 200, 1);
  HeldPainting held;
  RECT r = {1, 2, 3, 4};
  RefreshWindow(&r);
  EXPECT_RECT((RECT{31, 22, 33, 24}), r);
  EXPECT_RECT((RECT{31, 22, 33, 24}), held.take());
  putpixel(0, 0, WHITE);
  EXPECT_RECT((RECT{30, 20, 31, 21}), held.take());
}

TEST_F(Pages, HiddenDrawingInvalidatesNothing) {
  HeldPainting held;
  setactivepage(1);
  putpixel(5, 5, WHITE);
  cleardevice();
  floodfill(5, 5, WHITE);
  refreshallkel();
  refreshkel(0, 0, 10, 10);
  EXPECT_RECT(kNothing, held.take());
}

TEST_F(Pages, PageSettersIgnoreBadNumbers) {
  HeldPainting held;
  setactivepage(2);
  setvisualpage(3);
  held.take();
  for (int bad : {4, -1, INT_MAX, INT_MIN}) {
    setactivepage(bad);
    setvisualpage(bad);
  }
  EXPECT_EQ(getactivepage(), 2);
  EXPECT_EQ(getvisualpage(), 3);
  EXPECT_RECT(kNothing, held.take());
  setvisualpage(3);
  EXPECT_RECT(whole_, held.take()) << "showing the page already shown still repaints";
}

TEST_F(Pages, SwapBuffersFlipsBetweenPagesZeroAndOne) {
  HeldPainting held;
  swapbuffers();
  EXPECT_EQ(getvisualpage(), 0);
  EXPECT_EQ(getactivepage(), 1);
  EXPECT_RECT(whole_, held.take());
  for (int active : {1, 2, 3}) {
    setactivepage(active);
    swapbuffers();
    EXPECT_EQ(getvisualpage(), 1) << active;
    EXPECT_EQ(getactivepage(), 0) << active;
    EXPECT_RECT(whole_, held.take());
  }
}

TEST_F(Pages, TheWindowShowsTheVisualPage) {
  setcolor(LIGHTRED);
  line(0, 10, 100, 10);
  EXPECT_EQ(Shown().at(50, 10), kShownRed);
  setactivepage(2);
  putpixel(7, 7, LIGHTRED);
  EXPECT_EQ(Shown().at(7, 7), 0u) << "page 2 is not shown";
  setvisualpage(2);
  Shown shown;
  EXPECT_EQ(shown.at(7, 7), kShownRed);
  EXPECT_EQ(shown.at(50, 10), 0u) << "page 0's line is not on page 2";
}

TEST_F(Pages, WithRefreshOffALineShowsOnlyWithTheNextWholeWindowRefresh) {
  Shown();  // paint what opening the window invalidated
  setrefreshingkel(false);
  setcolor(LIGHTRED);
  line(0, 20, 100, 20);
  EXPECT_EQ(Shown().at(50, 20), 0u);
  setfillstyle(SOLID_FILL, LIGHTBLUE);
  floodfill(300, 250, LIGHTRED);  // fills the whole page but the line
  Shown shown;
  EXPECT_EQ(shown.at(50, 20), kShownRed);
  EXPECT_EQ(shown.at(300, 250), kShownBlue);
}

TEST_F(Pages, ViewportOffsetIsPaintedFromTheSameClientPosition) {
  setviewport(50, 50, 200, 200, 0);
  putpixel(0, 0, LIGHTRED);
  Shown shown;
  EXPECT_EQ(shown.at(50, 50), kShownRed);
  EXPECT_EQ(shown.at(0, 0), 0u);
}

TEST(DoubleBuffering, NothingShowsUntilTheFirstSwap) {
  open_window(100, 80, true);
  setfillstyle(SOLID_FILL, LIGHTRED);
  bar(0, 0, 50, 50);
  refreshallkel();
  EXPECT_EQ(Shown().at(10, 10), 0u);
  swapbuffers();
  EXPECT_EQ(Shown().at(10, 10), kShownRed);
  EXPECT_EQ(getactivepage(), 0);
}

TEST(Delay, SleepsTheGivenTimeAndTakesNegativeTimesAsZero) {
  // Measured with the steady clock: the system's tick count moves in steps
  // of up to 16 ms on Windows.
  using std::chrono::milliseconds;
  auto start = std::chrono::steady_clock::now();
  delay(40);
  EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(39));
  start = std::chrono::steady_clock::now();
  delay(0);
  delay(-5);
  delay(INT_MIN);
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(5000))
      << "a negative time must not sleep for days";
}
