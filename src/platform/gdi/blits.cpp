// Block transfers: the engine of blit_core.h, BitBlt and StretchBlt.
#include <algorithm>
#include <cstring>
#include <vector>

#include "blit_core.h"
#include "raster_canvas.h"

namespace kelplat::gdi {
namespace {

constexpr uint32_t kColorMask = 0xFFFFFF;

uint8_t rop_code(DWORD rop) { return uint8_t((rop >> 16) & 0xFF); }

// Any of the 256 ternary operations: bit i of the code is the result for
// pattern = bit 2 of i, source = bit 1, destination = bit 0.
uint32_t ternary(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t result = 0;
  for (int i = 0; i < 8; i++) {
    if ((code >> i) & 1) result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return result & kColorMask;
}

// The 8 x 8 tile the context's brush paints: device pixel (x, y) takes
// tile[y & 7][x & 7] (hatch lines as the rasterizer draws them, gaps in the
// background colour). False for a null or missing brush.
struct Tile {
  uint32_t pixel[8][8];
};
bool brush_tile(const DeviceContext& dc, Tile& tile) {
  const Brush* found = lookup<Brush>(dc.brush);
  if (!found || found->style == BS_NULL) return false;
  const Brush& brush = *found;
  uint32_t color = to_pixel(brush.color), text = to_pixel(dc.text_color);
  uint32_t back = to_pixel(dc.bk_color);
  for (int y = 0; y < 8; y++) {
    for (int x = 0; x < 8; x++) {
      uint32_t& out = tile.pixel[y][x];
      if (brush.style == BS_HATCHED) {
        out = raster::hatch_covers(brush.hatch, x, y) ? color : back;
      } else if (brush.style == BS_PATTERN) {
        out = brush.color_pattern ? brush.pattern[y * 8 + x]
                                  : ((brush.mono[y] >> (7 - x)) & 1) ? back : text;
      } else {
        out = color;
      }
    }
  }
  return true;
}

// A span of pixels [start, start + count) on one axis, from an Extent.
struct Span {
  int64_t start;
  int64_t count;
};
Span span_of(Extent e) {
  return e.size >= 0 ? Span{e.pos, e.size} : Span{e.pos + e.size + 1, -e.size};
}

// Source pixel as the destination sees it (monochrome targets: 0 or white).
uint32_t source_pixel(const BlitSource& source, bool mono_target, int x, int y) {
  const Bitmap& bitmap = *source.bitmap;
  if (bitmap.bits_pixel == 1) {
    bool one = mono_bit(bitmap, x, y);
    if (mono_target) return one ? kWhitePixel : 0;
    return one ? source.one : source.zero;
  }
  uint32_t pixel = read_pixel(bitmap, x, y) & kColorMask;
  if (mono_target) return pixel == (source.background & kColorMask) ? kWhitePixel : 0;
  return pixel;
}

// ------------------------------------------------------------- row kernels
// Row loops, one per operation, in blocks of 8 pixels so the compiler
// vectorises them at -O2 (source and destination rows never overlap: a
// transfer within one bitmap reads from a copy).
template <class Op>
void source_row(uint32_t* __restrict d, const uint32_t* __restrict s, int64_t n, Op op) {
  int64_t i = 0;
  for (; i + 8 <= n; i += 8) {
    for (int k = 0; k < 8; k++) d[i + k] = op(s[i + k], d[i + k]) & kColorMask;
  }
  for (; i < n; i++) d[i] = op(s[i], d[i]) & kColorMask;
}

// `pattern` is the brush row; device column x takes pattern[x & 7].
template <class Op>
void pattern_row(uint32_t* __restrict d, const uint32_t* pattern, int64_t x0, int64_t n, Op op) {
  uint32_t aligned[8];
  for (int k = 0; k < 8; k++) aligned[k] = pattern[(x0 + k) & 7];
  int64_t i = 0;
  for (; i + 8 <= n; i += 8) {
    for (int k = 0; k < 8; k++) d[i + k] = op(aligned[k], d[i + k]) & kColorMask;
  }
  for (; i < n; i++) d[i] = op(aligned[i & 7], d[i]) & kColorMask;
}

// Applies the operation to n pixels of a 32-bit row starting at device
// column x0. `s` is the source row (null when the operation reads none),
// `pattern` the brush row for this y (null when it reads no pattern).
void run_row(uint8_t code, uint32_t* d, const uint32_t* s, const uint32_t* pattern, int64_t x0,
             int64_t n) {
  using P = uint32_t;
  switch (code) {
    case 0xCC: std::memcpy(d, s, size_t(n) * 4); return;
    case 0x66: return source_row(d, s, n, [](P s, P d) { return s ^ d; });
    case 0xEE: return source_row(d, s, n, [](P s, P d) { return s | d; });
    case 0x88: return source_row(d, s, n, [](P s, P d) { return s & d; });
    case 0x33: return source_row(d, s, n, [](P s, P) { return ~s; });
    case 0x44: return source_row(d, s, n, [](P s, P d) { return s & ~d; });
    case 0x11: return source_row(d, s, n, [](P s, P d) { return ~(s | d); });
    case 0xF0: return pattern_row(d, pattern, x0, n, [](P p, P) { return p; });
    case 0x5A: return pattern_row(d, pattern, x0, n, [](P p, P d) { return p ^ d; });
    case 0x55:
      for (int64_t i = 0; i < n; i++) d[i] = ~d[i] & kColorMask;
      return;
    case 0x00: std::fill(d, d + n, 0u); return;
    case 0xFF: std::fill(d, d + n, kColorMask); return;
    default:
      for (int64_t i = 0; i < n; i++) {
        d[i] = ternary(code, pattern ? pattern[(x0 + i) & 7] : 0, s ? s[i] : 0, d[i]);
      }
  }
}

// Everything one transfer needs once the rectangles are known.
struct Job {
  Bitmap& target;
  const BlitSource& source;
  uint8_t code;
  bool uses_source;
  const Tile* tile;  // null when the operation reads no pattern
};

// Combines one destination row segment with the pixels in `row`
// (already in the destination's terms); `valid` marks pixels to write.
void combine(const Job& job, int64_t x0, int64_t y, const uint32_t* row, int64_t n,
             const uint8_t* valid) {
  const uint32_t* pattern_row = job.tile ? job.tile->pixel[y & 7] : nullptr;
  if (job.target.bits_pixel == 32 && !valid) {
    run_row(job.code, job.target.row32(int(y)) + x0, row, pattern_row, x0, n);
    return;
  }
  for (int64_t i = 0; i < n; i++) {
    if (valid && !valid[i]) continue;
    int x = int(x0 + i);
    uint32_t p = pattern_row ? pattern_row[x & 7] : 0;
    uint32_t d = read_pixel(job.target, x, int(y)) & kColorMask;
    if (job.target.bits_pixel == 1) p = is_light(p) ? kWhitePixel : 0;
    uint32_t s = row ? row[i] : 0;
    write_pixel(job.target, x, int(y), ternary(job.code, p, s, d));
  }
}

// Intersects [a, a + n) with [lo, hi); false when nothing is left.
bool clip_span(int64_t& a, int64_t& n, int64_t lo, int64_t hi) {
  int64_t b = std::min(a + n, hi);
  a = std::max(a, lo);
  n = b - a;
  return n > 0;
}

// A transfer without stretching or mirroring.
void copy_rect(const Job& job, const RECT& area, Span dx, Span dy, Span sx, Span sy) {
  int64_t shift_x = sx.start - dx.start, shift_y = sy.start - dy.start;
  int64_t x = dx.start, w = dx.count, y = dy.start, h = dy.count;
  if (!clip_span(x, w, area.left, area.right) || !clip_span(y, h, area.top, area.bottom)) return;
  if (job.uses_source) {
    const Bitmap& bitmap = *job.source.bitmap;
    if (!clip_span(x, w, -shift_x, bitmap.width - shift_x) ||
        !clip_span(y, h, -shift_y, bitmap.height - shift_y)) {
      return;
    }
  }
  bool direct = job.uses_source && job.source.bitmap->bits_pixel == 32 && job.target.bits_pixel == 32;
  std::vector<uint32_t> row(job.uses_source && !direct ? size_t(w) : 0);
  for (int64_t j = 0; j < h; j++) {
    const uint32_t* s = nullptr;
    int64_t sy_row = y + j + shift_y;
    if (direct) {
      s = job.source.bitmap->row32(int(sy_row)) + size_t(x + shift_x);
    } else if (job.uses_source) {
      for (int64_t i = 0; i < w; i++) {
        row[size_t(i)] = source_pixel(job.source, job.target.bits_pixel == 1, int(x + shift_x + i),
                                      int(sy_row));
      }
      s = row.data();
    }
    combine(job, x, y + j, s, w, nullptr);
  }
}

// Which source pixels one destination pixel covers on one axis.
struct Cover {
  int first;  // first source pixel
  int count;  // 0: outside the source, leave the destination pixel alone
};

// Maps destination pixels [from, from + n) of span `d` onto span `s` of a
// source axis that is `limit` pixels long. Enlarging picks the nearest
// pixel; shrinking covers every source pixel the destination pixel spans.
std::vector<Cover> covers(Span d, Span s, bool mirror, int64_t from, int64_t n, int64_t limit) {
  std::vector<Cover> out(static_cast<size_t>(n));
  bool shrink = s.count > d.count;
  for (int64_t i = 0; i < n; i++) {
    int64_t k = from + i - d.start;  // 0 .. d.count - 1
    if (mirror) k = d.count - 1 - k;
    int64_t lo, hi;
    if (shrink) {
      lo = k * s.count / d.count;
      hi = ((k + 1) * s.count + d.count - 1) / d.count;
    } else {
      lo = (2 * k + 1) * s.count / (2 * d.count);
      hi = lo + 1;
    }
    lo = std::max<int64_t>(lo + s.start, 0);
    hi = std::min<int64_t>(hi + s.start, limit);
    out[size_t(i)] = hi > lo ? Cover{int(lo), int(hi - lo)} : Cover{0, 0};
  }
  return out;
}

// One destination pixel from a box of source pixels, by the stretch mode.
uint32_t box_pixel(const Job& job, int mode, const Cover& cx, const Cover& cy) {
  bool mono = job.target.bits_pixel == 1;
  if (cx.count == 1 && cy.count == 1) return source_pixel(job.source, mono, cx.first, cy.first);
  uint64_t r = 0, g = 0, b = 0;
  uint32_t all = kColorMask, any = 0;
  for (int y = cy.first; y < cy.first + cy.count; y++) {
    for (int x = cx.first; x < cx.first + cx.count; x++) {
      uint32_t p = source_pixel(job.source, mono, x, y);
      all &= p;
      any |= p;
      r += (p >> 16) & 0xFF;
      g += (p >> 8) & 0xFF;
      b += p & 0xFF;
    }
  }
  if (mode == BLACKONWHITE) return all;
  if (mode == WHITEONBLACK) return any;
  uint64_t n = uint64_t(cx.count) * uint64_t(cy.count);
  uint32_t average = uint32_t((r + n / 2) / n) << 16 | uint32_t((g + n / 2) / n) << 8 |
                     uint32_t((b + n / 2) / n);
  return mono ? (is_light(average) ? kWhitePixel : 0) : average;
}

// A transfer that stretches, shrinks or mirrors.
void stretch_rect(const Job& job, const RECT& area, Span dx, Span dy, Span sx, Span sy,
                  bool mirror_x, bool mirror_y, int mode) {
  int64_t x = dx.start, w = dx.count, y = dy.start, h = dy.count;
  if (!clip_span(x, w, area.left, area.right) || !clip_span(y, h, area.top, area.bottom)) return;
  std::vector<uint32_t> row(static_cast<size_t>(w));
  std::vector<uint8_t> valid(size_t(w), 1);
  const Bitmap& bitmap = *job.source.bitmap;
  std::vector<Cover> columns = covers(dx, sx, mirror_x, x, w, bitmap.width);
  std::vector<Cover> rows = covers(dy, sy, mirror_y, y, h, bitmap.height);
  for (int64_t i = 0; i < w; i++) valid[size_t(i)] = columns[size_t(i)].count > 0;
  for (int64_t j = 0; j < h; j++) {
    if (rows[size_t(j)].count == 0) continue;
    for (int64_t i = 0; i < w; i++) {
      if (valid[size_t(i)]) row[size_t(i)] = box_pixel(job, mode, columns[size_t(i)], rows[size_t(j)]);
    }
    combine(job, x, y + j, row.data(), w, valid.data());
  }
}

// When source and destination are the same bitmap and the rectangles may
// overlap, the source rectangle is copied first so nothing reads pixels the
// transfer has already written.
std::unique_ptr<Bitmap> detach_source(const Bitmap& bitmap, Span& sx, Span& sy) {
  int64_t x = sx.start, w = sx.count, y = sy.start, h = sy.count;
  if (!clip_span(x, w, 0, bitmap.width) || !clip_span(y, h, 0, bitmap.height)) return nullptr;
  std::unique_ptr<Bitmap> copy = make_bitmap(w, h, bitmap.bits_pixel);
  if (!copy) return nullptr;
  for (int64_t j = 0; j < h; j++) {
    for (int64_t i = 0; i < w; i++) {
      write_pixel(*copy, int(i), int(j), read_pixel(bitmap, int(x + i), int(y + j)));
    }
  }
  sx.start -= x;
  sy.start -= y;
  return copy;
}

Extent device_extent(int64_t logical, int64_t origin, int64_t size) {
  return Extent{logical + origin, size};
}

}  // namespace

bool blit(DeviceContext& dest, Extent dest_x, Extent dest_y, const BlitSource& source,
          Extent source_x, Extent source_y, DWORD rop) {
  Bitmap* target = dest.target();
  bool uses_source = rop_uses_source(rop);
  if (!target || (uses_source && !source.bitmap)) return false;
  Span dx = span_of(dest_x), dy = span_of(dest_y);
  Span sx = span_of(source_x), sy = span_of(source_y);
  if (dx.count == 0 || dy.count == 0 || (uses_source && (sx.count == 0 || sy.count == 0))) {
    return true;
  }
  Tile tile;
  bool uses_pattern = rop_uses_pattern(rop);
  if (uses_pattern && !brush_tile(dest, tile)) return true;  // a null brush paints nothing
  BlitSource from = source;
  std::unique_ptr<Bitmap> detached;
  if (uses_source && source.bitmap == target) {
    detached = detach_source(*target, sx, sy);
    if (!detached) return true;  // the source rectangle lies outside the bitmap
    from.bitmap = detached.get();
  }
  Job job{*target, from, rop_code(rop), uses_source, uses_pattern ? &tile : nullptr};
  RECT area = dest.drawable();
  bool mirror_x = uses_source && ((dest_x.size < 0) != (source_x.size < 0));
  bool mirror_y = uses_source && ((dest_y.size < 0) != (source_y.size < 0));
  if (!uses_source || (dx.count == sx.count && dy.count == sy.count && !mirror_x && !mirror_y)) {
    copy_rect(job, area, dx, dy, uses_source ? sx : dx, uses_source ? sy : dy);
  } else {
    stretch_rect(job, area, dx, dy, sx, sy, mirror_x, mirror_y, dest.stretch_mode);
  }
  return true;
}

namespace {

// The source side of BitBlt/StretchBlt: the source context's target and how
// its pixels read on the destination.
bool blit_source(const DeviceContext& dest, HDC hdc, DWORD rop, BlitSource& source,
                 POINT& origin) {
  if (!rop_uses_source(rop)) return true;
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || !(source.bitmap = dc->target())) return false;
  source.zero = to_pixel(dest.text_color);
  source.one = to_pixel(dest.bk_color);
  source.background = to_pixel(dc->bk_color);
  origin = dc->viewport_org;
  return true;
}

BOOL stretch_blt(HDC dest, int x, int y, int width, int height, HDC source, int x_src, int y_src,
                 int width_src, int height_src, DWORD rop) {
  DeviceContext* dc = fast_dc(dest);
  if (!dc) return FALSE;
  BlitSource from;
  POINT origin{0, 0};
  if (!blit_source(*dc, source, rop, from, origin)) return FALSE;
  return blit(*dc, device_extent(x, dc->viewport_org.x, width),
              device_extent(y, dc->viewport_org.y, height), from,
              device_extent(x_src, origin.x, width_src), device_extent(y_src, origin.y, height_src),
              rop)
             ? TRUE
             : FALSE;
}

// The 32-bit target of a context and where a record's rows start on it, for
// KelGetImage and KelPutImage; null target when the call cannot go ahead.
struct ImageTransfer {
  DeviceContext* dc = nullptr;
  Bitmap* target = nullptr;
  int64_t left = 0, top = 0;  // device position of the rows' first pixel
  int64_t width = 0, height = 0, stride = 0;
};
ImageTransfer image_transfer(HDC hdc, int x, int y, const BITMAP* record, const void* bits) {
  ImageTransfer t;
  DeviceContext* dc = fast_dc(hdc);
  Bitmap* target = dc ? dc->target() : nullptr;
  if (!target || target->bits_pixel != 32 || !record || !bits || record->bmWidth <= 0 ||
      record->bmHeight <= 0 || int64_t(record->bmWidthBytes) < int64_t(record->bmWidth) * 4) {
    return t;
  }
  t.dc = dc;
  t.target = target;
  t.left = int64_t(x) + dc->viewport_org.x;
  t.top = int64_t(y) + dc->viewport_org.y;
  t.width = record->bmWidth;
  t.height = record->bmHeight;
  t.stride = record->bmWidthBytes;
  return t;
}

}  // namespace
}  // namespace kelplat::gdi

