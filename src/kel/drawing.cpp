// The drawing primitives: each one draws on the current window's active
// page with the pen, brush, colours, viewport origin and clipping already
// held by the page's device context, and then asks for the repaint of the
// figure's box (or of the whole window) under the rules of RefreshWindow.
//
// Coordinate arithmetic saturates at the ends of the int range: a figure that
// reaches beyond it is clipped by the page long before.
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <new>

#include "clipping.h"
#include "kel_internal.h"

namespace {

int saturate(long long v) {
  return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

int plus(int a, long long b) { return saturate(a + b); }

int min_of(int a, int b) { return a < b ? a : b; }
int max_of(int a, int b) { return a > b ? a : b; }

// Figures given by a box: the system GDI of Windows leaves out the box's
// right and bottom edges, the portable platform draws them (its boxes are
// inclusive). One more pixel there gives the same figure on both.
const int kBoxEnd = KEL__SystemGdi ? 1 : 0;

// The repaint rectangle of a box whose right and bottom are inclusive.
RECT box_plus_one(int left, int top, int right, int bottom) {
  RECT r = {left, top, plus(right, 1), plus(bottom, 1)};
  return r;
}

// A rectangle moved by `by`, saturating.
RECT shifted(RECT r, POINT by) {
  return RECT{plus(r.left, by.x), plus(r.top, by.y), plus(r.right, by.x), plus(r.bottom, by.y)};
}

RECT line_box(int x1, int y1, int x2, int y2) {
  return box_plus_one(min_of(x1, x2), min_of(y1, y2), max_of(x1, x2), max_of(y1, y2));
}

// The refresh rule: a rectangle is invalidated when automatic refresh is on,
// the whole window (null) always, and either only while the visual page is
// the active page.
void invalidate_if_shown(const WindowData* wd, const RECT* client_rect) {
  if ((wd->refreshing || !client_rect) && wd->visual_page == wd->active_page)
    InvalidateRect(wd->hWnd, client_rect, FALSE);
}

// The current window's active page, held for the drawing of one figure.
// finish() gives it back and asks for the repaint; the box is converted to
// client coordinates with the viewport origin read once while the page was
// taken (nothing changes it while the page is held), which spares taking the
// page mutex a second time and looking the context up again.
class Page {
 public:
  Page() : wd_(held_.wd()) { GetViewportOrgEx(dc(), &origin_); }
  HDC dc() const { return held_.dc(); }
  WindowData* wd() const { return wd_; }

  // The page in logical coordinates, widened by `margin`.
  kel_clip::Bounds bounds(long long margin) const {
    return kel_clip::page_bounds(origin_, wd_->width, wd_->height, margin);
  }
  // How far the pen reaches beyond a figure's outline.
  long long reach() const { return PenWidth(wd_) / 2 + 2; }
  // The pen's dash period in pixel steps; 0 for solid pens.
  long long period() const {
    LinePattern dashes = PenDashes(wd_->line);
    long long period = 0;
    for (int i = 0; i < dashes.count; ++i) period += dashes.entries[i];
    return period;
  }
  // Whether the pen is one pixel wide (and solid).
  bool thin() const { return wd_->line.thickness <= 1; }
  bool thin_and_solid() const { return thin() && period() == 0; }
  // The path through `points` with the pen, cut to the page. The system GDI
  // of Windows gets one-pixel paths pixel by pixel: it may leave out their
  // ends, round their ties and measure their dashes otherwise.
  void polyline(const POINT* points, int count) const {
    if (KEL__SystemGdi && thin())
      kel_clip::thin_path(dc(), bounds(0), PenPixelRuns(wd_->line), points, count);
    else
      kel_clip::polyline(dc(), bounds(kel_clip::margin_for(wd_)), period(), points, count);
  }
  // Whether a figure in the box reaches so far beyond the page that the
  // platform is to get only its part near the page. Dashed outlines cost a
  // system GDI most, per pixel of their whole length.
  bool cut(long long left, long long top, long long right, long long bottom) const {
    const long long band = period() > 0 ? 256 : 4096;
    return kel_clip::cutting_curves() &&
           kel_clip::reaches_beyond(bounds(0), left, top, right, bottom, band);
  }
  // A path near the page, starting at `start`, for the pen.
  kel_clip::PathCut path(kel_clip::Spot start) const {
    return kel_clip::PathCut(bounds(reach()), period(), start);
  }
  // The pieces of a cut path, with the pen.
  void stroke(const kel_clip::PathCut& path) const {
    for (const std::vector<POINT>& run : path.runs())
      if (run.size() >= 2) Polyline(dc(), run.data(), static_cast<int>(run.size()));
  }

  // Where the outline of an ellipse given by its centre and radii lies
  // against the page.
  kel_clip::Outline outline(int x, int y, int xradius, int yradius) const {
    return kel_clip::ellipse_outline(bounds(reach()), x, y, xradius, yradius, reach());
  }

  // Repaint of the box of a figure drawn with the pen: a wide pen reaches
  // half its thickness, rounded up, beyond the thin figure on every side.
  void finish_stroked(RECT box) {
    const long long thickness = wd_->line.thickness;
    const long long reach = thickness > 1 ? (thickness + 1) / 2 : 0;
    finish(RECT{plus(box.left, -reach), plus(box.top, -reach), plus(box.right, reach),
                plus(box.bottom, reach)});
  }
  // Repaint of the box (figure coordinates, right and bottom exclusive).
  void finish(RECT box) {
    box = shifted(box, origin_);
    held_.release();
    invalidate_if_shown(wd_, &box);
  }
  // Repaint of the whole window.
  void finish() {
    held_.release();
    invalidate_if_shown(wd_, nullptr);
  }

 private:
  HeldPage held_;
  WindowData* wd_;
  POINT origin_ = {0, 0};
};

// The fill-colour bracket: pattern brushes paint their 0 bits in the text
// colour, so it is the fill colour while a figure is filled.
class FillColour {
 public:
  explicit FillColour(const Page& page) : dc_(page.dc()), drawing_(page.wd()->drawing_color) {
    SetTextColor(dc_, converttorgb(page.wd()->fill.color));
  }
  ~FillColour() { SetTextColor(dc_, converttorgb(drawing_)); }
  FillColour(const FillColour&) = delete;
  FillColour& operator=(const FillColour&) = delete;

 private:
  HDC dc_;
  int drawing_;
};

// A closed path cut to the page: its polygon with the brush and no
// outline, then its pieces with the pen.
void fill_and_stroke(const Page& page, kel_clip::PathCut* path) {
  const std::vector<POINT> polygon = path->polygon();
  if (polygon.size() >= 3) {
    FillColour fill(page);
    HGDIOBJ pen = SelectObject(page.dc(), GetStockObject(NULL_PEN));
    Polygon(page.dc(), polygon.data(), static_cast<int>(polygon.size()));
    SelectObject(page.dc(), pen);
  }
  page.stroke(*path);
}

// A copy of the caller's x, y pairs as platform points; empty when there
// are none or no memory for them.
std::unique_ptr<POINT[]> to_points(int n_points, const int* points) {
  if (!points || n_points <= 0) return nullptr;
  std::unique_ptr<POINT[]> copy(new (std::nothrow) POINT[static_cast<size_t>(n_points)]);
  if (!copy) return nullptr;
  for (int i = 0; i < n_points; ++i) copy[i] = POINT{points[2 * i], points[2 * i + 1]};
  return copy;
}

}  // namespace

// ------------------------------------------------------------------ refresh
void LogicalToClient(HDC dc, RECT* rect) {
  POINT origin = {0, 0};
  GetViewportOrgEx(dc, &origin);
  *rect = shifted(*rect, origin);
}

void RefreshWindow(RECT* rect) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (rect) {
    HeldPage page;
    LogicalToClient(page.dc(), rect);
  }
  invalidate_if_shown(wd, rect);
}

