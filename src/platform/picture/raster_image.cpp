#include "raster_image.h"

namespace kelplat::picture {

bool RasterImage::allocate(int64_t w, int64_t h) {
  width = height = 0;
  has_alpha = false;
  pixels.clear();
  if (w <= 0 || h <= 0 || w > int64_t(kMaxPixels) || h > int64_t(kMaxPixels) ||
      uint64_t(w) * uint64_t(h) > kMaxPixels)
    return false;
  if (!pixels.allocate(size_t(w) * size_t(h))) return false;
  width = int(w);
  height = int(h);
  return true;
}

void RasterImage::premultiply() {
  has_alpha = false;
  for (uint32_t& p : pixels) {
    uint32_t a = p >> 24;
    if (a == 255) continue;
    has_alpha = true;
    if (p == 0) continue;  // transparent already; leave untouched pages alone
    auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
    p = (a << 24) | (scale((p >> 16) & 0xFF) << 16) | (scale((p >> 8) & 0xFF) << 8) |
        scale(p & 0xFF);
  }
}

}  // namespace kelplat::picture
