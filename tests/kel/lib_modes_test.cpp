// The driver-and-mode interface: window sizes of initgraph, the mode
// queries, error codes and their messages. Windows opened by initgraph end
// the process when closed, so nothing here closes windows.
#include <cstring>

#include "lib_test_support.h"

using namespace kel_test;

namespace {

struct Opened {
  int driver, mode;
  int width, height;
};

Opened open_graph(int driver, int mode) {
  initgraph(&driver, &mode, "ignored");
  return Opened{driver, mode, getmaxx() + 1, getmaxy() + 1};
}

}  // namespace

TEST(InitGraph, DetectionPicksVgaHighAndAWindowAtTheOrigin) {
  Opened o = open_graph(DETECT, 7);
  EXPECT_EQ(o.driver, VGA);
  EXPECT_EQ(o.mode, VGAHI);
  EXPECT_EQ(o.width, 640);
  EXPECT_EQ(o.height, 480);
  char title[64] = {};
  GetWindowTextA(current_handle(), title, sizeof(title));
  EXPECT_STREQ(title, "Windows KEL");
  RECT outer;
  GetWindowRect(current_handle(), &outer);
  EXPECT_EQ(outer.left, 0);
  EXPECT_EQ(outer.top, 0);
  EXPECT_TRUE(KEL__GetWindowDataPtr()->closeflag);
  EXPECT_EQ(graphresult(), grOk);
}

TEST(InitGraph, DriversAndModesGiveTheirSizes) {
  const struct {
    int driver, mode, width, height;
  } cases[] = {{VGA, VGAMED, 640, 350}, {VGA, VGALO, 640, 200},  {IBM8514, 1, 1024, 768},
               {IBM8514, 0, 640, 480},  {HERCMONO, 0, 720, 348}, {HERCMONO, 9, 720, 348},
               {EGAMONO, 7, 640, 350},  {CGA, 3, 320, 200},      {CGA, 4, 640, 200},
               {MCGA, 5, 640, 480},     {EGA64, 1, 640, 350},    {ATT400, 5, 640, 400},
               {PC3270, -3, 720, 350}};
  for (const auto& c : cases) {
    Opened o = open_graph(c.driver, c.mode);
    EXPECT_EQ(o.width, c.width) << c.driver << "/" << c.mode;
    EXPECT_EQ(o.height, c.height) << c.driver << "/" << c.mode;
    EXPECT_EQ(o.driver, c.driver) << "the caller's variables stay";
    EXPECT_EQ(graphresult(), grOk);
  }
}

TEST(InitGraph, AnUnknownDriverOpensACgaSizedWindowAndReportsIt) {
  Opened o = open_graph(11, 2);
  EXPECT_EQ(o.width, 320);
  EXPECT_EQ(o.height, 200);
  EXPECT_EQ(graphresult(), grInvalidDriver);
  EXPECT_EQ(graphresult(), grOk);
  open_graph(-7, 4);
  EXPECT_EQ(getmaxx(), 639);
  EXPECT_EQ(graphresult(), grInvalidDriver);
}

TEST(InitGraph, AnUnlistedModeGivesAnEmptyClientArea) {
  Opened o = open_graph(VGA, 5);
  EXPECT_EQ(o.width, 0);
  EXPECT_EQ(o.height, 0);
  EXPECT_EQ(graphresult(), grOk);
  putpixel(0, 0, WHITE);
  EXPECT_EQ(getpixel(0, 0), -1);
  int driver = DETECT;
  initgraph(&driver, nullptr, nullptr);
  EXPECT_EQ(driver, VGA);
  EXPECT_EQ(getmaxx(), 639);
}

TEST(Modes, FixedAnswers) {
  int driver = 0, mode = 0;
  detectgraph(&driver, &mode);
  EXPECT_EQ(driver, 9);
  EXPECT_EQ(mode, 2);
  detectgraph(nullptr, nullptr);
  EXPECT_STREQ(getdrivername(), "EGAVGA");
  EXPECT_EQ(getgraphmode(), 2);
  EXPECT_EQ(getmaxmode(), 2);
  restorecrtmode();
}