// ----------------------------------------------------------------- geometry
void CenterToBox(int x, int y, int xradius, int yradius, int& left, int& top, int& right,
                 int& bottom) {
  left = plus(x, -static_cast<long long>(xradius));
  top = plus(y, -static_cast<long long>(yradius));
  right = plus(x, xradius);
  bottom = plus(y, yradius);
}

namespace {

POINT arc_point(int x, int y, int xradius, int yradius, int angle) {
  double r = angle * 3.141592653589793 / 180.0;
  // Offsets are truncated toward zero; |offset| <= |radius| fits a long long.
  long long dx = static_cast<long long>(xradius * std::cos(r));
  long long dy = static_cast<long long>(yradius * std::sin(r));
  POINT p = {plus(x, dx), plus(y, -dy)};
  return p;
}

}  // namespace

void ArcEndPoints(int x, int y, int xradius, int yradius, int stangle, int endangle, int& xstart,
                  int& ystart, int& xend, int& yend) {
  POINT start = arc_point(x, y, xradius, yradius, stangle);
  POINT end = arc_point(x, y, xradius, yradius, endangle);
  xstart = start.x;
  ystart = start.y;
  xend = end.x;
  yend = end.y;
}

// ----------------------------------------------------------------- pixels
void putpixel(int x, int y, int color) {
  Page page;
  SetPixelV(page.dc(), x, y, converttorgb(color));
  page.finish(box_plus_one(x, y, x, y));
}

