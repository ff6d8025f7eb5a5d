// The console face: font 0's fixed-pitch face drawn from an 8 x 8 bitmap
// console font wherever its cell is a whole multiple of 8 pixels, each glyph
// pixel a block of whole pixels, so the small sizes stay crisp.
#ifndef KEL_PLATFORM_GDI_CONSOLE_GLYPHS_H
#define KEL_PLATFORM_GDI_CONSOLE_GLYPHS_H

#include <cstdint>

#include "console_glyph_table.h"
#include "platform.h"

namespace kelplat::gdi::text {

struct Glyph;

// How many device pixels a glyph pixel covers across and down.
struct ConsoleScale {
  int x = 0, y = 0;
  bool drawn() const { return x > 0; }
};

// The scale of a normalized request for the console face: its cell height
// and width (0: as tall) whole multiples of 8 and its baseline turned by
// whole quarter turns; none (x == 0) when the request is any other.
ConsoleScale console_scale(const LOGFONTA& logfont);

// The glyph of `byte` at `scale`, turned by `quarter_turns` counter-clockwise.
void console_glyph(unsigned char byte, ConsoleScale scale, int quarter_turns, Glyph& glyph);

}  // namespace kelplat::gdi::text

#endif  // KEL_PLATFORM_GDI_CONSOLE_GLYPHS_H
