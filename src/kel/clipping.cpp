// Cutting figures to the page before they reach the platform.
#include "clipping.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace kel_clip {
namespace {

// Solid pens: how far beyond the page a figure may reach uncut.
const long long kSolidBand = 1LL << 15;

long long magnitude(long long v) { return v < 0 ? -v : v; }

// round(k * minor / major) with halves rounded up, exactly, for
// 0 <= k, minor <= major < 2^33: the pixel a thin line lights k steps along.
long long minor_offset(long long k, long long minor, long long major) {
  const unsigned long long M = static_cast<unsigned long long>(major);
  const unsigned long long whole = static_cast<unsigned long long>(k) / M;
  const unsigned long long part = static_cast<unsigned long long>(k) % M;
  const unsigned long long product = part * static_cast<unsigned long long>(minor);
  const unsigned long long q = product / M, r = product % M;
  return static_cast<long long>(whole * static_cast<unsigned long long>(minor) + q +
                                (2 * r >= M ? 1 : 0));
}

// One edge of the Liang-Barsky cut: keeps the part of the segment where
// p * t <= q.
bool cut(long double p, long double q, long double* t0, long double* t1) {
  if (p == 0) return q >= 0;
  const long double r = q / p;
  if (p < 0) {
    if (r > *t1) return false;
    *t0 = std::max(*t0, r);
  } else {
    if (r < *t0) return false;
    *t1 = std::min(*t1, r);
  }
  return true;
}

bool same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

void append(std::vector<POINT>* points, POINT q) {
  if (points->empty() || !same(points->back(), q)) points->push_back(q);
}

// Inside the ellipse of radii (xr, yr) around (cx, cy), radii above 0.
bool inside_ellipse(long double x, long double y, long double cx, long double cy, long double xr,
                    long double yr) {
  const long double u = (x - cx) / xr, v = (y - cy) / yr;
  return u * u + v * v < 1;
}

const long double kPi = 3.14159265358979323846L;
const long double kTurn = 2 * kPi;

std::atomic<bool> g_cutting_curves{KEL__SystemGdi};

// An angle difference brought into (-pi, pi].
long double wrapped(long double a) {
  a = std::fmod(a, kTurn);
  if (a > kPi) a -= kTurn;
  if (a <= -kPi) a += kTurn;
  return a;
}

// Pixel steps from a to z: the longer of the two travels.
long double steps(Spot a, Spot z) { return std::max(std::fabs(z.x - a.x), std::fabs(z.y - a.y)); }

bool holds(const Bounds& b, Spot p) {
  return p.x >= b.left && p.x <= b.right && p.y >= b.top && p.y <= b.bottom;
}

POINT rounded(Spot p) {
  return POINT{static_cast<LONG>(std::llround(p.x)), static_cast<LONG>(std::llround(p.y))};
}

// Pixel steps along `oval` from angle 0 to t: the integral of
// max(a |sin|, b |cos|), in closed form per quarter, whose length is
// sqrt(a^2 + b^2).
long double arc_steps(const Oval& o, long double t) {
  const long double quarter = std::sqrt(o.a * o.a + o.b * o.b);
  const long double turn = std::atan2(o.b, o.a);  // where a sin = b cos
  auto within = [&](long double r) {              // 0 <= r <= pi / 2
    return r <= turn ? o.b * std::sin(r)
                     : o.b * std::sin(turn) + o.a * (std::cos(turn) - std::cos(r));
  };
  const long double n = std::floor(t / (kPi / 2));
  const long double r = t - n * (kPi / 2);
  const bool odd = std::fmod(std::fabs(n), 2.0L) == 1;
  return n * quarter + (odd ? quarter - within(kPi / 2 - r) : within(r));
}

bool encloses(const Oval& o, Spot p) {
  if (o.a <= 0 || o.b <= 0) return false;
  const long double u = (p.x - o.centre.x) / o.a, v = (p.y - o.centre.y) / o.b;
  return u * u + v * v < 1;
}

// The angles in (t0, t1) where `oval` meets the lines of the edges of `b`,
// added to `out`.
void edge_crossings(const Oval& o, const Bounds& b, long double t0, long double t1,
                    std::vector<long double>* out) {
  auto lift = [&](long double t) {
    for (t += kTurn * std::ceil((t0 - t) / kTurn); t < t1; t += kTurn)
      if (t > t0) out->push_back(t);
  };
  if (o.a > 0)
    for (long double x : {b.left, b.right}) {
      const long double c = (x - o.centre.x) / o.a;
      if (std::fabs(c) > 1) continue;
      lift(std::acos(c));
      lift(-std::acos(c));
    }
  if (o.b > 0)
    for (long double y : {b.top, b.bottom}) {
      const long double s = (o.centre.y - y) / o.b;
      if (std::fabs(s) > 1) continue;
      lift(std::asin(s));
      lift(kPi - std::asin(s));
    }
}

}  // namespace

