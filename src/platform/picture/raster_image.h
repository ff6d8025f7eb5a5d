// A decoded raster picture and the bounds-checked reading of file bytes that
// every decoder shares.
#ifndef KEL_PLATFORM_PICTURE_RASTER_IMAGE_H
#define KEL_PLATFORM_PICTURE_RASTER_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace kelplat::picture {

// No decoder makes a picture of more pixels than this (256 MiB of pixels):
// a hostile header cannot make us allocate absurd amounts.
constexpr uint64_t kMaxPixels = uint64_t(1) << 26;

// Zeroed pixel storage from calloc: the pages of a large picture that no
// decoder writes (the empty parts of a run-length bitmap or a GIF screen)
// cost no memory.
class PixelBuffer {
 public:
  // False, leaving the buffer empty, when the memory cannot be had.
  bool allocate(size_t count) {
    data_.reset(static_cast<uint32_t*>(std::calloc(count, sizeof(uint32_t))));
    size_ = data_ ? count : 0;
    return data_ != nullptr;
  }
  void clear() {
    data_.reset();
    size_ = 0;
  }
  uint32_t* data() { return data_.get(); }
  const uint32_t* data() const { return data_.get(); }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  uint32_t* begin() { return data_.get(); }
  uint32_t* end() { return data_.get() + size_; }
  const uint32_t* begin() const { return data_.get(); }
  const uint32_t* end() const { return data_.get() + size_; }

 private:
  struct Free {
    void operator()(uint32_t* p) const { std::free(p); }
  };
  std::unique_ptr<uint32_t[], Free> data_;
  size_t size_ = 0;
};

// Pixels are premultiplied 0xAARRGGBB, rows top to bottom. Premultiplied
// colours average correctly when a picture is shrunk and blend with one
// multiply per channel.
struct RasterImage {
  int width = 0;
  int height = 0;
  bool has_alpha = false;  // some pixel is not fully opaque
  PixelBuffer pixels;

  // Sizes the picture (all pixels transparent); false, leaving it empty,
  // when the size is not positive or exceeds kMaxPixels.
  bool allocate(int64_t w, int64_t h);
  uint32_t* row(int y) { return pixels.data() + size_t(y) * size_t(width); }
  const uint32_t* row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
  // Turns straight alpha into premultiplied colour and sets has_alpha.
  void premultiply();
};

inline uint32_t opaque(uint32_t rgb) { return 0xFF000000u | rgb; }

// Little-endian reads from a byte range. Callers check fits() before reading.
class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t size() const { return size_; }
  const uint8_t* data() const { return data_; }
  bool fits(uint64_t offset, uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  uint8_t u8(size_t at) const { return data_[at]; }
  uint16_t u16(size_t at) const { return uint16_t(data_[at] | (data_[at + 1] << 8)); }
  int16_t i16(size_t at) const { return int16_t(u16(at)); }
  uint32_t u32(size_t at) const {
    return uint32_t(data_[at]) | (uint32_t(data_[at + 1]) << 8) | (uint32_t(data_[at + 2]) << 16) |
           (uint32_t(data_[at + 3]) << 24);
  }
  int32_t i32(size_t at) const { return int32_t(u32(at)); }
  // The bytes from `offset` on (empty when offset is past the end).
  Bytes from(size_t offset) const {
    return offset >= size_ ? Bytes(data_ + size_, 0) : Bytes(data_ + offset, size_ - offset);
  }
  Bytes first(size_t length) const { return Bytes(data_, length < size_ ? length : size_); }
  bool starts_with(const void* prefix, size_t length) const {
    return size_ >= length && std::memcmp(data_, prefix, length) == 0;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

}  // namespace kelplat::picture

#endif  // KEL_PLATFORM_PICTURE_RASTER_IMAGE_H
