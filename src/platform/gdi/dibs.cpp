// Device-independent bitmaps: GetDIBits, CreateDIBitmap, SetDIBitsToDevice
// and StretchDIBits.
#include <algorithm>
#include <climits>
#include <cstring>

#include "blit_core.h"
#include "dib_codec.h"
#include "palette_tables.h"
#include "rle_encoder.h"

namespace kelplat::gdi {
namespace {

// Index of the table entry nearest to a pixel, with a small cache: pages
// hold few distinct colours, and a full search per pixel is slow for 256
// entries.
class NearestIndex {
 public:
  explicit NearestIndex(const std::vector<uint32_t>& table)
      : table_(table), keys_(kSlots, kEmpty), values_(kSlots, 0) {}

  int operator()(uint32_t pixel) {
    pixel &= 0xFFFFFF;
    size_t slot = (pixel * 2654435761u) >> 20 & (kSlots - 1);
    if (keys_[slot] != pixel) {
      keys_[slot] = pixel;
      values_[slot] = search(pixel);
    }
    return values_[slot];
  }

 private:
  static constexpr size_t kSlots = 4096;
  static constexpr uint32_t kEmpty = 0xFFFFFFFF;

  int search(uint32_t pixel) const {
    int best = 0;
    int64_t best_distance = INT64_MAX;
    for (size_t i = 0; i < table_.size(); i++) {
      int64_t dr = int64_t((pixel >> 16) & 0xFF) - ((table_[i] >> 16) & 0xFF);
      int64_t dg = int64_t((pixel >> 8) & 0xFF) - ((table_[i] >> 8) & 0xFF);
      int64_t db = int64_t(pixel & 0xFF) - (table_[i] & 0xFF);
      int64_t distance = dr * dr + dg * dg + db * db;
      if (distance < best_distance) best_distance = distance, best = int(i);
    }
    return best;
  }

