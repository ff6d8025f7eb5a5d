// Even-odd polygon fill with an active edge list; only the rows inside the
// clip are visited, so the cost follows the visible rows, not the polygon.
#include "raster_polygon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "raster_outline_rows.h"
#include "raster_slope.h"

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

class Edge {
 public:
  Edge(PointF a, PointF b, const Box& clip, bool exact)
      : x0_(a.x), y0_(a.y), x1_(b.x), y1_(b.y),
        first_row_(std::max<int64_t>(ceil_row(a.y), clip.top)),
        end_row_(std::min<int64_t>(ceil_row(b.y), clip.bottom)),
        exact_(exact) {
    if (!exact_ || first_row_ >= end_row_) return;
    // column * dy - n = slack, 0 <= slack < dy, n = (row - y0) dx.
    const int64_t dy = int64_t(y1_ - y0_), dx = int64_t(x1_ - x0_);
    const int64_t step = floor_div(dx, dy);
    slope_ = SlopeStep(step, 1, dx - step * dy, dy);
    const int64_t n = (first_row_ - int64_t(y0_)) * dx;
    column_ = -floor_div(-n, dy);
    slack_ = column_ * dy - n;
    column_ += int64_t(x0_);
  }
  int64_t first_row() const { return first_row_; }
  int64_t end_row() const { return end_row_; }
  bool exact() const { return exact_; }
  // The crossing columns of `rows` rows from y on; called for the rows
  // from first_row() on in turn, with `Exact` equal to exact(). Kept out of
  // line, so that the loop has the registers to itself.
  template <bool Exact>
  __attribute__((noinline)) void columns(int64_t y, int64_t rows, int64_t* out) {
    if (!Exact) {
      for (int64_t r = 0; r < rows; r++) {
        out[r] = ceil_row(x0_ + (double(y + r) - y0_) * (x1_ - x0_) / (y1_ - y0_));
      }
      return;
    }
    // The state is held in locals, which the stores to `out` cannot change.
    int64_t column = column_, slack = slack_;
    const SlopeStep slope = slope_;
    for (int64_t r = 0; r < rows; r++) {
      out[r] = column;
      slope.advance(column, slack);
    }
    column_ = column;
    slack_ = slack;
  }

 private:
  double x0_, y0_, x1_, y1_;  // y0 < y1
  int64_t first_row_, end_row_;
  bool exact_;
  SlopeStep slope_;
  int64_t column_ = 0, slack_ = 0;
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

// With an outline, rows are filled this many at a time before their outline
// is painted: few enough to be still in the nearest cache.
constexpr int64_t kOutlineBand = 8;

// Each edge's crossings are worked out up to this many rows at a time, in a
// tight loop of its own, before the rows are painted; with many edges, fewer
// rows, so that a chunk holds at most kChunkColumns columns (or one row).
constexpr int64_t kChunk = 64;
constexpr size_t kChunkColumns = size_t(kChunk) * kSortLimit;

// The crossing columns of the active edges over a chunk of rows: edge i's
// column on row r of the chunk is at(i, r).
class Chunk {
 public:
  // Room for up to `most` active edges is taken at once.
  Chunk(int64_t left, int64_t right, size_t most) : left_(left), right_(right) {
    columns_.reserve(std::min(most * kChunk, kChunkColumns + most));
    order_.reserve(most);
    row_.reserve(most);
  }
  void resize(size_t edges) {
    rows_ = edges > kSortLimit ? std::max<size_t>(1, kChunkColumns / edges) : size_t(kChunk);
    columns_.resize(edges * rows_);
    order_.resize(edges);
    row_.resize(edges);
  }
  size_t edges() const { return order_.size(); }
  int64_t rows() const { return int64_t(rows_); }
  int64_t* of(size_t i) { return &columns_[i * rows_]; }
  int64_t at(size_t i, int64_t r) const { return columns_[i * rows_ + size_t(r)]; }

