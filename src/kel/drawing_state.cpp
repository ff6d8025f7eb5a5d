// The drawing state of the current window: colour values, the drawing and
// background colours, the pen (line style, pattern, thickness), the fill
// brush, the write mode, the viewport, the current position and the sizes.
//
// Settings that the platform keeps per device context are applied to all
// four pages under the page mutex; the record's fields are written under it
// too, so that drawing from several threads never sees them half-changed.
#include <algorithm>
#include <climits>

#include "kel_internal.h"

// ----------------------------------------------------------------- colours
std::atomic<unsigned> KEL__Colors[16];

int converttorgb(int color) {
  if (color >= 0 && color < 16)
    return static_cast<int>(KEL__Colors[color].load(std::memory_order_relaxed));
  return color & 0xFFFFFF;
}

int KEL__ColorValueOf(COLORREF rgb) {
  for (int i = 0; i < 16; ++i)
    if (KEL__Colors[i].load(std::memory_order_relaxed) == rgb) return i;
  return static_cast<int>(rgb | 0x03000000u);
}

int COLOR(int r, int g, int b) { return KEL__ColorValueOf(RGB(r & 0xFF, g & 0xFF, b & 0xFF)); }

void setbkcolor(int color) {
  WindowData* wd = KEL__GetWindowDataPtr();
  PageLock lock(wd);
  wd->bk_color = color;
  COLORREF rgb = converttorgb(color);
  for (HDC dc : wd->hDC) SetBkColor(dc, rgb);
}

int getbkcolor(void) {
  return KEL__ReadState([](const WindowData& wd) { return wd.bk_color; });
}

int getmaxcolor(void) { return WHITE; }

void setcolor(int color) {
  WindowData* wd = KEL__GetWindowDataPtr();
  {
    PageLock lock(wd);
    wd->drawing_color = color;
    COLORREF rgb = converttorgb(color);
    for (HDC dc : wd->hDC) SetTextColor(dc, rgb);
  }
  CreateNewPen();
}

int getcolor(void) {
  return KEL__ReadState([](const WindowData& wd) { return wd.drawing_color; });
}

// -------------------------------------------------------------------- pens
namespace {

const LinePattern kDotted = {2, {3, 4}};
const LinePattern kCenter = {4, {3, 4, 7, 4}};
const LinePattern kDashed = {2, {7, 4}};

// Length of the run of `bit` values at the bottom of *p, shifted out of it.
int take_run(unsigned* p, unsigned bit) {
  int length = 0;
  while (length < 16 && (*p & 1u) == bit) {
    *p >>= 1;
    ++length;
  }
  return length;
}

// Turns a 16-bit pattern (bit 0 first) into dash and gap lengths: a run of
// 1 bits is a dash entered as its length - 1, a run of 0 bits a gap entered
// as its length + 1; 0 bits below the first dash close the cycle.
LinePattern user_dashes(unsigned pattern) {
  LinePattern dashes = {0, {}};
  unsigned p = pattern & 0xFFFF;
  if (p == 0) return LinePattern{2, {0, 16}};
  int n = 0, consumed = 0, lead = 0;
  if ((p & 1u) == 0) {
    lead = take_run(&p, 0);
    consumed += lead;
  }
  for (;;) {
    int dash = take_run(&p, 1);
    dashes.entries[n++] = dash - 1;
    consumed += dash;
    if (p == 0) {
      if (consumed != 16) dashes.entries[n++] = (16 - consumed) + 1;
      break;
    }
    int gap = take_run(&p, 0);
    dashes.entries[n++] = gap + 1;
    consumed += gap;
  }
  if (lead > 0 && n % 2 == 0)
    dashes.entries[n - 1] += lead;
  else if (lead > 0)
    dashes.entries[n++] = lead;
  else if (n % 2 == 1)
    dashes.entries[n++] = 0;
  dashes.count = n;
  return dashes;
}

// Square caps on every dash, which the portable platform draws, make a dash
// entry of n light n + 1 pixels one pixel wide and a gap of n leave n - 1;
// some GDIs leave the caps of one-pixel-wide dashes out. On Windows such
// dashes go with flat caps and the lengths they light, which every GDI
// draws alike.
//
// The dash list with flat caps that lights what `dashes` lights with square
// caps: each dash one longer, each gap one shorter (a gap of none takes the
// pixel from the dash before it).
LinePattern flat_dashes(LinePattern dashes) {
  for (int i = 1; i < dashes.count; i += 2) {
    dashes.entries[i - 1] += 1;
    if (dashes.entries[i] > 0)
      dashes.entries[i] -= 1;
    else
      dashes.entries[i - 1] -= 1;
  }
  return dashes;
}

}  // namespace

