#include "rle_encoder.h"

namespace kelplat::gdi {
namespace {

constexpr size_t kMaxCount = 255;  // one count byte
constexpr size_t kMinLiteral = 3;  // counts 0, 1 and 2 after a zero are marks
constexpr uint8_t kEndOfLine = 0, kEndOfBitmap = 1;

// Length of the run of equal indices starting at x, at most kMaxCount.
size_t run_at(const uint8_t* row, size_t x, size_t width) {
  size_t n = 1;
  while (x + n < width && n < kMaxCount && row[x + n] == row[x]) n++;
  return n;
}

}  // namespace

void RleEncoder::add_row(const uint8_t* row, size_t width) {
  size_t x = 0;
  while (x < width) {
    size_t length = run_at(row, x, width);
    if (length >= kMinLiteral) {
      run(length, row[x]);
      x += length;
      continue;
    }
    size_t end = x;
    while (end < width && end - x < kMaxCount && run_at(row, end, width) < kMinLiteral) end++;
    if (end - x >= kMinLiteral) {
      literal(row + x, end - x);
      x = end;
    } else {
      while (x < end) {
        length = run_at(row, x, end);
        run(length, row[x]);
        x += length;
      }
    }
  }
  mark(kEndOfLine);
}

std::vector<uint8_t> RleEncoder::finish() {
  mark(kEndOfBitmap);
  return std::move(out_);
}

void RleEncoder::run(size_t count, uint8_t index) {
  out_.push_back(uint8_t(count));
  out_.push_back(four_ ? uint8_t(index << 4 | index) : index);
}

// Absolute mode: a zero, the pixel count, the indices (two to a byte with
// four bits), padded to an even number of bytes.
void RleEncoder::literal(const uint8_t* indices, size_t count) {
  out_.push_back(0);
  out_.push_back(uint8_t(count));
  size_t bytes = four_ ? (count + 1) / 2 : count;
  for (size_t i = 0; i < bytes; i++) {
    if (!four_) {
      out_.push_back(indices[i]);
      continue;
    }
    uint8_t low = 2 * i + 1 < count ? indices[2 * i + 1] : 0;
    out_.push_back(uint8_t(indices[2 * i] << 4 | low));
  }
  if (bytes % 2) out_.push_back(0);
}

void RleEncoder::mark(uint8_t code) {
  out_.push_back(0);
  out_.push_back(code);
}

}  // namespace kelplat::gdi
