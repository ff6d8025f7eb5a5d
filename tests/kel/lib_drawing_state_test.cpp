// The drawing state: colour values, pens built from colour and line style,
// fill brushes, the write mode, the viewport and current position, the size
// queries, the reset of graphdefaults, and the palette.
#include "lib_test_support.h"

using namespace kel_test;

namespace {

class DrawingState : public ::testing::Test {
 protected:
  void SetUp() override {
    open_window(kWidth, kHeight);
    wd_ = KEL__GetWindowDataPtr();
  }
  static const int kWidth = 320;
  static const int kHeight = 240;
  WindowData* wd_ = nullptr;
};

struct PenInfo {
  DWORD style = 0, width = 0;
  COLORREF color = 0;
  std::vector<DWORD> dashes;
};

PenInfo pen_of(HDC dc) {
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  PenInfo info;
  int size = GetObjectA(pen, 0, nullptr);
  if (size <= 0) return info;
  std::vector<unsigned char> buffer(size_t(size) + sizeof(EXTLOGPEN));
  EXTLOGPEN* ext = reinterpret_cast<EXTLOGPEN*>(buffer.data());
  if (GetObjectA(pen, size, ext) <= 0) return info;
  info.style = ext->elpPenStyle;
  info.width = ext->elpWidth;
  info.color = ext->elpColor;
  info.dashes.assign(ext->elpStyleEntry, ext->elpStyleEntry + ext->elpNumEntries);
  return info;
}

std::vector<DWORD> entries(const LinePattern& p) {
  return std::vector<DWORD>(p.entries, p.entries + p.count);
}

// Fill colour where the pattern row's bit is set, else the background.
int expected_pattern_pixel(const unsigned char rows[8], int x, int y, int fill, int background) {
  return (rows[y % 8] >> (7 - x % 8)) & 1 ? fill : background;
}

}  // namespace

// -------------------------------------------------------------- colour model
TEST(ColourModel, StandardIndicesResolveThroughTheTable) {
  open_window(10, 10);  // the table is filled by the window's reset
  EXPECT_EQ(converttorgb(BLACK), 0);
  EXPECT_EQ(converttorgb(RED), 128);
  EXPECT_EQ(converttorgb(LIGHTCYAN), 16777088);
  EXPECT_EQ(converttorgb(YELLOW), 65535);
  EXPECT_EQ(converttorgb(WHITE), 16777215);
  EXPECT_EQ(converttorgb(16), 16) << "values outside 0..15 are explicit colours";
  EXPECT_EQ(converttorgb(-1), 0xFFFFFF);
  EXPECT_EQ(converttorgb(COLOR(5, 0, 0)), 5);
  EXPECT_EQ(getmaxcolor(), 15);
}

TEST(ColourModel, ColorGivesAnIndexForTableColoursAndAFlaggedValueOtherwise) {
  open_window(10, 10);
  EXPECT_EQ(COLOR(128, 128, 0), BROWN);
  EXPECT_EQ(COLOR(255, 255, 255), WHITE);
  EXPECT_EQ(COLOR(0, 0, 0), BLACK);
  EXPECT_EQ(COLOR(128, 128, 1), (128 + 128 * 256 + 65536) | 0x03000000);
  EXPECT_EQ(COLOR(1, 2, 3), (1 + 2 * 256 + 3 * 65536) | 0x03000000);
  EXPECT_EQ(COLOR(300, 0, 0), COLOR(44, 0, 0));
  EXPECT_EQ(COLOR(5, 0, 0), 5 | 0x03000000) << "a very dark red is not index 5";
  EXPECT_EQ(RED_VALUE(LIGHTRED), 255);
  EXPECT_EQ(GREEN_VALUE(LIGHTRED), 128);
  EXPECT_EQ(BLUE_VALUE(LIGHTRED), 128);
  EXPECT_EQ(BLUE_VALUE(COLOR(10, 20, 30)), 30);
}

