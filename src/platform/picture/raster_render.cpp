#include "raster_render.h"

#include <algorithm>
#include <cmath>

#include "gdi_objects.h"

namespace kelplat::picture {
namespace {

// The source pixels one destination pixel takes its colour from.
struct Span {
  int first;
  int count;
};

struct Axis {
  double f0, f1;      // part of the picture, fractions of its size
  bool mirrored;      // negative destination size
  int source_size;    // pixels of the picture along this axis
  int64_t start;      // first destination pixel (device coordinates)
  int64_t size;       // destination pixels
};

// Spans for the destination pixels [from, to) of the axis.
std::vector<Span> spans(const Axis& axis, int64_t from, int64_t to) {
  double u0 = axis.f0 * axis.source_size, u1 = axis.f1 * axis.source_size;
  if (axis.mirrored) std::swap(u0, u1);
  const double step = (u1 - u0) / double(axis.size);
  const bool nearest = std::fabs(u1 - u0) <= double(axis.size);
  std::vector<Span> result;
  result.reserve(size_t(to - from));
  for (int64_t d = from; d < to; ++d) {
    double a = u0 + double(d - axis.start) * step, b = a + step;
    double lo = std::min(a, b), hi = std::max(a, b);
    int64_t first, count = 1;
    if (nearest) {
      first = int64_t(std::floor((lo + hi) / 2));
    } else {
      first = int64_t(std::floor(lo + 1e-7));
      count = std::max<int64_t>(1, int64_t(std::ceil(hi - 1e-7)) - first);
    }
    first = std::clamp<int64_t>(first, 0, axis.source_size - 1);
    count = std::min<int64_t>(count, axis.source_size - first);
    result.push_back({int(first), int(count)});
  }
  return result;
}

// Premultiplied source over a 0x00RRGGBB target pixel.
inline void blend(uint32_t source, uint32_t* target) {
  uint32_t a = source >> 24;
  if (a == 255) {
    *target = source & 0xFFFFFF;
  } else if (a != 0) {
    uint32_t inverse = 255 - a, t = *target, out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      uint32_t c = ((source >> shift) & 0xFF) + (((t >> shift) & 0xFF) * inverse + 127) / 255;
      out |= std::min<uint32_t>(c, 255) << shift;
    }
    *target = out;
  }
}

uint32_t average(const RasterImage& image, const Span& rows, const Span& columns) {
  if (rows.count == 1 && columns.count == 1) return image.row(rows.first)[columns.first];
  uint64_t sum[4] = {0, 0, 0, 0};
  for (int y = rows.first; y < rows.first + rows.count; ++y) {
    const uint32_t* row = image.row(y) + columns.first;
    for (int x = 0; x < columns.count; ++x)
      for (int c = 0; c < 4; ++c) sum[c] += (row[x] >> (8 * c)) & 0xFF;
  }
  uint64_t n = uint64_t(rows.count) * uint64_t(columns.count);
  uint32_t result = 0;
  for (int c = 0; c < 4; ++c) result |= uint32_t((sum[c] + n / 2) / n) << (8 * c);
  return result;
}

// Destination axis in device coordinates: where it starts and how long it is.
Axis make_axis(double f0, double f1, int source_size, int position, int size, int origin) {
  Axis axis{f0, f1, size < 0, source_size, 0, std::abs(int64_t(size))};
  axis.start = int64_t(position) + origin + (size < 0 ? int64_t(size) + 1 : 0);
  return axis;
}

}  // namespace

bool draw_raster(HDC hdc, const RasterImage& image, const Placement& where) {
  gdi::DeviceContext* dc = gdi::lookup<gdi::DeviceContext>(hdc);
  gdi::Bitmap* target = dc ? dc->target() : nullptr;
  if (!target || !target->is_color() || image.pixels.empty()) return false;
  if (where.cx == 0 || where.cy == 0) return true;
  Axis ax = make_axis(where.fx0, where.fx1, image.width, where.x, where.cx, dc->viewport_org.x);
  Axis ay = make_axis(where.fy0, where.fy1, image.height, where.y, where.cy, dc->viewport_org.y);
  RECT clip = dc->drawable();
  int64_t x0 = std::max<int64_t>(ax.start, clip.left), x1 = std::min<int64_t>(ax.start + ax.size, clip.right);
  int64_t y0 = std::max<int64_t>(ay.start, clip.top), y1 = std::min<int64_t>(ay.start + ay.size, clip.bottom);
  if (x0 >= x1 || y0 >= y1) return true;
  std::vector<Span> columns = spans(ax, x0, x1), rows = spans(ay, y0, y1);
  for (int64_t y = y0; y < y1; ++y) {
    uint32_t* out = target->row32(int(y)) + x0;
    const Span& row = rows[size_t(y - y0)];
    for (size_t i = 0; i < columns.size(); ++i) blend(average(image, row, columns[i]), out + i);
  }
  return true;
}

}  // namespace kelplat::picture
