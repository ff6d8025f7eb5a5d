// Lines of pens: one pixel wide (exact integer stepping, clipped without
// moving any pixel) and wide (square caps, bevel joins), both dashed by the
// pen's dash list, which runs on along a whole path.
#ifndef KEL_PLATFORM_GDI_RASTER_LINES_H
#define KEL_PLATFORM_GDI_RASTER_LINES_H

#include <cstdint>
#include <vector>

#include "raster_dashes.h"
#include "raster_spans.h"

namespace kelplat::gdi::raster {

struct DevPoint {
  int64_t x, y;
  bool operator==(const DevPoint&) const = default;
};

// Receives the drawn runs of a thin line: row y, columns [x0, x1).
class RunSink {
 public:
  virtual void run(int32_t y, int32_t x0, int32_t x1) = 0;

 protected:
  ~RunSink() = default;
};

// Whether a thin line draws its end point's pixel: a cosmetic pen leaves
// it out, a geometric pen's cap covers it.
enum class LineEnd { kLeftOut, kCovered };

// Number of pixel steps of the thin line from a to b: its major-axis length.
int64_t thin_length(DevPoint a, DevPoint b);

// The thin line from a to b, b's pixel drawn only when `last` covers it:
// step i lies at a + i along the major axis, and the minor coordinate is the
// exact rounding (halves away from a) of the ideal line. Only the pixels
// inside `clip` are visited, so clipping never moves a pixel. The pixel of
// step i has dash position start + i. A covered line of length 0 is its
// one pixel.
void thin_line(DevPoint a, DevPoint b, const Box& clip, const DashList& dashes, int64_t start,
               LineEnd last, RunSink& sink);

// The same line, solid, storing `color` straight into the canvas (inside
// its clip).
void thin_line_store(DevPoint a, DevPoint b, LineEnd last, const Canvas& canvas, uint32_t color);

// A thin path through the points (closed: back to the first point), each
// segment without its end pixel except the last of an open path, which
// `last` decides; dashes run on; covers into `out`.
void thin_path(const std::vector<DevPoint>& points, bool closed, LineEnd last,
               const DashList& dashes, Coverage& out);

// A wide path of the given width: square caps at the ends of an open path
// and of every dash, bevel joins at the corners.
void wide_path(const std::vector<DevPoint>& points, bool closed, double width,
               const DashList& dashes, Coverage& out);

}  // namespace kelplat::gdi::raster

#endif  // KEL_PLATFORM_GDI_RASTER_LINES_H