TEST_F(DrawingState, SetColorKeepsTheValueAndColoursEveryPage) {
  setcolor(COLOR(10, 20, 30));
  EXPECT_EQ(getcolor(), COLOR(10, 20, 30));
  setcolor(RED);
  EXPECT_EQ(getcolor(), RED);
  for (HDC dc : wd_->hDC) {
    EXPECT_EQ(GetTextColor(dc), 128u);
    PenInfo pen = pen_of(dc);
    EXPECT_EQ(pen.style, 0x11100u) << "geometric, solid, square caps, bevel joins";
    EXPECT_EQ(pen.color, 128u);
    EXPECT_EQ(pen.width, 1u);
    EXPECT_EQ(pen.dashes, (std::vector<DWORD>{}));
  }
  HGDIOBJ pens[4];
  for (int i = 0; i < 4; ++i) pens[i] = GetCurrentObject(wd_->hDC[i], OBJ_PEN);
  EXPECT_NE(pens[0], pens[1]) << "every page has a pen of its own";
  EXPECT_NE(pens[2], pens[3]);
}

TEST_F(DrawingState, SetBkColorKeepsTheValueAndSetsEveryPage) {
  setbkcolor(COLOR(1, 2, 3));
  EXPECT_EQ(getbkcolor(), COLOR(1, 2, 3));
  for (HDC dc : wd_->hDC) EXPECT_EQ(GetBkColor(dc), COLORREF(RGB(1, 2, 3)));
}

// ------------------------------------------------------------------- pens
TEST(UserLineStyle, PatternsBecomeDashLists) {
  open_window(10, 10);
  // The system GDI of Windows gets one-pixel dashes with flat caps, as the
  // runs of pixels the square-capped dashes light.
  const std::vector<DWORD> eight_pairs(16, 1);
  std::vector<DWORD> eight_pairs_short = eight_pairs;
  eight_pairs_short.back() = 0;
  const struct {
    unsigned pattern;
    std::vector<DWORD> dashes, pixel_runs;
  } cases[] = {
      {0x00FF, {7, 9}, {8, 8}},
      {0x0F0F, {3, 5, 3, 5}, {4, 4, 4, 4}},
      {0x3333, {1, 3, 1, 3, 1, 3, 1, 3}, {2, 2, 2, 2, 2, 2, 2, 2}},
      {0x01C7, {2, 4, 2, 8}, {3, 3, 3, 7}},
      {0x0001, {0, 16}, {1, 15}},
      {0x7FFF, {14, 2}, {15, 1}},
      {0xFFFF, {15, 0}, {}},
      {0xFF00, {7, 8}, {8, 7}},
      {0xF0F0, {3, 5, 3, 4}, {4, 4, 4, 3}},
      {0x5555, {0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2}, eight_pairs},
      {0xAAAA, {0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 1}, eight_pairs_short},
      {0x0000, {0, 16}, {1, 15}},
      {0x12340000, {0, 16}, {1, 15}},
  };
  for (const auto& c : cases) {
    setlinestyle(USERBIT_LINE, c.pattern, 1);
    EXPECT_EQ(entries(CreateUserStyle()), c.dashes) << std::hex << c.pattern;
    // Every bit set is a solid line, drawn with the solid pen.
    const std::vector<DWORD> pen_dashes =
        c.pattern == 0xFFFF ? std::vector<DWORD>{} : KEL__SystemGdi ? c.pixel_runs : c.dashes;
    EXPECT_EQ(pen_of(KEL__GetWindowDataPtr()->hDC[2]).dashes, pen_dashes) << std::hex << c.pattern;
  }
}

