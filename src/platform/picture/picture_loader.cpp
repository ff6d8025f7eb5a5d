#include "picture_loader.h"

#include <new>

#include "decoders.h"
#include "raster_render.h"

namespace kelplat::picture {
namespace {

// Raster pictures are sized at 96 pixels per inch.
int32_t himetric_of_pixels(int pixels) { return int32_t((int64_t(pixels) * 2540 + 48) / 96); }

bool decode_raster(PictureFormat format, Bytes file, RasterImage* out) {
  switch (format) {
    case PictureFormat::Bmp:
      return decode_bmp(file, out);
    case PictureFormat::Gif:
      return decode_gif(file, out);
    case PictureFormat::Jpeg:
      return decode_jpeg(file, out);
    case PictureFormat::Png:
      return decode_png(file, out);
    case PictureFormat::Icon:
      return decode_icon(file, out);
    default:
      return false;
  }
}

}  // namespace

PictureFormat sniff_format(Bytes file) {
  static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  static const uint8_t kJpeg[] = {0xFF, 0xD8, 0xFF};
  static const uint8_t kIcon[] = {0, 0, 1, 0}, kCursor[] = {0, 0, 2, 0};
  if (file.starts_with("BM", 2)) return PictureFormat::Bmp;
  if (file.starts_with("GIF87a", 6) || file.starts_with("GIF89a", 6)) return PictureFormat::Gif;
  if (file.starts_with(kJpeg, sizeof kJpeg)) return PictureFormat::Jpeg;
  if (file.starts_with(kPng, sizeof kPng)) return PictureFormat::Png;
  if (file.starts_with(kIcon, sizeof kIcon) || file.starts_with(kCursor, sizeof kCursor))
    return PictureFormat::Icon;
  MetafileInfo info;
  if (read_metafile_info(file, &info)) return PictureFormat::Metafile;
  return PictureFormat::Unknown;
}

bool load_picture(Bytes file, PictureData* out) {
  PictureFormat format = sniff_format(file);
  if (format == PictureFormat::Metafile) {
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
  if (!decode_raster(format, file, &out->raster)) return false;
  out->width_himetric = himetric_of_pixels(out->raster.width);
  out->height_himetric = himetric_of_pixels(out->raster.height);
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
