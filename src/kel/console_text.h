// Font 0 at the character sizes 1 to 10, drawn and measured by the library
// from the 8 x 8 console font (console_text.cpp).
#ifndef KEL_CONSOLE_TEXT_H
#define KEL_CONSOLE_TEXT_H

#include "clipping.h"
#include "kel_internal.h"

// The cells of `length` characters: 8 x scale pixels each, across and down.
SIZE ConsoleTextExtent(int scale, int length);

// Draws `length` bytes of `text` on the page context `dc` as TextOutA would
// with its alignment flags and current position, the baseline turned by
// `direction` quarter turns, only where it meets `page` (logical, inclusive).
void ConsoleTextOut(HDC dc, const kel_clip::Bounds& page, int scale, int direction, int x, int y,
                    const char* text, int length);

#endif  // KEL_CONSOLE_TEXT_H
