// Thin segments stepped by rows. A segment a -> b is turned around so that
// it runs down from its upper end P: step j of it lies at P + j along the
// major axis and floor((2 j minor + c) / (2 major)) along the minor one,
// with c = major when P is a, and c = major - 1 when P is b, which keeps the
// rounding of halves away from a exactly as the line drawn from a does.
#include "raster_outline_rows.h"

#include <algorithm>
#include <cstdlib>

namespace kelplat::gdi::raster {
namespace {

__extension__ typedef __int128 int128;

}  // namespace

bool OutlineRows::Segment::plan(DevPoint a, DevPoint b, const Box& clip) {
  const int64_t dx = b.x - a.x, dy = b.y - a.y;
  const int64_t major = std::max(std::llabs(dx), std::llabs(dy));
  const int64_t minor = std::min(std::llabs(dx), std::llabs(dy));
  // Every pixel lies between the ends' columns.
  if (major == 0 || std::max(a.x, b.x) < clip.left || std::min(a.x, b.x) >= clip.right) return false;
  steep_ = std::llabs(dy) > std::llabs(dx);
  const bool from_a = dy >= 0;
  const DevPoint top = from_a ? a : b;
  const int64_t c = from_a ? major : major - 1;
  first_step_ = from_a ? 0 : 1;
  end_step_ = first_step_ + major;
  top_x_ = top.x;
  sx_ = (from_a ? dx : -dx) < 0 ? -1 : 1;
  // Rows of the segment: a step each when steep, minor + 1 when flat.
  int64_t first = steep_ ? first_step_ : 0, end = steep_ ? end_step_ : minor + 1;
  first = std::max<int64_t>(first, clip.top - top.y);
  end = std::min<int64_t>(end, clip.bottom - top.y);
  if (first >= end) return false;
  row_ = top.y + first;
  end_row_ = top.y + end;
  if (steep_) {
    // The column of step `first`, floor(n / (2 major)), kept with the
    // remainder counted down from 2 major - 1: the column moves on when it
    // runs below zero.
    const int128 n = int128(2) * first * minor + c;
    const int64_t offset = floor_div(n, 2 * major);
    value_ = top.x + sx_ * offset;
    remainder_ = 2 * major - 1 - int64_t(n - offset * (2 * major));
    slope_ = SlopeStep(0, sx_, 2 * minor, 2 * major);
    return true;
  }
  if (minor == 0) {  // level: one row with every step
    value_ = first_step_;
    slope_ = SlopeStep(major, 1, 0, 1);
    return true;
  }
  // Row k holds steps J(k) .. J(k + 1) - 1, J(k) = ceil((2 major k - c) /
  // (2 minor)), kept as J(k) and J(k) * 2 minor - (2 major k - c).
  const int128 n = int128(2) * major * first - c;
  const int64_t denominator = 2 * minor;
  value_ = ceil_div(n, denominator);
  remainder_ = int64_t(int128(value_) * denominator - n);
  slope_ = SlopeStep((2 * major) / denominator, 1, (2 * major) % denominator, denominator);
  return true;
}

// One pixel a row.
void OutlineRows::Segment::paint_steep(const Canvas& canvas, int64_t end, uint32_t color) {
  const uint64_t left = uint64_t(canvas.clip.left), width = uint64_t(canvas.clip.right - canvas.clip.left);
  int64_t x = value_, remainder = remainder_;
  const SlopeStep slope = slope_;
  uint32_t* line = canvas.row(int32_t(row_));
  for (; row_ < end; row_++, line += canvas.stride) {
    if (uint64_t(x) - left < width) line[x] = color;
    slope.advance(x, remainder);
  }
  value_ = x;
  remainder_ = remainder;
}

// A run a row: the steps from J(k) to J(k + 1). Runs are floor(major /
// minor) or one more steps long; short ones take that many stores whatever
// their length, the spare ones on the run's last pixel, so no branch hangs
// on a length that varies from row to row.
template <bool Long>
void OutlineRows::Segment::paint_runs(const Canvas& canvas, int64_t end, uint32_t color) {
  const int64_t left = canvas.clip.left, right = canvas.clip.right;
  const int64_t first_step = first_step_, end_step = end_step_, top_x = top_x_, sx = sx_;
  const SlopeStep slope = slope_;
  const int64_t longest = slope.whole + 1;
  int64_t row = row_, step = value_, remainder = remainder_;
  for (; row < end; row++) {
    const int64_t s0 = std::max(step, first_step);
    slope.advance(step, remainder);
    const int64_t s1 = std::min(step, end_step);
    const int64_t x0 = std::max(sx > 0 ? top_x + s0 : top_x - s1 + 1, left);
    const int64_t x1 = std::min(sx > 0 ? top_x + s1 : top_x - s0 + 1, right);
    if (x0 >= x1) continue;
    uint32_t* const line = canvas.row(int32_t(row));
    if (Long) {
      store_pixels(line + x0, size_t(x1 - x0), color);
    } else {
      for (int64_t i = 0; i < longest; i++) line[std::min(x0 + i, x1 - 1)] = color;
    }
  }
  row_ = row;
  value_ = step;
  remainder_ = remainder;
}

void OutlineRows::Segment::paint_flat(const Canvas& canvas, int64_t end, uint32_t color) {
  constexpr int64_t kShortRun = 8;
  slope_.whole + 1 > kShortRun ? paint_runs<true>(canvas, end, color) : paint_runs<false>(canvas, end, color);
}

bool OutlineRows::Segment::paint_rows(const Canvas& canvas, int64_t end, uint32_t color) {
  end = std::min(end, end_row_);
  steep_ ? paint_steep(canvas, end, color) : paint_flat(canvas, end, color);
  return row_ < end_row_;
}

OutlineRows::OutlineRows(const DevPoint* points, size_t count, const Canvas& canvas, uint32_t color)
    : canvas_(canvas), color_(color) {
  segments_.reserve(count);
  for (size_t i = 0; i < count; i++) {
    Segment s;
    if (s.plan(points[i], points[(i + 1) % count], canvas.clip)) segments_.push_back(s);
  }
  std::sort(segments_.begin(), segments_.end(),
            [](const Segment& a, const Segment& b) { return a.row() < b.row(); });
  active_.reserve(segments_.size());
}

void OutlineRows::paint_until(int64_t end) {
  while (next_ < segments_.size() && segments_[next_].row() < end) {
    active_.push_back(&segments_[next_++]);
  }
  for (size_t i = 0; i < active_.size();) {
    if (active_[i]->paint_rows(canvas_, end, color_)) {
      i++;
    } else {
      active_[i] = active_.back();
      active_.pop_back();
    }
  }
}

}  // namespace kelplat::gdi::raster
