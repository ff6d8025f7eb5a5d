// BMP files and device-independent bitmaps: core, info, v4 and v5 headers;
// 1, 4, 8, 16, 24 and 32 bits per pixel; RLE8, RLE4 and bit-field masks;
// rows bottom-up or top-down. Every offset and size is checked against the
// bytes we were given before it is used.
#include <bit>
#include <vector>

#include "decoders.h"

namespace kelplat::picture {
namespace {

constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitfields = 3;
constexpr uint32_t kCompressionAlphaBitfields = 6;
constexpr size_t kCoreHeaderSize = 12;

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;

  static Channel of(uint32_t mask) {
    Channel c;
    if (mask == 0) return c;
    c.mask = mask;
    c.shift = std::countr_zero(mask);
    c.max = mask >> c.shift;
    return c;
  }
  uint32_t get(uint32_t pixel, uint32_t absent) const {
    if (mask == 0) return absent;
    uint64_t v = (pixel & mask) >> shift;
    return uint32_t((v * 255 + max / 2) / max);
  }
};

struct DibLayout {
  int64_t width = 0;
  int64_t height = 0;  // rows of colour pixels
  bool top_down = false;
  int bits = 0;
  uint32_t compression = kCompressionRgb;
  Channel red, green, blue, alpha;
  std::vector<uint32_t> palette;  // opaque colours
  uint64_t bits_at = 0;           // first pixel row, from the header's start
  uint64_t stride = 0;            // bytes per row