TEST(Modes, ModeRangesPerDriver) {
  open_window(10, 10);
  const struct {
    int driver, lo, hi;
  } cases[] = {{-1, 0, 2}, {1, 0, 4}, {2, 0, 5}, {3, 0, 1}, {4, 0, 1}, {5, 3, 3},
               {6, 0, 1},  {7, 0, 0}, {8, 0, 5}, {9, 0, 2}, {10, 0, 0}};
  for (const auto& c : cases) {
    int lo = 99, hi = 99;
    getmoderange(c.driver, &lo, &hi);
    EXPECT_EQ(lo, c.lo) << c.driver;
    EXPECT_EQ(hi, c.hi) << c.driver;
    EXPECT_EQ(graphresult(), grOk);
  }
  for (int bad : {0, 11, -2, INT_MAX}) {
    int lo = 99, hi = 99;
    getmoderange(bad, &lo, &hi);
    EXPECT_EQ(lo, -1);
    EXPECT_EQ(hi, -1);
    EXPECT_EQ(graphresult(), grInvalidDriver) << bad;
  }
  getmoderange(9, nullptr, nullptr);
}

TEST(Modes, ModeNameShowsTheWindowSizeInOneSharedBuffer) {
  open_window(800, 600);
  char* first = getmodename(5);
  EXPECT_STREQ(first, "800*600 VGAHI");
  open_window(64, 48);
  char* second = getmodename(0);
  EXPECT_EQ(first, second);
  EXPECT_STREQ(first, "64*48 VGAHI");
}

TEST(Modes, ModeNameIsCutToItsBuffer) {
  open_window(10, 10);
  WindowData* wd = KEL__GetWindowDataPtr();
  const int width = wd->width, height = wd->height;
  wd->width = INT_MIN;  // as a window far too large would read
  wd->height = INT_MIN;
  char* name = getmodename(0);
  wd->width = width;
  wd->height = height;
  EXPECT_EQ(std::strlen(name), 19u);
  EXPECT_EQ(std::string(name), std::string("-2147483648*-2147483648 VGAHI").substr(0, 19));
}

TEST(Modes, ErrorMessages) {
  EXPECT_STREQ(grapherrormsg(grOk), "No error");
  EXPECT_STREQ(grapherrormsg(grNoInitGraph), "Graphics not installed");
  EXPECT_STREQ(grapherrormsg(grInvalidDriver), "Invalid device driver file");
  EXPECT_STREQ(grapherrormsg(grNoFontMem), "Not enough meory to load font");
  EXPECT_STREQ(grapherrormsg(grError), "Graphics error");
  EXPECT_STREQ(grapherrormsg(grInvalidDeviceNum), "Invalid device number");
  EXPECT_EQ(grapherrormsg(-16), nullptr);
  EXPECT_EQ(grapherrormsg(1), nullptr);
  EXPECT_EQ(grapherrormsg(INT_MIN), nullptr);
  for (int code = 0; code >= -15; --code) EXPECT_NE(grapherrormsg(code), nullptr) << code;
}

TEST(Modes, SetGraphModeResetsAndClearsKeepingTheSize) {
  open_window(120, 90);
  setbkcolor(BLUE);
  setcolor(RED);
  setviewport(10, 10, 50, 50, 1);
  bar(0, 0, 20, 20);
  setgraphmode(3);
  EXPECT_EQ(getmaxx(), 119);
  EXPECT_EQ(getmaxy(), 89);
  EXPECT_EQ(getcolor(), WHITE);
  EXPECT_EQ(getbkcolor(), BLACK);
  for (int y = 0; y < 90; y += 7)
    for (int x = 0; x < 120; x += 7) ASSERT_EQ(getpixel(x, y), BLACK) << x << "," << y;
  EXPECT_EQ(Shown().at(15, 15), 0u) << "the cleared page is shown at once";
}
