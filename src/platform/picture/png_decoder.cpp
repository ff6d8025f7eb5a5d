// PNG through libpng's simplified reader, which handles every colour type and
// depth, gamma and transparency chunks, and reports errors by its result
// (it keeps its own setjmp inside, so a bad file never ends the process).
#include <png.h>

#include "decoders.h"

namespace kelplat::picture {

bool decode_png(Bytes file, RasterImage* out) {
  *out = RasterImage();
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
  image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words
  if (!out->allocate(image.width, image.height)) {
    png_image_free(&image);
    return false;
  }
  if (!png_image_finish_read(&image, nullptr, out->pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    out->allocate(0, 0);
    return false;
  }
  out->premultiply();
  return true;
}

}  // namespace kelplat::picture