// Styles outside 0..4 and a user pattern with every bit set are solid.
LinePattern PenDashes(const linesettingstype& line) {
  switch (line.linestyle) {
    case DOTTED_LINE:
      return kDotted;
    case CENTER_LINE:
      return kCenter;
    case DASHED_LINE:
      return kDashed;
    case USERBIT_LINE:
      if ((line.upattern & 0xFFFF) != 0xFFFF) return user_dashes(line.upattern);
      return LinePattern{0, {}};
    default:
      return LinePattern{0, {}};
  }
}

LinePattern PenPixelRuns(const linesettingstype& line) {
  const LinePattern dashes = PenDashes(line);
  return dashes.count > 0 ? flat_dashes(dashes) : dashes;
}

LinePattern CreateUserStyle() {
  return user_dashes(KEL__ReadState([](const WindowData& wd) { return wd.line.upattern; }));
}

int PenWidth(const WindowData* wd) {
  const int widest = KEL__SystemGdi ? std::max(2 * (wd->width + wd->height), 1) : INT_MAX;
  return std::clamp(wd->line.thickness, 1, widest);
}

void CreateNewPen() {
  WindowData* wd = KEL__GetWindowDataPtr();
  PageLock lock(wd);
  LOGBRUSH brush = {BS_SOLID, static_cast<COLORREF>(converttorgb(wd->drawing_color)), 0};
  LinePattern dashes = PenDashes(wd->line);
  // Solid styles take a plain solid pen: a dash list of one long dash is
  // drawn by some GDIs with a gap at each of its ends.
  const bool flat = KEL__SystemGdi && dashes.count > 0 && wd->line.thickness <= 1;
  if (flat) dashes = PenPixelRuns(wd->line);
  const DWORD style = PS_GEOMETRIC | (flat ? PS_ENDCAP_FLAT : PS_ENDCAP_SQUARE) | PS_JOIN_BEVEL |
                      (dashes.count > 0 ? PS_USERSTYLE : PS_SOLID);
  for (HDC dc : wd->hDC) {
    HPEN pen = ExtCreatePen(style, static_cast<DWORD>(PenWidth(wd)), &brush,
                            static_cast<DWORD>(dashes.count),
                            dashes.count > 0 ? dashes.entries : nullptr);
    // A pen that cannot be made leaves the old one in place.
    if (pen) DeleteObject(SelectObject(dc, pen));
  }
}

void setlinestyle(int linestyle, unsigned upattern, int thickness) {
  WindowData* wd = KEL__GetWindowDataPtr();
  {
    PageLock lock(wd);
    wd->line.linestyle = linestyle;
    wd->line.upattern = upattern;
    wd->line.thickness = thickness;
  }
  CreateNewPen();
}

void getlinesettings(linesettingstype* lineinfo) {
  linesettingstype line = KEL__ReadState([](const WindowData& wd) { return wd.line; });
  if (lineinfo) *lineinfo = line;
}

// ----------------------------------------------------------------- brushes
namespace {

// The built-in 8 x 8 patterns of fill styles 2..11, one byte per row from
// the top, bit 7 the leftmost pixel; 0 bits show the fill colour, 1 bits the
// background. The hatches are patterns too, so that their lines fall on the
// same rows and columns on every GDI.
const unsigned char kPatternRows[10][8] = {
    {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // lines
    {0xFE, 0xFD, 0xFB, 0xF7, 0xEF, 0xDF, 0xBF, 0x7F},  // thin lines rising
    {0x1F, 0x3E, 0x7C, 0xF8, 0xF1, 0xE3, 0xC7, 0x8F},  // thick lines rising
    {0xF8, 0x7C, 0x3E, 0x1F, 0x8F, 0xC7, 0xE3, 0xF1},  // thick lines falling
    {0x7F, 0xBF, 0xDF, 0xEF, 0xF7, 0xFB, 0xFD, 0xFE},  // thin lines falling
    {0x00, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F},  // grid
    {0x7E, 0xBD, 0xDB, 0xE7, 0xE7, 0xDB, 0xBD, 0x7E},  // diagonal grid
    {0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC},  // interleaved pairs
    {0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF},  // sparse dots
    {0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF},  // closer dots
};

// A one-plane 8 x 8 bitmap; rows are padded to 16 bits with `pad`.
HBITMAP pattern_bitmap(const unsigned char rows[8], unsigned char pad) {
  unsigned char bits[16];
  for (int i = 0; i < 8; ++i) {
    bits[2 * i] = rows[i];
    bits[2 * i + 1] = pad;
  }
  return CreateBitmap(8, 8, 1, 1, bits);
}

HBRUSH pattern_brush(const unsigned char rows[8], unsigned char pad) {
  HBITMAP bitmap = pattern_bitmap(rows, pad);
  HBRUSH brush = CreatePatternBrush(bitmap);
  DeleteObject(bitmap);
  return brush;
}

// The brush of fill style 0..11; c is the fill colour as platform RGB.
HBRUSH fill_brush(int style, COLORREF c, COLORREF background) {
  if (style == EMPTY_FILL) return CreateSolidBrush(background);
  if (style == SOLID_FILL) return CreateSolidBrush(c);
  return pattern_brush(kPatternRows[style - LINE_FILL], 0xFF);
}

}  // namespace

// Style 12 is made only by setfillpattern; styles outside 0..12 set the
// error code and change nothing.
void setfillstyle(int pattern, int color) {
  HeldPage page;
  WindowData* wd = page.wd();
  COLORREF c = converttorgb(color);
  if (pattern < EMPTY_FILL || pattern > USER_FILL) wd->error_code = grError;
  if (pattern >= EMPTY_FILL && pattern < USER_FILL) {
    HBRUSH brush = fill_brush(pattern, c, converttorgb(wd->bk_color));
    wd->fill.pattern = pattern;
    wd->fill.color = color;
    DeleteObject(SelectObject(page.dc(), brush));
  }
}

void getfillsettings(fillsettingstype* fillinfo) {
  fillsettingstype fill = KEL__ReadState([](const WindowData& wd) { return wd.fill; });
  if (fillinfo) *fillinfo = fill;
}

// The caller's 1 bits show the fill colour: the bitmap holds their
// complement. A null pattern is ignored.
void setfillpattern(char* upattern, int color) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (!upattern) return;
  unsigned char rows[8];
  PageLock lock(wd);
  for (int i = 0; i < 8; ++i) {
    wd->uPattern[i] = upattern[i];
    rows[i] = static_cast<unsigned char>(~upattern[i]);
  }
  wd->fill.pattern = USER_FILL;
  wd->fill.color = color;
  HBITMAP bitmap = pattern_bitmap(rows, 0);
  for (HDC dc : wd->hDC) DeleteObject(SelectObject(dc, CreatePatternBrush(bitmap)));
  DeleteObject(bitmap);
}

