// GIF through giflib: the first frame on the logical screen. Pixels of the
// transparent index, and the part of the screen the frame does not cover,
// stay transparent so the page shows through.
#include <vector>

#include "decoders.h"

#ifdef KEL_HAVE_GIF
#include <gif_lib.h>
#endif

namespace kelplat::picture {

#ifdef KEL_HAVE_GIF
namespace {

struct Reader {
  Bytes file;
  size_t position = 0;
};

int read_bytes(GifFileType* gif, GifByteType* buffer, int length) {
  Reader* reader = static_cast<Reader*>(gif->UserData);
  size_t left = reader->file.size() - reader->position;
  size_t n = length < 0 ? 0 : size_t(length) < left ? size_t(length) : left;
  if (n) std::memcpy(buffer, reader->file.data() + reader->position, n);
  reader->position += n;
  return int(n);
}

class GifFile {
 public:
  explicit GifFile(Reader* reader) {
    int error = 0;
    gif_ = DGifOpen(reader, read_bytes, &error);
  }
  ~GifFile() {
    int error = 0;
    if (gif_) DGifCloseFile(gif_, &error);
  }
  GifFile(const GifFile&) = delete;
  GifFile& operator=(const GifFile&) = delete;
  GifFileType* get() const { return gif_; }

 private:
  GifFileType* gif_ = nullptr;
};

// Reads an extension; remembers the transparent index of a graphics control
// block.
bool read_extension(GifFileType* gif, int* transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
    GraphicsControlBlock control{};
    if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
      *transparent = control.TransparentColor;
  }
  while (block) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

// Rows of an interlaced frame come in four passes.
std::vector<int> row_order(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(size_t(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  return order;
}

bool read_frame(GifFileType* gif, int transparent, RasterImage* out) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) return false;
  const GifImageDesc& frame = gif->Image;
  int64_t screen_w = gif->SWidth > 0 ? gif->SWidth : int64_t(frame.Left) + frame.Width;
  int64_t screen_h = gif->SHeight > 0 ? gif->SHeight : int64_t(frame.Top) + frame.Height;
  if (frame.Width <= 0 || frame.Height <= 0 ||
      uint64_t(frame.Width) * uint64_t(frame.Height) > kMaxPixels || !out->allocate(screen_w, screen_h))
    return false;
  const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  std::vector<GifPixelType> line(size_t(frame.Width));
  for (int y : row_order(frame.Height, frame.Interlace)) {
    if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return false;
    int64_t sy = int64_t(frame.Top) + y;
    if (sy >= out->height) continue;
    for (int x = 0; x < frame.Width; ++x) {
      int64_t sx = int64_t(frame.Left) + x;
      int index = line[size_t(x)];
      if (sx >= out->width || index == transparent) continue;
      uint32_t rgb = 0;
      if (map && index < map->ColorCount) {
        const GifColorType& c = map->Colors[index];
        rgb = (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
      }
      out->row(int(sy))[sx] = opaque(rgb);
    }
  }
  return true;
}

bool read_first_frame(GifFileType* gif, RasterImage* out) {
  int transparent = NO_TRANSPARENT_COLOR;
  GifRecordType record;
  do {
    if (DGifGetRecordType(gif, &record) == GIF_ERROR) return false;
    if (record == IMAGE_DESC_RECORD_TYPE) return read_frame(gif, transparent, out);
    if (record == EXTENSION_RECORD_TYPE && !read_extension(gif, &transparent)) return false;
  } while (record != TERMINATE_RECORD_TYPE);
  return false;
}

}  // namespace

bool decode_gif(Bytes file, RasterImage* out) {
  Reader reader{file};
  GifFile gif(&reader);
  if (!gif.get() || !read_first_frame(gif.get(), out)) {
    out->allocate(0, 0);
    return false;
  }
  out->premultiply();
  return true;
}

#else

bool decode_gif(Bytes, RasterImage* out) {
  out->allocate(0, 0);
  return false;
}

#endif  // KEL_HAVE_GIF

}  // namespace kelplat::picture
