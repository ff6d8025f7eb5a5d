// Even-odd polygon fill with an active edge list; only the rows inside the
// clip are visited, so the cost follows the visible rows, not the polygon.
#include "raster_polygon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kelplat::gdi::raster {
namespace {

struct Edge {
  double x0, y0, x1, y1;  // y0 < y1
  int64_t first_row, end_row;
};

// Device coordinates beyond this are outside every page; clamping keeps the
// conversions to integers defined.
constexpr double kFar = 1e15;

int64_t ceil_row(double v) { return int64_t(std::ceil(std::clamp(v, -kFar, kFar))); }

double crossing(const Edge& e, double y) {
  return e.x0 + (y - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
}

std::vector<Edge> edges_of(const PointF* points, size_t count, const Box& clip) {
  std::vector<Edge> edges;
  edges.reserve(count);
  for (size_t i = 0; i < count; i++) {
    PointF a = points[i], b = points[(i + 1) % count];
    if (!(std::isfinite(a.y) && std::isfinite(b.y) && std::isfinite(a.x) && std::isfinite(b.x))) continue;
    if (a.y == b.y) continue;
    if (a.y > b.y) std::swap(a, b);
    Edge e{a.x, a.y, b.x, b.y, std::max<int64_t>(ceil_row(a.y), clip.top),
           std::min<int64_t>(ceil_row(b.y), clip.bottom)};
    if (e.first_row < e.end_row) edges.push_back(e);
  }
  std::sort(edges.begin(), edges.end(),
            [](const Edge& a, const Edge& b) { return a.first_row < b.first_row; });
  return edges;
}

// Rows with more crossings than this count them per column instead of
// sorting them.
constexpr size_t kSortLimit = 64;

// Adds the covered columns of row y from its crossing columns (each crossing
// rounded up and held to the clip, which keeps their parity left of it):
// a pixel is inside when an odd number of crossings lie at or left of it.
void add_row(int64_t y, std::vector<int64_t>& cols, std::vector<uint8_t>& flips, Coverage& out) {
  if (cols.size() <= kSortLimit) {
    std::sort(cols.begin(), cols.end());
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

void fill_polygon(const PointF* points, size_t count, Coverage& out) {
  if (count < 3) return;
  std::vector<Edge> edges = edges_of(points, count, out.clip());
  if (edges.empty()) return;
  std::vector<const Edge*> active;
  std::vector<int64_t> cols;
  std::vector<uint8_t> flips;
  const Box& clip = out.clip();
  size_t next = 0;
  int64_t y = edges.front().first_row;
  while (next < edges.size() || !active.empty()) {
    if (active.empty()) y = std::max(y, edges[next].first_row);
    while (next < edges.size() && edges[next].first_row <= y) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(),
                                [y](const Edge* e) { return e->end_row <= y; }),
                 active.end());
    cols.clear();
    for (const Edge* e : active) {
      cols.push_back(std::clamp<int64_t>(ceil_row(crossing(*e, double(y))), clip.left, clip.right));
    }
    add_row(y, cols, flips, out);
    y++;
  }
}

}  // namespace kelplat::gdi::raster
