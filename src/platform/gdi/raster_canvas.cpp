// Inks and span painting.
#include "raster_canvas.h"

#include <algorithm>
#include <iterator>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "platform.h"

namespace kelplat::gdi::raster {
namespace {

constexpr uint32_t kColorBits = 0xFFFFFF;

uint32_t all_or_none(int bit) { return bit ? kColorBits : 0; }

// ---- row writers: they only store, never read what they write.
// Each writes `count` pixels from `out` with the 8-pixel pattern `cells`,
// where out[0] takes cells[phase] and the pattern repeats every 8 pixels.
// Each filler writes `count` pixels of one colour.
using RowWriter = void (*)(uint32_t* out, size_t count, const uint32_t cells[8], size_t phase);
using RowFiller = void (*)(uint32_t* out, size_t count, uint32_t color);
struct RowWriters {
  RowWriter pattern;
  RowFiller solid;
};

// The pattern turned so that lane i holds the cell of out[i].
void turn(const uint32_t cells[8], size_t phase, uint32_t lanes[8]) {
  for (size_t i = 0; i < 8; i++) lanes[i] = cells[(phase + i) & 7];
}

#if defined(__x86_64__) || (defined(__i386__) && defined(__SSE2__))
// A row of at least 8 pixels as whole vector stores of `Lanes` pixels: one
// unaligned store at each end, aligned stores between them. The end stores
// overlap the aligned ones with the same values, since a pixel's colour
// follows its position. Inlined into writers built for each instruction set.
template <size_t Lanes>
__attribute__((always_inline)) inline void write_vectors(uint32_t* out, size_t count,
                                                         const uint32_t cells[8], size_t phase) {
  typedef uint32_t Vector __attribute__((vector_size(Lanes * 4)));
  constexpr size_t kBytes = Lanes * 4;
  uint32_t lanes[8];
  Vector a, b;
  turn(cells, phase, lanes);
  __builtin_memcpy(out, lanes, kBytes);
  turn(cells, phase + count - Lanes, lanes);
  __builtin_memcpy(out + count - Lanes, lanes, kBytes);
  size_t i = (kBytes - (reinterpret_cast<uintptr_t>(out) & (kBytes - 1))) / 4 % Lanes;
  turn(cells, phase + i, lanes);
  __builtin_memcpy(&a, lanes, kBytes);
  __builtin_memcpy(&b, lanes + 8 - Lanes, kBytes);
  for (; i + 2 * Lanes <= count; i += 2 * Lanes) {
    *reinterpret_cast<Vector*>(out + i) = a;
    *reinterpret_cast<Vector*>(out + i + Lanes) = b;
  }
  if (i + Lanes <= count) *reinterpret_cast<Vector*>(out + i) = a;
}

// One colour from 8 pixels on: whole vector stores as above, the colour
// broadcast in a register.
template <size_t Lanes>
__attribute__((always_inline)) inline void fill_vectors(uint32_t* out, size_t count, uint32_t color) {
  typedef uint32_t Vector __attribute__((vector_size(Lanes * 4)));
  constexpr size_t kBytes = Lanes * 4;
  const Vector v = Vector{} + color;
  __builtin_memcpy(out, &v, kBytes);
  __builtin_memcpy(out + count - Lanes, &v, kBytes);
  size_t i = (kBytes - (reinterpret_cast<uintptr_t>(out) & (kBytes - 1))) / 4 % Lanes;
  for (; i + 2 * Lanes <= count; i += 2 * Lanes) {
    *reinterpret_cast<Vector*>(out + i) = v;
    *reinterpret_cast<Vector*>(out + i + Lanes) = v;
  }
  if (i + Lanes <= count) *reinterpret_cast<Vector*>(out + i) = v;
}

// A run of many whole rows (a box as wide as the page) as one string store,
// which the processor turns into whole cache-line writes without reading
// the lines first: faster than vector stores once the run is this long.
constexpr size_t kStringStoreMin = size_t(1) << 16;
bool string_store(uint32_t* out, size_t count, uint32_t color) {
  if (count < kStringStoreMin) return false;
  asm volatile("rep stosl" : "+D"(out), "+c"(count) : "a"(color) : "memory");
  return true;
}

void write_short(uint32_t* out, size_t count, const uint32_t cells[8], size_t phase) {
  for (size_t i = 0; i < count; i++) out[i] = cells[(phase + i) & 7];
}

void fill_short(uint32_t* out, size_t count, uint32_t color) {
  for (size_t i = 0; i < count; i++) out[i] = color;
}

void write_row_sse2(uint32_t* out, size_t count, const uint32_t cells[8], size_t phase) {
  if (count < 8) return write_short(out, count, cells, phase);
  write_vectors<4>(out, count, cells, phase);
}

void fill_row_sse2(uint32_t* out, size_t count, uint32_t color) {
  if (count < 8) return fill_short(out, count, color);
  if (!string_store(out, count, color)) fill_vectors<4>(out, count, color);
}

__attribute__((target("avx2"))) void write_row_avx2(uint32_t* out, size_t count,
                                                    const uint32_t cells[8], size_t phase) {
  if (count < 8) return write_short(out, count, cells, phase);
  write_vectors<8>(out, count, cells, phase);
}

__attribute__((target("avx2"))) void fill_row_avx2(uint32_t* out, size_t count, uint32_t color) {
  if (count < 8) return fill_short(out, count, color);
  if (!string_store(out, count, color)) fill_vectors<8>(out, count, color);
}

RowWriters pick_row_writers() {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return RowWriters{write_row_avx2, fill_row_avx2};
  return RowWriters{write_row_sse2, fill_row_sse2};
}
#else
void write_row_plain(uint32_t* out, size_t count, const uint32_t cells[8], size_t phase) {
  uint32_t lanes[8];
  turn(cells, phase, lanes);
  for (size_t i = 0; i < count; i++) out[i] = lanes[i & 7];
}

void fill_row_plain(uint32_t* out, size_t count, uint32_t color) { std::fill(out, out + count, color); }

RowWriters pick_row_writers() { return RowWriters{write_row_plain, fill_row_plain}; }
#endif

// Chosen once, when the library is loaded.
const RowWriters writers = pick_row_writers();

// Rows of a pattern ink where every cell only stores: the colours of row y.
bool stores_only(const Mix* cells, uint32_t colors[8]) {
  for (int i = 0; i < 8; i++) {
    if (cells[i].and_mask != 0) return false;
    colors[i] = cells[i].xor_mask;
  }
  return true;
}

void mix_row(uint32_t* out, size_t count, const Mix* cells, size_t phase) {
  for (size_t i = 0; i < count; i++) {
    const Mix& m = cells[(phase + i) & 7];
    out[i] = (out[i] & m.and_mask) ^ m.xor_mask;
  }
}

void mix_row_uniform(uint32_t* out, size_t count, Mix m) {
  for (size_t i = 0; i < count; i++) out[i] = (out[i] & m.and_mask) ^ m.xor_mask;
}

// Paints `count` pixels from `out`, the first at device column x0 of row y.
void paint_run(uint32_t* out, size_t count, int32_t x0, int32_t y, const Ink& ink) {
  const Mix* cells = ink.uniform ? ink.cell : ink.cell + (y & 7) * 8;
  if (ink.uniform) {
    if (cells[0] == kLeaveAlone) return;
    if (cells[0].and_mask != 0) return mix_row_uniform(out, count, cells[0]);
    return writers.solid(out, count, cells[0].xor_mask);
  }
  uint32_t colors[8];
  if (stores_only(cells, colors)) return writers.pattern(out, count, colors, size_t(x0) & 7);
  mix_row(out, count, cells, size_t(x0) & 7);
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
  ink.classify();
  return ink;
}

void Ink::classify() {
  uniform = std::all_of(std::begin(cell), std::end(cell), [&](const Mix& m) { return m == cell[0]; });
  auto stores = [](const Mix& m) { return m.and_mask == 0; };
  auto stores_or_leaves = [](const Mix& m) { return m.and_mask == 0 || m == kLeaveAlone; };
  if (uniform && cell[0] == kLeaveAlone) {
    kind = InkKind::kLeaves;
  } else if (std::all_of(std::begin(cell), std::end(cell), stores)) {
    kind = InkKind::kStores;
  } else if (std::all_of(std::begin(cell), std::end(cell), stores_or_leaves)) {
    kind = InkKind::kStoresOrLeaves;
  } else {
    kind = InkKind::kMixes;
  }
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
  ink.classify();
  return ink;
}

void store_pixels(uint32_t* out, size_t count, uint32_t color) { writers.solid(out, count, color); }

void paint_span(const Canvas& canvas, int32_t y, int32_t x0, int32_t x1, const Ink& ink) {
  if (x0 < x1) paint_run(canvas.row(y) + x0, size_t(x1 - x0), x0, y, ink);
}

void paint_box(const Canvas& canvas, const Box& box, const Ink& ink) {
  if (box.empty()) return;
  // Whole rows are one run, through the padding between them, which
  // nothing shows.
  const bool whole_rows = box.left == 0 && box.right == canvas.width;
  if (whole_rows && ink.uniform) {
    const size_t count = canvas.stride * size_t(box.bottom - box.top - 1) + size_t(box.right);
    paint_run(canvas.row(box.top), count, 0, 0, ink);
    return;
  }
  for (int32_t y = box.top; y < box.bottom; y++) paint_span(canvas, y, box.left, box.right, ink);
}

}  // namespace kelplat::gdi::raster
