// Figures are clipped here before they reach the platform, so that no
// platform call sees coordinates far outside the page: a GDI may walk a
// figure's whole length (dashed pens) or overflow on it, and either way the
// cost must follow the pixels on the page, not the size of the figure.
#ifndef KEL_CLIPPING_H
#define KEL_CLIPPING_H

#include <vector>

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
// The same for a page whose viewport origin is known.
Bounds page_bounds(POINT origin, int width, int height, long long margin);

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

// The pixel a one-pixel line from `origin` of extent (dx, dy) lights k
// steps along its longer axis: the ideal line's point there, rounded to the
// nearest pixel, halves away from the origin.
POINT step_point(POINT origin, long long dx, long long dy, long long k);

// The steps first..last (0 up to the longer axis's length) of the line a-z
// whose pixels may lie inside `b`, with one to spare at either end; false
// when the line does not meet `b`.
bool step_range(const Bounds& b, POINT a, POINT z, long long* first, long long* last);

// Draws the path through `points` one pixel wide with dashes of `runs`
// (pixels lit and left, lit first; none: solid) as the portable platform
// draws it: every segment lights one pixel per step of its longer axis (see
// step_point) but its end, which the next segment starts on, and the last
// segment of an open path lights its end too where the current pen's cap
// covers it (a geometric pen; not a cosmetic one); the dashes run on along the
// whole path; a pixel the path crosses twice is drawn once. Only the pixels
// inside `b` are visited. The pixels go to the platform as short straight
// pieces with a one-pixel cosmetic pen of the current pen's colour, which
// any GDI draws alike, in the current mix mode.
void thin_path(HDC dc, const Bounds& b, const LinePattern& runs, const POINT* points, int count);

// Draws the arc of the ellipse in the inclusive box `box` from the ray
// through `start` to the ray through `end` (counter-clockwise, rays from the
// box's centre) one pixel wide as the portable platform draws it: the
// pixels of the whole outline whose centres lie in the sector between the
// rays, the rays included, so both end points are lit. On Windows the
// outline is the system's Ellipse with `box_end` added to the right and
// bottom, with no fill, drawn through a clip region of the sector's pixels
// on `page`: the system's Arc may stop a pixel or two short of its end. The
// portable platform's Arc draws these pixels itself.
void thin_arc(HDC dc, const Bounds& page, const RECT& box, int box_end, POINT start, POINT end);

// Draws the open path through `points` with the current pen, in pieces cut
// to `b` where it leaves it.
void polyline(HDC dc, const Bounds& b, long long period, const POINT* points, int count);

// Where the outline of the ellipse around (cx, cy), widened by `reach` on
// both sides, lies against `b`.
enum class Outline { kOutside, kPageInside, kCrossing };
Outline ellipse_outline(const Bounds& b, long long cx, long long cy, long long xradius,
                        long long yradius, long long reach);

// Whether curves and polygons far larger than the page reach the platform as
// their part near the page (see PathCut). On by default where the system
// GDI walks a curve's whole outline and a polygon's whole height (Windows);
// the portable platform draws every figure by rows of the page, so there
// figures reach it whole and keep the pixels of the exact curve. Tests turn
// it on to compare the cut figures with the whole ones.
bool cutting_curves();
void set_cutting_curves(bool on);

// Whether the box left..right x top..bottom reaches more than `band` pixels
// beyond `b`.
bool reaches_beyond(const Bounds& b, long long left, long long top, long long right,
                    long long bottom, long long band);

// A point with coordinates of any size.
struct Spot {
  long double x, y;
};

// The ellipse around `centre` with radii a, b: the point at angle t
// (radians, counter-clockwise on the screen) is
// (centre.x + a cos t, centre.y - b sin t).
struct Oval {
  Spot centre;
  long double a, b;
  Spot at(long double t) const;
};

// The part near a page of a path of segments and elliptic arcs of any size:
// - as a polygon that fills the same pixels of the bounds as the whole
//   closed path: each stretch outside is replaced by the bounds' border,
//   going round the same way, so every winding number inside is kept;
// - as the pieces of the path inside the bounds (runs), each led in from
//   outside by the remainder of the path's length up to it (counted in
//   pixel steps, the longer of the two travels) over `period`, so a dashed
//   pen keeps its phase.
// Points inside the bounds come rounded to whole pixels; arcs are followed
// to within half a pixel. The cost follows the bounds, not the path.
class PathCut {
 public:
  PathCut(const Bounds& b, long long period, Spot start);
  void line_to(Spot p);
  // The arc of `oval` from angle t0 to t1 > t0; the path must be at its
  // start.
  void arc(const Oval& oval, long double t0, long double t1);
  // Closes the path back to its start; the polygon.
  std::vector<POINT> polygon();
  const std::vector<std::vector<POINT>>& runs() const { return runs_; }

 private:
  void outside_to(Spot p, long double swept, long double length);
  void enter(Spot e, Spot towards);
  void leave(Spot x);
  void walk_border(Spot from, long double swept, std::vector<POINT>& out) const;
  long double angle_of(Spot p) const;

  Bounds b_;
  Spot centre_;
  long long period_;
  Spot start_, at_;
  bool inside_;
  long double length_ = 0, swept_ = 0, lead_swept_ = 0;
  bool entered_ = false, left_ = false;
  Spot first_entry_{0, 0}, exit_{0, 0};
  std::vector<POINT> polygon_;
  std::vector<std::vector<POINT>> runs_;
};

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
