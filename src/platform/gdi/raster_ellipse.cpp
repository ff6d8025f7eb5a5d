// Ellipse outlines, fills, arcs and sectors by rows.
//
// One-pixel outlines: a pixel belongs to the outline of its row when the
// curve crosses its column within half a pixel of it (the choice for the
// flat parts, one pixel per column) or when it is the pixel nearest to the
// curve along its row (the steep parts, one pixel per row). Both tests are
// exact integer comparisons, so a circle is also symmetric about its
// diagonals, and the union is 8-connected. Wide outlines are the band
// between the ellipses grown and shrunk by half the pen width.
#include "raster_ellipse.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "raster_polygon.h"

namespace kelplat::gdi::raster {
namespace {

__extension__ typedef unsigned __int128 uint128;
__extension__ typedef __int128 int128;

constexpr int64_t kUnbounded = int64_t(1) << 62;

int64_t clamp_to_int64(int128 v) {
  return int64_t(std::clamp<int128>(v, -kUnbounded, kUnbounded));
}
int64_t clamp_to_int64(long double v) {
  return int64_t(std::clamp<long double>(v, -kUnbounded, kUnbounded));
}

uint64_t isqrt(uint64_t n) {
  // The double root is within a step or two of the true one; the loops
  // settle it exactly.
  uint64_t r = uint64_t(std::sqrt(static_cast<double>(n)));
  while (r > 0 && uint128(r) * r > n) r--;
  while (uint128(r + 1) * (r + 1) <= n) r++;
  return r;
}

int64_t with_parity_down(int64_t k, int parity) { return ((k ^ parity) & 1) ? k - 1 : k; }
int64_t with_parity_up(int64_t k, int parity) { return ((k ^ parity) & 1) ? k + 1 : k; }

// Largest k >= 0 with k^2 b^2 <= a^2 (b^2 - w^2), for 0 <= w <= b: the last
// column inside the ellipse at height w, of either parity.
int64_t column_reach(int64_t a, int64_t b, int64_t w) {
  if (b == 0) return a;
  if (a < 65536 && b < 65536) {  // every product fits 64 bits: no 128-bit division
    const uint64_t q = uint64_t(a) * uint64_t(a) * (uint64_t(b - w) * uint64_t(b + w)) /
                       (uint64_t(b) * uint64_t(b));
    return int64_t(isqrt(q));
  }
  uint128 q = uint128(uint64_t(a)) * uint64_t(a) * (uint128(uint64_t(b - w)) * uint64_t(b + w)) /
              (uint128(uint64_t(b)) * uint64_t(b));
  return int64_t(isqrt(uint64_t(q)));
}

// The same, of the given parity; parity - 2 when there is none.
int64_t reach(int64_t a, int64_t b, int64_t w, int parity) {
  return with_parity_down(column_reach(a, b, w), parity);
}

struct RowRange {
  int64_t lo, hi;  // right half, u in half pixels
};

// The one-pixel outline of the row at height h = |v| (right half), from
// reach_at(w, parity) = reach(e.a, e.b, w, parity).
template <class ReachAt>
RowRange thin_row_from(const EllipseBox& e, int64_t h, ReachAt&& reach_at) {
  const int u0 = int(e.a & 1);
  int64_t band_hi = reach_at(std::max<int64_t>(h - 1, 0), u0);
  int64_t band_lo = h + 1 <= e.b ? reach_at(h + 1, u0) + 2 : u0;
  int64_t nearest = reach_at(h, 1 - u0) + 1;
  if (band_lo > band_hi) return {nearest, nearest};
  return {std::min(band_lo, nearest), std::max(band_hi, nearest)};
}

RowRange thin_row(const EllipseBox& e, int64_t h) {
  return thin_row_from(e, h, [&](int64_t w, int parity) { return reach(e.a, e.b, w, parity); });
}

// The one-pixel outline rows of rows [y_first, y_end) of the box, from the
// column reach of every height they need, worked out once for both halves
// and both the outline and the fill. Going down the heights, each reach is
// found a few exact steps below the one before; where the curve is flat and
// it falls further, it is worked out afresh.
class ThinRows {
 public:
  ThinRows(const EllipseBox& e, int64_t y_first, int64_t y_end)
      : e_(e),
        a2_(uint128(uint64_t(e.a)) * uint64_t(e.a)),
        b2_(uint128(uint64_t(e.b)) * uint64_t(e.b)),
        narrow_(e.a < 65536 && e.b < 65536) {
    if (y_first >= y_end) return;
    const int64_t v_first = 2 * y_first - e.cy2, v_last = 2 * (y_end - 1) - e.cy2;
    const int64_t h_lo = v_first <= 0 && v_last >= 0 ? 0 : std::min(std::llabs(v_first), std::llabs(v_last));
    const int64_t h_hi = std::max(std::llabs(v_first), std::llabs(v_last));
    w_first_ = std::max<int64_t>(h_lo - 1, 0);
    const int64_t w_last = std::min(h_hi + 1, e.b);
    reach_.resize(size_t(std::max<int64_t>(w_last - w_first_ + 1, 0)));
    const bool exact_products = e.a < (int64_t(1) << 31) && e.b < (int64_t(1) << 31) && e.b > 0;
    int64_t k = 0;
    for (int64_t w = w_first_; w <= w_last; w++) {
      k = w > w_first_ && exact_products ? step_down(k, w) : column_reach(e.a, e.b, w);
      reach_[size_t(w - w_first_)] = k;
    }
  }
  RowRange at(int64_t y) const {
    return thin_row_from(e_, std::llabs(2 * y - e_.cy2), [&](int64_t w, int parity) {
      return with_parity_down(reach_[size_t(w - w_first_)], parity);
    });
  }

