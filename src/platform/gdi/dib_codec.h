// Device-independent bitmaps: reading a DIB description (header, colour
// masks and colour table) and decoding its pixel data into 32-bit pixels.
// Every size is checked before use, and decoding never reads outside the
// pixel data the description implies (row bytes x rows, or data_bytes for
// run-length encoded data). The same code serves the GDI calls and the
// picture loader's BMP files.
#ifndef KEL_PLATFORM_GDI_DIB_CODEC_H
#define KEL_PLATFORM_GDI_DIB_CODEC_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gdi_core.h"

namespace kelplat::gdi {

// Bit-field masks that include an alpha mask, after a 40-byte header.
constexpr DWORD kAlphaBitfields = 6;

struct DibFormat {
  int64_t width = 0;
  int64_t height = 0;     // rows, always positive
  bool top_down = false;  // rows stored top first (negative biHeight)
  int bits = 0;           // 1, 4, 8, 16, 24 or 32
  DWORD compression = BI_RGB;
  uint32_t masks[3] = {};          // red, green, blue masks for 16 and 32 bits
  uint32_t alpha_mask = 0;         // 16 and 32 bits: from v3+ headers or kAlphaBitfields
  std::vector<uint32_t> colors;    // 2^bits 0x00RRGGBB pixels for <= 8 bits (unused indices black)
  uint64_t row_bytes = 0;          // one row, padded to 32 bits
  uint64_t data_bytes = 0;         // pixel data the decoder may read
  uint64_t info_bytes = 0;         // header, masks and colour table: where packed pixels start
};

// Reads a DIB description (an information header of 40 bytes or one of its
// longer forms, or a 12-byte core header, followed by masks and colour
// table). DIB_PAL_COLORS tables index the context's palette (`dc` may be
// null). False for unsupported formats and absurd sizes.
bool parse_dib(const BITMAPINFO* info, UINT usage, const DeviceContext* dc, DibFormat& format);

// The same for a description of which only `size` bytes are readable (a
// DIB inside a file), with a colour table of RGB entries: false when the
// header or its masks do not fit; table entries that do not fit are black.
bool parse_dib(const uint8_t* info, size_t size, DibFormat& format);

// Width and height (rows, positive) of a header of either form; false when
// the header is not one we read.
bool dib_size(const BITMAPINFOHEADER* header, int64_t& width, int64_t& height);

// Decodes `format.data_bytes` bytes of pixel data into a new 32-bit bitmap
// of 0x00RRGGBB pixels, rows top to bottom; pixels run-length data skips
// have the colour of index 0. Null when the data cannot be decoded or memory runs out.
std::unique_ptr<Bitmap> decode_dib(const DibFormat& format, const void* bits);

enum class DibAlpha { drop, keep };

// Decodes the pixel data into `pixels` (format.height rows top to bottom,
// `pitch` pixels apart): 0x00RRGGBB, with DibAlpha::keep and an alpha mask
// the alpha in the top byte. Run-length data writes only the pixels it sets
// and clips those outside the bitmap. False when run-length data puts pixels
// outside the bitmap or ends without its end mark.
bool decode_dib_pixels(const DibFormat& format, const void* bits, uint32_t* pixels, size_t pitch,
                       DibAlpha alpha);

}  // namespace kelplat::gdi

#endif  // KEL_PLATFORM_GDI_DIB_CODEC_H
