#include "console_glyphs.h"

#include <algorithm>
#include <strings.h>
#include <vector>

#include "text_font.h"

namespace kelplat::gdi::text {
namespace {

constexpr int kCell = 8;      // glyph pixels across and down
constexpr int kAbove = 7;     // glyph rows above the baseline
constexpr char kFaceName[] = "Console";

// Device offsets of one step along the baseline and one step down across it.
struct Turn {
  int along_x, along_y, down_x, down_y;
  explicit Turn(int quarter_turns) {
    static constexpr int kAlong[4][2] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    const int q = ((quarter_turns % 4) + 4) % 4;
    along_x = kAlong[q][0];
    along_y = kAlong[q][1];
    down_x = -along_y;
    down_y = along_x;
  }
  // The device pixel of the glyph pixel whose top-left corner is (x, y)
  // from the pen position (x along, y down).
  void place(int x, int y, int& px, int& py) const {
    const int cx = 2 * x + 1, cy = 2 * y + 1;  // doubled centre
    px = floor_half(cx * along_x + cy * down_x);
    py = floor_half(cx * along_y + cy * down_y);
  }
  static int floor_half(int doubled) { return doubled >= 0 ? doubled / 2 : -((1 - doubled) / 2); }
};

}  // namespace

ConsoleScale console_scale(const LOGFONTA& logfont) {
  const int height = logfont.lfHeight, width = logfont.lfWidth ? logfont.lfWidth : height;
  if (strcasecmp(logfont.lfFaceName, kFaceName) != 0) return {};
  if (height <= 0 || height % kCell || width <= 0 || width % kCell) return {};
  if (logfont.lfEscapement % 900 != 0) return {};
  return ConsoleScale{width / kCell, height / kCell};
}

void console_glyph(unsigned char byte, ConsoleScale scale, int quarter_turns, Glyph& glyph) {
  glyph.advance = kCell * scale.x;
  const int width = kCell * scale.x, height = kCell * scale.y, top = -kAbove * scale.y;
  const Turn turn(quarter_turns);
  // The turned cell's box, from its corners.
  int left = 0, up = 0, right = 0, bottom = 0;
  bool first = true;
  for (int x : {0, width - 1})
    for (int y : {top, top + height - 1}) {
      int px, py;
      turn.place(x, y, px, py);
      left = first ? px : std::min(left, px);
      right = first ? px + 1 : std::max(right, px + 1);
      up = first ? py : std::min(up, py);
      bottom = first ? py + 1 : std::max(bottom, py + 1);
      first = false;
    }
  const int columns = right - left, rows = bottom - up, pitch = (columns + 7) / 8;
  std::vector<unsigned char> bits(size_t(pitch) * size_t(rows));
  const uint8_t* source = kConsoleGlyphs[byte];
  for (int y = 0; y < height; ++y) {
    const uint8_t row = source[y / scale.y];
    for (int x = 0; x < width; ++x) {
      if (!((row >> (7 - x / scale.x)) & 1)) continue;
      int px, py;
      turn.place(x, top + y, px, py);
      px -= left;
      py -= up;
      bits[size_t(py) * size_t(pitch) + size_t(px / 8)] |= uint8_t(0x80 >> (px % 8));
    }
  }
  FT_Bitmap bitmap{};
  bitmap.rows = unsigned(rows);
  bitmap.width = unsigned(columns);
  bitmap.pitch = pitch;
  bitmap.buffer = bits.data();
  bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
  collect_spans(bitmap, left, up, glyph);
}

}  // namespace kelplat::gdi::text
