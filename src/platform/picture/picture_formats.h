// The raster picture formats the loader reads: each is known by the first
// bytes of its files and has a decoder (decoders.h). Adding a format is its
// decoder's file and one line in the table of picture_formats.cpp.
#ifndef KEL_PLATFORM_PICTURE_PICTURE_FORMATS_H
#define KEL_PLATFORM_PICTURE_PICTURE_FORMATS_H

#include <string_view>

#include "raster_image.h"

namespace kelplat::picture {

struct RasterFormat {
  const char* name;
  // A file of the format begins with one of these (unused ones are empty).
  std::string_view signatures[2];
  bool (*decode)(Bytes file, RasterImage* out);
  // The loader keeps the file and decodes it again at the scale it is drawn
  // (the decoder can reduce while it decodes), so memory follows the
  // destination rather than the file's stated size.
  bool drawn_at_scale = false;

  bool matches(Bytes file) const;
};

// The format whose signature the file begins with; null when none does.
const RasterFormat* raster_format_of(Bytes file);

}  // namespace kelplat::picture

#endif  // KEL_PLATFORM_PICTURE_PICTURE_FORMATS_H
