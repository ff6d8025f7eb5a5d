// BMP files and the device-independent bitmaps inside pictures (icons,
// metafile records). The DIB codec reads the description and decodes the
// pixels; this file adds what pictures need: the file header, the check that
// every byte the description promises lies inside the bytes we were given,
// the alpha channel, icon masks and premultiplied pixels.
#include <algorithm>

#include "dib_codec.h"
#include "decoders.h"

namespace kelplat::picture {
namespace {

using gdi::DibFormat;

bool is_rle(const DibFormat& format) {
  return format.compression == BI_RLE8 || format.compression == BI_RLE4;
}

// Reads the description and checks that the pixels are all there. The
// pixels start `bits_offset` bytes after the header's start when that is
// given (the colour table cannot reach past them), else right after the
// colour table. Run-length data runs to the end of the bytes.
bool read_format(Bytes dib, size_t bits_offset, bool icon_mask, DibFormat& format,
                 uint64_t& bits_at) {
  size_t described = bits_offset ? std::min(bits_offset, dib.size()) : dib.size();
  if (!gdi::parse_dib(dib.data(), described, format)) return false;
  if (icon_mask) {
    // The height counts the colour rows and the AND mask rows after them.
    format.height /= 2;
    format.data_bytes = format.row_bytes * uint64_t(format.height);
    // Plain 32-bit icons carry alpha; other plain 32-bit bitmaps do not.
    if (format.bits == 32 && format.compression == BI_RGB) format.alpha_mask = 0xFF000000u;
  }
  bits_at = bits_offset ? bits_offset : format.info_bytes;
  if (is_rle(format)) {
    if (bits_at > dib.size()) return false;
    format.data_bytes = dib.size() - bits_at;
    return true;
  }
  // Uncompressed rows must all be there (the last one without its padding)
  // before we allocate anything for them.
  uint64_t last_row = (uint64_t(format.width) * uint64_t(format.bits) + 7) / 8;
  return format.height > 0 &&
         dib.fits(bits_at, format.row_bytes * uint64_t(format.height - 1) + last_row);
}

// Icons: where the colour pixels carry no alpha, the 1-bit AND mask that
// follows them marks the transparent pixels.
void apply_icon_mask(Bytes dib, const DibFormat& format, uint64_t bits_at, RasterImage* out) {
  uint64_t mask_at = bits_at + format.row_bytes * uint64_t(format.height);
  uint64_t mask_stride = (uint64_t(format.width) + 31) / 32 * 4;
  if (!dib.fits(mask_at, mask_stride * uint64_t(format.height))) return;
  for (int64_t y = 0; y < format.height; ++y) {
    const uint8_t* mask = dib.data() + mask_at + uint64_t(format.height - 1 - y) * mask_stride;
    uint32_t* row = out->row(int(y));
    for (int64_t x = 0; x < format.width; ++x)
      if ((mask[x >> 3] >> (7 - (x & 7))) & 1) row[x] = 0;
  }
}

// Uncompressed pixels are opaque unless an alpha channel gives some pixel
// alpha: alpha that is zero everywhere is taken as "no alpha" (a common
// writer habit). True when the alpha is kept.
bool settle_alpha(const DibFormat& format, RasterImage* out) {
  if (format.alpha_mask)
    for (uint32_t p : out->pixels)
      if (p >> 24) return true;
  for (uint32_t& p : out->pixels) p |= 0xFF000000u;
  return false;
}

}  // namespace

bool decode_dib(Bytes dib, size_t bits_offset, bool icon_mask, RasterImage* out) {
  *out = RasterImage();
  DibFormat format;
  uint64_t bits_at = 0;
  if (!read_format(dib, bits_offset, icon_mask, format, bits_at) ||
      !out->allocate(format.width, format.height))
    return false;
  // Colours are opaque; pixels run-length data skips stay transparent.
  for (uint32_t& color : format.colors) color = opaque(color);
  if (!gdi::decode_dib_pixels(format, dib.data() + bits_at, out->pixels.data(),
                              size_t(out->width), gdi::DibAlpha::keep)) {
    *out = RasterImage();
    return false;
  }
  bool alpha_used = !is_rle(format) && settle_alpha(format, out);
  if (icon_mask && !alpha_used) apply_icon_mask(dib, format, bits_at, out);
  out->premultiply();
  return true;
}

bool decode_bmp(Bytes file, RasterImage* out) {
  constexpr size_t kFileHeaderSize = 14;
  if (!file.fits(0, kFileHeaderSize) || file.u16(0) != 0x4D42) {
    *out = RasterImage();
    return false;
  }
  uint32_t off_bits = file.u32(10);
  size_t bits_offset = off_bits > kFileHeaderSize ? off_bits - kFileHeaderSize : 0;
  return decode_dib(file.from(kFileHeaderSize), bits_offset, false, out);
}

}  // namespace kelplat::picture
