// Even-odd polygon fill with an active edge list; only the rows inside the
// clip are visited, so the cost follows the visible rows, not the polygon.
#include "raster_polygon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kelplat::gdi::raster {
namespace {

// Corners whose coordinates are whole numbers this small give the same
// crossing columns by exact integer stepping as by the division below:
// every product is exact in a double, and a crossing that is not a whole
// number lies at least 1 / 2^21 away from one, far beyond the rounding.
constexpr double kExactLimit = 1 << 20;

// Device coordinates beyond this are outside every page; clamping keeps the
// conversions to integers defined.
constexpr double kFar = 1e15;

int64_t ceil_row(double v) { return int64_t(std::ceil(std::clamp(v, -kFar, kFar))); }

int64_t floor_div(int64_t a, int64_t b) {  // b > 0
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

class Edge {
 public:
  Edge(PointF a, PointF b, const Box& clip, bool exact)
      : x0_(a.x), y0_(a.y), x1_(b.x), y1_(b.y),
        first_row_(std::max<int64_t>(ceil_row(a.y), clip.top)),
        end_row_(std::min<int64_t>(ceil_row(b.y), clip.bottom)),
        exact_(exact) {
    if (!exact_ || first_row_ >= end_row_) return;
    // column * dy - n = slack, 0 <= slack < dy, n = (row - y0) dx.
    dy_ = int64_t(y1_ - y0_);
    const int64_t dx = int64_t(x1_ - x0_);
    step_ = floor_div(dx, dy_);
    step_slack_ = dx - step_ * dy_;
    const int64_t n = (first_row_ - int64_t(y0_)) * dx;
    column_ = -floor_div(-n, dy_);
    slack_ = column_ * dy_ - n;
    column_ += int64_t(x0_);
  }
  int64_t first_row() const { return first_row_; }
  int64_t end_row() const { return end_row_; }
  bool exact() const { return exact_; }
  // The crossing column of row y; called for each row from first_row() on,
  // with `Exact` equal to exact().
  template <bool Exact>
  int64_t next_column(int64_t y) {
    if (!Exact) return ceil_row(x0_ + (double(y) - y0_) * (x1_ - x0_) / (y1_ - y0_));
    // The carry is taken without a branch: for most slopes it comes at no
    // pattern a branch predictor follows.
    const int64_t c = column_;
    slack_ -= step_slack_;
    const int64_t borrow = slack_ >> 63;  // -1 when the slack ran below 0
    column_ += step_ - borrow;
    slack_ += dy_ & borrow;
    return c;
  }

 private:
  double x0_, y0_, x1_, y1_;  // y0 < y1
  int64_t first_row_, end_row_;
  bool exact_;
  int64_t dy_ = 1, step_ = 0, step_slack_ = 0, column_ = 0, slack_ = 0;
};

bool whole_and_small(const PointF* points, size_t count) {
  auto fits = [](double v) { return std::fabs(v) <= kExactLimit && v == std::floor(v); };
  return std::all_of(points, points + count, [&](const PointF& p) { return fits(p.x) && fits(p.y); });
}

std::vector<Edge> edges_of(const PointF* points, size_t count, const Box& clip) {
  const bool exact = whole_and_small(points, count);
  std::vector<Edge> edges;
  edges.reserve(count);
  for (size_t i = 0; i < count; i++) {
    PointF a = points[i], b = points[(i + 1) % count];
    if (!(std::isfinite(a.y) && std::isfinite(b.y) && std::isfinite(a.x) && std::isfinite(b.x))) continue;
    if (a.y == b.y) continue;
    if (a.y > b.y) std::swap(a, b);
    Edge e(a, b, clip, exact);
    if (e.first_row() < e.end_row()) edges.push_back(e);
  }
  std::sort(edges.begin(), edges.end(),
            [](const Edge& a, const Edge& b) { return a.first_row() < b.first_row(); });
  return edges;
}

// Rows with more crossings than this count them per column instead of
// sorting them.
constexpr size_t kSortLimit = 64;

// Adds the covered columns of row y from its crossing columns (each crossing
// rounded up and held to the clip, which keeps their parity left of it):
// a pixel is inside when an odd number of crossings lie at or left of it.
void add_row(int64_t y, std::vector<int64_t>& cols, std::vector<uint8_t>& flips, Coverage& out) {
  if (cols.size() == 2) return out.add(y, std::min(cols[0], cols[1]), std::max(cols[0], cols[1]));
  if (cols.size() <= kSortLimit) {
    // Insertion sort: rows mostly cross a handful of edges.
    for (size_t i = 1; i < cols.size(); i++) {
      const int64_t c = cols[i];
      size_t j = i;
      for (; j > 0 && cols[j - 1] > c; j--) cols[j] = cols[j - 1];
      cols[j] = c;
    }
    for (size_t i = 0; i + 1 < cols.size(); i += 2) out.add(y, cols[i], cols[i + 1]);
    return;
  }
  const auto [lo, hi] = std::minmax_element(cols.begin(), cols.end());
  const int64_t first = *lo, last = *hi;
  flips.assign(size_t(last - first + 1), 0);
  for (int64_t c : cols) flips[size_t(c - first)] ^= 1;
  bool inside = false;
  int64_t start = 0;
  for (int64_t c = first; c <= last; c++) {
    if (!flips[size_t(c - first)]) continue;
    inside = !inside;
    if (inside) {
      start = c;
    } else {
      out.add(y, start, c);
    }
  }
}

}  // namespace

namespace {

// Rows from y on, in bands over which the set of active edges stays the
// same: edges join and leave only between bands.
template <bool Exact>
void scan(std::vector<Edge>& edges, Coverage& out) {
  const int64_t left = out.clip().left, right = out.clip().right;
  std::vector<Edge*> active;
  std::vector<int64_t> cols;
  std::vector<uint8_t> flips;
  size_t next = 0;
  int64_t y = edges.front().first_row();
  while (next < edges.size() || !active.empty()) {
    if (active.empty()) y = std::max(y, edges[next].first_row());
    while (next < edges.size() && edges[next].first_row() <= y) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(),
                                [y](const Edge* e) { return e->end_row() <= y; }),
                 active.end());
    int64_t band_end = next < edges.size() ? edges[next].first_row() : out.clip().bottom;
    for (const Edge* e : active) band_end = std::min(band_end, e->end_row());
    cols.resize(active.size());
    for (; y < band_end; y++) {
      for (size_t i = 0; i < active.size(); i++) {
        cols[i] = std::clamp<int64_t>(active[i]->next_column<Exact>(y), left, right);
      }
      add_row(y, cols, flips, out);
    }
  }
}

}  // namespace

void fill_polygon(const PointF* points, size_t count, Coverage& out) {
  if (count < 3) return;
  std::vector<Edge> edges = edges_of(points, count, out.clip());
  if (edges.empty()) return;
  edges.front().exact() ? scan<true>(edges, out) : scan<false>(edges, out);
}

}  // namespace kelplat::gdi::raster
