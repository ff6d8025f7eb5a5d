// Turning the bytes of a picture file into something we can draw: a raster
// image, or a metafile kept as it is and played each time it is drawn.
#ifndef KEL_PLATFORM_PICTURE_PICTURE_LOADER_H
#define KEL_PLATFORM_PICTURE_PICTURE_LOADER_H

#include <vector>

#include "metafile.h"
#include "placement.h"
#include "raster_image.h"

namespace kelplat::picture {

struct PictureData {
  RasterImage raster;
  std::vector<uint8_t> metafile;  // the whole file, for metafiles
  // A JPEG keeps its file and, as `raster`, its smallest decoded size (1/8);
  // drawing decodes it at the smallest scale that still covers the
  // destination, so memory follows what is drawn, not what the file claims.
  std::vector<uint8_t> jpeg;
  int jpeg_width = 0;
  int jpeg_height = 0;
  MetafileInfo metafile_info;
  int32_t width_himetric = 0;  // size in hundredths of a millimetre
  int32_t height_himetric = 0;
};

// A raster format of picture_formats.h by the file's first bytes, else a
// metafile. False, for any file we cannot decode completely.
bool load_picture(Bytes file, PictureData* out);

// Draws the placement's part of the picture; false when the context has
// nothing to draw on.
bool render_picture(const PictureData& picture, HDC hdc, const Placement& where);

}  // namespace kelplat::picture

#endif  // KEL_PLATFORM_PICTURE_PICTURE_LOADER_H
