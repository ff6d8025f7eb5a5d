// Span flood fill with a visited bit mask.
#include "raster_flood.h"

#include <vector>

namespace kelplat::gdi::raster {
namespace {

struct Pending {
  int32_t y, x0, x1;  // candidate columns [x0, x1] of row y
};

class Flood {
 public:
  Flood(const Canvas& canvas, uint32_t color, FloodMode mode, const Ink& ink)
      : canvas_(canvas),
        clip_(canvas.clip),
        words_(size_t(clip_.right - clip_.left + 63) / 64),
        taken_(words_ * size_t(clip_.bottom - clip_.top), 0),
        color_(color & 0xFFFFFF),
        surface_(mode == FloodMode::kSurface),
        ink_(ink) {}

  bool belongs(int32_t x, int32_t y) const {
    return !taken(x, y) && (((canvas_.row(y)[x] & 0xFFFFFF) == color_) == surface_);
  }

  void run(int32_t x, int32_t y) {
    stack_.push_back(Pending{y, x, x});
    while (!stack_.empty()) {
      Pending p = stack_.back();
      stack_.pop_back();
      scan(p);
    }
  }

 private:
  uint64_t* taken_row(int32_t y) { return taken_.data() + size_t(y - clip_.top) * words_; }
  bool taken(int32_t x, int32_t y) const {
    size_t bit = size_t(x - clip_.left);
    return (taken_[size_t(y - clip_.top) * words_ + bit / 64] >> (bit % 64)) & 1;
  }
  void take(int32_t y, int32_t x0, int32_t x1) {  // [x0, x1]
    uint64_t* row = taken_row(y);
    for (size_t bit = size_t(x0 - clip_.left), end = size_t(x1 - clip_.left); bit <= end;) {
      if (bit % 64 == 0 && bit + 63 <= end) {
        row[bit / 64] = ~uint64_t(0);
        bit += 64;
      } else {
        row[bit / 64] |= uint64_t(1) << (bit % 64);
        bit++;
      }
    }
  }

  void scan(const Pending& p) {
    for (int32_t x = p.x0; x <= p.x1; x++) {
      if (!belongs(x, p.y)) continue;
      int32_t left = x, right = x;
      while (left > clip_.left && belongs(left - 1, p.y)) left--;
      while (right + 1 < clip_.right && belongs(right + 1, p.y)) right++;
      take(p.y, left, right);
      paint_span(canvas_, p.y, left, right + 1, ink_);
      if (p.y > clip_.top) stack_.push_back(Pending{p.y - 1, left, right});
      if (p.y + 1 < clip_.bottom) stack_.push_back(Pending{p.y + 1, left, right});
      x = right + 1;
    }
  }

  const Canvas& canvas_;
  const Box clip_;
  const size_t words_;
  std::vector<uint64_t> taken_;
  const uint32_t color_;
  const bool surface_;
  const Ink& ink_;
  std::vector<Pending> stack_;
};

}  // namespace

bool flood_fill(const Canvas& canvas, int64_t x, int64_t y, uint32_t color, FloodMode mode,
                const Ink& ink) {
  const Box& clip = canvas.clip;
  if (clip.empty() || x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) {
    return false;
  }
  Flood flood(canvas, color, mode, ink);
  if (!flood.belongs(int32_t(x), int32_t(y))) return false;
  flood.run(int32_t(x), int32_t(y));
  return true;
}

}  // namespace kelplat::gdi::raster
