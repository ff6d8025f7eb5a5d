// The palette functions: the 16 standard colours are fixed, so only the
// default palette and its size are answered; the setters accept anything
// and change nothing. None of them needs a window.
#include "kel_internal.h"

palettetype* getdefaultpalette(void) {
  static palettetype default_palette = {16, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}};
  return &default_palette;
}

int getpalettesize(void) { return 16; }

void getpalette(palettetype* /*palette*/) {}

void setallpalette(palettetype* /*palette*/) {}

void setpalette(int /*colornum*/, int /*color*/) {}

void setrgbpalette(int /*colornum*/, int /*red*/, int /*green*/, int /*blue*/) {}
