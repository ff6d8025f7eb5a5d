// Picture files made in memory for the tests: BMP, PNG, JPEG, GIF and icon
// files of known pixels, written with the format libraries or by hand.
#ifndef KEL_TESTS_PICTURE_TEST_FILES_H
#define KEL_TESTS_PICTURE_TEST_FILES_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// The format libraries are there on the portable platform only; elsewhere
// the tests read the files of tests/data/pictures.
#ifndef _WIN32
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#endif

namespace picture_test {

using Bytes = std::vector<uint8_t>;

// Pixels 0xAARRGGBB with straight alpha, rows top to bottom.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  Image(int w, int h, uint32_t fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
  uint32_t& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Appends little-endian numbers.
struct Writer {
  Bytes bytes;
  Writer& u8(uint32_t v) {
    bytes.push_back(uint8_t(v));
    return *this;
  }
  Writer& u16(uint32_t v) { return u8(v).u8(v >> 8); }
  Writer& u32(uint32_t v) { return u16(v).u16(v >> 16); }
  Writer& raw(const Bytes& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
};

// An information header (40 bytes).
inline Bytes info_header(int32_t width, int32_t height, int bits, uint32_t compression = 0,
                         uint32_t size_image = 0, uint32_t colors_used = 0) {
  return Writer()
      .u32(40).u32(uint32_t(width)).u32(uint32_t(height)).u16(1).u16(uint32_t(bits))
      .u32(compression).u32(size_image).u32(0).u32(0).u32(colors_used).u32(0)
      .bytes;
}

// A .bmp file: the file header in front of a DIB whose pixels start
// `bits_offset` bytes into the DIB.
inline Bytes bmp_file(const Bytes& dib, uint32_t bits_offset) {
  return Writer().u16(0x4D42).u32(uint32_t(14 + dib.size())).u32(0).u32(14 + bits_offset).raw(dib).bytes;
}

// The rows of a 24-bit DIB, bottom row first, padded to 4 bytes.
inline Bytes rows_24(const Image& image) {
  Writer w;
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) w.u8(image.at(x, y)).u8(image.at(x, y) >> 8).u8(image.at(x, y) >> 16);
    while (w.bytes.size() % 4) w.u8(0);
  }
  return w.bytes;
}

inline Bytes bmp_24(const Image& image) {
  return bmp_file(Writer().raw(info_header(image.width, image.height, 24)).raw(rows_24(image)).bytes, 40);
}

#ifndef _WIN32
inline Bytes png_file(const Image& image) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = uint32_t(image.width);
  png.height = uint32_t(image.height);
  png.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&png, nullptr, &size, 0, image.pixels.data(), 0, nullptr);
  Bytes out(size);
  if (!png_image_write_to_memory(&png, out.data(), &size, 0, image.pixels.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

inline Bytes jpeg_file(const Image& image, int quality = 95) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(image.width);
  info.image_height = JDIMENSION(image.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(size_t(image.width) * 3);
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < image.width; ++x) {
      uint32_t p = image.at(x, int(info.next_scanline));
      row[3 * size_t(x)] = uint8_t(p >> 16);
      row[3 * size_t(x) + 1] = uint8_t(p >> 8);
      row[3 * size_t(x) + 2] = uint8_t(p);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

inline int gif_write(GifFileType* gif, const GifByteType* data, int length) {
  Bytes* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

// A one-frame GIF of palette indices; `transparent` >= 0 marks that index
// transparent. The palette has a power-of-two number of 0x00RRGGBB colours.
inline Bytes gif_file(int width, int height, const std::vector<uint8_t>& indices,
                      const std::vector<uint32_t>& palette, int transparent = -1) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, gif_write, &error);
  std::vector<GifColorType> colors;
  for (uint32_t c : palette) colors.push_back({GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)});
  ColorMapObject* map = GifMakeMapObject(int(colors.size()), colors.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, width, height, 8, 0, map);
  if (transparent >= 0) {
    GraphicsControlBlock control = {0, false, 0, transparent};
    GifByteType block[4];
    size_t length = EGifGCBToExtension(&control, block);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), block);
  }
  EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
  std::vector<GifPixelType> line(size_t(width), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) line[size_t(x)] = indices[size_t(y) * size_t(width) + size_t(x)];
    EGifPutLine(gif, line.data(), width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}
#endif  // _WIN32

// An icon file of the given images, each with its directory size (0 = 256).
struct IconEntry {
  int width, height, bits;
  Bytes data;
};
inline Bytes icon_file(const std::vector<IconEntry>& entries) {
  Writer w;
  w.u16(0).u16(1).u16(uint32_t(entries.size()));
  uint32_t offset = uint32_t(6 + 16 * entries.size());
  for (const IconEntry& e : entries) {
    w.u8(uint32_t(e.width & 0xFF)).u8(uint32_t(e.height & 0xFF)).u8(0).u8(0).u16(1).u16(uint32_t(e.bits));
    w.u32(uint32_t(e.data.size())).u32(offset);
    offset += uint32_t(e.data.size());
  }
  for (const IconEntry& e : entries) w.raw(e.data);
  return w.bytes;
}

// The DIB of an icon image: a 32-bit colour part (alpha in the fourth byte)
// and an AND mask, where `masked` pixels have their mask bit set.
inline Bytes icon_dib_32(const Image& image, const std::vector<bool>& masked) {
  Writer w;
  w.raw(info_header(image.width, image.height * 2, 32));
  for (int y = image.height - 1; y >= 0; --y)
    for (int x = 0; x < image.width; ++x) w.u32(image.at(x, y));
  for (int y = image.height - 1; y >= 0; --y) {
    Bytes row(size_t((image.width + 31) / 32 * 4), 0);
    for (int x = 0; x < image.width; ++x)
      if (masked[size_t(y) * size_t(image.width) + size_t(x)]) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    w.raw(row);
  }
  return w.bytes;
}

inline bool write_file(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

inline Bytes read_file(const std::string& path) {
  Bytes bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(uint8_t(c));
  std::fclose(f);
  return bytes;
}

}  // namespace picture_test

#endif  // KEL_TESTS_PICTURE_TEST_FILES_H
