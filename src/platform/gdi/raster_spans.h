// Coverage of a figure as spans: collected in any order (clipped on the
// way in), then sorted and merged so that every pixel appears once.
#ifndef KEL_PLATFORM_GDI_RASTER_SPANS_H
#define KEL_PLATFORM_GDI_RASTER_SPANS_H

#include <cstdint>
#include <vector>

#include "raster_canvas.h"

namespace kelplat::gdi::raster {

class Coverage {
 public:
  explicit Coverage(const Box& clip) : clip_(clip) {}
  const Box& clip() const { return clip_; }

  // Adds columns [x0, x1) of row y; the part outside the clip is dropped.
  void add(int64_t y, int64_t x0, int64_t x1) {
    if (y < clip_.top || y >= clip_.bottom) return;
    if (x0 < clip_.left) x0 = clip_.left;
    if (x1 > clip_.right) x1 = clip_.right;
    if (x0 >= x1) return;
    spans_.push_back(Span{int32_t(y), int32_t(x0), int32_t(x1)});
    sorted_ = false;
  }

  // The spans sorted by row and column, overlaps and neighbours merged.
  const std::vector<Span>& spans();

 private:
  Box clip_;
  std::vector<Span> spans_;
  bool sorted_ = true;
};

// Sorted, merged spans of `a` less those of `b` (both sorted and merged).
std::vector<Span> subtract(const std::vector<Span>& a, const std::vector<Span>& b);

}  // namespace kelplat::gdi::raster

#endif  // KEL_PLATFORM_GDI_RASTER_SPANS_H