void getfillpattern(char* pattern) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (!pattern) return;
  PageLock lock(wd);
  for (int i = 0; i < 8; ++i) pattern[i] = wd->uPattern[i];
}

void setwritemode(int mode) {
  HeldPage page;
  if (mode == 0) SetROP2(page.dc(), R2_COPYPEN);
  if (mode == 1) SetROP2(page.dc(), R2_XORPEN);
}

// --------------------------------------------------------------- viewport
void setviewport(int left, int top, int right, int bottom, int clip) {
  WindowData* wd = KEL__GetWindowDataPtr();
  HRGN region = clip ? CreateRectRgn(left, top, right, bottom) : nullptr;
  {
    PageLock lock(wd);
    wd->viewport = viewporttype{left, top, right, bottom, clip};
    for (HDC dc : wd->hDC) {
      SelectClipRgn(dc, region);
      SetViewportOrgEx(dc, left, top, nullptr);
      MoveToEx(dc, 0, 0, nullptr);
    }
  }
  if (region) DeleteObject(region);
}

void getviewsettings(viewporttype* viewport) {
  viewporttype current = KEL__ReadState([](const WindowData& wd) { return wd.viewport; });
  if (viewport) *viewport = current;
}

void moveto(int x, int y) {
  HeldPage page;
  MoveToEx(page.dc(), x, y, nullptr);
}

// The position wraps around at the ends of the int range.
void moverel(int dx, int dy) {
  HeldPage page;
  POINT p = {0, 0};
  GetCurrentPositionEx(page.dc(), &p);
  MoveToEx(page.dc(), static_cast<int>(static_cast<unsigned>(p.x) + static_cast<unsigned>(dx)),
           static_cast<int>(static_cast<unsigned>(p.y) + static_cast<unsigned>(dy)), nullptr);
}

namespace {

POINT current_position() {
  HeldPage page;
  POINT p = {0, 0};
  GetCurrentPositionEx(page.dc(), &p);
  return p;
}

}  // namespace

int getx(void) { return current_position().x; }
int gety(void) { return current_position().y; }

// ------------------------------------------------------------------ sizes
namespace {

int frame_width() { return GetSystemMetrics(SM_CXFIXEDFRAME); }
int frame_height() { return GetSystemMetrics(SM_CYFIXEDFRAME); }
int caption_height() { return GetSystemMetrics(SM_CYCAPTION); }

}  // namespace

int getmaxx(void) { return KEL__GetWindowDataPtr()->width - 1; }
int getmaxy(void) { return KEL__GetWindowDataPtr()->height - 1; }

int getmaxwidth(void) { return GetSystemMetrics(SM_CXSCREEN) - 2 * frame_width(); }

int getmaxheight(void) {
  return GetSystemMetrics(SM_CYSCREEN) - (caption_height() + 2 * frame_height());
}

int getwindowwidth(void) { return KEL__GetWindowDataPtr()->width + 2 * frame_width(); }

int getwindowheight(void) {
  return KEL__GetWindowDataPtr()->height + caption_height() + 2 * frame_height();
}
