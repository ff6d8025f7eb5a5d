// Thin and wide lines.
#include "raster_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "raster_polygon.h"
#include "raster_slope.h"

namespace kelplat::gdi::raster {
namespace {

__extension__ typedef __int128 int128;

constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

// Smallest step i >= 0 whose minor offset floor((2 i minor + major) /
// (2 major)) is at least k.
int64_t first_step_reaching(int64_t k, int64_t major, int64_t minor) {
  if (k <= 0) return 0;
  if (minor == 0) return kNever;
  return ceil_div(int128(2 * k - 1) * major, int128(2) * minor);
}

// The minor offset floor((2 i minor + major) / (2 major)) of step i, kept
// as offset and remainder while i counts up.
struct MinorStepper {
  int64_t offset, remainder;
  int64_t increment, denominator;
  bool step() {  // true when the offset grew
    remainder += increment;
    if (remainder < denominator) return false;
    remainder -= denominator;
    offset++;
    return true;
  }
};

// Joins single pixels into runs along a row before handing them on.
template <class Sink>
class RunBuilder {
 public:
  explicit RunBuilder(Sink& sink) : sink_(sink) {}
  ~RunBuilder() { flush(); }
  void pixel(int32_t x, int32_t y) {
    if (open_ && y == y_ && x == x1_) {
      x1_++;
    } else if (open_ && y == y_ && x == x0_ - 1) {
      x0_--;
    } else {
      flush();
      open_ = true;
      y_ = y;
      x0_ = x;
      x1_ = x + 1;
    }
  }
  void flush() {
    if (open_) sink_.run(y_, x0_, x1_);
    open_ = false;
  }

 private:
  Sink& sink_;
  bool open_ = false;
  int32_t y_ = 0, x0_ = 0, x1_ = 0;
};

class CoverageSink final : public RunSink {
 public:
  explicit CoverageSink(Coverage& out) : out_(out) {}
  void run(int32_t y, int32_t x0, int32_t x1) override { out_.add(y, x0, x1); }

 private:
  Coverage& out_;
};

// ------------------------------------------------------------ wide paths
struct Vec {
  double x, y;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k}; }

struct Segment {
  Vec from, dir, normal;  // unit direction, left normal
  double length, position;  // position of `from` along the path
};

void fill(std::initializer_list<Vec> corners, Coverage& out) {
  PointF points[4];
  size_t n = 0;
  for (Vec v : corners) points[n++] = PointF{v.x, v.y};
  fill_polygon(points, n, out);
}

// Parameters [t0, t1] of the segment whose centre point lies within
// `margin` of the clip box; false when there are none.
bool visible_part(const Segment& s, const Box& clip, double margin, double& t0, double& t1) {
  const double lo[2] = {clip.left - margin, clip.top - margin};
  const double hi[2] = {clip.right - 1 + margin, clip.bottom - 1 + margin};
  const double p[2] = {s.from.x, s.from.y}, d[2] = {s.dir.x, s.dir.y};
  for (int axis = 0; axis < 2; axis++) {
    if (d[axis] == 0) {
      if (p[axis] < lo[axis] || p[axis] > hi[axis]) return false;
      continue;
    }
    double a = (lo[axis] - p[axis]) / d[axis], b = (hi[axis] - p[axis]) / d[axis];
    if (a > b) std::swap(a, b);
    t0 = std::max(t0, a);
    t1 = std::min(t1, b);
  }
  return t0 <= t1;
}

std::vector<Vec> distinct_points(const std::vector<DevPoint>& points, bool closed) {
  std::vector<Vec> out;
  for (size_t i = 0; i < points.size(); i++) {
    if (i > 0 && points[i] == points[i - 1]) continue;
    out.push_back(Vec{double(points[i].x), double(points[i].y)});
  }
  if (closed && out.size() > 1 && out.back().x == out.front().x && out.back().y == out.front().y) {
    out.pop_back();
  }
  return out;
}

std::vector<Segment> segments_of(const std::vector<Vec>& v, bool closed) {
  std::vector<Segment> segments;
  size_t count = closed ? v.size() : v.size() - 1;
  double position = 0;
  for (size_t i = 0; i < count; i++) {
    Vec delta = v[(i + 1) % v.size()] - v[i];
    double length = std::hypot(delta.x, delta.y);
    Vec dir = delta * (1 / length);
    segments.push_back(Segment{v[i], dir, Vec{dir.y, -dir.x}, length, position});
    position += length;
  }
  return segments;
}

void bevel(Vec corner, const Segment& in, const Segment& out_segment, double half, Coverage& out) {
  fill({corner, corner + in.normal * half, corner + out_segment.normal * half}, out);
  fill({corner, corner - in.normal * half, corner - out_segment.normal * half}, out);
}

bool near_clip(Vec p, const Box& clip, double margin) {
  return p.x >= clip.left - margin && p.x <= clip.right + margin && p.y >= clip.top - margin &&
         p.y <= clip.bottom + margin;
}

}  // namespace