 private:
  // k^2 b^2 <= a^2 (b^2 - w^2), every product below 2^124 (below 2^64 for
  // axes under 2^16, which most figures have).
  bool fits(int64_t k, int64_t w) const {
    if (narrow_) {
      const uint64_t kk = uint64_t(k) * uint64_t(k), ww = uint64_t(w) * uint64_t(w);
      return kk * uint64_t(b2_) <= uint64_t(a2_) * (uint64_t(b2_) - ww);
    }
    return uint128(uint64_t(k)) * uint64_t(k) * b2_ <= a2_ * (b2_ - uint128(uint64_t(w)) * uint64_t(w));
  }
  int64_t step_down(int64_t previous, int64_t w) const {
    for (int64_t k = previous; k >= 0 && k > previous - 8; k--) {
      if (fits(k, w)) return k;
    }
    return column_reach(e_.a, e_.b, w);
  }
  const EllipseBox& e_;
  const uint128 a2_, b2_;
  const bool narrow_;
  int64_t w_first_ = 0;
  std::vector<int64_t> reach_;
};

// The last column (right half) where the curve is flatter than 45 degrees.
int64_t last_flat_column(const EllipseBox& e) {
  const int u0 = int(e.a & 1);
  if (e.a == 0) return u0 - 2;
  const uint128 a2 = uint128(uint64_t(e.a)) * uint64_t(e.a), b2 = uint128(uint64_t(e.b)) * uint64_t(e.b);
  const uint128 a4 = a2 * a2, sum = a2 + b2;
  auto flat = [&](int64_t u) {
    uint128 product;
    uint128 uu = uint128(uint64_t(u)) * uint64_t(u);
    return !__builtin_mul_overflow(uu, sum, &product) && product <= a4;
  };
  long double a = e.a, b = e.b;
  int64_t k = std::min<int64_t>(e.a, int64_t(a * a / std::sqrt(a * a + b * b)));
  while (k > 0 && !flat(k)) k--;
  while (k < e.a && flat(k + 1)) k++;
  return with_parity_down(k, u0);
}

// Turn from a to b: positive when b lies counter-clockwise (on the screen)
// from a; vectors have y down.
int128 turn(DevPoint a, DevPoint b) { return int128(a.y) * b.x - int128(a.x) * b.y; }

// The u with alpha * u >= beta, as a range.
void solve(int64_t alpha, int128 beta, int64_t& lo, int64_t& hi) {
  lo = -kUnbounded;
  hi = kUnbounded;
  if (alpha == 0) {
    if (beta > 0) lo = kUnbounded + 1;  // none
    return;
  }
  int128 q = beta / alpha, r = beta % alpha;
  if (alpha > 0) {
    lo = clamp_to_int64(q + ((r != 0 && (r > 0) == (alpha > 0)) ? 1 : 0));
  } else {
    hi = clamp_to_int64(q - ((r != 0 && (r > 0) != (alpha > 0)) ? 1 : 0));
  }
}

// Positions along the one-pixel outline in pixel steps, counter-clockwise
// from the start of the sector: the steep part of each quarter is counted
// by rows, the flat part by columns.
class ThinPositions {
 public:
  ThinPositions(const EllipseBox& e, const Sector& sector) : e_(e) {
    u0_ = int(e.a & 1);
    h0_ = int(e.b & 1);
    flat_ = last_flat_column(e);
    steep_rows_ = count_steep_rows();
    int64_t flat_columns = flat_ >= u0_ ? (flat_ - u0_) / 2 + 1 : 0;
    quarter_ = steep_rows_ + flat_columns;
    share_u_ = u0_ == 0;
    share_v_ = h0_ == 0;
    perimeter_ = std::max<int64_t>(1, 4 * quarter_ - 2 * share_u_ - 2 * share_v_);
    start_ = start_position(sector.start());
  }