  uint32_t color(uint32_t index) const {
    return index < palette.size() ? palette[index] : opaque(0);
  }
  uint32_t compose(uint32_t pixel) const {
    return (alpha.get(pixel, 255) << 24) | (red.get(pixel, 0) << 16) | (green.get(pixel, 0) << 8) |
           blue.get(pixel, 0);
  }
};

bool valid_format(int bits, uint32_t compression, bool top_down) {
  switch (compression) {
    case kCompressionRgb:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kCompressionRle8:
      return bits == 8 && !top_down;
    case kCompressionRle4:
      return bits == 4 && !top_down;
    case kCompressionBitfields:
    case kCompressionAlphaBitfields:
      return bits == 16 || bits == 32;
    default:
      return false;  // embedded JPEG/PNG and unknown schemes
  }
}

// Masks of 16- and 32-bit pixels: from the header (v2 and later headers),
// after the info header, or the defaults of each depth. Returns where the
// colour table starts.
bool read_masks(Bytes dib, uint32_t header_size, bool icon_mask, DibLayout* L,
                uint64_t* table_at) {
  *table_at = header_size;
  if (L->compression == kCompressionBitfields || L->compression == kCompressionAlphaBitfields) {
    bool with_alpha = L->compression == kCompressionAlphaBitfields;
    size_t at = header_size;
    if (header_size >= 52) {
      at = 40;
    } else {
      *table_at += with_alpha ? 16 : 12;
    }
    if (!dib.fits(at, 12)) return false;
    L->red = Channel::of(dib.u32(at));
    L->green = Channel::of(dib.u32(at + 4));
    L->blue = Channel::of(dib.u32(at + 8));
    bool alpha_present = with_alpha || header_size >= 56;
    if (alpha_present && dib.fits(at + 12, 4)) L->alpha = Channel::of(dib.u32(at + 12));
  } else if (L->bits == 16) {
    L->red = Channel::of(0x7C00);
    L->green = Channel::of(0x03E0);
    L->blue = Channel::of(0x001F);
  } else if (L->bits == 32) {
    L->red = Channel::of(0xFF0000);
    L->green = Channel::of(0xFF00);
    L->blue = Channel::of(0xFF);
    // Plain 32-bit bitmaps carry no alpha, except in icons.
    if (icon_mask) L->alpha = Channel::of(0xFF000000u);
  }
  return true;
}

void read_palette(Bytes dib, uint64_t table_at, uint64_t count, size_t entry, DibLayout* L) {
  if (L->bits > 8) return;
  if (count > 256) count = 256;
  for (uint64_t i = 0; i < count && dib.fits(table_at + i * entry, 3); ++i) {
    size_t at = size_t(table_at + i * entry);
    L->palette.push_back(opaque((uint32_t(dib.u8(at + 2)) << 16) | (uint32_t(dib.u8(at + 1)) << 8) |
                                dib.u8(at)));
  }
}

bool read_layout(Bytes dib, size_t bits_offset, bool icon_mask, DibLayout* L) {
  if (!dib.fits(0, 4)) return false;
  uint32_t header_size = dib.u32(0);
  if ((header_size != kCoreHeaderSize && header_size < 16) || !dib.fits(0, header_size)) return false;
  size_t entry = 4;
  uint64_t colors_used = 0;
  if (header_size == kCoreHeaderSize) {
    L->width = dib.u16(4);
    L->height = dib.u16(6);
    L->bits = dib.u16(10);
    entry = 3;
  } else {
    L->width = dib.i32(4);
    L->height = dib.i32(8);
    L->bits = dib.u16(14);
    if (header_size >= 20) L->compression = dib.u32(16);
    if (header_size >= 36) colors_used = dib.u32(32);
  }
  if (L->height < 0) {
    L->top_down = true;
    L->height = -L->height;
  }
  if (icon_mask) L->height /= 2;
  if (L->width <= 0 || L->height <= 0 || uint64_t(L->width) * uint64_t(L->height) > kMaxPixels)
    return false;
  if (!valid_format(L->bits, L->compression, L->top_down)) return false;

  uint64_t table_at = 0;
  if (!read_masks(dib, header_size, icon_mask, L, &table_at)) return false;
  uint64_t count = colors_used ? colors_used : (L->bits <= 8 ? uint64_t(1) << L->bits : 0);
  // The colour table ends where the pixels begin, when we are told where.
  read_palette(bits_offset > table_at ? dib.first(bits_offset) : dib, table_at, count, entry, L);
  L->bits_at = bits_offset ? bits_offset : table_at + count * entry;
  L->stride = (uint64_t(L->width) * uint64_t(L->bits) + 31) / 32 * 4;
  if (L->compression == kCompressionRle8 || L->compression == kCompressionRle4)
    return L->bits_at <= dib.size();
  // Uncompressed rows must all be there (the last one without its padding)
  // before we allocate anything for them.
  uint64_t row_bytes = (uint64_t(L->width) * uint64_t(L->bits) + 7) / 8;
  return dib.fits(L->bits_at, L->stride * uint64_t(L->height - 1) + row_bytes);
}

uint32_t index_at(const uint8_t* row, int64_t x, int bits) {
  switch (bits) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
      return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default:
      return row[x];
  }
}

void decode_row(const uint8_t* src, const DibLayout& L, uint32_t* out) {
  for (int64_t x = 0; x < L.width; ++x) {
    switch (L.bits) {
      case 24:
        out[x] = opaque((uint32_t(src[3 * x + 2]) << 16) | (uint32_t(src[3 * x + 1]) << 8) |
                        src[3 * x]);
        break;
      case 16:
        out[x] = L.compose(uint32_t(src[2 * x]) | (uint32_t(src[2 * x + 1]) << 8));
        break;
      case 32:
        out[x] = L.compose(uint32_t(src[4 * x]) | (uint32_t(src[4 * x + 1]) << 8) |
                           (uint32_t(src[4 * x + 2]) << 16) | (uint32_t(src[4 * x + 3]) << 24));
        break;
      default:
        out[x] = L.color(index_at(src, x, L.bits));
    }
  }
}

void decode_rows(Bytes dib, const DibLayout& L, RasterImage* out) {
  for (int64_t y = 0; y < L.height; ++y) {
    int64_t file_row = L.top_down ? y : L.height - 1 - y;
    decode_row(dib.data() + L.bits_at + uint64_t(file_row) * L.stride, L, out->row(int(y)));
  }
}

