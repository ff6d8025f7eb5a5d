// Figures are clipped here before they reach the platform, so that no
// platform call sees coordinates far outside the page: a GDI may walk a
// figure's whole length (dashed pens) or overflow on it, and either way the
// cost must follow the pixels on the page, not the size of the figure.
#ifndef KEL_CLIPPING_H
#define KEL_CLIPPING_H

#include "kel_internal.h"

namespace kel_clip {

// A rectangle in a page's logical coordinates, edges inclusive.
struct Bounds {
  long long left, top, right, bottom;
  bool holds(POINT p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};

// The page of `dc` (width x height pixels) in its logical coordinates,
// widened by `margin` pixels on every side.
Bounds page_bounds(HDC dc, int width, int height, long long margin);

// How far outside the page a figure may reach before it is cut: the pen's
// reach for dashed pens (their cost follows the whole length), and a wide
// band for solid ones, so that cutting them never moves a pixel of a
// figure of ordinary size.
long long margin_for(const WindowData* wd);

// Cuts the segment a-z to `b`; false when none of it lies inside. A cut
// start moves by a whole number of `period` pixel steps, so the dashes on
// the page keep their phase; the kept points lie on the pixels the whole
// segment would light.
bool clip_segment(const Bounds& b, long long period, POINT* a, POINT* z);

// Draws the open path through `points` with the current pen, in pieces cut
// to `b` where it leaves it.
void polyline(HDC dc, const Bounds& b, long long period, const POINT* points, int count);

// Where the outline of the ellipse around (cx, cy), widened by `reach` on
// both sides, lies against `b`.
enum class Outline { kOutside, kPageInside, kCrossing };
Outline ellipse_outline(const Bounds& b, long long cx, long long cy, long long xradius,
                        long long yradius, long long reach);

// One axis of a stretched picture: `size` pixels from `at` show
// `source_size` units of the picture from `source`.
struct Span {
  LONG at, size, source, source_size;
};
// The axis of a picture of `units` stretched over `size` pixels from `at`,
// cut to the pixels first..last when it reaches far beyond them (a platform
// may draw nothing for a destination beyond its coordinate range). An empty
// cut has size 0; a cut piece shows at least one pixel of the picture.
Span cut_stretch(long long at, long long size, long long first, long long last, long long units);

}  // namespace kel_clip

#endif  // KEL_CLIPPING_H
