// Ellipses given by an inclusive box, their arcs and pie sectors, row by row.
//
// The geometry works in half pixels relative to the box centre, which may
// fall between pixels: a pixel (x, y) sits at u = 2x - (left + right),
// v = 2y - (top + bottom), and the ellipse is u^2 / A^2 + v^2 / B^2 = 1 with
// A = right - left, B = bottom - top. Each row's pixels come from a closed
// formula, so only the rows inside the clip are ever looked at, and rows
// and halves are mirror images by construction.
#ifndef KEL_PLATFORM_GDI_RASTER_ELLIPSE_H
#define KEL_PLATFORM_GDI_RASTER_ELLIPSE_H

#include <cstdint>

#include "raster_dashes.h"
#include "raster_lines.h"
#include "raster_spans.h"

namespace kelplat::gdi::raster {

struct EllipseBox {
  EllipseBox(int64_t left, int64_t top, int64_t right, int64_t bottom);
  int64_t cx2, cy2;  // twice the centre
  int64_t a, b;      // width and height less one: the axes in half pixels
  int64_t top, bottom;
};

// The part of the plane swept counter-clockwise (as seen on the screen)
// from the ray through `start` to the ray through `end`, rays from the
// centre, vectors in half pixels with y down. Equal rays (or a zero vector
// for both) give the whole plane.
class Sector {
 public:
  Sector() = default;  // the whole plane
  Sector(DevPoint start, DevPoint end);
  bool whole() const { return whole_; }
  // The u-ranges [lo, hi] of row v inside the sector; returns their number.
  int row_ranges(int64_t v, int64_t lo[2], int64_t hi[2]) const;
  DevPoint start() const { return start_; }
  DevPoint end() const { return end_; }

 private:
  bool whole_ = true;
  bool wide_ = false;  // sweeps half a turn or more
  DevPoint start_{2, 0}, end_{2, 0};  // y up
};

// The outline with a pen of the given width (<= 1: one pixel wide and
// 8-connected), limited to the sector. `caps` adds square end caps to a
// wide open arc.
void ellipse_outline(const EllipseBox& box, const Sector& sector, double width,
                     const DashList& dashes, bool caps, Coverage& out);

// Every pixel enclosed by the one-pixel outline (the outline included),
// limited to the sector.
void ellipse_fill(const EllipseBox& box, const Sector& sector, Coverage& out);

// A whole ellipse filled with `fill` and outlined one pixel wide with `pen`,
// row by row, each row's outline painted over its fill: for coverage that
// paints straight, the same pixels as the outline and then the fill.
void ellipse_rows(const EllipseBox& box, const Ink& fill, const Ink& pen, Coverage& out);

// The device pixel where the ray through `direction` (half pixels, y down,
// from the centre) meets the outline, and the pixel of the centre.
DevPoint ellipse_ray_pixel(const EllipseBox& box, DevPoint direction);
DevPoint ellipse_centre_pixel(const EllipseBox& box);

}  // namespace kelplat::gdi::raster

#endif  // KEL_PLATFORM_GDI_RASTER_ELLIPSE_H
