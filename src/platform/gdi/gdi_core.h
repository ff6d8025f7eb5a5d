// Internal helpers shared by the files of the GDI core: object insertion,
// the typed lookups of contexts and bitmaps, bitmap creation with size checks,
// the stock objects and the lock that guards selection counts.
#ifndef KEL_PLATFORM_GDI_CORE_H
#define KEL_PLATFORM_GDI_CORE_H

#include <cstdint>
#include <memory>
#include <mutex>

#include "gdi_objects.h"

namespace kelplat::gdi {

// Largest bitmap we make, in pixels (1 GiB at 32 bits per pixel).
constexpr int64_t kMaxBitmapPixels = int64_t(1) << 28;

// Puts a new object into the table; null for a null object or when the
// table is full.
template <class H>
H add_object(std::unique_ptr<GdiObject> object) {
  if (!object) return nullptr;
  return reinterpret_cast<H>(table().insert(std::move(object)));
}

inline uintptr_t key(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }

// The lookups that the GDI files make most, by their short names.
inline DeviceContext* fast_dc(const void* handle) { return lookup<DeviceContext>(handle); }
inline Bitmap* fast_bitmap(const void* handle) { return lookup<Bitmap>(handle); }

// True when width x height is a bitmap size we are willing to allocate.
inline bool bitmap_size_ok(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxBitmapPixels && height <= kMaxBitmapPixels &&
         width * height <= kMaxBitmapPixels;
}

// The BITMAP record (bmBits null) of a bitmap of that size and depth.
BITMAP record_of_bitmap(int width, int height, int bits_pixel);

// A zero-filled bitmap of 1 or 32 bits per pixel, outside the table; null for
// a refused size or when memory runs out.
std::unique_ptr<Bitmap> make_bitmap(int64_t width, int64_t height, int bits_pixel);

// The 1 x 1 monochrome bitmap that every new memory context holds. It is a
// placeholder: a context holding it has nothing to draw on.
HBITMAP stock_bitmap();

// Guards every `selections` count and the checks that read them
// (SelectObject, DeleteObject, DeleteDC); drawing never takes it.
std::mutex& selection_mutex();

// A context with the platform's defaults: black pen, white brush, system
// font, default palette (all stock, so no selection counts change), no bitmap.
std::unique_ptr<DeviceContext> new_context(DeviceContext::Type type);

// Gives up a context's hold on an object (under selection_mutex()).
void release_selection(HGDIOBJ object);

// ------------------------------------------------------------ pixel access
// Monochrome bitmaps: bit 7 of a row's first byte is the leftmost pixel; a 1
// bit is white, a 0 bit black.
inline const uint8_t* row_bytes(const Bitmap& bitmap, int y) {
  return reinterpret_cast<const uint8_t*>(bitmap.storage.data()) + size_t(y) * size_t(bitmap.stride);
}
inline uint8_t* row_bytes(Bitmap& bitmap, int y) {
  return bitmap.bytes() + size_t(y) * size_t(bitmap.stride);
}
inline bool mono_bit(const Bitmap& bitmap, int x, int y) {
  return (row_bytes(bitmap, y)[x >> 3] >> (7 - (x & 7))) & 1;
}
inline void set_mono_bit(Bitmap& bitmap, int x, int y, bool one) {
  uint8_t& byte = row_bytes(bitmap, y)[x >> 3];
  uint8_t mask = uint8_t(0x80 >> (x & 7));
  byte = one ? uint8_t(byte | mask) : uint8_t(byte & ~mask);
}
constexpr uint32_t kWhitePixel = 0xFFFFFF;
// A colour drawn on a monochrome bitmap becomes white when it is light.
inline bool is_light(uint32_t pixel) {
  return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) >= 384;
}
// Pixel 0x00RRGGBB at (x, y); a monochrome pixel reads as black or white.
inline uint32_t read_pixel(const Bitmap& bitmap, int x, int y) {
  if (bitmap.bits_pixel == 32) return bitmap.row32(y)[x];
  return mono_bit(bitmap, x, y) ? kWhitePixel : 0;
}
inline void write_pixel(Bitmap& bitmap, int x, int y, uint32_t pixel) {
  if (bitmap.bits_pixel == 32) {
    bitmap.row32(y)[x] = pixel;
  } else {
    set_mono_bit(bitmap, x, y, is_light(pixel));
  }
}

}  // namespace kelplat::gdi

#endif  // KEL_PLATFORM_GDI_CORE_H
