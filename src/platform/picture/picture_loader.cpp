#include "picture_loader.h"

#include <cmath>
#include <new>

#include "decoders.h"
#include "picture_formats.h"
#include "raster_render.h"

namespace kelplat::picture {
namespace {

// Raster pictures are sized at 96 pixels per inch.
int32_t himetric_of_pixels(int pixels) { return int32_t((int64_t(pixels) * 2540 + 48) / 96); }

constexpr int kJpegScales[] = {8, 4, 2};

// Checks the whole file (decoding at the smallest scale) and keeps it.
bool load_jpeg(Bytes file, PictureData* out) {
  int full[2];
  if (!decode_jpeg_scaled(file, kJpegScales[0], &out->raster, full)) return false;
  try {
    out->jpeg.assign(file.data(), file.data() + file.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  out->jpeg_width = full[0];
  out->jpeg_height = full[1];
  return true;
}

// The largest reduction whose picture still has at least as many pixels
// as the destination gives the whole picture, in each direction.
int jpeg_denominator(const PictureData& picture, const Placement& where) {
  double span_x = std::fabs(where.fx1 - where.fx0), span_y = std::fabs(where.fy1 - where.fy0);
  if (span_x <= 0 || span_y <= 0) return 1;
  double need_x = std::fabs(double(where.cx)) / span_x, need_y = std::fabs(double(where.cy)) / span_y;
  for (int denominator : kJpegScales) {
    if (picture.jpeg_width / denominator >= need_x && picture.jpeg_height / denominator >= need_y)
      return denominator;
  }
  return 1;
}

bool draw_jpeg(const PictureData& picture, HDC hdc, const Placement& where) {
  int denominator = jpeg_denominator(picture, where);
  if (denominator == kJpegScales[0]) return draw_raster(hdc, picture.raster, where);
  RasterImage scaled;
  int full[2];
  if (!decode_jpeg_scaled(Bytes(picture.jpeg.data(), picture.jpeg.size()), denominator, &scaled,
                          full))
    return false;
  return draw_raster(hdc, scaled, where);
}

}  // namespace

bool load_picture(Bytes file, PictureData* out) {
  if (const RasterFormat* format = raster_format_of(file)) {
    if (format->drawn_at_scale ? !load_jpeg(file, out) : !format->decode(file, &out->raster))
      return false;
    bool kept = !out->jpeg.empty();
    out->width_himetric = himetric_of_pixels(kept ? out->jpeg_width : out->raster.width);
    out->height_himetric = himetric_of_pixels(kept ? out->jpeg_height : out->raster.height);
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
  if (!picture.jpeg.empty()) return draw_jpeg(picture, hdc, where);
  if (picture.metafile.empty()) return draw_raster(hdc, picture.raster, where);
  if (GetObjectType(hdc) == 0) return false;
  play_metafile(Bytes(picture.metafile.data(), picture.metafile.size()), picture.metafile_info, hdc,
                where);
  return true;
}

}  // namespace kelplat::picture
