// Cutting figures to the page before they reach the platform.
#include "clipping.h"

#include <algorithm>
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

// The point k pixel steps from `origin` along the segment of extent (dx, dy).
POINT step_point(POINT origin, long long dx, long long dy, long long k) {
  const bool flat = magnitude(dx) >= magnitude(dy);
  const long long major = flat ? magnitude(dx) : magnitude(dy);
  const long long minor = minor_offset(k, flat ? magnitude(dy) : magnitude(dx), major);
  const long long along_x = flat ? k : minor, along_y = flat ? minor : k;
  POINT p = {static_cast<LONG>(origin.x + (dx < 0 ? -along_x : along_x)),
             static_cast<LONG>(origin.y + (dy < 0 ? -along_y : along_y))};
  return p;
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

// Inside the ellipse of radii (xr, yr) around (cx, cy), radii above 0.
bool inside_ellipse(long double x, long double y, long double cx, long double cy, long double xr,
                    long double yr) {
  const long double u = (x - cx) / xr, v = (y - cy) / yr;
  return u * u + v * v < 1;
}

}  // namespace

Bounds page_bounds(HDC dc, int width, int height, long long margin) {
  POINT origin = {0, 0};
  GetViewportOrgEx(dc, &origin);
  return Bounds{-margin - origin.x, -margin - origin.y, width - 1LL + margin - origin.x,
                height - 1LL + margin - origin.y};
}

long long margin_for(const WindowData* wd) {
  const long long width = std::max(wd->line.thickness, 1);
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
