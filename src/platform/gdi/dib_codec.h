// Device-independent bitmaps: reading a DIB description (header, colour
// masks and colour table) and decoding its pixel data into a 32-bit bitmap.
// Every size is checked before use, and decoding never reads outside the
// pixel data the description implies (row bytes x rows, or biSizeImage for
// run-length encoded data).
#ifndef KEL_PLATFORM_GDI_DIB_CODEC_H
#define KEL_PLATFORM_GDI_DIB_CODEC_H

#include <cstdint>
#include <memory>
#include <vector>

#include "gdi_core.h"

namespace kelplat::gdi {

struct DibFormat {
  int64_t width = 0;
  int64_t height = 0;     // rows, always positive
  bool top_down = false;  // rows stored top first (negative biHeight)
  int bits = 0;           // 1, 4, 8, 16, 24 or 32
  DWORD compression = BI_RGB;
  uint32_t masks[3] = {};          // red, green, blue masks for 16 and 32 bits
  std::vector<uint32_t> colors;    // 2^bits pixels for <= 8 bits (unused indices black)
  uint64_t row_bytes = 0;          // one row, padded to 32 bits
  uint64_t data_bytes = 0;         // pixel data the decoder may read
};

// Reads a DIB description (an information header of 40 bytes or one of its
// longer forms, or a 12-byte core header, followed by masks and colour
// table). DIB_PAL_COLORS tables index the context's palette (`dc` may be
// null). False for unsupported formats and absurd sizes.
bool parse_dib(const BITMAPINFO* info, UINT usage, const DeviceContext* dc, DibFormat& format);

// Width and height (rows, positive) of a header of either form; false when
// the header is not one we read.
bool dib_size(const BITMAPINFOHEADER* header, int64_t& width, int64_t& height);

// Decodes `format.data_bytes` bytes of pixel data into a new 32-bit bitmap,
// rows top to bottom; null when the data cannot be decoded or memory runs
// out.
std::unique_ptr<Bitmap> decode_dib(const DibFormat& format, const void* bits);

}  // namespace kelplat::gdi

#endif  // KEL_PLATFORM_GDI_DIB_CODEC_H
