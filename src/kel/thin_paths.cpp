// One-pixel paths walked pixel by pixel, and one-pixel arcs cut from whole
// ellipse outlines, so that a GDI that rounds thin lines, their ends, their
// dashes or the ends of arcs its own way still shows the portable
// platform's pixels.
#include <algorithm>
#include <climits>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "clipping.h"

namespace kel_clip {
namespace {

// Whether position `p` along a path is lit by `runs`.
bool lit(const LinePattern& runs, long long period, long long p) {
  if (period == 0) return true;
  p %= period;
  for (int i = 0; i < runs.count; ++i) {
    if (p < static_cast<long long>(runs.entries[i])) return i % 2 == 0;
    p -= runs.entries[i];
  }
  return false;
}

// A one-pixel cosmetic pen of the current pen's colour, selected while it
// lives. Such a pen lights every pixel of a line but its last on any GDI.
class CosmeticPen {
 public:
  explicit CosmeticPen(HDC dc) : dc_(dc) {
    HGDIOBJ current = GetCurrentObject(dc, OBJ_PEN);
    LOGBRUSH brush = {BS_SOLID, 0, 0};
    if (GetObjectType(current) == OBJ_EXTPEN) {
      struct {
        EXTLOGPEN pen;
        DWORD more_dashes[16];
      } ext = {};
      if (GetObjectA(current, sizeof ext, &ext) > 0) {
        brush.lbColor = ext.pen.elpColor;
        covers_end_ = (ext.pen.elpPenStyle & PS_TYPE_MASK) == PS_GEOMETRIC;
      }
    } else {
      LOGPEN plain = {};
      if (GetObjectA(current, sizeof plain, &plain) > 0) brush.lbColor = plain.lopnColor;
    }
    pen_ = ExtCreatePen(PS_COSMETIC | PS_SOLID, 1, &brush, 0, nullptr);
    old_ = pen_ ? SelectObject(dc, pen_) : nullptr;
  }
  ~CosmeticPen() {
    if (old_) SelectObject(dc_, old_);
    if (pen_) DeleteObject(pen_);
  }
  CosmeticPen(const CosmeticPen&) = delete;
  CosmeticPen& operator=(const CosmeticPen&) = delete;
  // Whether the pen it stands in for lights the end of a path (a
  // geometric pen's cap covers it; a cosmetic pen, such as the stock
  // pens, leaves it out).
  bool covers_end() const { return covers_end_; }

 private:
  HDC dc_;
  HPEN pen_;
  HGDIOBJ old_;
  bool covers_end_ = false;
};

// Adjacent pixels drawn as few straight pieces as possible: steps in the
// same direction are one piece, and one more step from the last pixel,
// which the pen leaves out, lights it.
class Run {
 public:
  explicit Run(HDC dc) : dc_(dc) {}
  void add(POINT p) {
    if (points_.size() >= 2 && same_step(points_[points_.size() - 2], points_.back(), p))
      points_.back() = p;
    else
      points_.push_back(p);
  }
  void flush() {
    if (points_.empty()) return;
    const POINT end = points_.back();
    points_.push_back(POINT{end.x < INT_MAX ? end.x + 1 : end.x - 1, end.y});
    Polyline(dc_, points_.data(), static_cast<int>(points_.size()));
    points_.clear();
  }