TEST_F(DrawingState, LineStylesChooseDashListAndWidth) {
  setlinestyle(DOTTED_LINE, 0, 3);
  PenInfo pen = pen_of(wd_->hDC[0]);
  EXPECT_EQ(pen.dashes, (std::vector<DWORD>{3, 4}));
  EXPECT_EQ(pen.width, 3u);
  // One pixel wide, the system GDI of Windows gets the runs of pixels lit.
  setlinestyle(CENTER_LINE, 0, 1);
  EXPECT_EQ(pen_of(wd_->hDC[1]).dashes,
            (KEL__SystemGdi ? std::vector<DWORD>{4, 3, 8, 3} : std::vector<DWORD>{3, 4, 7, 4}));
  setlinestyle(DASHED_LINE, 0, 1);
  EXPECT_EQ(pen_of(wd_->hDC[3]).dashes,
            (KEL__SystemGdi ? std::vector<DWORD>{8, 3} : std::vector<DWORD>{7, 4}));
  setlinestyle(USERBIT_LINE, 0x12340F0Fu, 2);
  linesettingstype line;
  getlinesettings(&line);
  EXPECT_EQ(line.linestyle, USERBIT_LINE);
  EXPECT_EQ(line.upattern, 0x12340F0Fu) << "the whole pattern is kept";
  EXPECT_EQ(line.thickness, 2);
  EXPECT_EQ(pen_of(wd_->hDC[0]).dashes, (std::vector<DWORD>{3, 5, 3, 5}));
  EXPECT_EQ(pen_of(wd_->hDC[0]).style, 0x11107u) << "geometric, user dashes";
  setlinestyle(99, 0, 1);  // an unknown style draws solid
  EXPECT_EQ(pen_of(wd_->hDC[0]).dashes, (std::vector<DWORD>{}));
  EXPECT_EQ(pen_of(wd_->hDC[0]).style, 0x11100u);
  setlinestyle(SOLID_LINE, 0, -5);
  EXPECT_EQ(pen_of(wd_->hDC[0]).width, 1u) << "widths below 1 draw one pixel wide";
  getlinesettings(nullptr);
}

TEST_F(DrawingState, WriteModeExclusiveOrAppliesToTheActivePageOnly) {
  setwritemode(1);
  EXPECT_EQ(GetROP2(wd_->hDC[0]), R2_XORPEN);
  EXPECT_EQ(GetROP2(wd_->hDC[1]), R2_COPYPEN);
  setwritemode(2);
  EXPECT_EQ(GetROP2(wd_->hDC[0]), R2_XORPEN) << "unknown modes change nothing";
  setcolor(LIGHTGREEN);
  line(10, 10, 200, 100);
  EXPECT_NE(getpixel(105, 55), BLACK);
  line(10, 10, 200, 100);
  for (int x = 0; x < 220; ++x)
    for (int y = 0; y < 120; ++y) ASSERT_EQ(getpixel(x, y), BLACK) << x << "," << y;
  setwritemode(0);
  EXPECT_EQ(GetROP2(wd_->hDC[0]), R2_COPYPEN);
}

// ---------------------------------------------------------------- brushes
TEST_F(DrawingState, FillStylesOutsideTheRangeSetTheErrorAndChangeNothing) {
  setfillstyle(HATCH_FILL, GREEN);
  HGDIOBJ brush = GetCurrentObject(wd_->hDC[0], OBJ_BRUSH);
  for (int bad : {13, -1, INT_MAX, INT_MIN}) {
    setfillstyle(bad, RED);
    EXPECT_EQ(graphresult(), grError) << bad;
    EXPECT_EQ(graphresult(), grOk) << "reading clears the code";
    fillsettingstype fill;
    getfillsettings(&fill);
    EXPECT_EQ(fill.pattern, HATCH_FILL);
    EXPECT_EQ(fill.color, GREEN);
    EXPECT_EQ(GetCurrentObject(wd_->hDC[0], OBJ_BRUSH), brush);
  }
  setfillstyle(USER_FILL, RED);
  EXPECT_EQ(graphresult(), grOk);
  fillsettingstype fill;
  getfillsettings(&fill);
  EXPECT_EQ(fill.pattern, HATCH_FILL) << "style 12 through setfillstyle changes nothing";
  EXPECT_EQ(GetCurrentObject(wd_->hDC[0], OBJ_BRUSH), brush);
  // The page is still painted normally: the lock was given back on every path.
  putpixel(1, 1, WHITE);
  EXPECT_EQ(Shown().at(1, 1), 0xFFFFFFu);
}

