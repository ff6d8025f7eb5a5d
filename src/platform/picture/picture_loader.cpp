#include "picture_loader.h"

#include <cmath>
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
    case PictureFormat::Png:
      return decode_png(file, out);
    case PictureFormat::Icon:
      return decode_icon(file, out);
    default:
      return false;
  }
}

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
  if (format == PictureFormat::Jpeg) {
    if (!load_jpeg(file, out)) return false;
  } else if (!decode_raster(format, file, &out->raster)) {
    return false;
  }
  out->width_himetric = himetric_of_pixels(out->jpeg.empty() ? out->raster.width : out->jpeg_width);
  out->height_himetric =
      himetric_of_pixels(out->jpeg.empty() ? out->raster.height : out->jpeg_height);
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