  // Adds rows y .. y + rows - 1, followed by each row's outline. With
  // exact columns and a handful of edges, the edges are sorted once for
  // all the rows when their order holds throughout (see order_holds); edges
  // often meet on a chunk's first or last row (at a corner), so when it
  // does not hold, those rows are sorted on their own and the order is
  // tried on the rows between. Other rows are sorted (or counted) one by one.
  void add_rows(int64_t y, int64_t rows, bool exact, Coverage& out, OutlineRows* outline) {
    const size_t n = edges();
    int64_t lo = 0, hi = exact && n <= kSortLimit ? rows : 0;  // the rows painted in the edges' order
    if (n != 2 && hi > 0 && !order_holds(lo, hi - 1)) {
      lo = 1;
      hi = rows - 1;
      if (lo >= hi || !order_holds(lo, hi - 1)) lo = hi = rows;
    }
    // Held in locals: painting cannot change them, which the compiler
    // would not know across its calls.
    const int64_t* const first = columns_.data();
    const int64_t* const second = first + rows_;
    const size_t* const order = order_.data();
    for (int64_t r = 0; r < rows; r++, y++) {
      if (n == 2) {
        out.add(y, std::min(first[r], second[r]), std::max(first[r], second[r]));
      } else if (r >= lo && r < hi) {
        for (size_t i = 0; i + 1 < n; i += 2) out.add(y, at(order[i], r), at(order[i + 1], r));
      } else {
        // Held to the clip, which keeps each crossing's parity left of it.
        for (size_t i = 0; i < n; i++) row_[i] = std::clamp(at(i, r), left_, right_);
        add_row(y, row_, flips_, out);
      }
      if (outline && ((y + 1) & (kOutlineBand - 1)) == 0) outline->paint_until(y + 1);
    }
  }

 private:
  // Sorts the edges by their columns on row `first` and tells whether that
  // order holds on every row up to `last`. Straight edges cross at most
  // once, so two edges strictly apart on the first and on the last row
  // are apart on every row between, and rounding up keeps their order.
  bool order_holds(int64_t first, int64_t last) {
    for (size_t i = 0; i < edges(); i++) order_[i] = i;
    std::sort(order_.begin(), order_.end(), [&](size_t a, size_t b) { return at(a, first) < at(b, first); });
    for (size_t i = 1; i < edges(); i++) {
      const size_t a = order_[i - 1], b = order_[i];
      if (!(at(a, first) < at(b, first) && at(a, last) < at(b, last))) return false;
    }
    return true;
  }
  int64_t left_, right_;
  size_t rows_ = kChunk;
  std::vector<int64_t> columns_, row_;
  std::vector<size_t> order_;
  std::vector<uint8_t> flips_;
};

// Rows from y on, in bands over which the set of active edges stays the
// same: edges join and leave only between bands.
template <bool Exact>
void scan(std::vector<Edge>& edges, Coverage& out, OutlineRows* outline) {
  std::vector<Edge*> active;
  active.reserve(edges.size());
  Chunk chunk(out.clip().left, out.clip().right, edges.size());
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
    chunk.resize(active.size());
    for (int64_t rows = 0; y < band_end; y += rows) {
      rows = std::min(chunk.rows(), band_end - y);
      for (size_t i = 0; i < active.size(); i++) active[i]->columns<Exact>(y, rows, chunk.of(i));
      chunk.add_rows(y, rows, Exact, out, outline);
    }
  }
}

}  // namespace

void fill_polygon(const PointF* points, size_t count, Coverage& out, OutlineRows* outline) {
  if (count >= 3) {
    std::vector<Edge> edges = edges_of(points, count, out.clip());
    if (!edges.empty()) {
      edges.front().exact() ? scan<true>(edges, out, outline) : scan<false>(edges, out, outline);
    }
  }
  if (outline) outline->paint_until(out.clip().bottom);
}

}  // namespace kelplat::gdi::raster