using namespace kelplat::gdi;

// Each row once: the part on the target copied, the rest zeroed. The rows are
// handled as bytes, so the caller's buffer needs no alignment.
BOOL WINAPI KelGetImage(HDC hdc, int x, int y, const BITMAP* record, void* bits) {
  ImageTransfer t = image_transfer(hdc, x, y, record, bits);
  if (!t.target) return FALSE;
  int64_t from = t.left, count = t.width;
  bool columns = clip_span(from, count, 0, t.target->width);
  size_t before = columns ? size_t(from - t.left) * 4 : size_t(t.width) * 4;
  size_t inside = columns ? size_t(count) * 4 : 0;
  size_t after = size_t(t.width) * 4 - before - inside;
  for (int64_t j = 0; j < t.height; j++) {
    uint8_t* out = static_cast<uint8_t*>(bits) + j * t.stride;
    int64_t row = t.top + j;
    if (row < 0 || row >= t.target->height) {
      std::memset(out, 0, size_t(t.width) * 4);
      continue;
    }
    std::memset(out, 0, before);
    if (inside) std::memcpy(out + before, t.target->row32(int(row)) + from, inside);
    std::memset(out + before + inside, 0, after);
  }
  return TRUE;
}

// Each row once, combined straight from the caller's rows (through one
// aligned row when the buffer is not aligned for 32-bit reads).
BOOL WINAPI KelPutImage(HDC hdc, int x, int y, const BITMAP* record, const void* bits, DWORD rop) {
  ImageTransfer t = image_transfer(hdc, x, y, record, bits);
  if (!t.target) return FALSE;
  Tile tile;
  bool uses_pattern = rop_uses_pattern(rop);
  if (uses_pattern && !brush_tile(*t.dc, tile)) return TRUE;  // a null brush paints nothing
  RECT area = t.dc->drawable();
  int64_t x0 = t.left, w = t.width, y0 = t.top, h = t.height;
  if (!clip_span(x0, w, area.left, area.right) || !clip_span(y0, h, area.top, area.bottom)) {
    return TRUE;
  }
  BlitSource rows;
  Job job{*t.target, rows, rop_code(rop), true, uses_pattern ? &tile : nullptr};
  bool aligned = reinterpret_cast<uintptr_t>(bits) % alignof(uint32_t) == 0 && t.stride % 4 == 0;
  std::vector<uint32_t> scratch(aligned ? 0 : size_t(w));
  for (int64_t j = 0; j < h; j++) {
    const uint8_t* in =
        static_cast<const uint8_t*>(bits) + (y0 + j - t.top) * t.stride + (x0 - t.left) * 4;
    const uint32_t* s = reinterpret_cast<const uint32_t*>(in);
    if (!aligned) s = static_cast<const uint32_t*>(std::memcpy(scratch.data(), in, size_t(w) * 4));
    combine(job, x0, y0 + j, s, w, nullptr);
  }
  return TRUE;
}

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int x_src, int y_src,
                   DWORD rop) {
  return stretch_blt(dest, x, y, width, height, source, x_src, y_src, width, height, rop);
}

BOOL WINAPI StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int x_src,
                       int y_src, int width_src, int height_src, DWORD rop) {
  DeviceContext* dc = fast_dc(dest);
  if (dc && dc->type == DeviceContext::Type::Printer) {
    note_printer_call(*dc, "StretchBlt " + std::to_string(x) + " " + std::to_string(y) + " " +
                               std::to_string(width) + " " + std::to_string(height) + " from " +
                               std::to_string(x_src) + " " + std::to_string(y_src) + " " +
                               std::to_string(width_src) + " " + std::to_string(height_src));
  }
  return stretch_blt(dest, x, y, width, height, source, x_src, y_src, width_src, height_src, rop);
}