  const std::vector<uint32_t>& table_;
  std::vector<uint32_t> keys_;
  std::vector<int> values_;
};

// Writes pixel x of a DIB row (the row is zeroed beforehand).
void encode_pixel(uint32_t p, size_t x, int bits, NearestIndex& nearest, uint8_t* out) {
  uint8_t r = uint8_t(p >> 16), g = uint8_t(p >> 8), b = uint8_t(p);
  switch (bits) {
    case 1:
    case 4:
    case 8: {
      size_t per_byte = size_t(8 / bits);
      int shift = int(per_byte - 1 - x % per_byte) * bits;
      out[x / per_byte] = uint8_t(out[x / per_byte] | nearest(p) << shift);
      break;
    }
    case 16: {
      uint16_t v = uint16_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
      out[2 * x] = uint8_t(v), out[2 * x + 1] = uint8_t(v >> 8);
      break;
    }
    case 24:
      out[3 * x] = b, out[3 * x + 1] = g, out[3 * x + 2] = r;
      break;
    default:
      out[4 * x] = b, out[4 * x + 1] = g, out[4 * x + 2] = r, out[4 * x + 3] = 0;
  }
}

// GetDIBits with biBitCount 0: describe the bitmap's own format.
int describe_bitmap(const Bitmap& bitmap, BITMAPINFOHEADER& header) {
  header.biWidth = bitmap.width;
  header.biHeight = bitmap.height;
  header.biPlanes = 1;
  header.biBitCount = WORD(bitmap.bits_pixel);
  header.biCompression = BI_RGB;
  header.biSizeImage = DWORD((uint64_t(bitmap.width) * uint64_t(bitmap.bits_pixel) + 31) / 32 * 4 *
                             uint64_t(bitmap.height));
  header.biClrUsed = 0;
  return bitmap.height;
}

// Run-length data: 8 bits with BI_RLE8 or 4 with BI_RLE4, rows bottom first.
bool run_length_output(const BITMAPINFOHEADER& h) {
  bool pair = (h.biCompression == BI_RLE8 && h.biBitCount == 8) ||
              (h.biCompression == BI_RLE4 && h.biBitCount == 4);
  return pair && h.biHeight > 0;
}

bool output_format_ok(const BITMAPINFOHEADER& h) {
  int bits = h.biBitCount;
  bool bits_ok = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
  return bits_ok && (h.biCompression == BI_RGB || run_length_output(h)) &&
         bitmap_size_ok(h.biWidth, height);
}

// The colour table that GetDIBits hands out (and maps pixels to).
std::vector<uint32_t> output_table(const DeviceContext* dc, BITMAPINFO* info) {
  BITMAPINFOHEADER& h = info->bmiHeader;
  std::vector<uint32_t> table = context_color_table(dc, h.biBitCount);
  if (h.biClrUsed > 0 && h.biClrUsed < table.size()) table.resize(h.biClrUsed);
  for (size_t i = 0; i < table.size(); i++) {
    info->bmiColors[i] = RGBQUAD{uint8_t(table[i]), uint8_t(table[i] >> 8),
                                 uint8_t(table[i] >> 16), 0};
  }
  return table;
}

// The bitmap's pixel at (x, y) of the output; black outside the bitmap.
uint32_t output_pixel(const Bitmap& bitmap, int64_t x, int64_t y) {
  bool inside = x < bitmap.width && y < bitmap.height;
  return inside ? read_pixel(bitmap, int(x), int(y)) & 0xFFFFFF : 0;
}

// Copies scan lines [first, last) of the bitmap into `bits`, which holds
// scans from `start` on. Pixels outside the bitmap come out black.
void copy_scans(const Bitmap& bitmap, const BITMAPINFOHEADER& h, const std::vector<uint32_t>& table,
                uint64_t start, uint64_t first, uint64_t last, uint8_t* bits) {
  int64_t width = h.biWidth;
  int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
  uint64_t row_bytes = (uint64_t(width) * h.biBitCount + 31) / 32 * 4;
  NearestIndex nearest(table);
  for (uint64_t scan = first; scan < last; scan++) {
    int64_t y = h.biHeight < 0 ? int64_t(scan) : height - 1 - int64_t(scan);
    uint8_t* out = bits + (scan - start) * row_bytes;
    std::memset(out, 0, size_t(row_bytes));
    for (int64_t x = 0; x < width; x++) encode_pixel(output_pixel(bitmap, x, y), size_t(x), h.biBitCount, nearest, out);
  }
}

// The whole bitmap as run-length data over the table's indices.
std::vector<uint8_t> encode_scans(const Bitmap& bitmap, const BITMAPINFOHEADER& h,
                                  const std::vector<uint32_t>& table) {
  NearestIndex nearest(table);
  RleEncoder encoder(h.biCompression == BI_RLE4);
  std::vector<uint8_t> row(size_t(h.biWidth));
  for (int64_t y = int64_t(h.biHeight) - 1; y >= 0; y--) {
    for (size_t x = 0; x < row.size(); x++) row[x] = uint8_t(nearest(output_pixel(bitmap, int64_t(x), y)));
    encoder.add_row(row.data(), row.size());
  }
  return encoder.finish();
}

// GetDIBits for run-length output: the data is always the whole image, and
// biSizeImage gives its length. `bits`, when given, holds biSizeImage bytes
// as the caller passed it; data longer than that is refused.
int get_encoded_bits(const Bitmap& bitmap, BITMAPINFOHEADER& h, const std::vector<uint32_t>& table,
                     void* bits) {
  const uint64_t room = h.biSizeImage;
  std::vector<uint8_t> data = encode_scans(bitmap, h, table);
  if (data.size() > UINT32_MAX) return 0;
  h.biSizeImage = DWORD(data.size());
  if (bits) {
    if (data.size() > room) return 0;
    std::memcpy(bits, data.data(), data.size());
  }
  return int(h.biHeight);
}

// Copies a decoded image into the top-left corner of a bitmap.
void paste(const Bitmap& image, Bitmap& bitmap) {
  int width = std::min(image.width, bitmap.width), height = std::min(image.height, bitmap.height);
  for (int y = 0; y < height; y++) {
    std::memcpy(bitmap.row32(y), image.row32(y),
                size_t(width) * 4);
  }
}

int64_t clamp_size(DWORD size) { return std::min<int64_t>(size, INT_MAX); }

}  // namespace
}  // namespace kelplat::gdi

using namespace kelplat::gdi;

