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
      stride(row_bytes_of(width, bits_pixel)) {
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

size_t byte_size(const Bitmap& bitmap) { return size_t(bitmap.stride) * size_t(bitmap.height); }

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
  if (bits) std::memcpy(bitmap->bytes(), bits, byte_size(*bitmap));
  return add_object<HBITMAP>(std::move(bitmap));
}

LONG WINAPI GetBitmapBits(HBITMAP handle, LONG bytes, LPVOID bits) {
  Bitmap* bitmap = fast_bitmap(handle);
  if (!bitmap || bytes < 0) return 0;
  size_t total = byte_size(*bitmap);
  if (!bits) return LONG(total);
  size_t count = std::min(total, size_t(bytes));
  std::memcpy(bits, bitmap->bytes(), count);
  return LONG(count);
}

LONG WINAPI SetBitmapBits(HBITMAP handle, DWORD bytes, const void* bits) {
  Bitmap* bitmap = fast_bitmap(handle);
  if (!bitmap || bitmap->stock || !bits) return 0;
  size_t count = std::min(byte_size(*bitmap), size_t(bytes));
  std::memcpy(bitmap->bytes(), bits, count);
  return LONG(count);
}
