// Dash lists of geometric pens: dash, gap, dash, gap ... in pixels. Each
// dash carries the pen's square caps, so it reaches half the pen width
// beyond both ends of its entry: at width 1 a dash entry of n covers n + 1
// pixels and a gap entry of n leaves n - 1 pixels untouched.
#ifndef KEL_PLATFORM_GDI_RASTER_DASHES_H
#define KEL_PLATFORM_GDI_RASTER_DASHES_H

#include <cstdint>
#include <functional>
#include <vector>

namespace kelplat::gdi::raster {

class DashList {
 public:
  // An empty list, or one whose entries add up to 0, draws solid lines. An
  // odd number of entries is read twice, so dashes and gaps alternate.
  explicit DashList(const std::vector<uint32_t>& entries = {});

  // ---- one pixel wide: positions are whole pixel steps along the line
  bool thin_solid() const { return thin_on_.empty(); }
  bool thin_on(int64_t position) const;
  // The first position after `position` whose state differs from it.
  int64_t thin_next_change(int64_t position) const;

  // ---- wide pens: positions are lengths along the path, caps reach half_width
  bool wide_solid(double half_width) const;
  // True when `position` lies strictly inside a drawn stretch.
  bool wide_covers(double half_width, double position) const;
  // Calls out(start, end) for the stretches drawn (caps included) that meet
  // [lo, hi], cut to it, in order and merged where they overlap.
  void wide_stretches(double half_width, double lo, double hi,
                      const std::function<void(double, double)>& out) const;

 private:
  int64_t period_ = 0;
  std::vector<int64_t> dash_start_, dash_length_;  // one period
  // Thin lines: the drawn positions of one period as sorted, disjoint
  // [start, end) runs; empty when every position is drawn.
  std::vector<std::pair<int64_t, int64_t>> thin_on_;
  int64_t wrap(int64_t position) const;
};

// Steps along a thin line one pixel at a time, knowing whether the pixel at
// the current position is drawn.
class DashWalker {
 public:
  DashWalker(const DashList& dashes, int64_t position);
  bool on() const { return on_; }
  void advance() {
    if (++position_ == change_) reset();
  }

 private:
  void reset();
  const DashList& dashes_;
  int64_t position_, change_ = 0;
  bool on_ = true;
};

}  // namespace kelplat::gdi::raster

#endif  // KEL_PLATFORM_GDI_RASTER_DASHES_H