bool cutting_curves() { return g_cutting_curves.load(); }
void set_cutting_curves(bool on) { g_cutting_curves.store(on); }

bool reaches_beyond(const Bounds& b, long long left, long long top, long long right,
                    long long bottom, long long band) {
  return std::min(left, right) < b.left - band || std::max(left, right) > b.right + band ||
         std::min(top, bottom) < b.top - band || std::max(top, bottom) > b.bottom + band;
}

Spot Oval::at(long double t) const {
  return Spot{centre.x + a * std::cos(t), centre.y - b * std::sin(t)};
}

PathCut::PathCut(const Bounds& b, long long period, Spot start)
    : b_(b),
      centre_{(b.left + b.right) / 2.0L, (b.top + b.bottom) / 2.0L},
      period_(period),
      start_(start),
      at_(start),
      inside_(holds(b, start)) {
  if (!inside_) return;
  append(&polygon_, rounded(start));
  runs_.emplace_back();
  append(&runs_.back(), rounded(start));
}

long double PathCut::angle_of(Spot p) const {
  return std::atan2(centre_.y - p.y, p.x - centre_.x);  // counter-clockwise on the screen
}

void PathCut::line_to(Spot p) {
  const long double dx = p.x - at_.x, dy = p.y - at_.y;
  long double t0 = 0, t1 = 1;
  if (!cut(-dx, at_.x - b_.left, &t0, &t1) || !cut(dx, b_.right - at_.x, &t0, &t1) ||
      !cut(-dy, at_.y - b_.top, &t0, &t1) || !cut(dy, b_.bottom - at_.y, &t0, &t1)) {
    outside_to(p, wrapped(angle_of(p) - angle_of(at_)), steps(at_, p));
    return;
  }
  const Spot e = {at_.x + t0 * dx, at_.y + t0 * dy}, x = {at_.x + t1 * dx, at_.y + t1 * dy};
  if (!inside_) {
    outside_to(e, wrapped(angle_of(e) - angle_of(at_)), steps(at_, e));
    enter(e, p);
  }
  length_ += steps(e, x);
  append(&polygon_, rounded(x));
  append(&runs_.back(), rounded(x));
  at_ = x;
  if (t1 < 1) outside_to(p, wrapped(angle_of(p) - angle_of(x)), steps(x, p));
}

void PathCut::arc(const Oval& oval, long double t0, long double t1) {
  std::vector<long double> cuts = {t0, t1};
  edge_crossings(oval, b_, t0, t1, &cuts);
  std::sort(cuts.begin(), cuts.end());
  for (size_t i = 0; i + 1 < cuts.size(); ++i) {
    const long double ta = cuts[i], tb = cuts[i + 1];
    if (tb <= ta) continue;
    if (!holds(b_, oval.at((ta + tb) / 2))) {
      const Spot from = oval.at(ta), to = oval.at(tb);
      long double swept = angle_of(to) - angle_of(from);
      if (encloses(oval, centre_)) {  // the angle grows all along: up to a whole turn
        swept = std::fmod(swept, kTurn);
        if (swept <= 0) swept += kTurn;
      } else {
        swept = wrapped(swept);
      }
      outside_to(to, swept, arc_steps(oval, tb) - arc_steps(oval, ta));
      continue;
    }
    // About one pixel step apart, and never so many points that the page
    // does not bound them.
    const long double fewest = (tb - ta) / 65536, most = 0.05L;
    for (long double t = ta; t < tb;) {
      const long double speed =
          std::max(oval.a * std::fabs(std::sin(t)), oval.b * std::fabs(std::cos(t)));
      const long double next = t + std::clamp(speed > 0 ? 1 / speed : most, fewest, most);
      t = next > t ? std::min(tb, next) : tb;  // a step below the angle's precision ends it
      line_to(oval.at(t));
    }
  }
}