int WINAPI GetDIBits(HDC hdc, HBITMAP handle, UINT start, UINT lines, LPVOID bits,
                     LPBITMAPINFO info, UINT usage) {
  DeviceContext* dc = fast_dc(hdc);
  Bitmap* bitmap = fast_bitmap(handle);
  if (!dc || !bitmap || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biBitCount == 0) return describe_bitmap(*bitmap, h);
  if (usage != DIB_RGB_COLORS || !output_format_ok(h)) return 0;
  std::vector<uint32_t> table;
  if (h.biBitCount <= 8) table = output_table(dc, info);
  if (run_length_output(h)) return get_encoded_bits(*bitmap, h, table, bits);
  uint64_t height = h.biHeight < 0 ? uint64_t(-int64_t(h.biHeight)) : uint64_t(h.biHeight);
  uint64_t row_bytes = (uint64_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
  h.biSizeImage = DWORD(row_bytes * height);
  if (!bits) return int(height);
  uint64_t first = std::min<uint64_t>(start, height);
  uint64_t last = std::min<uint64_t>(uint64_t(start) + lines, height);
  copy_scans(*bitmap, h, table, start, first, last, static_cast<uint8_t*>(bits));
  return int(last - first);
}

HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init,
                              const void* bits, const BITMAPINFO* info, UINT usage) {
  int64_t width, height;
  if (!dib_size(header, width, height)) return nullptr;
  DeviceContext* dc = hdc ? fast_dc(hdc) : nullptr;
  if (hdc && !dc) return nullptr;
  std::unique_ptr<Bitmap> bitmap = make_bitmap(width, height, 32);
  if (!bitmap) return nullptr;
  if (init & CBM_INIT) {
    DibFormat format;
    if (!parse_dib(info, usage, dc, format)) return nullptr;
    std::unique_ptr<Bitmap> image = decode_dib(format, bits);
    if (!image) return nullptr;
    paste(*image, *bitmap);
  }
  return add_object<HBITMAP>(std::move(bitmap));
}

// The bits hold `lines` scan lines from scan `start` on (scans count from
// the bottom row of a bottom-up DIB). The source rectangle's y is counted
// the same way for a bottom-up DIB: (x_src, y_src) is its lower-left corner.
int WINAPI SetDIBitsToDevice(HDC hdc, int x, int y, DWORD width, DWORD height, int x_src,
                             int y_src, UINT start, UINT lines, const void* bits,
                             const BITMAPINFO* info, UINT usage) {
  DeviceContext* dc = fast_dc(hdc);
  DibFormat format;
  if (!dc || !parse_dib(info, usage, dc, format)) return 0;
  bool rle = format.compression == BI_RLE8 || format.compression == BI_RLE4;
  if (rle) {
    start = 0, lines = UINT(format.height);  // compressed data is always the whole image
  } else {
    if (start >= format.height) return 0;
    lines = UINT(std::min<int64_t>(lines, format.height - start));
    format.height = lines;
    format.data_bytes = format.row_bytes * lines;
  }
  if (lines == 0) return 0;
  std::unique_ptr<Bitmap> band = decode_dib(format, bits);
  if (!band) return 0;
  int64_t w = clamp_size(width), h = clamp_size(height);
  int64_t top = format.top_down ? int64_t(y_src) - start : int64_t(start) + lines - y_src - h;
  BlitSource source;
  source.bitmap = band.get();
  blit(*dc, Extent{int64_t(x) + dc->viewport_org.x, w}, Extent{int64_t(y) + dc->viewport_org.y, h},
       source, Extent{x_src, w}, Extent{top, h}, SRCCOPY);
  return int(lines);
}

// As with SetDIBitsToDevice, y_src of a bottom-up DIB counts from the bottom;
// the image is drawn upright either way, and negative sizes mirror.
int WINAPI StretchDIBits(HDC hdc, int x, int y, int width, int height, int x_src, int y_src,
                         int width_src, int height_src, const void* bits, const BITMAPINFO* info,
                         UINT usage, DWORD rop) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc) return 0;
  BlitSource source;
  std::unique_ptr<Bitmap> image;
  DibFormat format;
  if (rop_uses_source(rop)) {
    if (!parse_dib(info, usage, dc, format) || !(image = decode_dib(format, bits))) return 0;
    source.bitmap = image.get();
  }
  int64_t top = y_src;
  if (image && !format.top_down) {
    top = height_src >= 0 ? format.height - int64_t(y_src) - height_src
                          : format.height - 2 - int64_t(y_src) - height_src;
  }
  bool done = blit(*dc, Extent{int64_t(x) + dc->viewport_org.x, width},
                   Extent{int64_t(y) + dc->viewport_org.y, height}, source,
                   Extent{x_src, width_src}, Extent{top, height_src}, rop);
  return done ? int(image ? format.height : 1) : 0;
}
