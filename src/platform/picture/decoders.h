// Decoders of raster picture files into RasterImage. Each takes the whole
// file in memory, reads nothing outside it, and returns false (leaving the
// image empty) for anything it cannot decode completely.
#ifndef KEL_PLATFORM_PICTURE_DECODERS_H
#define KEL_PLATFORM_PICTURE_DECODERS_H

#include "raster_image.h"

namespace kelplat::picture {

// A .bmp file: file header, then a device-independent bitmap.
bool decode_bmp(Bytes file, RasterImage* out);

// A device-independent bitmap without file header (core, info, v4 or v5
// header, colour table, pixels). `bits_offset` is where the pixel rows start,
// counted from the header; 0 means right after the colour table. With
// `icon_mask`, the header's height counts the colour rows and the 1-bit AND
// mask rows that follow them, as in icon files.
bool decode_dib(Bytes dib, size_t bits_offset, bool icon_mask, RasterImage* out);

bool decode_gif(Bytes file, RasterImage* out);   // first frame
bool decode_jpeg(Bytes file, RasterImage* out);
// Decodes at 1/`denominator` (1, 2, 4 or 8) of the picture's size with the
// decoder's own scaling, which costs memory for the smaller size only (a
// progressive file still needs its coefficients); *full gets the picture's
// own width and height.
bool decode_jpeg_scaled(Bytes file, int denominator, RasterImage* out, int full[2]);
bool decode_png(Bytes file, RasterImage* out);
bool decode_icon(Bytes file, RasterImage* out);  // the largest image of an .ico/.cur

}  // namespace kelplat::picture

#endif  // KEL_PLATFORM_PICTURE_DECODERS_H
