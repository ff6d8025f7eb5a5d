// Fixed colour tables of a 32-bit device: the static colours of the system
// palette and the colour tables given to DIBs of 1, 4 and 8 bits per pixel
// when no palette of the program's own is selected.
#ifndef KEL_PLATFORM_GDI_PALETTE_TABLES_H
#define KEL_PLATFORM_GDI_PALETTE_TABLES_H

#include <cstdint>
#include <vector>

#include "gdi_objects.h"

namespace kelplat::gdi {

constexpr int kStaticColorCount = 20;
// The 20 static colours: the first ten and the last ten of the system palette.
extern const PALETTEENTRY kStaticColors[kStaticColorCount];

// The default colour table for a DIB of `bits` (1, 4 or 8) bits per pixel,
// as pixels 0x00RRGGBB: black and white; the 16 standard colours; or a
// 256-colour set (static colours, a 6 x 6 x 6 cube and a grey ramp).
std::vector<uint32_t> default_color_table(int bits);

// The colour table a context gives to DIBs of `bits` bits per pixel: the
// entries of its selected palette when the program selected one of its own,
// otherwise the default table. Always 2^bits entries.
std::vector<uint32_t> context_color_table(const DeviceContext* dc, int bits);

// Entries of the context's palette (the static colours when none of the
// program's own is selected), as pixels; used for DIB_PAL_COLORS.
std::vector<uint32_t> context_palette(const DeviceContext* dc);

inline uint32_t entry_pixel(const PALETTEENTRY& e) {
  return (uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue;
}

}  // namespace kelplat::gdi

#endif  // KEL_PLATFORM_GDI_PALETTE_TABLES_H
