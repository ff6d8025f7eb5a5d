// Painting coverage once per pixel.
#include "raster_spans.h"

#include <algorithm>

namespace kelplat::gdi::raster {

Coverage::Coverage(const Canvas& canvas, Way way) : canvas_(canvas) {
  static const Ink kNothing = Ink::solid(kLeaveAlone);
  ink_ = &kNothing;
  if (way == Way::kStraight || canvas.clip.empty()) return;
  words_per_row_ = size_t(canvas.clip.right - canvas.clip.left + 63) / 64;
  painted_.assign(words_per_row_ * size_t(canvas.clip.bottom - canvas.clip.top), 0);
}

void Coverage::mark(uint64_t* row, int32_t x0, int32_t x1) {
  for (uint32_t c = uint32_t(x0 - canvas_.clip.left), end = uint32_t(x1 - canvas_.clip.left);
       c < end;) {
    const uint32_t bit = c & 63, n = std::min<uint32_t>(64 - bit, end - c);
    const uint64_t ones = n == 64 ? ~uint64_t(0) : ((uint64_t(1) << n) - 1);
    row[c >> 6] |= ones << bit;
    c += n;
  }
}

void Coverage::paint_once(int32_t y, int32_t x0, int32_t x1) {
  uint64_t* row = painted_.data() + size_t(y - canvas_.clip.top) * words_per_row_;
  const int32_t left = canvas_.clip.left;
  // The first column at or after x (and before x1) whose bit is `marked`.
  auto next = [&](int32_t x, bool marked) {
    while (x < x1) {
      const uint32_t c = uint32_t(x - left);
      const uint64_t word = (marked ? row[c >> 6] : ~row[c >> 6]) >> (c & 63);
      if (word != 0) return std::min(x1, x + int32_t(__builtin_ctzll(word)));
      x += int32_t(64 - (c & 63));
    }
    return x1;
  };
  for (int32_t x = next(x0, false); x < x1; x = next(x, false)) {
    const int32_t end = next(x, true);
    mark(row, x, end);
    paint_span(canvas_, y, x, end, *ink_);
    x = end;
  }
}

}  // namespace kelplat::gdi::raster
