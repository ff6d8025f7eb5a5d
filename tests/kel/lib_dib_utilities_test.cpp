// The DIB utilities: converting bitmaps to packed DIBs and back, changing
// formats, colour counts and table sizes, palettes, and blocks too small for
// what their headers claim.
#include "kel/dibutil.h"
#include "lib_test_support.h"
#include "picture_test_files.h"

using picture_test::Writer;

namespace {

// A locked view of a block for the scope.
class Locked {
 public:
  explicit Locked(HANDLE block) : block_(block), data_(static_cast<LPSTR>(GlobalLock(block))) {}
  ~Locked() { GlobalUnlock(block_); }
  LPSTR get() const { return data_; }
  const BITMAPINFOHEADER& info() const { return *reinterpret_cast<const BITMAPINFOHEADER*>(data_); }
  uint8_t byte(size_t at) const { return uint8_t(data_[at]); }

 private:
  HANDLE block_;
  LPSTR data_;
};

HANDLE block_with(const std::vector<uint8_t>& bytes) {
  HANDLE block = GlobalAlloc(GHND, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

// A 32-bit bitmap of 0x00RRGGBB pixels, rows top to bottom.
HBITMAP bitmap_of(int width, int height, const std::vector<uint32_t>& pixels) {
  return CreateBitmap(width, height, 1, 32, pixels.data());
}

// A 4-bit 2 x 2 DIB: colours red, green, blue, white at indices 0..3;
// top row indices 0 1, bottom row 2 3.
std::vector<uint8_t> four_bit_dib() {
  Writer w;
  w.raw(picture_test::info_header(2, 2, 4, 0, 0, 4));
  w.u32(0xFF0000).u32(0x00FF00).u32(0x0000FF).u32(0xFFFFFF);
  w.u8(0x23).u8(0).u8(0).u8(0);  // bottom row first
  w.u8(0x01).u8(0).u8(0).u8(0);
  return w.bytes;
}

}  // namespace

TEST(DibUtilities, ColourCountsTableSizesAndDimensions) {
  const struct {
    int bits;
    uint32_t used;
    WORD colours, table;
  } cases[] = {{1, 0, 2, 8}, {4, 0, 16, 64}, {8, 0, 256, 1024}, {24, 0, 0, 0}, {8, 20, 20, 80}, {32, 0, 0, 0}};
  for (const auto& c : cases) {
    std::vector<uint8_t> header = picture_test::info_header(-7, 9, c.bits, 0, 0, c.used);
    LPSTR dib = reinterpret_cast<LPSTR>(header.data());
    EXPECT_EQ(DIBNumColors(dib), c.colours) << c.bits;
    EXPECT_EQ(PaletteSize(dib), c.table) << c.bits;
    EXPECT_EQ(FindDIBBits(dib), dib + 40 + c.table) << c.bits;
    EXPECT_EQ(DIBWidth(dib), DWORD(-7));
    EXPECT_EQ(DIBHeight(dib), 9u);
  }
  // A core header: 3-byte entries, 16-bit sizes.
  std::vector<uint8_t> core = Writer().u32(12).u16(300).u16(200).u16(1).u16(8).bytes;
  LPSTR dib = reinterpret_cast<LPSTR>(core.data());
  EXPECT_EQ(DIBNumColors(dib), 256);
  EXPECT_EQ(PaletteSize(dib), 768);
  EXPECT_EQ(FindDIBBits(dib), dib + 12 + 768);
  EXPECT_EQ(DIBWidth(dib), 300u);
  EXPECT_EQ(DIBHeight(dib), 200u);
}

TEST(DibUtilities, BitmapToDibMakesTwentyFourBitRowsBottomUp) {
  HBITMAP bitmap = bitmap_of(3, 2, {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112});
  BITMAP bm;
  EXPECT_EQ(GetObject(bitmap, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 32);
  HANDLE dib = BitmapToDIB(bitmap, nullptr);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(GlobalSize(dib), 64u);
  {
    Locked p(dib);
    EXPECT_EQ(p.info().biSize, 40u);
    EXPECT_EQ(p.info().biBitCount, 24);
    EXPECT_EQ(p.info().biSizeImage, 24u);
    EXPECT_EQ(p.info().biCompression, DWORD(BI_RGB));
    EXPECT_EQ(PaletteSize(p.get()), 0);
    // Bottom row first, blue green red, 3 fill bytes per row.
    const uint8_t expected[24] = {0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12, 0x11, 0x10, 0, 0, 0,
                                  0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0, 0, 0};
    for (int i = 0; i < 24; ++i) {
      if (i % 12 >= 9) continue;  // fill bytes
      EXPECT_EQ(p.byte(40 + size_t(i)), expected[i]) << i;
    }
  }
  GlobalFree(dib);
  DeleteObject(bitmap);
  EXPECT_EQ(BitmapToDIB(nullptr, nullptr), nullptr);
  EXPECT_EQ(BitmapToDIB(reinterpret_cast<HBITMAP>(0x4242), nullptr), nullptr);
}

TEST(DibUtilities, CreateDibTakesTheNearestSupportedDepth) {
  const struct {
    WORD asked, made;
    SIZE_T size;
  } cases[] = {{1, 1, 40 + 8 + 4 * 3}, {2, 4, 40 + 64 + 4 * 3}, {8, 8, 40 + 1024 + 8 * 3},
               {16, 24, 40 + 16 * 3}, {24, 24, 40 + 16 * 3}, {32, 4, 40 + 64 + 4 * 3}};
  for (const auto& c : cases) {
    HANDLE dib = CreateDIB(5, 3, c.asked);
    ASSERT_NE(dib, nullptr) << c.asked;
    EXPECT_EQ(GlobalSize(dib), c.size) << c.asked;
    Locked p(dib);
    EXPECT_EQ(p.info().biBitCount, c.made) << c.asked;
    EXPECT_EQ(p.info().biSizeImage, 0u);
    for (SIZE_T i = 40; i < c.size; ++i) ASSERT_EQ(p.byte(i), 0) << c.asked;
    GlobalFree(dib);
  }
  EXPECT_EQ(CreateDIB(0x7FFFFFFF, 0x7FFFFFFF, 24), nullptr);
}

TEST(DibUtilities, PalettesFromDibsAndFromTheDevice) {
  HANDLE dib = block_with(four_bit_dib());
  HPALETTE palette = CreateDIBPalette(dib);
  ASSERT_NE(palette, nullptr);
  PALETTEENTRY entries[4] = {};
  ASSERT_EQ(GetPaletteEntries(palette, 0, 4, entries), 4u);
  EXPECT_EQ(entries[0].peRed, 0xFF);
  EXPECT_EQ(entries[1].peGreen, 0xFF);
  EXPECT_EQ(entries[2].peBlue, 0xFF);
  EXPECT_EQ(entries[3].peRed + entries[3].peGreen + entries[3].peBlue, 3 * 0xFF);
  WORD count = 0;
  EXPECT_EQ(GetObject(palette, sizeof count, &count), int(sizeof count));
  EXPECT_EQ(count, 4);
  DeleteObject(palette);

  EXPECT_EQ(CreateDIBPalette(nullptr), nullptr);
  HANDLE true_colour = CreateDIB(2, 2, 24);
  EXPECT_EQ(CreateDIBPalette(true_colour), nullptr);
  // A colour table that the block does not hold.
  HANDLE cut = block_with(picture_test::info_header(2, 2, 8));
  EXPECT_EQ(CreateDIBPalette(cut), nullptr);

  HDC screen = GetDC(nullptr);
  EXPECT_EQ(PalEntriesOnDevice(screen), 1 << 24);  // a 32-bit device
  ReleaseDC(nullptr, screen);
  HPALETTE system = GetSystemPalette();
  ASSERT_NE(system, nullptr);
  EXPECT_EQ(GetObject(system, sizeof count, &count), int(sizeof count));
  EXPECT_EQ(count, 256);
  DeleteObject(system);
  GlobalFree(dib);
  GlobalFree(true_colour);
  GlobalFree(cut);
}

TEST(DibUtilities, DibToBitmapDecodesThePixels) {
  HANDLE dib = block_with(four_bit_dib());
  HBITMAP bitmap = DIBToBitmap(dib, nullptr);
  ASSERT_NE(bitmap, nullptr);
  uint32_t pixels[4] = {};
  ASSERT_EQ(GetBitmapBits(bitmap, sizeof pixels, pixels), LONG(sizeof pixels));
  EXPECT_EQ(pixels[0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(pixels[1] & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(pixels[2] & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(pixels[3] & 0xFFFFFF, 0xFFFFFFu);
  DeleteObject(bitmap);
  GlobalFree(dib);

  EXPECT_EQ(DIBToBitmap(nullptr, nullptr), nullptr);
  // Rows the block does not hold are never read.
  std::vector<uint8_t> short_rows = four_bit_dib();
  short_rows.resize(short_rows.size() - 2);
  HANDLE cut = block_with(short_rows);
  EXPECT_EQ(DIBToBitmap(cut, nullptr), nullptr);
  GlobalFree(cut);
  HANDLE claims = block_with(picture_test::info_header(100000, 100000, 24));
  EXPECT_EQ(DIBToBitmap(claims, nullptr), nullptr);
  GlobalFree(claims);
}

TEST(DibUtilities, FormatChangesAndTheirRefusals) {
  HBITMAP bitmap = bitmap_of(2, 1, {0x000000, 0xFFFFFF});
  EXPECT_EQ(ChangeBitmapFormat(bitmap, 0, BI_RGB, nullptr), nullptr);
  EXPECT_EQ(ChangeBitmapFormat(bitmap, 24, BI_RLE8, nullptr), nullptr);
  EXPECT_EQ(ChangeBitmapFormat(bitmap, 16, BI_RGB, nullptr), nullptr);
  EXPECT_EQ(ChangeBitmapFormat(nullptr, 8, BI_RGB, nullptr), nullptr);

  HANDLE eight = ChangeBitmapFormat(bitmap, 8, BI_RGB, nullptr);
  ASSERT_NE(eight, nullptr);
  {
    Locked p(eight);
    EXPECT_EQ(p.info().biBitCount, 8);
    EXPECT_EQ(DIBNumColors(p.get()), 256);
    const uint8_t* table = reinterpret_cast<const uint8_t*>(p.get() + 40);
    const uint8_t* bits = reinterpret_cast<const uint8_t*>(FindDIBBits(p.get()));
    const uint8_t* black = table + 4 * bits[0];
    const uint8_t* white = table + 4 * bits[1];
    EXPECT_EQ(black[0] + black[1] + black[2], 0);
    EXPECT_EQ(white[0] + white[1] + white[2], 3 * 255);
  }
  // A 24-bit DIB has no colour table to make a palette from.
  HANDLE twenty_four = BitmapToDIB(bitmap, nullptr);
  EXPECT_EQ(ChangeDIBFormat(twenty_four, 8, BI_RGB), nullptr);
  EXPECT_EQ(ChangeDIBFormat(nullptr, 8, BI_RGB), nullptr);
  EXPECT_EQ(ChangeDIBFormat(eight, 0, BI_RLE4), nullptr);
  EXPECT_EQ(ChangeDIBFormat(eight, 4, BI_RLE8), nullptr);

  // The 8-bit DIB back to 24 bits: the colours come through its palette.
  HANDLE back = ChangeDIBFormat(eight, 24, BI_RGB);
  ASSERT_NE(back, nullptr);
  {
    Locked p(back);
    EXPECT_EQ(p.info().biBitCount, 24);
    const uint8_t* bits = reinterpret_cast<const uint8_t*>(FindDIBBits(p.get()));
    EXPECT_EQ(bits[0] + bits[1] + bits[2], 0);
    EXPECT_EQ(bits[3] + bits[4] + bits[5], 3 * 255);
  }
  HANDLE same = ChangeDIBFormat(eight, 0, BI_RGB);  // keeps its 8 bits
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(Locked(same).info().biBitCount, 8);
  for (HANDLE h : {eight, twenty_four, back, same}) GlobalFree(h);
  DeleteObject(bitmap);
}

TEST(DibUtilities, AllocRoomForDibMakesRoomForTheRows) {
  HBITMAP bitmap = bitmap_of(5, 3, std::vector<uint32_t>(15, 0x123456));
  BITMAPINFOHEADER bi;
  std::vector<uint8_t> header = picture_test::info_header(5, 3, 8);
  std::memcpy(&bi, header.data(), sizeof bi);
  HANDLE dib = AllocRoomForDIB(bi, bitmap);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(GlobalSize(dib), 40u + 1024 + 8 * 3);
  EXPECT_EQ(Locked(dib).info().biSizeImage, 24u);
  GlobalFree(dib);
  bi.biSize = 12;
  EXPECT_EQ(AllocRoomForDIB(bi, bitmap), nullptr);
  DeleteObject(bitmap);
}

namespace {

// Pixels of a run-length DIB read by a decoder of our own, rows top to
// bottom: each row must end with its end-of-line mark, the data with the
// end-of-bitmap mark right at biSizeImage, and no pixel may fall outside.
std::vector<uint32_t> decode_run_lengths(LPSTR dib) {
  const BITMAPINFOHEADER& bi = *reinterpret_cast<const BITMAPINFOHEADER*>(dib);
  const bool four = bi.biCompression == BI_RLE4;
  const size_t width = size_t(bi.biWidth), height = size_t(bi.biHeight);
  const uint8_t* table = reinterpret_cast<const uint8_t*>(dib + 40);
  const uint8_t* data = reinterpret_cast<const uint8_t*>(FindDIBBits(dib));
  std::vector<uint32_t> pixels(width * height, 0xDEAD);
  size_t x = 0, row = 0, at = 0;
  auto put = [&](int index) {
    EXPECT_TRUE(x < width && row < height) << "pixel outside at " << x << "," << row;
    if (x < width && row < height) {
      const uint8_t* bgr = table + 4 * index;
      pixels[(height - 1 - row) * width + x] = uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0];
    }
    x++;
  };
  auto nibble = [](int byte, size_t i) { return (i & 1) ? byte & 15 : byte >> 4; };
  while (at + 2 <= bi.biSizeImage) {
    int count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count; i++) put(four ? nibble(value, size_t(i)) : value);
    } else if (value == 0) {
      EXPECT_EQ(x, width) << "row " << row << " ends early";
      x = 0, row++;
    } else if (value == 1) {
      EXPECT_EQ(row, height);
      EXPECT_EQ(at, bi.biSizeImage) << "bytes after the end mark";
      return pixels;
    } else {
      EXPECT_GE(value, 3) << "a delta mark";
      size_t bytes = four ? (size_t(value) + 1) / 2 : size_t(value);
      if (at + bytes > bi.biSizeImage) break;
      for (int i = 0; i < value; i++) put(four ? nibble(data[at + size_t(i) / 2], size_t(i)) : data[at + size_t(i)]);
      at += (bytes + 1) & ~size_t(1);
    }
  }
  ADD_FAILURE() << "no end-of-bitmap mark";
  return pixels;
}

std::vector<uint32_t> bitmap_pixels(HBITMAP bitmap, size_t count) {
  std::vector<uint32_t> pixels(count);
  EXPECT_EQ(GetBitmapBits(bitmap, LONG(count * 4), pixels.data()), LONG(count * 4));
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

// 300 x 4 pixels of colours both default tables hold: a run longer than a
// count byte, a row of alternating pixels (absolute mode longer than 255),
// short runs and odd-length stretches, and a row ending in a single pixel.
std::vector<uint32_t> run_length_picture() {
  const uint32_t colours[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};
  const size_t width = 300;
  std::vector<uint32_t> pixels(width * 4, 0xFF0000);
  for (size_t x = 0; x < width; x++) pixels[width + x] = colours[x % 2 + 1];
  const size_t pieces[] = {2, 1, 1, 5, 1, 2, 1, 3, 7, 1, 1, 1, 255, 19};
  size_t x = 0, colour = 0;
  for (size_t length : pieces) {
    for (size_t i = 0; i < length; i++) pixels[2 * width + x++] = colours[colour % 5];
    colour++;
  }
  for (x = 0; x < width; x++) pixels[3 * width + x] = colours[(x / 3) % 5];
  pixels[4 * width - 1] = 0x0000FF;
  return pixels;
}

}  // namespace

TEST(DibUtilities, FormatChangesEncodeRunLengths) {
  const std::vector<uint32_t> picture = run_length_picture();
  HBITMAP bitmap = bitmap_of(300, 4, picture);
  const struct {
    WORD asked, bits;
    DWORD compression;
  } cases[] = {{8, 8, BI_RLE8}, {0, 8, BI_RLE8}, {4, 4, BI_RLE4}, {0, 4, BI_RLE4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.asked << " bits, compression " << c.compression);
    HANDLE dib = ChangeBitmapFormat(bitmap, c.asked, c.compression, nullptr);
    ASSERT_NE(dib, nullptr);
    {
      Locked p(dib);
      EXPECT_EQ(p.info().biBitCount, c.bits);
      EXPECT_EQ(p.info().biCompression, c.compression);
      EXPECT_EQ(GlobalSize(dib), 40u + PaletteSize(p.get()) + p.info().biSizeImage);
      EXPECT_LT(p.info().biSizeImage, WIDTHBYTES(300u * c.bits) * 4) << "runs make it smaller";
      EXPECT_EQ(decode_run_lengths(p.get()), picture);
    }
    HBITMAP back = DIBToBitmap(dib, nullptr);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(bitmap_pixels(back, picture.size()), picture);

    // The same DIB changed again: to the other encoding of its depth, and
    // from uncompressed rows to run lengths.
    HANDLE again = ChangeDIBFormat(dib, 0, c.compression);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(decode_run_lengths(Locked(again).get()), picture);
    HANDLE plain = ChangeDIBFormat(dib, c.bits, BI_RGB);
    ASSERT_NE(plain, nullptr);
    HANDLE packed = ChangeDIBFormat(plain, 0, c.compression);
    ASSERT_NE(packed, nullptr);
    EXPECT_EQ(decode_run_lengths(Locked(packed).get()), picture);
    for (HANDLE h : {dib, again, plain, packed}) GlobalFree(h);
    DeleteObject(back);
  }
  DeleteObject(bitmap);
}