void PathCut::outside_to(Spot p, long double swept, long double length) {
  if (inside_) leave(at_);
  swept_ += swept;
  length_ += length;
  at_ = p;
}

void PathCut::enter(Spot e, Spot towards) {
  if (left_) {
    walk_border(exit_, swept_, polygon_);
  } else {
    lead_swept_ = swept_;
    first_entry_ = e;
  }
  append(&polygon_, rounded(e));
  entered_ = true;
  inside_ = true;
  runs_.emplace_back();
  const long double lead = period_ > 0 ? std::round(std::fmod(length_, period_)) : 0;
  const long double travel = steps(e, towards);
  if (lead > 0 && travel > 0)
    append(&runs_.back(), rounded(Spot{e.x - (towards.x - e.x) * lead / travel,
                                           e.y - (towards.y - e.y) * lead / travel}));
  append(&runs_.back(), rounded(e));
}

void PathCut::leave(Spot x) {
  inside_ = false;
  left_ = true;
  exit_ = x;
  swept_ = 0;
}

void PathCut::walk_border(Spot from, long double swept, std::vector<POINT>& out) const {
  const Spot corners[4] = {{static_cast<long double>(b_.right), static_cast<long double>(b_.top)},
                           {static_cast<long double>(b_.left), static_cast<long double>(b_.top)},
                           {static_cast<long double>(b_.left), static_cast<long double>(b_.bottom)},
                           {static_cast<long double>(b_.right), static_cast<long double>(b_.bottom)}};
  const long double phi = angle_of(from), end = phi + swept, way = swept < 0 ? -1 : 1;
  std::vector<std::pair<long double, Spot>> passed;  // (distance round from `from`, corner)
  for (Spot c : corners) {
    long double d = way * (angle_of(c) - phi);
    d -= kTurn * std::floor(d / kTurn);  // in [0, a turn)
    for (; d < way * (end - phi); d += kTurn)
      if (d > 0) passed.emplace_back(d, c);
  }
  std::sort(passed.begin(), passed.end(),
            [](const auto& l, const auto& r) { return l.first < r.first; });
  for (const auto& corner : passed) append(&out, rounded(corner.second));
}

std::vector<POINT> PathCut::polygon() {
  line_to(start_);
  if (holds(b_, start_)) return polygon_;
  if (entered_) {
    walk_border(exit_, swept_ + lead_swept_, polygon_);
  } else if (std::fabs(swept_) > kPi) {  // the path goes round the whole of the bounds
    polygon_.clear();
    walk_border(Spot{static_cast<long double>(b_.right), centre_.y}, kTurn, polygon_);
  }
  return polygon_;
}

POINT step_point(POINT origin, long long dx, long long dy, long long k) {
  const bool flat = magnitude(dx) >= magnitude(dy);
  const long long major = flat ? magnitude(dx) : magnitude(dy);
  if (major == 0) return origin;
  const long long minor = minor_offset(k, flat ? magnitude(dy) : magnitude(dx), major);
  const long long along_x = flat ? k : minor, along_y = flat ? minor : k;
  POINT p = {static_cast<LONG>(origin.x + (dx < 0 ? -along_x : along_x)),
             static_cast<LONG>(origin.y + (dy < 0 ? -along_y : along_y))};
  return p;
}

bool step_range(const Bounds& b, POINT a, POINT z, long long* first, long long* last) {
  const long long dx = static_cast<long long>(z.x) - a.x;
  const long long dy = static_cast<long long>(z.y) - a.y;
  long double t0 = 0, t1 = 1;
  if (!cut(-dx, a.x - b.left, &t0, &t1) || !cut(dx, b.right - a.x, &t0, &t1) ||
      !cut(-dy, a.y - b.top, &t0, &t1) || !cut(dy, b.bottom - a.y, &t0, &t1))
    return false;
  const long long major = std::max(magnitude(dx), magnitude(dy));
  *first = std::max(0LL, static_cast<long long>(std::floor(t0 * major)) - 1);
  *last = std::min(major, static_cast<long long>(std::ceil(t1 * major)) + 1);
  return true;
}

Bounds page_bounds(HDC dc, int width, int height, long long margin) {
  POINT origin = {0, 0};
  GetViewportOrgEx(dc, &origin);
  return page_bounds(origin, width, height, margin);
}

