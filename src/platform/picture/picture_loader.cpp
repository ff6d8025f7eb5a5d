#include "picture_loader.h"

#include <new>

#include "picture_formats.h"
#include "raster_render.h"

namespace kelplat::picture {
namespace {

// Raster pictures are sized at 96 pixels per inch.
int32_t himetric_of_pixels(int pixels) { return int32_t((int64_t(pixels) * 2540 + 48) / 96); }

}  // namespace

bool load_picture(Bytes file, PictureData* out) {
  if (const RasterFormat* format = raster_format_of(file)) {
    if (!format->decode(file, &out->raster)) return false;
    out->width_himetric = himetric_of_pixels(out->raster.width);
    out->height_himetric = himetric_of_pixels(out->raster.height);
    return true;
  }
  if (!read_metafile_info(file, &out->metafile_info)) return false;
  try {
    out->metafile.assign(file.data(), file.data() + file.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  out->width_himetric = out->metafile_info.width_himetric;
  out->height_himetric = out->metafile_info.height_himetric;
  return true;
}

bool render_picture(const PictureData& picture, HDC hdc, const Placement& where) {
  if (picture.metafile.empty()) return draw_raster(hdc, picture.raster, where);
  if (GetObjectType(hdc) == 0) return false;
  play_metafile(Bytes(picture.metafile.data(), picture.metafile.size()), picture.metafile_info, hdc,
                where);
  return true;
}

}  // namespace kelplat::picture
