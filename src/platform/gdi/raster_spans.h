// Coverage of a figure, painted as it is produced: each span (one row, a run
// of columns) is clipped on the way in and painted at once with the ink in
// use. Nothing is collected, so the memory a figure needs follows the page,
// not the number of its points or spans.
//
// Two ways to paint:
// - straight: every span as it comes. A pixel covered twice is painted twice,
//   which only inks that store (or leave pixels alone) can afford.
// - once: a bit per pixel of the clip remembers what has been painted, so
//   each pixel takes the first ink that covers it, exactly once, whatever the
//   mix mode. A figure covers its outline first, then the fill with the
//   brush, so the fill never paints over the outline.
#ifndef KEL_PLATFORM_GDI_RASTER_SPANS_H
#define KEL_PLATFORM_GDI_RASTER_SPANS_H

#include <cstdint>
#include <vector>

#include "raster_canvas.h"

namespace kelplat::gdi::raster {

class Coverage {
 public:
  enum class Way { kStraight, kOnce };
  Coverage(const Canvas& canvas, Way way);
  const Box& clip() const { return canvas_.clip; }
  bool straight() const { return words_per_row_ == 0; }

  // The ink of the spans added from now on (kept by reference).
  void use(const Ink& ink) {
    ink_ = &ink;
    stores_color_ = words_per_row_ == 0 && ink.uniform && ink.kind == InkKind::kStores;
  }

  // Adds columns [x0, x1) of row y; the part outside the clip is dropped.
  void add(int64_t y, int64_t x0, int64_t x1) {
    const Box& clip = canvas_.clip;
    if (y < clip.top || y >= clip.bottom) return;
    if (x0 < clip.left) x0 = clip.left;
    if (x1 > clip.right) x1 = clip.right;
    if (x0 >= x1) return;
    if (stores_color_) {
      store_pixels(canvas_.row(int32_t(y)) + x0, size_t(x1 - x0), ink_->cell[0].xor_mask);
    } else if (words_per_row_ == 0) {
      paint_span(canvas_, int32_t(y), int32_t(x0), int32_t(x1), *ink_);
    } else {
      paint_once(int32_t(y), int32_t(x0), int32_t(x1));
    }
  }

 private:
  void paint_once(int32_t y, int32_t x0, int32_t x1);
  void mark(uint64_t* row, int32_t x0, int32_t x1);
  const Canvas& canvas_;
  const Ink* ink_ = nullptr;
  bool stores_color_ = false;  // painting straight with one colour that stores
  size_t words_per_row_ = 0;     // 0 when painting straight
  std::vector<uint64_t> painted_;  // a bit per clip pixel, rows of words_per_row_
};

}  // namespace kelplat::gdi::raster

#endif  // KEL_PLATFORM_GDI_RASTER_SPANS_H