TEST_F(DrawingState, FillStyleKeepsTheColourValueAndTouchesTheActivePageOnly) {
  HGDIOBJ other = GetCurrentObject(wd_->hDC[1], OBJ_BRUSH);
  setfillstyle(SOLID_FILL, RED);
  fillsettingstype fill;
  getfillsettings(&fill);
  EXPECT_EQ(fill.pattern, SOLID_FILL);
  EXPECT_EQ(fill.color, RED);
  EXPECT_EQ(GetCurrentObject(wd_->hDC[1], OBJ_BRUSH), other);
  bar(0, 0, 10, 10);
  EXPECT_EQ(getpixel(5, 5), RED);
  setbkcolor(BLUE);
  setfillstyle(EMPTY_FILL, RED);
  getfillsettings(&fill);
  EXPECT_EQ(fill.pattern, EMPTY_FILL);
  EXPECT_EQ(fill.color, RED);
  bar(0, 0, 10, 10);
  EXPECT_EQ(getpixel(5, 5), BLUE) << "empty fill paints the background colour";
}

TEST_F(DrawingState, BuiltInPatternsShowTheFillColourOnTheBackground) {
  const struct {
    int style;
    unsigned char rows[8];  // pixels of the fill colour
  } patterns[] = {
      {SLASH_FILL, {0xE0, 0xC1, 0x83, 0x07, 0x0E, 0x1C, 0x38, 0x70}},
      {BKSLASH_FILL, {0x07, 0x83, 0xC1, 0xE0, 0x70, 0x38, 0x1C, 0x0E}},
      {INTERLEAVE_FILL, {0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33}},
      {WIDE_DOT_FILL, {0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00}},
      {CLOSE_DOT_FILL, {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00}},
  };
  setbkcolor(BLUE);
  setcolor(WHITE);
  for (const auto& p : patterns) {
    setfillstyle(p.style, YELLOW);
    bar(16, 24, 40, 48);
    for (int y = 24; y < 48; ++y)
      for (int x = 16; x < 40; ++x)
        ASSERT_EQ(getpixel(x, y), expected_pattern_pixel(p.rows, x, y, YELLOW, BLUE))
            << "style " << p.style << " at " << x << "," << y;
    EXPECT_EQ(GetTextColor(wd_->hDC[0]), 0xFFFFFFu) << "the drawing colour is back";
  }
}

TEST_F(DrawingState, HatchStylesDrawThinLinesOfTheFillColour) {
  setbkcolor(BLUE);
  for (int style : {LINE_FILL, LTSLASH_FILL, LTBKSLASH_FILL, HATCH_FILL, XHATCH_FILL}) {
    setfillstyle(style, YELLOW);
    bar(0, 0, 32, 32);
    int yellow = 0, blue = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        int c = getpixel(x, y);
        yellow += c == YELLOW;
        blue += c == BLUE;
      }
    EXPECT_EQ(yellow + blue, 32 * 32) << "style " << style;
    EXPECT_GT(yellow, 32 * 32 / 16) << "style " << style;
    EXPECT_GT(blue, 32 * 32 / 2) << "style " << style;
  }
}

TEST_F(DrawingState, UserPatternFillsAllPagesAndReadsBack) {
  char pattern[8] = {char(0xAA), 0x55, char(0xAA), 0x55, char(0xAA), 0x55, char(0xAA), 0x55};
  setfillpattern(pattern, YELLOW);
  fillsettingstype fill;
  getfillsettings(&fill);
  EXPECT_EQ(fill.pattern, USER_FILL);
  EXPECT_EQ(fill.color, YELLOW);
  char back[8] = {};
  getfillpattern(back);
  EXPECT_EQ(std::string(back, 8), std::string(pattern, 8));
  for (int page = 0; page < 4; ++page) {
    setactivepage(page);
    bar(8, 8, 24, 24);
    for (int y = 8; y < 24; ++y)
      for (int x = 8; x < 24; ++x)
        ASSERT_EQ(getpixel(x, y), ((x + y) % 2 == 0) ? YELLOW : BLACK)
            << "page " << page << " at " << x << "," << y;
  }
  setfillpattern(nullptr, RED);  // ignored
  getfillsettings(&fill);
  EXPECT_EQ(fill.color, YELLOW);
  getfillpattern(nullptr);
}