int64_t thin_length(DevPoint a, DevPoint b) {
  return std::max(std::llabs(b.x - a.x), std::llabs(b.y - a.y));
}

namespace {

// The steps of a thin line of nonzero length that lie inside the clip:
// step i (first <= i < end) is at `origin` + i along the major axis, and
// the minor offset of `first` is in `minor_step`.
struct ThinSteps {
  int major_axis;
  int64_t major_sign, minor_sign;
  int64_t om, on;  // origin along the major and the minor axis
  int64_t first, end;
  MinorStepper minor_step;
  int32_t at(int64_t i, int64_t offset, int axis) const {
    return int32_t(axis == major_axis ? om + major_sign * i : on + minor_sign * offset);
  }
};

// False when no step lies inside the clip; `major` gives the line's
// major-axis length, which is 0 for a single point.
bool plan_thin_line(DevPoint a, DevPoint b, const Box& clip, LineEnd last, int64_t& major,
                    ThinSteps& out) {
  const int64_t delta[2] = {b.x - a.x, b.y - a.y};
  const int major_axis = std::llabs(delta[0]) >= std::llabs(delta[1]) ? 0 : 1;
  const int minor_axis = 1 - major_axis;
  major = std::llabs(delta[major_axis]);
  const int64_t minor = std::llabs(delta[minor_axis]);
  if (major == 0) return false;
  const int64_t major_sign = delta[major_axis] > 0 ? 1 : -1;
  const int64_t minor_sign = delta[minor_axis] < 0 ? -1 : 1;
  const int64_t origin[2] = {a.x, a.y};
  const int64_t lo[2] = {clip.left, clip.top}, hi[2] = {clip.right, clip.bottom};

  int64_t first = 0, end = last == LineEnd::kCovered ? major + 1 : major;
  const int64_t om = origin[major_axis], on = origin[minor_axis];
  // A line with both ends in the clip has every step inside, and its first
  // pixel is its start: step 0's offset is 0 with remainder `major`.
  if (clip.contains(a.x, a.y) && clip.contains(b.x, b.y)) {
    out = ThinSteps{major_axis, major_sign, minor_sign, om, on, first, end,
                    MinorStepper{0, major, 2 * minor, 2 * major}};
    return true;
  }
  // Steps whose major coordinate lies in the clip, then whose minor does.
  if (major_sign > 0) {
    first = std::max(first, lo[major_axis] - om);
    end = std::min(end, hi[major_axis] - om);
  } else {
    first = std::max(first, om - hi[major_axis] + 1);
    end = std::min(end, om - lo[major_axis] + 1);
  }
  const int64_t k_lo = minor_sign > 0 ? lo[minor_axis] - on : on - hi[minor_axis] + 1;
  const int64_t k_hi = minor_sign > 0 ? hi[minor_axis] - on : on - lo[minor_axis] + 1;
  first = std::max(first, first_step_reaching(k_lo, major, minor));
  end = std::min(end, first_step_reaching(k_hi, major, minor));
  if (first >= end) return false;

  const int128 numerator = int128(2) * first * minor + major;
  const int64_t offset = floor_div(numerator, 2 * major);  // numerator >= 0
  out = ThinSteps{major_axis, major_sign, minor_sign, om, on, first, end,
                  MinorStepper{offset, int64_t(numerator - int128(offset) * (2 * major)), 2 * minor,
                               2 * major}};
  return true;
}

template <class Sink>
void step_thin_line(DevPoint a, DevPoint b, const Box& clip, const DashList& dashes,
                    int64_t start, LineEnd last, Sink& sink) {
  int64_t major = 0;
  ThinSteps s{};
  if (!plan_thin_line(a, b, clip, last, major, s)) {
    if (major == 0 && last == LineEnd::kCovered && clip.contains(a.x, a.y) && dashes.thin_on(start)) {
      sink.run(int32_t(a.y), int32_t(a.x), int32_t(a.x + 1));
    }
    return;
  }
  MinorStepper& minor_step = s.minor_step;
  if (!dashes.thin_solid()) {
    DashWalker dash(dashes, start + s.first);
    RunBuilder<Sink> runs(sink);
    for (int64_t i = s.first; i < s.end; i++, dash.advance(), minor_step.step()) {
      if (dash.on()) {
        runs.pixel(s.at(i, minor_step.offset, 0), s.at(i, minor_step.offset, 1));
      } else {
        runs.flush();
      }
    }
  } else if (s.major_axis == 1) {  // steep: one pixel per row
    for (int64_t i = s.first; i < s.end; i++, minor_step.step()) {
      int32_t x = s.at(i, minor_step.offset, 0);
      sink.run(s.at(i, 0, 1), x, x + 1);
    }
  } else {  // flat: runs along rows, one per minor step
    int64_t run_start = s.first;
    for (int64_t i = s.first; i < s.end; i++) {
      int64_t offset = minor_step.offset;
      if (!minor_step.step() && i + 1 < s.end) continue;
      int32_t xa = s.at(run_start, 0, 0), xb = s.at(i, 0, 0);
      sink.run(s.at(0, offset, 1), std::min(xa, xb), std::max(xa, xb) + 1);
      run_start = i + 1;
    }
  }
}

}  // namespace

