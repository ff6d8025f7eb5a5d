// Icon and cursor files: a directory of images, each a PNG file or a
// device-independent bitmap followed by its AND mask. We show the largest
// image (the deepest of equal size); if it cannot be decoded, the next one,
// up to a few tries, so that a directory of many broken entries stays cheap.
#include <algorithm>
#include <vector>

#include "decoders.h"

namespace kelplat::picture {
namespace {

struct Entry {
  int64_t pixels;
  int bits;
  uint32_t size;
  uint32_t offset;
};

std::vector<Entry> read_directory(Bytes file) {
  std::vector<Entry> entries;
  if (!file.fits(0, 6) || file.u16(0) != 0 || (file.u16(2) != 1 && file.u16(2) != 2)) return entries;
  size_t count = file.u16(4);
  for (size_t i = 0; i < count && file.fits(6 + 16 * i, 16); ++i) {
    size_t at = 6 + 16 * i;
    int64_t w = file.u8(at) ? file.u8(at) : 256, h = file.u8(at + 1) ? file.u8(at + 1) : 256;
    entries.push_back({w * h, file.u16(at + 6), file.u32(at + 8), file.u32(at + 12)});
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.pixels != b.pixels ? a.pixels > b.pixels : a.bits > b.bits;
  });
  return entries;
}

bool decode_entry(Bytes file, const Entry& entry, RasterImage* out) {
  if (!file.fits(entry.offset, entry.size)) return false;
  Bytes image = file.from(entry.offset).first(entry.size);
  static const uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (image.starts_with(kPngSignature, sizeof kPngSignature)) return decode_png(image, out);
  return decode_dib(image, 0, true, out);
}

}  // namespace

bool decode_icon(Bytes file, RasterImage* out) {
  constexpr size_t kMaxTries = 4;
  std::vector<Entry> entries = read_directory(file);
  for (size_t i = 0; i < entries.size() && i < kMaxTries; ++i)
    if (decode_entry(file, entries[i], out)) return true;
  out->allocate(0, 0);
  return false;
}

}  // namespace kelplat::picture
