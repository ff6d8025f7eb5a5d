// The glyphs of the 8 x 8 console font, by byte of the Western code page:
// eight rows from the top, bit 7 leftmost; row 7 is below the baseline. The
// portable platform's console face draws them, and on Windows the library
// draws font 0 from them itself, so both give the same pixels.
#ifndef KEL_PLATFORM_COMMON_CONSOLE_GLYPH_TABLE_H
#define KEL_PLATFORM_COMMON_CONSOLE_GLYPH_TABLE_H

#include <cstdint>

namespace kelplat::gdi::text {

extern const uint8_t kConsoleGlyphs[256][8];

}  // namespace kelplat::gdi::text

#endif  // KEL_PLATFORM_COMMON_CONSOLE_GLYPH_TABLE_H
