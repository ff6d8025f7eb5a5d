// The rasterizer's view of a drawing target: a 32-bit pixel buffer with a
// clip rectangle, coverage spans, and the inks that paint them.
//
// Every figure is turned into spans (one row, a run of columns) that are
// clipped and painted as they come (see raster_spans.h). An ink says how: for each cell of the 8 x 8 brush
// pattern, the new pixel is (old & and_mask) ^ xor_mask, which expresses all
// sixteen binary mix modes and also "leave the pixel alone" (and = all ones,
// xor = 0) for the gaps of a transparent hatch.
#ifndef KEL_PLATFORM_GDI_RASTER_CANVAS_H
#define KEL_PLATFORM_GDI_RASTER_CANVAS_H

#include <cstddef>
#include <cstdint>

namespace kelplat::gdi::raster {

// A rectangle of device pixels, right and bottom exclusive.
struct Box {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
  bool contains(int64_t x, int64_t y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
};

// The pixels of a 32-bit target (0x00RRGGBB each) and the part of it that
// drawing may touch.
struct Canvas {
  uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  size_t stride = 0;  // pixels per row
  Box clip;           // inside [0, width) x [0, height)
  uint32_t* row(int32_t y) const { return pixels + size_t(y) * stride; }
};

// How one pattern cell changes a pixel.
struct Mix {
  uint32_t and_mask = 0, xor_mask = 0;
  bool operator==(const Mix&) const = default;
};

// The mix of a binary mix mode (R2_BLACK .. R2_WHITE; anything else acts as
// R2_COPYPEN) with a source pixel.
Mix mix_of(int rop2, uint32_t source);
inline constexpr Mix kLeaveAlone{0xFFFFFF, 0};

// What an ink does to the pixels it covers, which decides whether painting
// a pixel twice is harmless.
enum class InkKind {
  kLeaves,          // nothing
  kStores,          // each cell stores a colour, whatever was there
  kStoresOrLeaves,  // each cell stores a colour or leaves the pixel alone
  kMixes,           // some cell reads the pixel
};

// An 8 x 8 pattern of mixes aligned to the device origin: the pixel at
// device (x, y) uses cell (y & 7) * 8 + (x & 7).
struct Ink {
  Mix cell[64];
  bool uniform = true;  // every cell is cell[0]
  InkKind kind = InkKind::kStores;
  static Ink solid(Mix mix);
  bool leaves_alone() const { return kind == InkKind::kLeaves; }
  // Sets `uniform` and `kind` from the cells.
  void classify();
};

// What a brush paints, before the mix mode is applied.
struct BrushPattern {
  enum Kind { kNone, kSolid, kHatch, kMono, kColor } kind = kNone;
  uint32_t color = 0;       // solid and hatch colour (pixel value)
  int hatch = 0;            // HS_* style
  uint8_t mono[8] = {};     // bit 7 leftmost; 0 bits fore, 1 bits back
  uint32_t pattern[64] = {};  // colour pattern
};

// The ink of a brush: `fore` is the DC's text colour (0 bits of monochrome
// patterns), `back` its background colour (hatch gaps when `opaque`, 1 bits
// of monochrome patterns).
Ink brush_ink(const BrushPattern& brush, int rop2, uint32_t fore, uint32_t back, bool opaque);

// True when the hatch style puts a line through device pixel (x, y).
bool hatch_covers(int hatch, int32_t x, int32_t y);

// Stores `color` into `count` pixels from `out`.
void store_pixels(uint32_t* out, size_t count, uint32_t color);
// Paints [x0, x1) of row y (already clipped) with the ink.
void paint_span(const Canvas& canvas, int32_t y, int32_t x0, int32_t x1, const Ink& ink);
// Paints a box (already clipped); rows that span the whole width are one run.
void paint_box(const Canvas& canvas, const Box& box, const Ink& ink);

}  // namespace kelplat::gdi::raster

#endif  // KEL_PLATFORM_GDI_RASTER_CANVAS_H