  int64_t relative(int64_t u, int64_t v) const {
    int64_t p = (absolute(u >= 0, v <= 0, lambda(std::llabs(u), std::llabs(v))) - start_) % perimeter_;
    return p < 0 ? p + perimeter_ : p;
  }

 private:
  int64_t count_steep_rows() const {
    auto steep = [&](int64_t j) { return thin_row(e_, h0_ + 2 * j).hi > flat_; };
    if (!steep(0)) return 0;
    int64_t lo = 0, hi = (e_.b - h0_) / 2;  // steep(lo) holds
    while (lo < hi) {
      int64_t mid = lo + (hi - lo + 1) / 2;
      if (steep(mid)) lo = mid; else hi = mid - 1;
    }
    return lo + 1;
  }
  int64_t clamp_lambda(int64_t l) const { return std::clamp<int64_t>(l, 0, std::max<int64_t>(quarter_ - 1, 0)); }
  int64_t lambda(int64_t u, int64_t h) const {
    return clamp_lambda(u > flat_ ? (h - h0_) / 2 : steep_rows_ + (flat_ - u) / 2);
  }
  int64_t absolute(bool right, bool upper, int64_t l) const {
    if (right && upper) return l;
    if (upper) return 2 * quarter_ - 1 - share_u_ - l;
    if (!right) return 2 * quarter_ - share_u_ - share_v_ + l;
    return 4 * quarter_ - 1 - 2 * share_u_ - share_v_ - l;
  }
  int64_t start_position(DevPoint direction) const {
    if (e_.a == 0 || e_.b == 0) return 0;
    long double a = e_.a, b = e_.b, dx = direction.x, dy = direction.y;
    long double t = 1 / std::sqrt((dx / a) * (dx / a) + (dy / b) * (dy / b));
    long double u = std::fabs(dx * t), h = std::fabs(dy * t);
    int64_t l = u > flat_ ? std::llround((h - h0_) / 2) : steep_rows_ + std::llround((flat_ - u) / 2);
    return absolute(dx >= 0, dy <= 0, clamp_lambda(l));
  }

  const EllipseBox& e_;
  int u0_, h0_;
  int64_t flat_, steep_rows_, quarter_, share_u_, share_v_, perimeter_, start_;
};

// Positions along the outline of a wide pen: lengths counted like pixel
// steps (the longer of the horizontal and vertical travel), measured at the
// point of the ellipse in the pixel's direction.
class WidePositions {
 public:
  WidePositions(const EllipseBox& e, const Sector& sector)
      : a_(e.a / 2.0L), b_(e.b / 2.0L), quarter_(std::sqrt(a_ * a_ + b_ * b_)) {
    start_ = absolute(sector.start().x / 2.0L, sector.start().y / 2.0L);
  }
  double relative(int64_t u, int64_t v) const {
    long double p = std::fmod(absolute(u / 2.0L, v / 2.0L) - start_, 4 * quarter_);
    return double(p < 0 ? p + 4 * quarter_ : p);
  }