// --------------------------------------------------------------- viewport
TEST_F(DrawingState, ClippingViewportShiftsAndClipsDrawing) {
  setviewport(100, 50, 300, 200, 1);
  EXPECT_EQ(getx(), 0);
  EXPECT_EQ(gety(), 0);
  viewporttype v;
  getviewsettings(&v);
  EXPECT_EQ(v.left, 100);
  EXPECT_EQ(v.top, 50);
  EXPECT_EQ(v.right, 300);
  EXPECT_EQ(v.bottom, 200);
  EXPECT_EQ(v.clip, 1);
  for (HDC dc : wd_->hDC) {
    POINT origin = {};
    GetViewportOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 100);
    EXPECT_EQ(origin.y, 50);
  }
  putpixel(150, 10, WHITE);
  putpixel(200, 10, WHITE);
  EXPECT_EQ(getpixel(200, 10), -1) << "outside the clip rectangle";
  setviewport(0, 0, kWidth, kHeight, 0);
  EXPECT_EQ(getpixel(250, 60), WHITE);
  EXPECT_EQ(getpixel(300, 60), BLACK);
  setviewport(100, 50, 300, 200, 0);
  putpixel(200, 10, WHITE);
  setviewport(0, 0, kWidth, kHeight, 0);
  EXPECT_EQ(getpixel(300, 60), WHITE);
}

TEST_F(DrawingState, CurrentPositionIsPerPageAndMayBeNegative) {
  moveto(10, 20);
  moverel(-15, 5);
  EXPECT_EQ(getx(), -5);
  EXPECT_EQ(gety(), 25);
  setactivepage(1);
  EXPECT_EQ(getx(), 0);
  moveto(7, 8);
  setactivepage(0);
  EXPECT_EQ(getx(), -5);
  moveto(INT_MAX, INT_MIN);
  moverel(1, -1);  // wraps; no overflow
  EXPECT_EQ(getx(), INT_MIN);
  EXPECT_EQ(gety(), INT_MAX);
}

TEST_F(DrawingState, SizeQueriesDependOnWindowAndScreenOnly) {
  setviewport(10, 10, 50, 50, 1);
  EXPECT_EQ(getmaxx(), kWidth - 1);
  EXPECT_EQ(getmaxy(), kHeight - 1);
  const int fw = GetSystemMetrics(SM_CXFIXEDFRAME), fh = GetSystemMetrics(SM_CYFIXEDFRAME);
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  EXPECT_EQ(getmaxwidth(), GetSystemMetrics(SM_CXSCREEN) - 2 * fw);
  EXPECT_EQ(getmaxheight(), GetSystemMetrics(SM_CYSCREEN) - (caption + 2 * fh));
  EXPECT_EQ(getwindowwidth(), kWidth + 2 * fw);
  EXPECT_EQ(getwindowheight(), kHeight + caption + 2 * fh);
}

