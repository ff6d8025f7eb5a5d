// Inks and span painting.
#include "raster_canvas.h"

#include <algorithm>
#include <cstring>

#include "platform.h"

namespace kelplat::gdi::raster {
namespace {

constexpr uint32_t kColorBits = 0xFFFFFF;

uint32_t all_or_none(int bit) { return bit ? kColorBits : 0; }

// Copies the 8-pixel pattern row `cells` onto [x0, x1) of a row, keeping the
// device alignment (cell x & 7): the first 16 pixels one by one, then the
// filled part is copied onto the rest in doubling blocks (a multiple of 8
// pixels, so the alignment holds), which runs at memset speed.
void copy_pattern_row(uint32_t* row, int32_t x0, int32_t x1, const uint32_t cells[8]) {
  uint32_t* out = row + x0;
  const size_t count = size_t(x1 - x0);
  size_t done = std::min<size_t>(count, 16);
  for (size_t i = 0; i < done; i++) out[i] = cells[(size_t(x0) + i) & 7];
  while (done < count) {
    size_t block = std::min(done, count - done);
    std::memcpy(out + done, out, block * sizeof(uint32_t));
    done += block;
  }
}

}  // namespace

Mix mix_of(int rop2, uint32_t source) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) rop2 = R2_COPYPEN;
  // Truth table of the mode: bit (2 * pen + dest) is the result bit.
  int table = rop2 - 1;
  auto bit = [table](int i) { return (table >> i) & 1; };
  uint32_t pen = source & kColorBits;
  uint32_t on_zero_dest_pen1 = all_or_none(bit(2)), on_zero_dest_pen0 = all_or_none(bit(0));
  uint32_t flip_pen1 = all_or_none(bit(2) ^ bit(3)), flip_pen0 = all_or_none(bit(0) ^ bit(1));
  Mix mix;
  mix.xor_mask = ((pen & on_zero_dest_pen1) | (~pen & on_zero_dest_pen0)) & kColorBits;
  mix.and_mask = ((pen & flip_pen1) | (~pen & flip_pen0)) & kColorBits;
  return mix;
}

Ink Ink::solid(Mix mix) {
  Ink ink;
  std::fill(std::begin(ink.cell), std::end(ink.cell), mix);
  ink.uniform = true;
  return ink;
}

bool hatch_covers(int hatch, int32_t x, int32_t y) {
  int cx = x & 7, cy = y & 7;
  switch (hatch) {
    case HS_HORIZONTAL: return cy == 0;
    case HS_VERTICAL: return cx == 0;
    case HS_FDIAGONAL: return cx == cy;              // "\": falls to the right
    case HS_BDIAGONAL: return ((cx + cy) & 7) == 7;  // "/": rises to the right
    case HS_CROSS: return cx == 0 || cy == 0;
    case HS_DIAGCROSS: return cx == cy || ((cx + cy) & 7) == 7;
    default: return false;
  }
}

Ink brush_ink(const BrushPattern& brush, int rop2, uint32_t fore, uint32_t back, bool opaque) {
  Ink ink;
  switch (brush.kind) {
    case BrushPattern::kNone: return Ink::solid(kLeaveAlone);
    case BrushPattern::kSolid: return Ink::solid(mix_of(rop2, brush.color));
    case BrushPattern::kHatch: {
      Mix line = mix_of(rop2, brush.color);
      Mix gap = opaque ? mix_of(rop2, back) : kLeaveAlone;
      for (int i = 0; i < 64; i++) ink.cell[i] = hatch_covers(brush.hatch, i & 7, i >> 3) ? line : gap;
      break;
    }
    case BrushPattern::kMono: {
      Mix zero = mix_of(rop2, fore), one = mix_of(rop2, back);
      for (int i = 0; i < 64; i++) ink.cell[i] = (brush.mono[i >> 3] >> (7 - (i & 7))) & 1 ? one : zero;
      break;
    }
    case BrushPattern::kColor:
      for (int i = 0; i < 64; i++) ink.cell[i] = mix_of(rop2, brush.pattern[i]);
      break;
  }
  ink.uniform = std::all_of(std::begin(ink.cell), std::end(ink.cell),
                            [&](const Mix& m) { return m == ink.cell[0]; });
  return ink;
}

void paint_span(const Canvas& canvas, int32_t y, int32_t x0, int32_t x1, const Ink& ink) {
  if (x0 >= x1) return;
  uint32_t* row = canvas.row(y);
  if (ink.uniform) {
    const Mix m = ink.cell[0];
    if (m.and_mask == 0) {
      const uint32_t colors[8] = {m.xor_mask, m.xor_mask, m.xor_mask, m.xor_mask,
                                  m.xor_mask, m.xor_mask, m.xor_mask, m.xor_mask};
      copy_pattern_row(row, x0, x1, colors);
    } else if (!(m == kLeaveAlone)) {
      for (int32_t x = x0; x < x1; x++) row[x] = (row[x] & m.and_mask) ^ m.xor_mask;
    }
    return;
  }
  const Mix* cells = ink.cell + (y & 7) * 8;
  bool copies = std::all_of(cells, cells + 8, [](const Mix& m) { return m.and_mask == 0; });
  if (copies) {
    uint32_t colors[8];
    for (int i = 0; i < 8; i++) colors[i] = cells[i].xor_mask;
    copy_pattern_row(row, x0, x1, colors);
    return;
  }
  for (int32_t x = x0; x < x1; x++) {
    const Mix& m = cells[x & 7];
    row[x] = (row[x] & m.and_mask) ^ m.xor_mask;
  }
}

void paint_spans(const Canvas& canvas, const std::vector<Span>& spans, const Ink& ink) {
  if (ink.leaves_alone()) return;
  for (const Span& s : spans) paint_span(canvas, s.y, s.x0, s.x1, ink);
}

}  // namespace kelplat::gdi::raster