// RLE8 and RLE4: pairs (count, value) and escapes (0, 0) end of line,
// (0, 1) end of bitmap, (0, 2, dx, dy) move, (0, n >= 3) n literal indices
// padded to 16 bits. Pixels the data never sets stay transparent. A run that
// leaves the bitmap, or data that ends before the end-of-bitmap mark, makes
// the whole bitmap invalid.
bool decode_rle(Bytes dib, const DibLayout& L, RasterImage* out) {
  const bool rle8 = L.compression == kCompressionRle8;
  int64_t x = 0, y = 0;  // y counts rows from the bottom
  auto put = [&](uint32_t index) {
    if (x >= L.width || y >= L.height) return false;
    out->row(int(L.height - 1 - y))[x++] = L.color(index);
    return true;
  };
  uint64_t p = L.bits_at;
  while (dib.fits(p, 2)) {
    uint32_t n = dib.u8(size_t(p)), value = dib.u8(size_t(p + 1));
    p += 2;
    if (n > 0) {
      for (uint32_t i = 0; i < n; ++i)
        if (!put(rle8 ? value : (i & 1) ? value & 0x0F : value >> 4)) return false;
      continue;
    }
    if (value == 0) {
      x = 0;
      if (++y > L.height) return false;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (!dib.fits(p, 2)) return false;
      x += dib.u8(size_t(p));
      y += dib.u8(size_t(p + 1));
      p += 2;
      if (x > L.width || y > L.height) return false;
    } else {
      uint64_t bytes = rle8 ? value : (value + 1) / 2;
      if (!dib.fits(p, bytes)) return false;
      for (uint32_t i = 0; i < value; ++i) {
        uint32_t b = dib.u8(size_t(p + (rle8 ? i : i / 2)));
        if (!put(rle8 ? b : (i & 1) ? b & 0x0F : b >> 4)) return false;
      }
      p += (bytes + 1) & ~uint64_t(1);
    }
  }
  return false;
}

// Icons: where the colour pixels carry no alpha, the 1-bit AND mask that
// follows them marks the transparent pixels.
void apply_icon_mask(Bytes dib, const DibLayout& L, RasterImage* out) {
  uint64_t mask_at = L.bits_at + L.stride * uint64_t(L.height);
  uint64_t mask_stride = (uint64_t(L.width) + 31) / 32 * 4;
  if (!dib.fits(mask_at, mask_stride * uint64_t(L.height))) return;
  for (int64_t y = 0; y < L.height; ++y) {
    const uint8_t* mask = dib.data() + mask_at + uint64_t(L.height - 1 - y) * mask_stride;
    uint32_t* row = out->row(int(y));
    for (int64_t x = 0; x < L.width; ++x)
      if (index_at(mask, x, 1)) row[x] = 0;
  }
}

// Alpha that is zero everywhere is taken as "no alpha" (a common writer
// habit): the pixels become opaque and the result is false.
bool keep_alpha(RasterImage* out) {
  for (uint32_t p : out->pixels)
    if (p >> 24) return true;
  for (uint32_t& p : out->pixels) p |= 0xFF000000u;
  return false;
}

}  // namespace

bool decode_dib(Bytes dib, size_t bits_offset, bool icon_mask, RasterImage* out) {
  *out = RasterImage();
  DibLayout L;
  if (!read_layout(dib, bits_offset, icon_mask, &L) || !out->allocate(L.width, L.height))
    return false;
  if (L.compression == kCompressionRle8 || L.compression == kCompressionRle4) {
    if (!decode_rle(dib, L, out)) {
      out->allocate(0, 0);
      return false;
    }
  } else {
    decode_rows(dib, L, out);
  }
  bool alpha_used = L.alpha.mask && keep_alpha(out);
  if (icon_mask && !alpha_used) apply_icon_mask(dib, L, out);
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
