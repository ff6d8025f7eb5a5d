// JPEG through libjpeg. Errors come back through a setjmp error manager
// (never the library's default, which ends the process); data that ends
// before the pixels do is an error too, not a grey tail.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "decoders.h"

namespace kelplat::picture {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  bool out_of_data;
};

[[noreturn]] void fail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings are ignored, except pixels missing because the data ran out. A
// file that lacks only its end marker runs out too, but its pixels are all
// there.
void on_message(j_common_ptr info, int level) {
  if (level >= 0) return;
  ErrorManager* errors = reinterpret_cast<ErrorManager*>(info->err);
  if (info->err->msg_code == JWRN_JPEG_EOF) errors->out_of_data = true;
  if (info->err->msg_code == JWRN_HIT_MARKER && errors->out_of_data) fail(info);
}

// Adobe CMYK files store inverted ink amounts.
uint32_t from_cmyk(const uint8_t* p) {
  uint32_t k = p[3];
  auto channel = [k](uint32_t c) { return (c * k + 127) / 255; };
  return opaque((channel(p[0]) << 16) | (channel(p[1]) << 8) | channel(p[2]));
}

// Scanlines straight into the image's rows as blue, green, red, x bytes, or
// through one row of CMYK samples.
void read_lines(jpeg_decompress_struct* info, RasterImage* out, std::vector<uint8_t>* cmyk) {
  while (info->output_scanline < info->output_height) {
    int y = int(info->output_scanline);
    if (cmyk->empty()) {
      JSAMPROW row = reinterpret_cast<JSAMPROW>(out->row(y));
      jpeg_read_scanlines(info, &row, 1);
      for (int x = 0; x < out->width; ++x) out->row(y)[x] |= 0xFF000000u;
    } else {
      JSAMPROW row = cmyk->data();
      jpeg_read_scanlines(info, &row, 1);
      for (int x = 0; x < out->width; ++x) out->row(y)[x] = from_cmyk(cmyk->data() + 4 * x);
    }
  }
}

// The setjmp lives here, apart from the objects it must not disturb: every
// object this function changes lives in the caller's frame.
bool run_decoder(Bytes file, int denominator, jpeg_decompress_struct* info, ErrorManager* errors,
                 std::vector<uint8_t>* cmyk, RasterImage* out, int full[2]) {
  info->err = jpeg_std_error(&errors->base);
  errors->base.error_exit = fail;
  errors->base.emit_message = on_message;
  if (setjmp(errors->jump)) {
    jpeg_destroy_decompress(info);
    out->allocate(0, 0);
    return false;
  }
  jpeg_create_decompress(info);
  jpeg_mem_src(info, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(info, TRUE);
  full[0] = int(info->image_width);
  full[1] = int(info->image_height);
  info->scale_num = 1;
  info->scale_denom = unsigned(denominator);
  bool is_cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  info->out_color_space = is_cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  jpeg_calc_output_dimensions(info);
  if (!out->allocate(info->output_width, info->output_height))
    fail(reinterpret_cast<j_common_ptr>(info));
  if (is_cmyk) cmyk->resize(size_t(info->output_width) * 4);
  jpeg_start_decompress(info);
  read_lines(info, out, cmyk);
  jpeg_finish_decompress(info);
  jpeg_destroy_decompress(info);
  return true;
}

}  // namespace

bool decode_jpeg_scaled(Bytes file, int denominator, RasterImage* out, int full[2]) {
  *out = RasterImage();
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  std::vector<uint8_t> cmyk;
  return run_decoder(file, denominator, &info, &errors, &cmyk, out, full);
}

bool decode_jpeg(Bytes file, RasterImage* out) {
  int full[2];
  return decode_jpeg_scaled(file, 1, out, full);
}

}  // namespace kelplat::picture
