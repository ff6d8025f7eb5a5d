// Sorting, merging and subtracting coverage spans.
#include "raster_spans.h"

#include <algorithm>

namespace kelplat::gdi::raster {

const std::vector<Span>& Coverage::spans() {
  if (sorted_) return spans_;
  std::sort(spans_.begin(), spans_.end(), [](const Span& a, const Span& b) {
    return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
  });
  size_t out = 0;
  for (size_t i = 0; i < spans_.size(); i++) {
    if (out > 0 && spans_[out - 1].y == spans_[i].y && spans_[out - 1].x1 >= spans_[i].x0) {
      spans_[out - 1].x1 = std::max(spans_[out - 1].x1, spans_[i].x1);
    } else {
      spans_[out++] = spans_[i];
    }
  }
  spans_.resize(out);
  sorted_ = true;
  return spans_;
}

std::vector<Span> subtract(const std::vector<Span>& a, const std::vector<Span>& b) {
  std::vector<Span> out;
  out.reserve(a.size());
  size_t j = 0;
  for (const Span& s : a) {
    while (j < b.size() && (b[j].y < s.y || (b[j].y == s.y && b[j].x1 <= s.x0))) j++;
    int32_t x = s.x0;
    for (size_t k = j; k < b.size() && b[k].y == s.y && b[k].x0 < s.x1; k++) {
      if (b[k].x0 > x) out.push_back(Span{s.y, x, b[k].x0});
      x = std::max(x, b[k].x1);
    }
    if (x < s.x1) out.push_back(Span{s.y, x, s.x1});
  }
  return out;
}

}  // namespace kelplat::gdi::raster