 private:
  long double absolute(long double x, long double y) const {  // y down
    long double ax = std::fabs(x), ay = std::fabs(y), l;
    if (a_ == 0 || b_ == 0) {
      l = a_ == 0 ? std::min(ay, b_) : quarter_ - std::min(ax, a_);
    } else {
      long double rho = std::sqrt((ax / a_) * (ax / a_) + (ay / b_) * (ay / b_));
      if (rho == 0) return 0;
      ax /= rho;
      ay /= rho;
      long double flat_x = a_ * a_ / quarter_, flat_y = b_ * b_ / quarter_;
      l = ax > flat_x ? ay : flat_y + (flat_x - ax);
    }
    bool right = x >= 0, upper = y <= 0;
    if (right && upper) return l;
    if (upper) return 2 * quarter_ - l;
    if (!right) return 2 * quarter_ + l;
    return 4 * quarter_ - l;
  }
  long double a_, b_, quarter_, start_;
};

// Emits the part [lo, hi] (u, half pixels, parity of the columns) of row y
// that lies in the sector and the clip, as device columns.
template <class Out>
void emit_row_part(const EllipseBox& e, const Sector& sector, int64_t y, int64_t lo, int64_t hi,
                   const Box& clip, Out&& out) {
  const int parity = int(e.a & 1);
  int64_t slo[2] = {lo, 0}, shi[2] = {hi, 0};
  const int n = sector.whole() ? 1 : sector.row_ranges(2 * y - e.cy2, slo, shi);
  for (int i = 0; i < n; i++) {
    int64_t a = with_parity_up(std::max(lo, slo[i]), parity);
    int64_t b = with_parity_down(std::min(hi, shi[i]), parity);
    if (a > b) continue;
    int64_t x0 = std::max<int64_t>((a + e.cx2) / 2, clip.left);
    int64_t x1 = std::min<int64_t>((b + e.cx2) / 2 + 1, clip.right);
    if (x0 < x1) out(y, x0, x1);
  }
}

// Adds [x0, x1) of row y, keeping only the pixels whose dash is drawn.
template <class IsOn>
void add_dashed(Coverage& out, int64_t y, int64_t x0, int64_t x1, IsOn&& on) {
  int64_t run = x0;
  for (int64_t x = x0; x < x1; x++) {
    if (on(x)) continue;
    out.add(y, run, x);
    run = x + 1;
  }
  out.add(y, run, x1);
}

void thin_outline(const EllipseBox& e, const Sector& sector, const DashList& dashes, Coverage& out) {
  const Box& clip = out.clip();
  std::optional<ThinPositions> positions;
  if (!dashes.thin_solid()) positions.emplace(e, sector);
  auto add = [&](int64_t y, int64_t x0, int64_t x1) {
    if (!positions) return out.add(y, x0, x1);
    const int64_t v = 2 * y - e.cy2;
    add_dashed(out, y, x0, x1, [&](int64_t x) {
      return dashes.thin_on(positions->relative(2 * x - e.cx2, v));
    });
  };
  const int64_t y_first = std::max<int64_t>(e.top, clip.top);
  const int64_t y_end = std::min<int64_t>(e.bottom + 1, clip.bottom);
  const ThinRows rows(e, y_first, y_end);
  for (int64_t y = y_first; y < y_end; y++) {
    RowRange r = rows.at(y);
    emit_row_part(e, sector, y, r.lo, r.hi, clip, add);
    emit_row_part(e, sector, y, -r.hi, -r.lo, clip, add);
  }
}

// Columns [lo, hi] of the right half of a wide outline's row; `whole` when
// the row has no hole (then lo = -hi).
struct WideRow {
  bool any, whole;
  int64_t lo, hi;
};

WideRow wide_row(const EllipseBox& e, long double half_width, int64_t h) {
  const int u0 = int(e.a & 1);
  long double ao = e.a + 2 * half_width, bo = e.b + 2 * half_width;
  long double ai = e.a - 2 * half_width, bi = e.b - 2 * half_width;
  if (h >= bo) return {false, false, 0, 0};
  long double hh = h;
  int64_t hi = with_parity_down(clamp_to_int64(std::ceil(ao * std::sqrt(1 - (hh / bo) * (hh / bo)))) - 1, u0);
  if (hi < 0) return {false, false, 0, 0};
  if (ai <= 0 || bi <= 0 || hh >= bi) return {true, true, -hi, hi};
  int64_t lo = with_parity_up(clamp_to_int64(std::ceil(ai * std::sqrt(1 - (hh / bi) * (hh / bi)))), u0);
  return {lo <= hi, false, lo, hi};
}

void wide_outline(const EllipseBox& e, const Sector& sector, double width, const DashList& dashes,
                  Coverage& out) {
  const Box& clip = out.clip();
  const long double half = width / 2;
  const bool dashed = !dashes.wide_solid(double(half));
  WidePositions positions(e, sector);
  auto add = [&](int64_t y, int64_t x0, int64_t x1) {
    if (!dashed) return out.add(y, x0, x1);
    const int64_t v = 2 * y - e.cy2;
    add_dashed(out, y, x0, x1, [&](int64_t x) {
      return dashes.wide_covers(double(half), positions.relative(2 * x - e.cx2, v));
    });
  };
  const long double reach_rows = e.b / 2.0L + half + 1;
  const long double centre_y = e.cy2 / 2.0L;
  const int64_t y_first = std::max<int64_t>(clamp_to_int64(centre_y - reach_rows), clip.top);
  const int64_t y_end = std::min<int64_t>(clamp_to_int64(centre_y + reach_rows) + 1, clip.bottom);
  for (int64_t y = y_first; y < y_end; y++) {
    WideRow r = wide_row(e, half, std::llabs(2 * y - e.cy2));
    if (!r.any) continue;
    if (r.whole) {
      emit_row_part(e, sector, y, -r.hi, r.hi, clip, add);
    } else {
      emit_row_part(e, sector, y, r.lo, r.hi, clip, add);
      emit_row_part(e, sector, y, -r.hi, -r.lo, clip, add);
    }
  }
}

// The point of the ellipse on a ray, in half pixels from the centre, y down.
void ray_point(const EllipseBox& e, DevPoint d, long double& x, long double& y) {
  long double a = e.a, b = e.b, dx = d.x, dy = d.y;
  if (e.a == 0 || e.b == 0) {
    x = e.a == 0 ? 0 : (dx < 0 ? -a : a);
    y = e.b == 0 ? 0 : (dy < 0 ? -b : b);
    return;
  }
  long double t = 1 / std::sqrt((dx / a) * (dx / a) + (dy / b) * (dy / b));
  x = dx * t;
  y = dy * t;
}

// A square cap: the pen's width across, half its width along the curve's
// tangent, beyond the arc's end (backwards at the start).
void arc_cap(const EllipseBox& e, DevPoint ray, bool at_start, double width, Coverage& out) {
  if (e.a == 0 || e.b == 0) return;
  long double x, y;
  ray_point(e, ray, x, y);
  // Counter-clockwise on the screen is (y / b^2, -x / a^2) scaled, y down.
  long double tx = y * e.a / e.b, ty = -x * e.b / e.a;
  long double length = std::hypot(tx, ty);
  if (length == 0) return;
  tx /= length;
  ty /= length;
  if (at_start) {
    tx = -tx;
    ty = -ty;
  }
  const double half = width / 2;
  const double px = double((e.cx2 + x) / 2), py = double((e.cy2 + y) / 2);
  const double ax = double(tx) * half, ay = double(ty) * half;  // along
  const double nx = -ay, ny = ax;                                // across
  PointF quad[4] = {{px + nx, py + ny}, {px + nx + ax, py + ny + ay}, {px - nx + ax, py - ny + ay},
                    {px - nx, py - ny}};
  fill_polygon(quad, 4, out);
}

}  // namespace

EllipseBox::EllipseBox(int64_t left, int64_t top_row, int64_t right, int64_t bottom_row) {
  if (left > right) std::swap(left, right);
  if (top_row > bottom_row) std::swap(top_row, bottom_row);
  cx2 = left + right;
  cy2 = top_row + bottom_row;
  a = right - left;
  b = bottom_row - top_row;
  top = top_row;
  bottom = bottom_row;
}

Sector::Sector(DevPoint start, DevPoint end) {
  const DevPoint zero{0, 0};
  start_ = start == zero ? DevPoint{2, 0} : start;
  end_ = end == zero ? DevPoint{2, 0} : end;
  int128 t = turn(start_, end_);
  int128 dot = int128(start_.x) * end_.x + int128(start_.y) * end_.y;
  whole_ = t == 0 && dot > 0;
  wide_ = t < 0 || (t == 0 && dot < 0);
}

int Sector::row_ranges(int64_t v, int64_t lo[2], int64_t hi[2]) const {
  if (whole_) {
    lo[0] = -kUnbounded;
    hi[0] = kUnbounded;
    return 1;
  }
  // turn(start, p) >= 0:  start.y * u >= start.x * v
  // turn(p, end) >= 0:   -end.y * u >= -end.x * v
  int64_t l1, h1, l2, h2;
  solve(start_.y, int128(start_.x) * v, l1, h1);
  solve(-end_.y, -int128(end_.x) * v, l2, h2);
  if (!wide_) {
    lo[0] = std::max(l1, l2);
    hi[0] = std::min(h1, h2);
    return lo[0] <= hi[0] ? 1 : 0;
  }
  int n = 0;
  if (l1 <= h1) lo[n] = l1, hi[n++] = h1;
  if (l2 <= h2) lo[n] = l2, hi[n++] = h2;
  if (n == 2 && std::max(lo[0], lo[1]) <= std::min(hi[0], hi[1]) + 1) {
    lo[0] = std::min(lo[0], lo[1]);
    hi[0] = std::max(hi[0], hi[1]);
    n = 1;
  }
  return n;
}

void ellipse_outline(const EllipseBox& box, const Sector& sector, double width,
                     const DashList& dashes, bool caps, Coverage& out) {
  if (width <= 1) {
    thin_outline(box, sector, dashes, out);
    return;
  }
  wide_outline(box, sector, width, dashes, out);
  if (caps && !sector.whole()) {
    arc_cap(box, sector.start(), true, width, out);
    arc_cap(box, sector.end(), false, width, out);
  }
}

void ellipse_fill(const EllipseBox& box, const Sector& sector, Coverage& out) {
  const Box& clip = out.clip();
  auto add = [&](int64_t y, int64_t x0, int64_t x1) { out.add(y, x0, x1); };
  const int64_t y_first = std::max<int64_t>(box.top, clip.top);
  const int64_t y_end = std::min<int64_t>(box.bottom + 1, clip.bottom);
  const ThinRows rows(box, y_first, y_end);
  for (int64_t y = y_first; y < y_end; y++) {
    RowRange r = rows.at(y);
    emit_row_part(box, sector, y, -r.hi, r.hi, clip, add);
  }
}

void ellipse_rows(const EllipseBox& box, const Ink& fill, const Ink& pen, Coverage& out) {
  const Box& clip = out.clip();
  const int parity = int(box.a & 1);
  const bool one_ink = fill.uniform && pen.uniform && fill.cell[0] == pen.cell[0];
  // Columns [u0, u1] (half pixels, of the row's parity) as device columns.
  auto add = [&](int64_t y, const Ink& ink, int64_t u0, int64_t u1) {
    out.use(ink);
    out.add(y, (u0 + box.cx2) / 2, (u1 + box.cx2) / 2 + 1);
  };
  const int64_t y_first = std::max<int64_t>(box.top, clip.top);
  const int64_t y_end = std::min<int64_t>(box.bottom + 1, clip.bottom);
  const ThinRows rows(box, y_first, y_end);
  // Each pixel is painted once: the outline's two runs [-hi, -lo] and
  // [lo, hi] with the pen, what lies between them with the fill; the whole
  // row at once when both inks are the same.
  for (int64_t y = y_first; y < y_end; y++) {
    const RowRange r = rows.at(y);
    const int64_t hi = with_parity_down(r.hi, parity), lo = with_parity_up(r.lo, parity);
    if (hi < 0) continue;
    if (one_ink || lo <= 0) {
      add(y, pen, -hi, hi);
    } else if (lo > hi) {
      add(y, fill, -hi, hi);
    } else {
      add(y, pen, -hi, -lo);
      if (lo > 1) add(y, fill, 2 - lo, lo - 2);
      add(y, pen, lo, hi);
    }
  }
}

DevPoint ellipse_ray_pixel(const EllipseBox& box, DevPoint direction) {
  long double x, y;
  ray_point(box, direction, x, y);
  auto snap = [](long double v, int64_t twice_centre, int parity) {
    int64_t k = 2 * clamp_to_int64(std::floor((v - parity) / 2 + 0.5L)) + parity;
    return (k + twice_centre) / 2;
  };
  return DevPoint{snap(x, box.cx2, int(box.a & 1)), snap(y, box.cy2, int(box.b & 1))};
}

DevPoint ellipse_centre_pixel(const EllipseBox& box) { return DevPoint{box.cx2 >> 1, box.cy2 >> 1}; }

}  // namespace kelplat::gdi::raster
