// Device-dependent bitmaps: creation and their bits as stored.
#include <algorithm>
#include <cstring>
#include <new>

#include "gdi_core.h"

namespace kelplat::gdi {

namespace {
int row_bytes_of(int width, int bits_pixel) {
  return bits_pixel == 32 ? width * 4 : (width + 15) / 16 * 2;
}

// Rows as stored. A 32-bit row of 1 KiB or more whose length is a multiple
// of 256 bytes gets one cache line more: otherwise the pixels of a column, a
// row apart, fall into at most 16 of the 64 sets of the processor's
// first-level cache (into a single one for rows of 4 KiB), which then misses
// at nearly every pixel of a steep line or any walk down a column. Shorter
// rows are left alone, so the padding adds at most 1/16 to a bitmap. It is
// never shown: the bits a program reads or writes have rows of bmWidthBytes.
int stride_of(int width, int bits_pixel) {
  const int row = row_bytes_of(width, bits_pixel);
  return bits_pixel == 32 && row >= 1024 && row % 256 == 0 ? row + 64 : row;
}
}  // namespace

BITMAP record_of_bitmap(int width, int height, int bits_pixel) {
  BITMAP record{};
  record.bmWidth = width;
  record.bmHeight = height;
  record.bmWidthBytes = row_bytes_of(width, bits_pixel);
  record.bmPlanes = 1;
  record.bmBitsPixel = WORD(bits_pixel);
  return record;
}

Bitmap::Bitmap(int width, int height, int bits_pixel)
    : GdiObject(OBJ_BITMAP),
      width(width),
      height(height),
      bits_pixel(bits_pixel),
      stride(stride_of(width, bits_pixel)) {
  storage.resize((size_t(stride) * size_t(height) + 3) / 4);
}

std::unique_ptr<Bitmap> make_bitmap(int64_t width, int64_t height, int bits_pixel) {
  if (!bitmap_size_ok(width, height) || (bits_pixel != 1 && bits_pixel != 32)) return nullptr;
  try {
    return std::make_unique<Bitmap>(int(width), int(height), bits_pixel);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

namespace {

// The size of a bitmap's bits as a program sees them: rows of bmWidthBytes.
size_t byte_size(const Bitmap& bitmap) {
  return size_t(row_bytes_of(bitmap.width, bitmap.bits_pixel)) * size_t(bitmap.height);
}

// Calls copy(stored row, offset, n) for the first `count` bytes of the bits
// as a program sees them, n bytes of a row at that offset at a time.
template <class Copy>
void for_rows(Bitmap& bitmap, size_t count, Copy&& copy) {
  const size_t row = size_t(row_bytes_of(bitmap.width, bitmap.bits_pixel));
  for (size_t y = 0, done = 0; done < count; y++, done += row) {
    copy(bitmap.bytes() + y * size_t(bitmap.stride), done, std::min(row, count - done));
  }
}

// Stores the first `count` bytes of `bits` in the bitmap.
void store_bits(Bitmap& bitmap, const void* bits, size_t count) {
  for_rows(bitmap, count, [&](uint8_t* stored, size_t at, size_t n) {
    std::memcpy(stored, static_cast<const uint8_t*>(bits) + at, n);
  });
}

// True when the context is a memory context holding a monochrome bitmap
// (the stock one included): bitmaps compatible with it are monochrome too.
bool holds_monochrome(const DeviceContext& dc) {
  if (dc.type != DeviceContext::Type::Memory) return false;
  Bitmap* bitmap = fast_bitmap(dc.bitmap);
  return bitmap && bitmap->bits_pixel == 1;
}

}  // namespace
}  // namespace kelplat::gdi

using namespace kelplat::gdi;

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int width, int height) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || width < 0 || height < 0) return nullptr;
  if (width == 0 || height == 0) return stock_bitmap();
  return add_object<HBITMAP>(make_bitmap(width, height, holds_monochrome(*dc) ? 1 : 32));
}

BOOL WINAPI KelImageRecord(HDC hdc, int width, int height, BITMAP* record) {
  DeviceContext* dc = fast_dc(hdc);
  Bitmap* target = dc ? dc->target() : nullptr;
  if (!target || target->bits_pixel != 32 || !record || !bitmap_size_ok(width, height)) {
    return FALSE;
  }
  *record = record_of_bitmap(width, height, 32);
  return TRUE;
}

HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel,
                            const void* bits) {
  if (planes != 1 || (bits_per_pixel != 1 && bits_per_pixel != 32)) return nullptr;
  if (width < 0 || height < 0) return nullptr;
  if (width == 0 || height == 0) return stock_bitmap();
  std::unique_ptr<Bitmap> bitmap = make_bitmap(width, height, int(bits_per_pixel));
  if (!bitmap) return nullptr;
  if (bits) store_bits(*bitmap, bits, byte_size(*bitmap));
  return add_object<HBITMAP>(std::move(bitmap));
}

LONG WINAPI GetBitmapBits(HBITMAP handle, LONG bytes, LPVOID bits) {
  Bitmap* bitmap = fast_bitmap(handle);
  if (!bitmap || bytes < 0) return 0;
  size_t total = byte_size(*bitmap);
  if (!bits) return LONG(total);
  size_t count = std::min(total, size_t(bytes));
  for_rows(*bitmap, count, [&](const uint8_t* stored, size_t at, size_t n) {
    std::memcpy(static_cast<uint8_t*>(bits) + at, stored, n);
  });
  return LONG(count);
}

LONG WINAPI SetBitmapBits(HBITMAP handle, DWORD bytes, const void* bits) {
  Bitmap* bitmap = fast_bitmap(handle);
  if (!bitmap || bitmap->stock || !bits) return 0;
  size_t count = std::min(byte_size(*bitmap), size_t(bytes));
  store_bits(*bitmap, bits, count);
  return LONG(count);
}