int getpixel(int x, int y) {
  COLORREF c;
  {
    HeldPage page;
    c = GetPixel(page.dc(), x, y);
#ifdef _WIN32
    // The page of a window without client area is the system's one-pixel
    // bitmap; and Wine's GetPixel reads points outside the clip region,
    // which the system's refuses.
    const WindowData* wd = page.wd();
    if (!wd || wd->width <= 0 || wd->height <= 0 || !PtVisible(page.dc(), x, y)) c = CLR_INVALID;
#endif
  }
  if (c == CLR_INVALID) return -1;
  return KEL__ColorValueOf(c);
}

int getdisplaycolor(int color) {
  int saved = getpixel(0, 0);
  putpixel(0, 0, color);
  int result = getpixel(0, 0);
  putpixel(0, 0, saved);
  return result;
}

// ------------------------------------------------------------------- lines
void line(int x1, int y1, int x2, int y2) {
  const POINT ends[2] = {{x1, y1}, {x2, y2}};
  Page page;
  page.polyline(ends, 2);
  page.finish_stroked(line_box(x1, y1, x2, y2));
}

namespace {

// A line from the current position `from` to (x, y), which becomes the
// current position.
void line_on(Page& page, POINT from, int x, int y) {
  const POINT ends[2] = {from, {x, y}};
  page.polyline(ends, 2);
  MoveToEx(page.dc(), x, y, nullptr);
  page.finish_stroked(line_box(from.x, from.y, x, y));
}

POINT position_of(const Page& page) {
  POINT p = {0, 0};
  GetCurrentPositionEx(page.dc(), &p);
  return p;
}

}  // namespace

void lineto(int x, int y) {
  Page page;
  line_on(page, position_of(page), x, y);
}

void linerel(int dx, int dy) {
  Page page;
  const POINT p = position_of(page);
  line_on(page, p, plus(p.x, dx), plus(p.y, dy));
}

