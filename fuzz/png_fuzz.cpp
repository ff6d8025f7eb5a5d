// Fuzzes the png decoder: any input is decoded completely or refused,
// without reading outside it.
#include "platform/picture/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kelplat::picture::RasterImage image;
  if (kelplat::picture::decode_png(kelplat::picture::Bytes(data, size), &image) &&
      image.pixels.size() != size_t(image.width) * size_t(image.height))
    __builtin_trap();
  return 0;
}
