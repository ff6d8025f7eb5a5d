// Even-odd polygon fill with an active edge list; only the rows inside the
// clip are visited, so the cost follows the visible rows, not the polygon.
#include "raster_polygon.h"

#include <algorithm>
#include <cmath>
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

}  // namespace

void fill_polygon(const PointF* points, size_t count, Coverage& out) {
  if (count < 3) return;
  std::vector<Edge> edges = edges_of(points, count, out.clip());
  if (edges.empty()) return;
  std::vector<const Edge*> active;
  std::vector<double> xs;
  size_t next = 0;
  int64_t y = edges.front().first_row;
  while (next < edges.size() || !active.empty()) {
    if (active.empty()) y = std::max(y, edges[next].first_row);
    while (next < edges.size() && edges[next].first_row <= y) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(),
                                [y](const Edge* e) { return e->end_row <= y; }),
                 active.end());
    xs.clear();
    for (const Edge* e : active) xs.push_back(crossing(*e, double(y)));
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2) out.add(y, ceil_row(xs[i]), ceil_row(xs[i + 1]));
    y++;
  }
}

}  // namespace kelplat::gdi::raster