void rectangle(int left, int top, int right, int bottom) {
  const POINT outline[5] = {
      {left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
  Page page;
  page.polyline(outline, 5);
  page.finish_stroked(box_plus_one(left, top, right, bottom));
}

// A null point list or a count below 1 draws nothing.
void drawpoly(int n_points, int* points) {
  std::unique_ptr<POINT[]> copy = to_points(n_points, points);
  Page page;
  if (copy) page.polyline(copy.get(), n_points);
  page.finish();
}

namespace {

// The polygon through `points` (closed) cut to the page: its fill, then
// its outline.
void cut_polygon(const Page& page, const POINT* points, int count) {
  kel_clip::PathCut path = page.path(kel_clip::Spot{points[0].x * 1.0L, points[0].y * 1.0L});
  for (int i = 1; i < count; ++i) path.line_to(kel_clip::Spot{points[i].x * 1.0L, points[i].y * 1.0L});
  fill_and_stroke(page, &path);
}

bool polygon_reaches_far(const Page& page, const POINT* points, int count) {
  const auto [low_x, high_x] = std::minmax_element(
      points, points + count, [](POINT a, POINT b) { return a.x < b.x; });
  const auto [low_y, high_y] = std::minmax_element(
      points, points + count, [](POINT a, POINT b) { return a.y < b.y; });
  return page.cut(low_x->x, low_y->y, high_x->x, high_y->y);
}

}  // namespace

void fillpoly(int n_points, int* points) {
  std::unique_ptr<POINT[]> copy = to_points(n_points, points);
  Page page;
  if (copy && polygon_reaches_far(page, copy.get(), n_points)) {
    cut_polygon(page, copy.get(), n_points);
  } else if (copy) {
    FillColour fill(page);
    Polygon(page.dc(), copy.get(), n_points);
  }
  page.finish();
}

// ------------------------------------------------------------------- bars
void bar(int left, int top, int right, int bottom) {
  Page page;
  {
    FillColour fill(page);
    RECT r = {left, top, right, bottom};
    FillRect(page.dc(), &r, static_cast<HBRUSH>(GetCurrentObject(page.dc(), OBJ_BRUSH)));
  }
  page.finish(box_plus_one(left, top, right, bottom));
}

void bar3d(int left, int top, int right, int bottom, int depth, int topflag) {
  Page page;
  {
    FillColour fill(page);
    Rectangle(page.dc(), left, top, plus(right, kBoxEnd), plus(bottom, kBoxEnd));
  }
  const int dy = static_cast<int>(depth * std::tan(0.5235987755982988));
  const int back_x = plus(right, depth), back_top = plus(top, -static_cast<long long>(dy));
  if (depth != 0) {
    const POINT side[4] = {{right, bottom},
                           {back_x, plus(bottom, -static_cast<long long>(dy))},
                           {back_x, back_top},
                           {right, top}};
    page.polyline(side, 4);
  }
  if (topflag != 0) {
    const POINT lid[3] = {{back_x, back_top}, {plus(left, depth), back_top}, {left, top}};
    page.polyline(lid, 3);
  }
  page.finish_stroked(box_plus_one(left, back_top, back_x, bottom));
}

// ---------------------------------------------------------- round figures
namespace {

// Fills the whole page with the brush and no outline, as a figure that
// covers it does.
void fill_page(const Page& page) {
  const kel_clip::Bounds b = page.bounds(2);
  FillColour fill(page);
  HGDIOBJ pen = SelectObject(page.dc(), GetStockObject(NULL_PEN));
  Rectangle(page.dc(), static_cast<int>(b.left), static_cast<int>(b.top),
            static_cast<int>(b.right), static_cast<int>(b.bottom));
  SelectObject(page.dc(), pen);
}

// The whole outline of the ellipse in the box, with no fill: a closed
// figure, where an arc that ends where it starts may leave out its end
// pixel on some GDIs.
void whole_outline(const Page& page, int left, int top, int right, int bottom) {
  HGDIOBJ brush = SelectObject(page.dc(), GetStockObject(NULL_BRUSH));
  Ellipse(page.dc(), left, top, plus(right, kBoxEnd), plus(bottom, kBoxEnd));
  SelectObject(page.dc(), brush);
}

const long double kPi = 3.14159265358979323846L;

kel_clip::Oval oval_of(int x, int y, int xradius, int yradius) {
  return kel_clip::Oval{{x * 1.0L, y * 1.0L}, std::fabs(xradius * 1.0L), std::fabs(yradius * 1.0L)};
}

// The angles (radians) of the arc counter-clockwise from stangle to
// endangle degrees; a whole turn when they are the same.
void arc_angles(int stangle, int endangle, long double* t0, long double* t1) {
  long double sweep = std::fmod(static_cast<long double>(endangle) - stangle, 360.0L);
  if (sweep <= 0) sweep += 360;
  *t0 = (stangle % 360) * kPi / 180;
  *t1 = *t0 + sweep * kPi / 180;
}

// The arc of `oval` from t0 to t1, cut to the page, with the pen.
void cut_arc(const Page& page, const kel_clip::Oval& oval, long double t0, long double t1) {
  kel_clip::PathCut path = page.path(oval.at(t0));
  path.arc(oval, t0, t1);
  page.stroke(path);
}

}  // namespace

void circle(int x, int y, int radius) {
  int l, t, r, b;
  CenterToBox(x, y, radius, radius, l, t, r, b);
  Page page;
  if (page.outline(x, y, radius, radius) == kel_clip::Outline::kCrossing) {
    if (page.cut(l, t, r, b))
      cut_arc(page, oval_of(x, y, radius, radius), 0, 2 * kPi);
    else
      whole_outline(page, l, t, r, b);
  }
  page.finish_stroked(box_plus_one(l, t, r, b));
}

namespace {

// An arc of the ellipse around (x, y) from stangle to endangle; the end
// points it was drawn with come back through `drawn`.
void draw_arc(int x, int y, int stangle, int endangle, int xradius, int yradius,
              arccoordstype* drawn) {
  int l, t, r, b, xs, ys, xe, ye;
  CenterToBox(x, y, xradius, yradius, l, t, r, b);
  ArcEndPoints(x, y, xradius, yradius, stangle, endangle, xs, ys, xe, ye);
  Page page;
  const bool shown = page.outline(x, y, xradius, yradius) == kel_clip::Outline::kCrossing;
  if (shown && page.cut(l, t, r, b)) {
    long double t0, t1;
    arc_angles(stangle, xs == xe && ys == ye ? stangle : endangle, &t0, &t1);
    cut_arc(page, oval_of(x, y, xradius, yradius), t0, t1);
  } else if (shown && xs == xe && ys == ye)
    whole_outline(page, l, t, r, b);
  else if (shown && page.thin_and_solid())
    kel_clip::thin_arc(page.dc(), page.bounds(0), RECT{l, t, r, b}, kBoxEnd, POINT{xs, ys},
                       POINT{xe, ye});
  else if (shown)
    Arc(page.dc(), l, t, plus(r, kBoxEnd), plus(b, kBoxEnd), xs, ys, xe, ye);
  page.finish_stroked(box_plus_one(l, t, r, b));
  if (drawn) *drawn = arccoordstype{x, y, xs, ys, xe, ye};
}

void draw_pie(int x, int y, int stangle, int endangle, int xradius, int yradius) {
  int l, t, r, b, xs, ys, xe, ye;
  CenterToBox(x, y, xradius, yradius, l, t, r, b);
  ArcEndPoints(x, y, xradius, yradius, stangle, endangle, xs, ys, xe, ye);
  Page page;
  const bool shown = page.outline(x, y, xradius, yradius) != kel_clip::Outline::kOutside;
  if (shown && page.cut(l, t, r, b)) {
    long double t0, t1;
    arc_angles(stangle, xs == xe && ys == ye ? stangle : endangle, &t0, &t1);
    const kel_clip::Oval oval = oval_of(x, y, xradius, yradius);
    kel_clip::PathCut path = page.path(oval.centre);
    path.line_to(oval.at(t0));
    path.arc(oval, t0, t1);
    fill_and_stroke(page, &path);
  } else if (shown) {
    FillColour fill(page);
    Pie(page.dc(), l, t, plus(r, kBoxEnd), plus(b, kBoxEnd), xs, ys, xe, ye);
  }
  page.finish_stroked(box_plus_one(l, t, r, b));
}

}  // namespace

void arc(int x, int y, int stangle, int endangle, int radius) {
  WindowData* wd = KEL__GetWindowDataPtr();
  arccoordstype drawn;
  draw_arc(x, y, stangle, endangle, radius, radius, &drawn);
  PageLock lock(wd);
  wd->arcinfo = drawn;
}

void ellipse(int x, int y, int stangle, int endangle, int xradius, int yradius) {
  draw_arc(x, y, stangle, endangle, xradius, yradius, nullptr);
}

void fillellipse(int x, int y, int xradius, int yradius) {
  int l, t, r, b;
  CenterToBox(x, y, xradius, yradius, l, t, r, b);
  Page page;
  switch (page.outline(x, y, xradius, yradius)) {
    case kel_clip::Outline::kOutside:
      break;
    case kel_clip::Outline::kPageInside:
      fill_page(page);
      break;
    case kel_clip::Outline::kCrossing: {
      if (page.cut(l, t, r, b)) {
        const kel_clip::Oval oval = oval_of(x, y, xradius, yradius);
        kel_clip::PathCut path = page.path(oval.at(0));
        path.arc(oval, 0, 2 * kPi);
        fill_and_stroke(page, &path);
        break;
      }
      FillColour fill(page);
      Ellipse(page.dc(), l, t, plus(r, kBoxEnd), plus(b, kBoxEnd));
    }
  }
  page.finish_stroked(box_plus_one(l, t, r, b));
}

void pieslice(int x, int y, int stangle, int endangle, int radius) {
  draw_pie(x, y, stangle, endangle, radius, radius);
}

void sector(int x, int y, int stangle, int endangle, int xradius, int yradius) {
  draw_pie(x, y, stangle, endangle, xradius, yradius);
}

// A null destination is ignored.
void getarccoords(arccoordstype* arccoords) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (!arccoords) return;
  PageLock lock(wd);
  *arccoords = wd->arcinfo;
}

// -------------------------------------------------------- filling, clearing
// The seed goes in device coordinates with the viewport origin at the
// page's corner, where logical and device coordinates are the same: some
// GDIs take a flood fill's seed without the origin.
void floodfill(int x, int y, int border) {
  Page page;
  {
    FillColour fill(page);
    POINT origin = {0, 0};
    SetViewportOrgEx(page.dc(), 0, 0, &origin);
    FloodFill(page.dc(), plus(x, origin.x), plus(y, origin.y), converttorgb(border));
    SetViewportOrgEx(page.dc(), origin.x, origin.y, nullptr);
  }
  page.finish();
}

namespace {

void fill_solid(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace

// Clears the whole page whatever the viewport and its clipping, and puts the
// current position on the page's top-left pixel.
void cleardevice(void) {
  Page page;
  HDC dc = page.dc();
  POINT corner = {0, 0};
  DPtoLP(dc, &corner, 1);
  RECT whole = {corner.x, corner.y, page.wd()->width, page.wd()->height};
  HRGN saved = CreateRectRgn(0, 0, 5, 5);
  const bool clipped = GetClipRgn(dc, saved) == 1;
  if (clipped) SelectClipRgn(dc, nullptr);
  fill_solid(dc, whole, converttorgb(page.wd()->bk_color));
  moveto(corner.x, corner.y);
  if (clipped) SelectClipRgn(dc, saved);
  DeleteObject(saved);
  page.finish();
}

void clearviewport(void) {
  Page page;
  const viewporttype& v = page.wd()->viewport;
  RECT area = {0, 0, plus(v.right, -static_cast<long long>(v.left)),
               plus(v.bottom, -static_cast<long long>(v.top))};
  fill_solid(page.dc(), area, converttorgb(page.wd()->bk_color));
  moveto(0, 0);
  page.finish();
}
