// The block transfer engine behind BitBlt, StretchBlt, SetDIBitsToDevice and
// StretchDIBits: a source rectangle of a bitmap is combined with the
// destination context's target by a ternary raster operation, stretched
// (nearest pixel when enlarging, a box of source pixels when shrinking) and
// mirrored by negative extents.
#ifndef KEL_PLATFORM_GDI_BLIT_CORE_H
#define KEL_PLATFORM_GDI_BLIT_CORE_H

#include <cstdint>

#include "gdi_core.h"

namespace kelplat::gdi {

// What a transfer reads, and how its pixels read on the destination.
struct BlitSource {
  const Bitmap* bitmap = nullptr;     // null for operations without a source
  uint32_t zero = 0;                  // colour of a monochrome 0 bit (destination text colour)
  uint32_t one = kWhitePixel;         // colour of a monochrome 1 bit (destination background)
  uint32_t background = kWhitePixel;  // source colour that becomes white on a monochrome target
};

// One axis of a rectangle: a start and a signed size. A negative size covers
// the pixels pos + size + 1 .. pos, so pos stays the first pixel drawn; when
// the destination and the source sizes differ in sign, the axis is mirrored.
struct Extent {
  int64_t pos;
  int64_t size;
};

// Transfers into the destination's target (device coordinates, clipped by
// its drawable area); source coordinates are pixels of `source.bitmap`, and
// destination pixels whose source lies outside that bitmap are left alone.
// False when the destination has no target or a needed source is missing.
bool blit(DeviceContext& dest, Extent dest_x, Extent dest_y, const BlitSource& source,
          Extent source_x, Extent source_y, DWORD rop);

// True when the raster operation reads the source / the pattern (brush).
inline bool rop_uses_source(DWORD rop) {
  uint32_t code = (rop >> 16) & 0xFF;
  return ((code >> 2) & 0x33) != (code & 0x33);
}
inline bool rop_uses_pattern(DWORD rop) {
  uint32_t code = (rop >> 16) & 0xFF;
  return ((code >> 4) & 0x0F) != (code & 0x0F);
}

}  // namespace kelplat::gdi

#endif  // KEL_PLATFORM_GDI_BLIT_CORE_H