Bounds page_bounds(POINT origin, int width, int height, long long margin) {
  return Bounds{-margin - origin.x, -margin - origin.y, width - 1LL + margin - origin.x,
                height - 1LL + margin - origin.y};
}

long long margin_for(const WindowData* wd) {
  const long long width = PenWidth(wd);
  const long long reach = width / 2 + 2;
  return PenDashes(wd->line).count > 0 ? reach : reach + kSolidBand;
}

bool clip_segment(const Bounds& b, long long period, POINT* a, POINT* z) {
  if (b.holds(*a) && b.holds(*z)) return true;
  const long long dx = static_cast<long long>(z->x) - a->x;
  const long long dy = static_cast<long long>(z->y) - a->y;
  long double t0 = 0, t1 = 1;
  if (!cut(-dx, a->x - b.left, &t0, &t1) || !cut(dx, b.right - a->x, &t0, &t1) ||
      !cut(-dy, a->y - b.top, &t0, &t1) || !cut(dy, b.bottom - a->y, &t0, &t1))
    return false;
  const long long major = std::max(magnitude(dx), magnitude(dy));
  const POINT origin = *a;
  if (t0 > 0) {
    long long k = static_cast<long long>(std::floor(t0 * major));
    if (period > 0) k -= k % period;
    *a = step_point(origin, dx, dy, k);
  }
  if (t1 < 1) *z = step_point(origin, dx, dy, static_cast<long long>(std::ceil(t1 * major)));
  return true;
}

void polyline(HDC dc, const Bounds& b, long long period, const POINT* points, int count) {
  if (std::all_of(points, points + count, [&](POINT p) { return b.holds(p); })) {
    Polyline(dc, points, count);
    return;
  }
  // Pieces that meet at an uncut corner stay one path, keeping its joins.
  std::vector<POINT> piece;
  auto flush = [&] {
    if (piece.size() >= 2) Polyline(dc, piece.data(), static_cast<int>(piece.size()));
    piece.clear();
  };
  for (int i = 0; i + 1 < count; ++i) {
    POINT a = points[i], z = points[i + 1];
    if (!clip_segment(b, period, &a, &z)) {
      flush();
      continue;
    }
    if (piece.empty() || !same(piece.back(), a)) {
      flush();
      piece.push_back(a);
    }
    piece.push_back(z);
    if (!same(z, points[i + 1])) flush();
  }
  flush();
}

Outline ellipse_outline(const Bounds& b, long long cx, long long cy, long long xradius,
                        long long yradius, long long reach) {
  const long long xr = magnitude(xradius), yr = magnitude(yradius);
  if (cx + xr + reach < b.left || cx - xr - reach > b.right || cy + yr + reach < b.top ||
      cy - yr - reach > b.bottom)
    return Outline::kOutside;
  const long double ixr = static_cast<long double>(xr) - reach;
  const long double iyr = static_cast<long double>(yr) - reach;
  if (ixr <= 0 || iyr <= 0) return Outline::kCrossing;
  const long double xs[2] = {static_cast<long double>(b.left), static_cast<long double>(b.right)};
  const long double ys[2] = {static_cast<long double>(b.top), static_cast<long double>(b.bottom)};
  for (long double x : xs)
    for (long double y : ys)
      if (!inside_ellipse(x, y, cx, cy, ixr, iyr)) return Outline::kCrossing;
  return Outline::kPageInside;
}

Span cut_stretch(long long at, long long size, long long first, long long last, long long units) {
  const long long kSafe = 1LL << 15;
  if (at >= -kSafe && at + size <= kSafe)
    return Span{static_cast<LONG>(at), static_cast<LONG>(size), 0, static_cast<LONG>(units)};
  const long long from = std::max(at, first), to = std::min(at + size, last + 1);
  if (from >= to || size <= 0) return Span{0, 0, 0, 0};
  const long double scale = static_cast<long double>(units) / size;
  const long long source = static_cast<long long>((from - at) * scale);
  // At least one pixel of the picture (hundredths of a millimetre at the
  // loader's 96 dots per inch), or nothing would be drawn from it.
  const long long kOnePixel = 27;
  const long long source_size =
      std::max(std::min(kOnePixel, units), static_cast<long long>((to - from) * scale));
  return Span{static_cast<LONG>(from), static_cast<LONG>(to - from), static_cast<LONG>(source),
              static_cast<LONG>(source_size)};
}

}  // namespace kel_clip