 private:
  // Whether b-c continues a-b in the same direction (b-c being one step).
  static bool same_step(POINT a, POINT b, POINT c) {
    const long long ux = b.x - a.x, uy = b.y - a.y;
    const long long steps = std::max(ux < 0 ? -ux : ux, uy < 0 ? -uy : uy);
    return steps > 0 && ux == (c.x - b.x) * steps && uy == (c.y - b.y) * steps;
  }
  HDC dc_;
  std::vector<POINT> points_;
};

}  // namespace

void thin_path(HDC dc, const Bounds& b, const LinePattern& runs, const POINT* points, int count) {
  if (!points || count < 2) return;
  long long period = 0;
  for (int i = 0; i < runs.count; ++i) period += runs.entries[i];
  const POINT last = points[count - 1];
  const bool closed = count > 2 && last.x == points[0].x && last.y == points[0].y;
  // Only a path that turns can come back over its own pixels.
  std::set<std::pair<LONG, LONG>> drawn;
  CosmeticPen pen(dc);
  Run run(dc);
  long long position = 0;
  for (int i = 0; i + 1 < count; ++i) {
    const POINT a = points[i], z = points[i + 1];
    const long long dx = static_cast<long long>(z.x) - a.x, dy = static_cast<long long>(z.y) - a.y;
    const long long length = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    long long first = 0, end = 0;
    if (step_range(b, a, z, &first, &end)) {
      // The next segment's start, or an end the pen leaves out.
      if (end == length && (i + 2 < count || closed || !pen.covers_end())) --end;
      for (long long k = first; k <= end; ++k) {
        const POINT p = step_point(a, dx, dy, k);
        if (b.holds(p) && lit(runs, period, position + k) &&
            (count == 2 || drawn.insert({p.x, p.y}).second))
          run.add(p);
        else
          run.flush();
      }
    }
    run.flush();  // each segment is a piece of its own
    position += length;
  }
}

#ifdef _WIN32
namespace {

// The u (whole numbers) with alpha * u >= beta, as lo..hi.
void solve(long long alpha, long long beta, long long* lo, long long* hi) {
  *lo = LLONG_MIN / 4;
  *hi = LLONG_MAX / 4;
  if (alpha == 0) {
    if (beta > 0) *lo = *hi + 1;  // none
    return;
  }
  const long double q = static_cast<long double>(beta) / alpha;
  if (alpha > 0)
    *lo = static_cast<long long>(std::ceil(q));
  else
    *hi = static_cast<long long>(std::floor(q));
}

// The region of the pixels of rows top..bottom and columns left..right whose
// centres lie in the sector swept counter-clockwise from the ray through
// `start` to the ray through `end`, rays included. Positions are in half
// pixels from the centre (cx2 / 2, cy2 / 2), y down.
HRGN sector_region(const Bounds& b, long long cx2, long long cy2, POINT start, POINT end) {
  const long long cross = static_cast<long long>(start.y) * end.x - static_cast<long long>(start.x) * end.y;
  const long long dot = static_cast<long long>(start.x) * end.x + static_cast<long long>(start.y) * end.y;
  const bool wide = cross < 0 || (cross == 0 && dot < 0);
  std::vector<RECT> rows;
  auto add = [&](long long y, long long lo, long long hi) {
    // u = 2x - cx2: the columns of u in lo..hi.
    const long long x0 = std::max<long long>(b.left, static_cast<long long>(std::ceil((lo + cx2) / 2.0L)));
    const long long x1 = std::min<long long>(b.right, static_cast<long long>(std::floor((hi + cx2) / 2.0L)));
    if (x0 <= x1)
      rows.push_back(RECT{static_cast<LONG>(x0), static_cast<LONG>(y), static_cast<LONG>(x1 + 1),
                          static_cast<LONG>(y + 1)});
  };
  for (long long y = b.top; y <= b.bottom; ++y) {
    const long long v = 2 * y - cy2;
    long long l1, h1, l2, h2;
    solve(start.y, start.x * v, &l1, &h1);   // turn(start, p) >= 0
    solve(-end.y, -end.x * v, &l2, &h2);     // turn(p, end) >= 0
    if (!wide) {
      add(y, std::max(l1, l2), std::min(h1, h2));
    } else {
      add(y, l1, h1);
      add(y, l2, h2);
    }
  }
  std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + rows.size() * sizeof(RECT));
  RGNDATA* region = reinterpret_cast<RGNDATA*>(data.data());
  region->rdh = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(rows.size()),
                              0, RECT{static_cast<LONG>(b.left), static_cast<LONG>(b.top),
                                      static_cast<LONG>(b.right + 1), static_cast<LONG>(b.bottom + 1)}};
  std::copy(rows.begin(), rows.end(), reinterpret_cast<RECT*>(region->Buffer));
  return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
}

}  // namespace

void thin_arc(HDC dc, const Bounds& page, const RECT& box, int box_end, POINT start, POINT end) {
  const long long cx2 = static_cast<long long>(box.left) + box.right;
  const long long cy2 = static_cast<long long>(box.top) + box.bottom;
  const Bounds rows = {std::max<long long>(page.left, box.left), std::max<long long>(page.top, box.top),
                       std::min<long long>(page.right, box.right),
                       std::min<long long>(page.bottom, box.bottom)};
  if (rows.left > rows.right || rows.top > rows.bottom) return;
  const POINT from = {static_cast<LONG>(2LL * start.x - cx2), static_cast<LONG>(2LL * start.y - cy2)};
  const POINT to = {static_cast<LONG>(2LL * end.x - cx2), static_cast<LONG>(2LL * end.y - cy2)};
  HRGN sector = sector_region(rows, cx2, cy2, from, to);
  if (!sector) return;
  // The region goes to the device, whose coordinates are the logical ones
  // moved by the viewport origin.
  POINT origin = {0, 0};
  GetViewportOrgEx(dc, &origin);
  OffsetRgn(sector, origin.x, origin.y);
  HRGN saved = CreateRectRgn(0, 0, 0, 0);
  const bool clipped = GetClipRgn(dc, saved) == 1;
  ExtSelectClipRgn(dc, sector, RGN_AND);
  HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Ellipse(dc, box.left, box.top, box.right + box_end, box.bottom + box_end);
  SelectObject(dc, brush);
  SelectClipRgn(dc, clipped ? saved : nullptr);
  DeleteObject(saved);
  DeleteObject(sector);
}

#else
// The portable platform's Arc draws these pixels itself.
void thin_arc(HDC dc, const Bounds&, const RECT& box, int box_end, POINT start, POINT end) {
  Arc(dc, box.left, box.top, box.right + box_end, box.bottom + box_end, start.x, start.y, end.x,
      end.y);
}
#endif

}  // namespace kel_clip
