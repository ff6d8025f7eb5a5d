// Reading DIB descriptions and decoding DIB pixel data (dib_codec.h).
#include "dib_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "palette_tables.h"

namespace kelplat::gdi {
namespace {

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

bool read_header(const void* info, Header& h) {
  DWORD size = read_at<DWORD>(info, 0);
  if (size == sizeof(BITMAPCOREHEADER)) {
    auto core = read_at<BITMAPCOREHEADER>(info, 0);
    h = Header{core.bcWidth, core.bcHeight, core.bcBitCount, BI_RGB, 0, 0, size};
    return true;
  }
  // The information header and its longer forms (with masks, colour space).
  if (size != 40 && size != 52 && size != 56 && size != 108 && size != 124) return false;
  auto info_header = read_at<BITMAPINFOHEADER>(info, 0);
  h = Header{info_header.biWidth,       info_header.biHeight,      info_header.biBitCount,
             info_header.biCompression, info_header.biSizeImage,   info_header.biClrUsed,
             size};
  return true;
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
      return bits == 16 || bits == 32;
    default:
      return false;
  }
}

// Reads the colour masks; returns the offset of the colour table.
size_t read_masks(const void* info, const Header& h, DibFormat& format) {
  size_t table = h.size;
  if (h.compression == BI_BITFIELDS) {
    for (int i = 0; i < 3; i++) format.masks[i] = read_at<DWORD>(info, 40 + 4 * size_t(i));
    if (h.size == 40) table += 12;  // the masks follow the short header
  } else if (h.bits == 16) {
    format.masks[0] = 0x7C00, format.masks[1] = 0x03E0, format.masks[2] = 0x001F;
  } else {
    format.masks[0] = 0xFF0000, format.masks[1] = 0x00FF00, format.masks[2] = 0x0000FF;
  }
  return table;
}

void read_colors(const void* info, const Header& h, size_t table, UINT usage,
                 const DeviceContext* dc, DibFormat& format) {
  size_t size = size_t(1) << h.bits;
  format.colors.assign(size, 0);
  bool core = h.size == sizeof(BITMAPCOREHEADER);
  size_t count = core || h.colors_used == 0 ? size : std::min<size_t>(h.colors_used, size);
  if (usage == DIB_PAL_COLORS) {
    std::vector<uint32_t> palette = context_palette(dc);
    for (size_t i = 0; i < count; i++) {
      WORD index = read_at<WORD>(info, table + 2 * i);
      format.colors[i] = index < palette.size() ? palette[index] : 0;
    }
    return;
  }
  size_t entry = core ? 3 : 4;
  for (size_t i = 0; i < count; i++) {
    const uint8_t* bgr = static_cast<const uint8_t*>(info) + table + entry * i;
    format.colors[i] = uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0];
  }
}

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255.
struct Channel {
  uint32_t mask;
  int shift;
  uint64_t max;
  explicit Channel(uint32_t m) : mask(m), shift(m ? std::countr_zero(m) : 0), max(m >> shift) {}
  uint32_t operator()(uint32_t value) const {
    return max ? uint32_t(uint64_t((value & mask) >> shift) * 255 / max) : 0;
  }
};

void decode_row(const DibFormat& f, const uint8_t* in, uint32_t* out) {
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
    int step = f.bits / 8;
    for (int64_t x = 0; x < w; x++, in += step) {
      uint32_t v = step == 2 ? uint32_t(in[0] | in[1] << 8) : read_at<uint32_t>(in, 0);
      out[x] = r(v) << 16 | g(v) << 8 | b(v);
    }
  }
}

void decode_rows(const DibFormat& f, const uint8_t* data, Bitmap& out) {
  for (int64_t r = 0; r < f.height; r++) {
    int64_t y = f.top_down ? r : f.height - 1 - r;
    decode_row(f, data + uint64_t(r) * f.row_bytes, out.row32(int(y)));
  }
}

// Run-length encoded data (8 or 4 bits), rows from the bottom. Pixels the
// data skips keep colour 0; decoding stops at the end marker, at the last
// row, or where the data ends.
void decode_rle(const DibFormat& f, const uint8_t* data, Bitmap& out) {
  bool four = f.compression == BI_RLE4;
  std::fill(out.storage.begin(), out.storage.end(), f.colors[0]);
  int64_t x = 0, y = 0;
  auto put = [&](int index) {
    if (x < f.width && y < f.height) out.row32(int(f.height - 1 - y))[x] = f.colors[size_t(index)];
    x++;
  };
  uint64_t pos = 0;
  const uint64_t end = f.data_bytes;
  while (pos + 2 <= end && y < f.height) {
    int count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {  // a run of one index (two alternating ones with 4 bits)
      for (int i = 0; i < count; i++) put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
    } else if (value == 0) {  // end of row
      x = 0;
      y++;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // move right and up
      if (pos + 2 > end) return;
      x += data[pos];
      y += data[pos + 1];
      pos += 2;
    } else {  // literal indices, padded to 16 bits
      uint64_t bytes = four ? (uint64_t(value) + 1) / 2 : uint64_t(value);
      if (pos + bytes > end) return;
      for (int i = 0; i < value; i++) {
        int byte = data[pos + uint64_t(four ? i / 2 : i)];
        put(four ? ((i & 1) ? byte & 15 : byte >> 4) : byte);
      }
      pos += (bytes + 1) & ~uint64_t(1);
    }
  }
}

}  // namespace

bool dib_size(const BITMAPINFOHEADER* header, int64_t& width, int64_t& height) {
  Header h;
  if (!header || !read_header(header, h)) return false;
  width = h.width;
  height = h.signed_height < 0 ? -h.signed_height : h.signed_height;
  return bitmap_size_ok(width, height);
}

bool parse_dib(const BITMAPINFO* info, UINT usage, const DeviceContext* dc, DibFormat& format) {
  Header h;
  if (!info || !read_header(info, h)) return false;
  if (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) return false;
  format.width = h.width;
  format.top_down = h.signed_height < 0;
  format.height = format.top_down ? -h.signed_height : h.signed_height;
  format.bits = h.bits;
  format.compression = h.compression;
  if (!bitmap_size_ok(format.width, format.height)) return false;
  if (!format_supported(h.bits, h.compression, format.top_down)) return false;
  format.row_bytes = (uint64_t(format.width) * uint64_t(h.bits) + 31) / 32 * 4;
  bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
  if (rle && h.size_image == 0) return false;  // the data's length is unknown
  format.data_bytes = rle ? h.size_image : format.row_bytes * uint64_t(format.height);
  size_t table = read_masks(info, h, format);
  if (h.bits <= 8) read_colors(info, h, table, usage, dc, format);
  return true;
}

std::unique_ptr<Bitmap> decode_dib(const DibFormat& format, const void* bits) {
  if (!bits) return nullptr;
  std::unique_ptr<Bitmap> image = make_bitmap(format.width, format.height, 32);
  if (!image) return nullptr;
  const auto* data = static_cast<const uint8_t*>(bits);
  if (format.compression == BI_RLE8 || format.compression == BI_RLE4) {
    decode_rle(format, data, *image);
  } else {
    decode_rows(format, data, *image);
  }
  return image;
}

}  // namespace kelplat::gdi