// -------------------------------------------------------------- defaults
TEST(Defaults, GraphDefaultsResetsTheWholeDrawingState) {
  open_window(100, 80, true);
  WindowData* wd = KEL__GetWindowDataPtr();
  setviewport(10, 10, 50, 50, 1);
  setcolor(RED);
  setbkcolor(BLUE);
  setfillstyle(HATCH_FILL, GREEN);
  setlinestyle(USERBIT_LINE, 0x0F0F, 3);
  setfillstyle(13, 0);  // error code -11
  setaspectratio(3, 4);
  int xasp = 0, yasp = 0;
  getaspectratio(&xasp, &yasp);
  EXPECT_EQ(xasp, 3);
  EXPECT_EQ(yasp, 4);
  setrefreshingkel(false);
  setactivepage(3);
  setvisualpage(2);
  PostMessageA(current_handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
  ASSERT_TRUE(settle());
  KEL__Colors[3] = 0x123456;
  wd->text = textsettingstype{4, 1, 7, 2, 1};
  wd->text_cp_mode = 1;
  wd->t_scale[2] = 9;

  graphdefaults();

  EXPECT_EQ(KEL__Colors[3].load(), 8421376u);
  viewporttype v;
  getviewsettings(&v);
  EXPECT_EQ(v.left, 0);
  EXPECT_EQ(v.top, 0);
  EXPECT_EQ(v.right, 100);
  EXPECT_EQ(v.bottom, 80);
  EXPECT_EQ(v.clip, 0);
  EXPECT_EQ(getcolor(), WHITE);
  EXPECT_EQ(getbkcolor(), BLACK);
  fillsettingstype fill;
  getfillsettings(&fill);
  EXPECT_EQ(fill.pattern, SOLID_FILL);
  EXPECT_EQ(fill.color, WHITE);
  linesettingstype line;
  getlinesettings(&line);
  EXPECT_EQ(line.linestyle, SOLID_LINE);
  EXPECT_EQ(line.thickness, 1);
  EXPECT_EQ(line.upattern, 0x0F0Fu) << "the user pattern is kept";
  EXPECT_EQ(wd->text.font, 0);
  EXPECT_EQ(wd->text.direction, 0);
  EXPECT_EQ(wd->text.charsize, 1);
  EXPECT_EQ(wd->text.horiz, 0);
  EXPECT_EQ(wd->text.vert, 2);
  EXPECT_EQ(wd->text_cp_mode, 2);
  for (int s : wd->t_scale) EXPECT_EQ(s, 1);
  EXPECT_EQ(graphresult(), grOk);
  getaspectratio(&xasp, &yasp);
  EXPECT_EQ(xasp, 10000);
  EXPECT_EQ(yasp, 10000);
  EXPECT_EQ(mousex(), 0);
  EXPECT_EQ(mousey(), 0);
  EXPECT_TRUE(getrefreshingkel());
  EXPECT_EQ(getactivepage(), 1) << "dbflag: drawing on page 1";
  EXPECT_EQ(getvisualpage(), 0);
  for (HDC dc : wd->hDC) {
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(WHITE_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetTextColor(dc), 0xFFFFFFu);
    EXPECT_EQ(GetBkColor(dc), 0u);
    POINT origin = {1, 1};
    GetViewportOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 0);
    RECT clip;
    EXPECT_NE(GetClipBox(dc, &clip), ERROR);
    EXPECT_EQ(clip.right, 100) << "no clipping";
  }
}

// ---------------------------------------------------------------- palette
TEST(Palette, TheDefaultPaletteIsFixed) {
  palettetype* p = getdefaultpalette();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p, getdefaultpalette());
  EXPECT_EQ(p->size, 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(p->colors[i], i);
  EXPECT_EQ(getpalettesize(), 16);
  palettetype mine;
  std::memset(&mine, 0x5A, sizeof(mine));
  getpalette(&mine);
  EXPECT_EQ(mine.size, 0x5A) << "getpalette leaves the record alone";
}

TEST(Palette, SettersChangeNoColour) {
  open_window(10, 10);
  putpixel(1, 1, BLUE);
  setpalette(BLUE, RED);
  setrgbpalette(BLUE, 255, 0, 0);
  palettetype reds;
  reds.size = 16;
  for (int i = 0; i < 16; ++i) reds.colors[i] = RED;
  setallpalette(&reds);
  EXPECT_EQ(getpixel(1, 1), BLUE);
  putpixel(2, 2, BLUE);
  EXPECT_EQ(getpixel(2, 2), BLUE);
  EXPECT_EQ(converttorgb(BLUE), 8388608);
}
