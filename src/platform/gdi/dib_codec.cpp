// Reading DIB descriptions and decoding DIB pixel data (dib_codec.h).
#include "dib_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "palette_tables.h"

namespace kelplat::gdi {
namespace {

// The readable bytes of a description: a known size for a DIB inside a
// file, or no limit for the GDI calls, whose callers vouch for the memory.
struct InfoBytes {
  const uint8_t* data;
  size_t size;

  bool fits(uint64_t offset, uint64_t length) const {
    return offset <= size && length <= size - offset;
  }
  template <class T>
  T at(size_t offset) const {
    T value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
  }
};

template <class T>
T read_at(const void* base, size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const uint8_t*>(base) + offset, sizeof value);
  return value;
}

// The fields of either header form that decoding needs.
struct Header {
  int64_t width = 0;
  int64_t signed_height = 0;
  int bits = 0;
  DWORD compression = BI_RGB;
  DWORD size_image = 0;
  DWORD colors_used = 0;
  DWORD size = 0;
};

bool read_header(InfoBytes info, Header& h) {
  if (!info.fits(0, 4)) return false;
  DWORD size = info.at<DWORD>(0);
  if (size == sizeof(BITMAPCOREHEADER) && info.fits(0, size)) {
    auto core = info.at<BITMAPCOREHEADER>(0);
    h = Header{core.bcWidth, core.bcHeight, core.bcBitCount, BI_RGB, 0, 0, size};
    return true;
  }
  // The information header and its longer forms (with masks, colour space).
  if (size != 40 && size != 52 && size != 56 && size != 108 && size != 124) return false;
  if (!info.fits(0, size)) return false;
  auto info_header = info.at<BITMAPINFOHEADER>(0);
  h = Header{info_header.biWidth,       info_header.biHeight,      info_header.biBitCount,
             info_header.biCompression, info_header.biSizeImage,   info_header.biClrUsed,
             size};
  return true;
}

bool is_rle(const DibFormat& format) {
  return format.compression == BI_RLE8 || format.compression == BI_RLE4;
}

bool format_supported(int bits, DWORD compression, bool top_down) {
  switch (compression) {
    case BI_RGB:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case BI_RLE8:
      return bits == 8 && !top_down;
    case BI_RLE4:
      return bits == 4 && !top_down;
    case BI_BITFIELDS:
    case kAlphaBitfields:
      return bits == 16 || bits == 32;
    default:
      return false;  // embedded compressed images and unknown schemes
  }
}

// Reads the colour masks: inside the longer headers (the alpha mask from 56
// bytes on), or after a 40-byte one. Stores where the colour table starts;
// false when the masks are not there.
bool read_masks(InfoBytes info, const Header& h, DibFormat& format, size_t& table) {
  table = h.size;
  if (h.compression == BI_BITFIELDS || h.compression == kAlphaBitfields) {
    bool short_header = h.size == 40;
    bool alpha = h.size >= 56 || (short_header && h.compression == kAlphaBitfields);
    size_t count = alpha ? 4 : 3;
    if (!info.fits(40, 4 * count)) return false;
    for (size_t i = 0; i < 3; i++) format.masks[i] = info.at<DWORD>(40 + 4 * i);
    if (alpha) format.alpha_mask = info.at<DWORD>(52);
    if (short_header) table += 4 * count;  // the masks follow the short header
  } else if (h.bits == 16) {
    format.masks[0] = 0x7C00, format.masks[1] = 0x03E0, format.masks[2] = 0x001F;
  } else {
    format.masks[0] = 0xFF0000, format.masks[1] = 0x00FF00, format.masks[2] = 0x0000FF;
  }
  return true;
}

// Reads the colour table (entries that are not readable stay black) and
// records where it ends.
void read_colors(InfoBytes info, const Header& h, size_t table, UINT usage,
                 const DeviceContext* dc, DibFormat& format) {
  bool core = h.size == sizeof(BITMAPCOREHEADER);
  size_t entry = usage == DIB_PAL_COLORS ? 2 : core ? 3 : 4;
  uint64_t stored = h.colors_used;
  if (h.bits <= 8 && (core || h.colors_used == 0)) stored = uint64_t(1) << h.bits;
  format.info_bytes = table + stored * entry;
  if (h.bits > 8) return;
  size_t size = size_t(1) << h.bits;
  format.colors.assign(size, 0);
  size_t count = std::min<uint64_t>(stored, size);
  std::vector<uint32_t> palette;
  if (usage == DIB_PAL_COLORS) palette = context_palette(dc);
  for (size_t i = 0; i < count && info.fits(table + entry * i, entry); i++) {
    size_t at = table + entry * i;
    if (usage == DIB_PAL_COLORS) {
      WORD index = info.at<WORD>(at);
      format.colors[i] = index < palette.size() ? palette[index] : 0;
    } else {
      format.colors[i] = uint32_t(info.data[at + 2]) << 16 | uint32_t(info.data[at + 1]) << 8 |
                         info.data[at];
    }
  }
}

// The part of the format the header gives; false for unsupported formats
// and absurd sizes.
bool read_format(InfoBytes info, Header& h, DibFormat& format) {
  if (!info.data || !read_header(info, h)) return false;
  format.width = h.width;
  format.top_down = h.signed_height < 0;
  format.height = format.top_down ? -h.signed_height : h.signed_height;
  format.bits = h.bits;
  format.compression = h.compression;
  if (!bitmap_size_ok(format.width, format.height)) return false;
  if (!format_supported(h.bits, h.compression, format.top_down)) return false;
  format.row_bytes = (uint64_t(format.width) * uint64_t(h.bits) + 31) / 32 * 4;
  format.data_bytes = is_rle(format) ? h.size_image : format.row_bytes * uint64_t(format.height);
  return true;
}

bool read_tables(InfoBytes info, const Header& h, UINT usage, const DeviceContext* dc,
                 DibFormat& format) {
  size_t table = 0;
  if (!read_masks(info, h, format, table)) return false;
  read_colors(info, h, table, usage, dc, format);
  return true;
}

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255 (0 without
// a mask).
struct Channel {
  uint32_t mask;
  int shift;
  uint64_t max;
  explicit Channel(uint32_t m) : mask(m), shift(m ? std::countr_zero(m) : 0), max(m >> shift) {}
  uint32_t operator()(uint32_t value) const {
    return max ? uint32_t((uint64_t((value & mask) >> shift) * 255 + max / 2) / max) : 0;
  }
};

void decode_row(const DibFormat& f, const uint8_t* in, uint32_t* out, DibAlpha alpha) {
  const int64_t w = f.width;
  if (f.bits <= 8) {
    int per_byte = 8 / f.bits, mask = (1 << f.bits) - 1;
    for (int64_t x = 0; x < w; x++) {
      int shift = (per_byte - 1 - int(x % per_byte)) * f.bits;
      out[x] = f.colors[size_t((in[x / per_byte] >> shift) & mask)];
    }
  } else if (f.bits == 24) {
    for (int64_t x = 0; x < w; x++, in += 3) {
      out[x] = uint32_t(in[2]) << 16 | uint32_t(in[1]) << 8 | in[0];
    }
  } else {
    Channel r(f.masks[0]), g(f.masks[1]), b(f.masks[2]);
    Channel a(alpha == DibAlpha::keep ? f.alpha_mask : 0);
    int step = f.bits / 8;
    for (int64_t x = 0; x < w; x++, in += step) {
      uint32_t v = step == 2 ? uint32_t(in[0] | in[1] << 8) : read_at<uint32_t>(in, 0);
      out[x] = a(v) << 24 | r(v) << 16 | g(v) << 8 | b(v);
    }
  }
}

// Uncompressed rows. The last row is read without its padding.
void decode_rows(const DibFormat& f, const uint8_t* data, uint32_t* pixels, size_t pitch,
                 DibAlpha alpha) {
  for (int64_t r = 0; r < f.height; r++) {
    int64_t y = f.top_down ? r : f.height - 1 - r;
    decode_row(f, data + uint64_t(r) * f.row_bytes, pixels + uint64_t(y) * pitch, alpha);
  }
}

// Run-length encoded data (8 or 4 bits), rows from the bottom. Pixels
// outside the bitmap are clipped; decoding stops at the end marker or where
// the data ends. True only for data that ends with its marker and stays
// within the bitmap's rows: runs that go past the end of a row (as common
// converters write them) are only clipped.
bool decode_rle(const DibFormat& f, const uint8_t* data, uint32_t* pixels, size_t pitch) {
  bool four = f.compression == BI_RLE4;
  bool inside = true;
  int64_t x = 0, y = 0;
  auto put = [&](int index) {
    if (y >= f.height) {
      inside = false;
    } else if (x < f.width) {
      pixels[uint64_t(f.height - 1 - y) * pitch + uint64_t(x)] = f.colors[size_t(index)];
    }
    x++;
  };
  uint64_t pos = 0;
  const uint64_t end = f.data_bytes;
  // Past the last row (rows only ever go up) nothing more can be drawn: the
  // rest of a huge, mostly empty block is not walked.
  while (inside && pos + 2 <= end) {
    int count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {  // a run of one index (two alternating ones with 4 bits)
      for (int i = 0; i < count; i++) put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
    } else if (value == 0) {  // end of row
      x = 0;
      if (++y > f.height) inside = false;
    } else if (value == 1) {  // end of bitmap
      return inside;
    } else if (value == 2) {  // move right and up
      if (pos + 2 > end) return false;
      x += data[pos];
      y += data[pos + 1];
      pos += 2;
      if (y > f.height) inside = false;
    } else {  // literal indices, padded to 16 bits
      uint64_t bytes = four ? (uint64_t(value) + 1) / 2 : uint64_t(value);
      if (pos + bytes > end) return false;
      for (int i = 0; i < value; i++) {
        int byte = data[pos + uint64_t(four ? i / 2 : i)];
        put(four ? ((i & 1) ? byte & 15 : byte >> 4) : byte);
      }
      pos += (bytes + 1) & ~uint64_t(1);
    }
  }
  return false;
}

}  // namespace

bool dib_size(const BITMAPINFOHEADER* header, int64_t& width, int64_t& height) {
  Header h;
  if (!header || !read_header(InfoBytes{reinterpret_cast<const uint8_t*>(header), SIZE_MAX}, h))
    return false;
  width = h.width;
  height = h.signed_height < 0 ? -h.signed_height : h.signed_height;
  return bitmap_size_ok(width, height);
}

bool parse_dib(const BITMAPINFO* info, UINT usage, const DeviceContext* dc, DibFormat& format) {
  InfoBytes bytes{reinterpret_cast<const uint8_t*>(info), SIZE_MAX};
  Header h;
  if (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) return false;
  if (!read_format(bytes, h, format)) return false;
  if (is_rle(format) && format.data_bytes == 0) return false;  // the data's length is unknown
  return read_tables(bytes, h, usage, dc, format);
}

bool parse_dib(const uint8_t* info, size_t size, DibFormat& format) {
  InfoBytes bytes{info, size};
  Header h;
  return read_format(bytes, h, format) && read_tables(bytes, h, DIB_RGB_COLORS, nullptr, format);
}

bool decode_dib_pixels(const DibFormat& format, const void* bits, uint32_t* pixels, size_t pitch,
                       DibAlpha alpha) {
  const auto* data = static_cast<const uint8_t*>(bits);
  if (is_rle(format)) return decode_rle(format, data, pixels, pitch);
  decode_rows(format, data, pixels, pitch, alpha);
  return true;
}

std::unique_ptr<Bitmap> decode_dib(const DibFormat& format, const void* bits) {
  if (!bits) return nullptr;
  std::unique_ptr<Bitmap> image = make_bitmap(format.width, format.height, 32);
  if (!image) return nullptr;
  if (is_rle(format)) std::fill(image->storage.begin(), image->storage.end(), format.colors[0]);
  decode_dib_pixels(format, bits, image->storage.data(), size_t(image->stride) / 4,
                    DibAlpha::drop);
  return image;
}

}  // namespace kelplat::gdi
