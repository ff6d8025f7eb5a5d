// Run-length encoding of palette-index rows as BI_RLE8 or BI_RLE4 pixel
// data, the form GetDIBits hands out when asked for a compressed DIB.
#ifndef KEL_PLATFORM_GDI_RLE_ENCODER_H
#define KEL_PLATFORM_GDI_RLE_ENCODER_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelplat::gdi {

// Takes the rows bottom first, one index per byte (below 16 for four-bit
// data). Repeats of three or more become runs; stretches without them are
// written in absolute mode (as short runs when under three pixels). Each row
// ends with an end-of-line mark, the last with the end-of-bitmap mark.
class RleEncoder {
 public:
  explicit RleEncoder(bool four_bits) : four_(four_bits) {}
  void add_row(const uint8_t* indices, size_t width);
  // The encoded data, closed with the end-of-bitmap mark.
  std::vector<uint8_t> finish();

 private:
  void run(size_t count, uint8_t index);
  void literal(const uint8_t* indices, size_t count);
  void mark(uint8_t code);

  bool four_;
  std::vector<uint8_t> out_;
};

}  // namespace kelplat::gdi

#endif  // KEL_PLATFORM_GDI_RLE_ENCODER_H
