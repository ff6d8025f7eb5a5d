// Font 0 at the character sizes 1 to 10: the 8 x 8 console font, every
// glyph pixel a square of `scale` x `scale` device pixels. The library draws
// it itself, as one monochrome bitmap blitted onto the page, so every GDI
// gives the same crisp pixels (a system asked for a "Console" face picks a
// face of its own, smoothed and with other widths).
//
// The layout is that of TextOutA: along a baseline turned by whole quarter
// turns, the alignment flags put the reference point (or the current
// position, which then moves on by the text's width) at the left end,
// centre or right end of the text and at the top of the cells (7 glyph
// rows above the baseline), the baseline or the bottom (1 row below). The
// cells are painted in the background colour, as the pages' contexts draw
// text opaquely.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "console_glyph_table.h"
#include "console_text.h"

namespace {

constexpr long long kCell = 8;   // glyph pixels across and down
constexpr long long kAbove = 7;  // glyph rows above the baseline

int saturate(long long v) { return int(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

// A pixel of the turned text as (along, down): along the baseline from the
// first character's pen position, and down across it from the baseline.
struct TextPixel {
  long long along, down;
};

// The device offsets of the quarter turns: the pixel (along, down) of the
// text lies at the pen position plus offset(along, down), so that the cells
// turn about the pen position as whole pixels.
struct QuarterTurn {
  int turns;
  explicit QuarterTurn(int direction) : turns(((direction % 4) + 4) % 4) {}
  // One step along the baseline, in device x and y.
  long long along_x() const { return turns == 0 ? 1 : turns == 2 ? -1 : 0; }
  long long along_y() const { return turns == 1 ? -1 : turns == 3 ? 1 : 0; }
  // The text pixel at device offset (x, y) from the pen position.
  TextPixel at(long long x, long long y) const {
    switch (turns) {
      case 1: return {-y - 1, x};
      case 2: return {-x - 1, -y - 1};
      case 3: return {y, -x - 1};
      default: return {x, y};
    }
  }
  // The device offset of the text pixel (along, down).
  void offset(long long along, long long down, long long& x, long long& y) const {
    switch (turns) {
      case 1: x = down, y = -along - 1; break;
      case 2: x = -along - 1, y = -down - 1; break;
      case 3: x = -down - 1, y = along; break;
      default: x = along, y = down;
    }
  }
};

// Whether the text pixel is ink: inside a cell and on a glyph bit.
bool ink(const unsigned char* text, long long length, int scale, TextPixel p) {
  const long long cell = kCell * scale, top = -kAbove * scale;
  if (p.along < 0 || p.along >= cell * length || p.down < top || p.down >= top + cell) return false;
  const uint8_t row = kelplat::gdi::text::kConsoleGlyphs[text[p.along / cell]][(p.down - top) / scale];
  return (row >> (7 - p.along % cell / scale)) & 1;
}

// A rectangle of the page, inclusive, in logical coordinates.
struct Area {
  long long left, top, right, bottom;
  bool empty() const { return left > right || top > bottom; }
};

// The cells of `width` pixels along the baseline from the pen position, as
// a device box.
Area cells_box(const QuarterTurn& turn, long long pen_x, long long pen_y, long long width,
               int scale) {
  long long x1, y1, x2, y2;
  turn.offset(0, -kAbove * scale, x1, y1);
  turn.offset(width - 1, scale - 1, x2, y2);
  return Area{pen_x + std::min(x1, x2), pen_y + std::min(y1, y2), pen_x + std::max(x1, x2),
              pen_y + std::max(y1, y2)};
}

// Blits `area` of the text onto the page: a monochrome bitmap whose 0 bits
// (ink) take the text colour and whose 1 bits take the background colour.
void blit_cells(HDC dc, const Area& area, const QuarterTurn& turn, long long pen_x,
                long long pen_y, const unsigned char* text, long long length, int scale) {
  const int columns = int(area.right - area.left + 1), rows = int(area.bottom - area.top + 1);
  const size_t pitch = size_t((columns + 15) / 16) * 2;  // rows of whole 16-bit words
  std::vector<unsigned char> bits(pitch * size_t(rows), 0xFF);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      const TextPixel p = turn.at(area.left + c - pen_x, area.top + r - pen_y);
      if (ink(text, length, scale, p)) bits[size_t(r) * pitch + size_t(c / 8)] &= ~(0x80 >> (c % 8));
    }
  HBITMAP bitmap = CreateBitmap(columns, rows, 1, 1, bits.data());
  HDC source = CreateCompatibleDC(dc);
  if (bitmap && source) {
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(dc, int(area.left), int(area.top), columns, rows, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
  }
  if (source) DeleteDC(source);
  if (bitmap) DeleteObject(bitmap);
}

}  // namespace

SIZE ConsoleTextExtent(int scale, int length) {
  return SIZE{saturate(kCell * scale * length), LONG(kCell * scale)};
}

void ConsoleTextOut(HDC dc, const kel_clip::Bounds& page, int scale, int direction, int x, int y,
                    const char* text, int length) {
  const UINT align = GetTextAlign(dc);
  POINT ref = {x, y};
  if (align & TA_UPDATECP) GetCurrentPositionEx(dc, &ref);
  const QuarterTurn turn(direction);
  const long long ax = turn.along_x(), ay = turn.along_y(), dx = -ay, dy = ax;
  const long long width = kCell * scale * length;
  // How far the pen starts back along the baseline and down across it.
  const bool centre = (align & TA_CENTER) == TA_CENTER, right = !centre && (align & TA_RIGHT);
  const long long back = centre ? width / 2 : right ? width : 0;
  const long long down = (align & TA_BASELINE) == TA_BASELINE ? 0
                         : (align & TA_BOTTOM)               ? -scale
                                                             : kAbove * scale;
  const long long pen_x = ref.x - back * ax + down * dx, pen_y = ref.y - back * ay + down * dy;

  const Area box = cells_box(turn, pen_x, pen_y, width, scale);
  const Area shown{std::max(box.left, page.left), std::max(box.top, page.top),
                   std::min(box.right, page.right), std::min(box.bottom, page.bottom)};
  if (length > 0 && !shown.empty())
    blit_cells(dc, shown, turn, pen_x, pen_y, reinterpret_cast<const unsigned char*>(text), length,
               scale);
  if (align & TA_UPDATECP) {
    // Past the text for left alignment, back by its width for right, unmoved when centred.
    const long long step = centre ? 0 : right ? -width : width;
    MoveToEx(dc, saturate(ref.x + step * ax), saturate(ref.y + step * ay), nullptr);
  }
}
