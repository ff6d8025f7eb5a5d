// Scan conversion of polygons by the alternate (even-odd) rule.
//
// Coordinates are device pixels with each pixel's centre at whole numbers.
// A pixel is inside when its centre is: on a row, the pixels from the
// left crossing (included) to the right crossing (excluded); edges cover
// the rows from their upper end (included) to their lower end (excluded).
#ifndef KEL_PLATFORM_GDI_RASTER_POLYGON_H
#define KEL_PLATFORM_GDI_RASTER_POLYGON_H

#include <cstddef>

#include "raster_spans.h"

namespace kelplat::gdi::raster {

class OutlineRows;

struct PointF {
  double x, y;
};

// Adds the rows of the closed polygon that lie in the coverage's clip. With
// an outline, each row's outline is painted right after the row's fill.
void fill_polygon(const PointF* points, size_t count, Coverage& out,
                  OutlineRows* outline = nullptr);

}  // namespace kelplat::gdi::raster

#endif  // KEL_PLATFORM_GDI_RASTER_POLYGON_H