void thin_line(DevPoint a, DevPoint b, const Box& clip, const DashList& dashes, int64_t start,
               LineEnd last, RunSink& sink) {
  step_thin_line(a, b, clip, dashes, start, last, sink);
}

void thin_line_store(DevPoint a, DevPoint b, LineEnd last, const Canvas& canvas, uint32_t color) {
  int64_t major = 0;
  ThinSteps s{};
  if (!plan_thin_line(a, b, canvas.clip, last, major, s)) {
    if (major == 0 && last == LineEnd::kCovered && canvas.clip.contains(a.x, a.y)) {
      canvas.row(int32_t(a.y))[a.x] = color;
    }
    return;
  }
  // Bresenham steps straight in the page: an offset from the first pixel,
  // moved along the major axis every step and along the minor one when the
  // remainder runs over.
  const ptrdiff_t stride = ptrdiff_t(canvas.stride);
  const ptrdiff_t along = s.major_axis == 0 ? s.major_sign : s.major_sign * stride;
  const ptrdiff_t across = s.major_axis == 0 ? s.minor_sign * stride : s.minor_sign;
  uint32_t* const first = canvas.row(s.at(s.first, s.minor_step.offset, 1)) + s.at(s.first, s.minor_step.offset, 0);
  int64_t remainder = s.minor_step.remainder;
  const int64_t increment = s.minor_step.increment, denominator = s.minor_step.denominator;
  ptrdiff_t offset = 0;
  for (int64_t i = s.first; i < s.end; i++) {
    first[offset] = color;
    offset += along;
    remainder += increment;
    if (remainder >= denominator) {
      remainder -= denominator;
      offset += across;
    }
  }
}

void thin_path(const std::vector<DevPoint>& points, bool closed, LineEnd last,
               const DashList& dashes, Coverage& out) {
  CoverageSink sink(out);
  const size_t n = points.size();
  const size_t count = closed ? n : (n > 0 ? n - 1 : 0);
  int64_t position = 0;
  for (size_t i = 0; i < count; i++) {
    DevPoint a = points[i], b = points[(i + 1) % n];
    const bool path_end = !closed && i + 1 == count;
    thin_line(a, b, out.clip(), dashes, position, path_end ? last : LineEnd::kLeftOut, sink);
    position += thin_length(a, b);
  }
}

void wide_path(const std::vector<DevPoint>& points, bool closed, double width,
               const DashList& dashes, Coverage& out) {
  std::vector<Vec> v = distinct_points(points, closed);
  if (v.size() < 2) return;
  const std::vector<Segment> segments = segments_of(v, closed);
  const double half = width / 2, margin = half + 2;
  const Box& clip = out.clip();
  for (size_t i = 0; i < segments.size(); i++) {
    const Segment& s = segments[i];
    double t0 = (!closed && i == 0) ? -half : 0;
    double t1 = (!closed && i + 1 == segments.size()) ? s.length + half : s.length;
    if (!visible_part(s, clip, margin, t0, t1)) continue;
    dashes.wide_stretches(half, s.position + t0, s.position + t1, [&](double a, double b) {
      Vec p0 = s.from + s.dir * (a - s.position), p1 = s.from + s.dir * (b - s.position);
      fill({p0 + s.normal * half, p1 + s.normal * half, p1 - s.normal * half, p0 - s.normal * half},
           out);
    });
  }
  for (size_t j = closed ? 0 : 1; j < segments.size(); j++) {
    const Segment& in = segments[(j + segments.size() - 1) % segments.size()];
    const Segment& leave = segments[j];
    if (near_clip(leave.from, clip, margin) && dashes.wide_covers(half, leave.position)) {
      bevel(leave.from, in, leave, half, out);
    }
  }
}

}  // namespace kelplat::gdi::raster
