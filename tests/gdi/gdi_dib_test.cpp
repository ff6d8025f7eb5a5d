// Bitmap bits and device-independent bitmaps: GetBitmapBits/SetBitmapBits,
// GetDIBits in every output depth, CreateDIBitmap from every input format
// (run-length encoded included), SetDIBitsToDevice, StretchDIBits, and
// hostile descriptions. Pixel buffers are allocated at exactly the size a
// description implies, so AddressSanitizer reports any read past them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "gdi_test_support.h"

using gdi_test::Page;

namespace {

// A DIB description: header followed by colour table entries (or masks).
struct Dib {
  std::vector<uint8_t> info;

  Dib(int width, int height, int bits, DWORD compression = BI_RGB, DWORD size_image = 0) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = WORD(bits);
    h.biCompression = compression;
    h.biSizeImage = size_image;
    info.resize(sizeof h);
    std::memcpy(info.data(), &h, sizeof h);
  }
  Dib& color(uint8_t r, uint8_t g, uint8_t b) {
    info.insert(info.end(), {b, g, r, 0});
    return *this;
  }
  Dib& dword(DWORD value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    info.insert(info.end(), p, p + 4);
    return *this;
  }
  BITMAPINFOHEADER& header() { return *reinterpret_cast<BITMAPINFOHEADER*>(info.data()); }
  const BITMAPINFO* bitmap_info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};

// The pixels of a 32-bit bitmap handle, rows top to bottom.
std::vector<uint32_t> pixels_of(HBITMAP bitmap) {
  BITMAP record;
  if (GetObjectA(bitmap, sizeof record, &record) == 0 || record.bmBitsPixel != 32) return {};
  std::vector<uint32_t> out(size_t(record.bmWidth) * size_t(record.bmHeight));
  GetBitmapBits(bitmap, LONG(out.size() * 4), out.data());
  return out;
}

HBITMAP make_dib_bitmap(const Dib& dib, const std::vector<uint8_t>& bits,
                        UINT usage = DIB_RGB_COLORS) {
  return CreateDIBitmap(nullptr, &dib.bitmap_info()->bmiHeader, CBM_INIT, bits.data(),
                        dib.bitmap_info(), usage);
}

// ----------------------------------------------------------- bitmap bits

TEST(GdiBitmapBits, RoundTripAndLimits) {
  HBITMAP bitmap = CreateBitmap(3, 2, 1, 32, nullptr);
  const uint32_t in[6] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(SetBitmapBits(bitmap, sizeof in, in), LONG(sizeof in));
  uint32_t out[8] = {};
  EXPECT_EQ(GetBitmapBits(bitmap, 0, nullptr), 24);
  EXPECT_EQ(GetBitmapBits(bitmap, sizeof out, out), 24);  // at most the bitmap's size
  EXPECT_EQ(std::vector<uint32_t>(out, out + 6), std::vector<uint32_t>(in, in + 6));
  EXPECT_EQ(out[6], 0u);
  uint32_t partial[2] = {};
  EXPECT_EQ(GetBitmapBits(bitmap, 8, partial), 8);
  EXPECT_EQ(partial[1], 2u);
  const uint32_t big[10] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  EXPECT_EQ(SetBitmapBits(bitmap, sizeof big, big), 24);
  EXPECT_EQ(SetBitmapBits(bitmap, 4, nullptr), 0);
  EXPECT_EQ(GetBitmapBits(bitmap, -1, out), 0);
  DeleteObject(bitmap);
}

TEST(GdiBitmapBits, MonochromeRowsArePaddedTo16Bits) {
  const uint8_t rows[6] = {0xF0, 0x80, 0x0F, 0x00, 0xAA, 0x80};  // 9 pixels, 3 rows
  HBITMAP mono = CreateBitmap(9, 3, 1, 1, rows);
  uint8_t out[6];
  ASSERT_EQ(GetBitmapBits(mono, sizeof out, out), 6);
  EXPECT_EQ(std::memcmp(out, rows, 6), 0);
  DeleteObject(mono);
}

// Rows of 1 KiB or more and a multiple of 256 bytes are stored with padding
// that no program sees: the bits, blits, fills, lines and pixels of such a
// bitmap agree with those of one a few pixels wider, whose rows are stored
// as they are.
TEST(GdiBitmapBits, PaddedRowsLookLikeAnyOther) {
  const int w = 256, h = 6;
  std::vector<uint32_t> in(size_t(w) * h);
  for (size_t i = 0; i < in.size(); i++) in[i] = uint32_t(i * 2654435761u) & 0xFFFFFF;
  Page padded(w, h), plain(w + 4, h);
  ASSERT_EQ(SetBitmapBits(padded.bitmap(), LONG(in.size() * 4), in.data()), LONG(in.size() * 4));
  EXPECT_EQ(pixels_of(padded.bitmap()), in);
  std::vector<uint32_t> part(size_t(w) + 3);  // across the end of the first row
  EXPECT_EQ(GetBitmapBits(padded.bitmap(), LONG(part.size() * 4), part.data()), LONG(part.size() * 4));
  EXPECT_TRUE(std::equal(part.begin(), part.end(), in.begin()));
  HBITMAP made = CreateBitmap(w, h, 1, 32, in.data());
  EXPECT_EQ(pixels_of(made), in);
  DeleteObject(made);

  ASSERT_TRUE(BitBlt(plain.dc(), 0, 0, w, h, padded.dc(), 0, 0, SRCCOPY));
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) ASSERT_EQ(plain.at(x, y), in[size_t(y) * w + x]) << x << "," << y;
  }
  // A fill of whole rows, then a steep line and a flat one over it.
  for (Page* page : {&padded, &plain}) {
    RECT all = {0, 0, page->width(), h};
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(page->dc(), &all, brush);
    DeleteObject(brush);
    HGDIOBJ old = SelectObject(page->dc(), GetStockObject(WHITE_PEN));
    MoveToEx(page->dc(), 7, 0, nullptr);
    LineTo(page->dc(), 9, h - 1);
    LineTo(page->dc(), w - 1, 2);
    SelectObject(page->dc(), old);
  }
  EXPECT_EQ(padded.count(0x010203), plain.count(0x010203) - 4 * h);
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      ASSERT_EQ(padded.at(x, y), plain.at(x, y)) << x << "," << y;
      ASSERT_EQ(GetPixel(padded.dc(), x, y), GetPixel(plain.dc(), x, y)) << x << "," << y;
    }
  }
}

// --------------------------------------------------------------- GetDIBits

TEST(GdiGetDIBits, TwentyFourBitRowsAreBottomUpAndPadded) {
  Page page(3, 2);
  page.at(0, 0) = 0x010203, page.at(1, 0) = 0x040506, page.at(2, 0) = 0x070809;
  page.at(0, 1) = 0x0A0B0C, page.at(1, 1) = 0x0D0E0F, page.at(2, 1) = 0x101112;
  Dib dib(3, 2, 24);
  ASSERT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, nullptr,
                      reinterpret_cast<BITMAPINFO*>(dib.info.data()), DIB_RGB_COLORS),
            2);
  EXPECT_EQ(dib.header().biSizeImage, 24u);
  std::vector<uint8_t> bits(24, 0xEE);
  ASSERT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, bits.data(),
                      reinterpret_cast<BITMAPINFO*>(dib.info.data()), DIB_RGB_COLORS),
            2);
  const std::vector<uint8_t> expected = {
      0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12, 0x11, 0x10, 0, 0, 0,  // bottom row first
      0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0, 0, 0};
  EXPECT_EQ(bits, expected);
}

TEST(GdiGetDIBits, NegativeHeightGivesTopDownRows) {
  Page page(2, 2);
  page.at(0, 0) = 0xAABBCC;
  Dib dib(2, -2, 32);
  std::vector<uint32_t> bits(4, 0xDEADBEEF);
  ASSERT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, bits.data(),
                      reinterpret_cast<BITMAPINFO*>(dib.info.data()), DIB_RGB_COLORS),
            2);
  EXPECT_EQ(bits[0], 0xAABBCCu);
  EXPECT_EQ(bits[3], 0u);
}

TEST(GdiGetDIBits, ScanRangeSelectsRows) {
  Page page(1, 4);
  for (int y = 0; y < 4; y++) page.at(0, y) = uint32_t(y + 1);
  Dib dib(1, 4, 32);
  std::vector<uint32_t> bits(2, 0);
  // Scans 1 and 2 of a bottom-up DIB are page rows 2 and 1.
  EXPECT_EQ(GetDIBits(page.dc(), page.bitmap(), 1, 2, bits.data(),
                      reinterpret_cast<BITMAPINFO*>(dib.info.data()), DIB_RGB_COLORS),
            2);
  EXPECT_EQ(bits[0], 3u);
  EXPECT_EQ(bits[1], 2u);
  // Past the last scan nothing is copied.
  EXPECT_EQ(GetDIBits(page.dc(), page.bitmap(), 4, 2, bits.data(),
                      reinterpret_cast<BITMAPINFO*>(dib.info.data()), DIB_RGB_COLORS),
            0);
}

TEST(GdiGetDIBits, ColourTablesAndNearestIndices) {
  Page page(4, 1);
  page.at(0, 0) = 0xFFFFFF, page.at(1, 0) = 0x800000, page.at(2, 0) = 0x7F0101;
  page.at(3, 0) = 0x0000FE;
  std::vector<uint8_t> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
  auto fresh = [&](int bits) {
    std::memset(storage.data(), 0, storage.size());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = 4;
    info->bmiHeader.biHeight = 1;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = WORD(bits);
  };
  uint32_t row = 0;

  fresh(1);
  ASSERT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 1, &row, info, DIB_RGB_COLORS), 1);
  EXPECT_EQ(info->bmiColors[1].rgbRed, 255);
  EXPECT_EQ(info->bmiColors[0].rgbRed, 0);
  EXPECT_EQ(row & 0xFF, 0x80u);  // only the white pixel is 1

  fresh(4);
  ASSERT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 1, &row, info, DIB_RGB_COLORS), 1);
  EXPECT_EQ(info->bmiColors[1].rgbRed, 128);  // the 16 standard colours
  EXPECT_EQ(info->bmiColors[12].rgbBlue, 255);
  EXPECT_EQ(info->bmiColors[15].rgbGreen, 255);
  EXPECT_EQ(row & 0xFFFF, 0x1CF1u);  // 15 1, 1 12: nearest entries for the off colours

  fresh(8);
  ASSERT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 1, nullptr, info, DIB_RGB_COLORS), 1);
  EXPECT_EQ(info->bmiHeader.biSizeImage, 4u);
  EXPECT_EQ(info->bmiColors[255].rgbRed, 255);
  EXPECT_EQ(info->bmiColors[255].rgbBlue, 255);
  EXPECT_EQ(info->bmiColors[0].rgbGreen, 0);
  ASSERT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 1, &row, info, DIB_RGB_COLORS), 1);
  const RGBQUAD& first = info->bmiColors[row & 0xFF];
  EXPECT_EQ(first.rgbRed + first.rgbGreen + first.rgbBlue, 3 * 255);  // white
  EXPECT_EQ((row >> 8) & 0xFF, 1u);  // dark red, exactly in the table
}

TEST(GdiGetDIBits, ZeroBitCountDescribesTheBitmap) {
  Page page(7, 5);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  ASSERT_NE(GetDIBits(page.dc(), page.bitmap(), 0, 5, nullptr, &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(info.bmiHeader.biWidth, 7);
  EXPECT_EQ(info.bmiHeader.biHeight, 5);
  EXPECT_EQ(info.bmiHeader.biBitCount, 32);
  EXPECT_EQ(info.bmiHeader.biSizeImage, 140u);
}

TEST(GdiGetDIBits, RefusesWhatItCannotWrite) {
  Page page(2, 2);
  Dib dib(2, 2, 24, BI_RLE8);
  std::vector<uint8_t> bits(64);
  auto* info = reinterpret_cast<BITMAPINFO*>(dib.info.data());
  EXPECT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, bits.data(), info, DIB_RGB_COLORS), 0);
  dib.header().biCompression = BI_RGB;
  dib.header().biBitCount = 7;
  EXPECT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, bits.data(), info, DIB_RGB_COLORS), 0);
  dib.header().biBitCount = 24;
  dib.header().biWidth = 1 << 30;
  EXPECT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, bits.data(), info, DIB_RGB_COLORS), 0);
  dib.header().biWidth = 2;
  EXPECT_EQ(GetDIBits(nullptr, page.bitmap(), 0, 2, bits.data(), info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetDIBits(page.dc(), nullptr, 0, 2, bits.data(), info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, bits.data(), nullptr, DIB_RGB_COLORS), 0);
}

TEST(GdiGetDIBits, RunLengthOutputIsTheWholeImageInItsStatedRoom) {
  Page page(5, 2, 0xFFFFFF);  // top row white
  const uint8_t kWhite = 0xEE;  // stands for the 8-bit table's first white entry
  page.at(0, 1) = 0, page.at(2, 1) = 0x800000, page.at(3, 1) = 0, page.at(4, 1) = 0;
  const struct {
    int bits;
    DWORD compression;
    std::vector<uint8_t> data;  // bottom row in absolute mode (padded), top row one run
  } cases[] = {{8, BI_RLE8, {0, 5, 0, kWhite, 1, 0, 0, 0, 0, 0, 5, kWhite, 0, 0, 0, 1}},
               {4, BI_RLE4, {0, 5, 0x0F, 0x10, 0x00, 0, 0, 0, 5, 0xFF, 0, 0, 0, 1}}};
  std::vector<uint8_t> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    Dib dib(5, 2, c.bits, c.compression);
    std::memcpy(storage.data(), dib.info.data(), dib.info.size());
    ASSERT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, nullptr, info, DIB_RGB_COLORS), 2);
    ASSERT_EQ(info->bmiHeader.biSizeImage, c.data.size());
    std::vector<uint8_t> expected = c.data;
    int white = 0;
    while (white < 255 && info->bmiColors[white].rgbRed + info->bmiColors[white].rgbGreen +
                                  info->bmiColors[white].rgbBlue != 3 * 255)
      white++;
    std::replace(expected.begin(), expected.end(), kWhite, uint8_t(white));
    std::vector<uint8_t> bits(64, 0xAA);
    ASSERT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, bits.data(), info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(std::vector<uint8_t>(bits.begin(), bits.begin() + long(c.data.size())), expected);
    EXPECT_EQ(bits[c.data.size()], 0xAA);

    // Less room than the data, or top-down rows: nothing is written.
    std::vector<uint8_t> untouched(64, 0xAA);
    info->bmiHeader.biSizeImage = DWORD(c.data.size() - 1);
    EXPECT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, untouched.data(), info, DIB_RGB_COLORS), 0);
    info->bmiHeader.biSizeImage = 64;
    info->bmiHeader.biHeight = -2;
    EXPECT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 2, untouched.data(), info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(untouched, std::vector<uint8_t>(64, 0xAA));
  }
}

// ----------------------------------------------------------- CreateDIBitmap

TEST(GdiCreateDIBitmap, OneBitBottomUp) {
  Dib dib(10, 2, 1);
  dib.color(0, 0, 0).color(255, 0, 0);
  // Rows of 4 bytes; bottom row first.
  std::vector<uint8_t> bits = {0xC0, 0x40, 0, 0, 0x80, 0x00, 0, 0};
  HBITMAP bitmap = make_dib_bitmap(dib, bits);
  std::vector<uint32_t> p = pixels_of(bitmap);
  ASSERT_EQ(p.size(), 20u);
  EXPECT_EQ(p[0], 0xFF0000u);   // top row = last DIB row: 1000 0000 00
  EXPECT_EQ(p[1], 0u);
  EXPECT_EQ(p[10], 0xFF0000u);  // bottom row: 1100 0000 01
  EXPECT_EQ(p[11], 0xFF0000u);
  EXPECT_EQ(p[12], 0u);
  EXPECT_EQ(p[19], 0xFF0000u);
  DeleteObject(bitmap);
}

TEST(GdiCreateDIBitmap, FourBitTopDownWithShortTable) {
  Dib dib(3, -1, 4);
  dib.header().biClrUsed = 3;
  dib.color(1, 2, 3).color(4, 5, 6).color(7, 8, 9);
  std::vector<uint8_t> bits = {0x21, 0xF0, 0, 0};  // indices 2, 1, 15 (past the table)
  HBITMAP bitmap = make_dib_bitmap(dib, bits);
  std::vector<uint32_t> p = pixels_of(bitmap);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0], 0x070809u);
  EXPECT_EQ(p[1], 0x040506u);
  EXPECT_EQ(p[2], 0u);
  DeleteObject(bitmap);
}

TEST(GdiCreateDIBitmap, EightBitAndPaletteIndices) {
  Dib dib(2, 1, 8);
  dib.header().biClrUsed = 2;
  dib.color(10, 20, 30).color(40, 50, 60);
  std::vector<uint8_t> bits = {1, 0, 0, 0};
  HBITMAP bitmap = make_dib_bitmap(dib, bits);
  EXPECT_EQ(pixels_of(bitmap), (std::vector<uint32_t>{0x28323C, 0x0A141E}));
  DeleteObject(bitmap);

  // DIB_PAL_COLORS: the table holds indices into the context's palette
  // (here the default one: entry 13 is red, 16 blue).
  Dib indexed(2, 1, 8);
  indexed.header().biClrUsed = 2;
  const WORD indices[2] = {13, 16};
  const auto* raw = reinterpret_cast<const uint8_t*>(indices);
  indexed.info.insert(indexed.info.end(), raw, raw + sizeof indices);
  bitmap = make_dib_bitmap(indexed, bits, DIB_PAL_COLORS);
  EXPECT_EQ(pixels_of(bitmap), (std::vector<uint32_t>{0x0000FF, 0xFF0000}));
  DeleteObject(bitmap);
}

TEST(GdiCreateDIBitmap, SixteenAndTwentyFourAndThirtyTwoBits) {
  Dib rgb555(2, 1, 16);
  std::vector<uint8_t> bits16 = {0x00, 0x7C, 0x1F, 0x00};  // red, blue
  HBITMAP bitmap = make_dib_bitmap(rgb555, bits16);
  EXPECT_EQ(pixels_of(bitmap), (std::vector<uint32_t>{0xFF0000, 0x0000FF}));
  DeleteObject(bitmap);

  Dib rgb565(1, 1, 16, BI_BITFIELDS);
  rgb565.dword(0xF800).dword(0x07E0).dword(0x001F);
  std::vector<uint8_t> green = {0xE0, 0x07, 0, 0};
  bitmap = make_dib_bitmap(rgb565, green);
  EXPECT_EQ(pixels_of(bitmap), (std::vector<uint32_t>{0x00FF00}));
  DeleteObject(bitmap);

  Dib rgb24(3, 1, 24);
  std::vector<uint8_t> bits24 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};  // exactly one row
  bitmap = make_dib_bitmap(rgb24, bits24);
  EXPECT_EQ(pixels_of(bitmap), (std::vector<uint32_t>{0x030201, 0x060504, 0x090807}));
  DeleteObject(bitmap);

  Dib rgb32(1, 1, 32);
  std::vector<uint8_t> bits32 = {0x11, 0x22, 0x33, 0xFF};
  bitmap = make_dib_bitmap(rgb32, bits32);
  EXPECT_EQ(pixels_of(bitmap), (std::vector<uint32_t>{0x332211}));
  DeleteObject(bitmap);
}

TEST(GdiCreateDIBitmap, RunLengthEncodedEightBits) {
  const std::vector<uint8_t> data = {
      3, 1,           // bottom row: three pixels of index 1
      0, 0,           // end of row
      0, 3, 2, 1, 2,  // second row: literal 2 1 2
      0,              // pad to 16 bits
      0, 2, 1, 1,     // move right 1, up 1
      1, 2,           // one pixel of index 2 at x = 4 of row 2
      0, 1};          // end of bitmap
  Dib dib(5, 3, 8, BI_RLE8, DWORD(data.size()));
  dib.header().biClrUsed = 3;
  dib.color(0, 0, 0).color(255, 0, 0).color(0, 0, 255);
  HBITMAP bitmap = make_dib_bitmap(dib, data);
  std::vector<uint32_t> p = pixels_of(bitmap);
  ASSERT_EQ(p.size(), 15u);
  const uint32_t R = 0xFF0000, B = 0x0000FF;
  EXPECT_EQ(p, (std::vector<uint32_t>{0, 0, 0, 0, B,    // top row (row 2)
                                      B, R, B, 0, 0,    // row 1
                                      R, R, R, 0, 0})); // bottom row
  DeleteObject(bitmap);
}

TEST(GdiCreateDIBitmap, RunLengthEncodedFourBits) {
  const std::vector<uint8_t> data = {5, 0x12, 0, 3, 0x31, 0x20, 0, 1};
  Dib dib(8, 2, 4, BI_RLE4, DWORD(data.size()));
  dib.header().biClrUsed = 4;
  dib.color(0, 0, 0).color(1, 1, 1).color(2, 2, 2).color(3, 3, 3);
  HBITMAP bitmap = make_dib_bitmap(dib, data);
  std::vector<uint32_t> p = pixels_of(bitmap);
  ASSERT_EQ(p.size(), 16u);
  // Bottom row: 1 2 1 2 1 then literal 3 1 2.
  EXPECT_EQ(std::vector<uint32_t>(p.begin() + 8, p.end()),
            (std::vector<uint32_t>{0x010101, 0x020202, 0x010101, 0x020202, 0x010101, 0x030303,
                                   0x010101, 0x020202}));
  DeleteObject(bitmap);
}

TEST(GdiCreateDIBitmap, TruncatedRunLengthDataStopsAtItsEnd) {
  // A literal run that claims more bytes than there are, then a long run.
  const std::vector<uint8_t> cut = {0, 200, 1, 2};
  Dib dib(4, 4, 8, BI_RLE8, DWORD(cut.size()));
  dib.header().biClrUsed = 1;
  dib.color(9, 9, 9);
  HBITMAP bitmap = make_dib_bitmap(dib, cut);
  EXPECT_EQ(pixels_of(bitmap), std::vector<uint32_t>(16, 0x090909));
  DeleteObject(bitmap);
  const std::vector<uint8_t> runs = {255, 0, 255, 0, 0, 2, 255, 255, 9, 0};
  Dib wide(4, 4, 8, BI_RLE8, DWORD(runs.size()));
  wide.header().biClrUsed = 1;
  wide.color(1, 1, 1);
  bitmap = make_dib_bitmap(wide, runs);
  EXPECT_NE(bitmap, nullptr);
  DeleteObject(bitmap);
}

TEST(GdiCreateDIBitmap, HostileDescriptionsFail) {
  std::vector<uint8_t> bits(64);
  Dib no_size(4, 4, 8, BI_RLE8, 0);  // compressed data of unknown length
  EXPECT_EQ(make_dib_bitmap(no_size, bits), nullptr);
  Dib top_down_rle(4, -4, 8, BI_RLE8, 8);
  EXPECT_EQ(make_dib_bitmap(top_down_rle, bits), nullptr);
  Dib odd_bits(4, 4, 7);
  EXPECT_EQ(make_dib_bitmap(odd_bits, bits), nullptr);
  Dib negative_width(-4, 4, 24);
  EXPECT_EQ(make_dib_bitmap(negative_width, bits), nullptr);
  Dib huge(1 << 20, 1 << 20, 24);
  EXPECT_EQ(make_dib_bitmap(huge, bits), nullptr);
  Dib min_height(4, INT32_MIN, 24);
  EXPECT_EQ(make_dib_bitmap(min_height, bits), nullptr);
  Dib jpeg(4, 4, 24, 4 /* BI_JPEG */);
  EXPECT_EQ(make_dib_bitmap(jpeg, bits), nullptr);
  Dib bad_header(4, 4, 24);
  bad_header.header().biSize = 0x7FFFFFFF;
  EXPECT_EQ(make_dib_bitmap(bad_header, bits), nullptr);
  Dib ok(4, 4, 24);
  EXPECT_EQ(CreateDIBitmap(nullptr, &ok.header(), CBM_INIT, nullptr, ok.bitmap_info(), 0), nullptr);
  EXPECT_EQ(CreateDIBitmap(nullptr, &ok.header(), CBM_INIT, bits.data(), nullptr, 0), nullptr);
  EXPECT_EQ(CreateDIBitmap(nullptr, nullptr, CBM_INIT, bits.data(), ok.bitmap_info(), 0), nullptr);
  EXPECT_EQ(CreateDIBitmap(nullptr, &ok.header(), CBM_INIT, bits.data(), ok.bitmap_info(), 2),
            nullptr);
}

TEST(GdiCreateDIBitmap, ColourCountLargerThanTheTableReadsOnlyTheTable) {
  Dib dib(8, 1, 1);
  dib.header().biClrUsed = 100000;  // only two entries can exist for one bit
  dib.color(0, 0, 0).color(0, 255, 0);
  std::vector<uint8_t> bits = {0x0F, 0, 0, 0};
  HBITMAP bitmap = make_dib_bitmap(dib, bits);
  std::vector<uint32_t> p = pixels_of(bitmap);
  ASSERT_EQ(p.size(), 8u);
  EXPECT_EQ(p[0], 0u);
  EXPECT_EQ(p[7], 0x00FF00u);
  DeleteObject(bitmap);
}

TEST(GdiCreateDIBitmap, UninitialisedBitmapHasTheHeadersSize) {
  Dib dib(6, -3, 24);
  HBITMAP bitmap = CreateDIBitmap(nullptr, &dib.header(), 0, nullptr, nullptr, 0);
  BITMAP record;
  ASSERT_EQ(GetObjectA(bitmap, sizeof record, &record), int(sizeof record));
  EXPECT_EQ(record.bmWidth, 6);
  EXPECT_EQ(record.bmHeight, 3);
  EXPECT_EQ(record.bmBitsPixel, 32);
  DeleteObject(bitmap);
}

TEST(GdiCreateDIBitmap, RoundTripThroughGetDIBits) {
  Page page(5, 3);
  for (int i = 0; i < 15; i++) page.at(i % 5, i / 5) = uint32_t(i * 0x111111) & 0xFFFFFF;
  Dib dib(5, 3, 24);
  std::vector<uint8_t> bits(48);
  ASSERT_EQ(GetDIBits(page.dc(), page.bitmap(), 0, 3, bits.data(),
                      reinterpret_cast<BITMAPINFO*>(dib.info.data()), DIB_RGB_COLORS),
            3);
  HBITMAP copy = make_dib_bitmap(dib, bits);
  std::vector<uint32_t> p = pixels_of(copy);
  ASSERT_EQ(p.size(), 15u);
  for (int i = 0; i < 15; i++) EXPECT_EQ(p[size_t(i)], page.at(i % 5, i / 5)) << i;
  DeleteObject(copy);
}

// ------------------------------------------------ drawing DIBs on contexts

TEST(GdiSetDIBitsToDevice, DrawsTheSourceRectangle) {
  Dib dib(2, 2, 32);
  // Bottom-up: first row is the bottom one.
  std::vector<uint32_t> bits = {3, 4, 1, 2};
  Page page(5, 5, 0xEEEEEE);
  SetViewportOrgEx(page.dc(), 1, 1, nullptr);
  EXPECT_EQ(SetDIBitsToDevice(page.dc(), 1, 1, 2, 2, 0, 0, 0, 2, bits.data(), dib.bitmap_info(),
                              DIB_RGB_COLORS),
            2);
  EXPECT_EQ(page.at(2, 2), 1u);
  EXPECT_EQ(page.at(3, 2), 2u);
  EXPECT_EQ(page.at(2, 3), 3u);
  EXPECT_EQ(page.at(3, 3), 4u);
  EXPECT_EQ(page.count(0xEEEEEE), 21);
  // One pixel from the lower-left corner of the DIB (y counts from the bottom).
  Page one(2, 2);
  SetDIBitsToDevice(one.dc(), 1, 1, 1, 1, 1, 0, 0, 2, bits.data(), dib.bitmap_info(), 0);
  EXPECT_EQ(one.at(1, 1), 4u);
  EXPECT_EQ(one.count(0), 3);
}

TEST(GdiSetDIBitsToDevice, BandOfScanLines) {
  Dib dib(1, 4, 32);
  std::vector<uint32_t> band = {20, 30};  // scans 2 and 3 (the top two rows)
  Page page(1, 4);
  EXPECT_EQ(SetDIBitsToDevice(page.dc(), 0, 0, 1, 4, 0, 0, 2, 2, band.data(), dib.bitmap_info(),
                              DIB_RGB_COLORS),
            2);
  EXPECT_EQ(page.at(0, 0), 30u);
  EXPECT_EQ(page.at(0, 1), 20u);
  EXPECT_EQ(page.at(0, 2), 0u);  // scans outside the band are not drawn
  EXPECT_EQ(SetDIBitsToDevice(page.dc(), 0, 0, 1, 4, 0, 0, 4, 2, band.data(), dib.bitmap_info(),
                              DIB_RGB_COLORS),
            0);
}

TEST(GdiStretchDIBits, StretchesUprightWithTheRasterOperation) {
  Dib dib(2, 2, 32);
  std::vector<uint32_t> bits = {0x000003, 0x000004, 0x000001, 0x000002};  // bottom row first
  Page page(4, 4, 0x000010);
  EXPECT_EQ(StretchDIBits(page.dc(), 0, 0, 4, 4, 0, 0, 2, 2, bits.data(), dib.bitmap_info(),
                          DIB_RGB_COLORS, SRCCOPY),
            2);
  EXPECT_EQ(page.at(0, 0), 1u);
  EXPECT_EQ(page.at(3, 0), 2u);
  EXPECT_EQ(page.at(1, 3), 3u);
  EXPECT_EQ(page.at(3, 3), 4u);
  StretchDIBits(page.dc(), 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), dib.bitmap_info(),
                DIB_RGB_COLORS, SRCINVERT);
  EXPECT_EQ(page.at(0, 0), 0u);
  // The bottom row of the DIB alone: y_src 0 counts from the bottom.
  Page row(2, 1);
  StretchDIBits(row.dc(), 0, 0, 2, 1, 0, 0, 2, 1, bits.data(), dib.bitmap_info(), DIB_RGB_COLORS,
                SRCCOPY);
  EXPECT_EQ(row.at(0, 0), 3u);
  EXPECT_EQ(row.at(1, 0), 4u);
  // A negative source height turns it upside down.
  Page flipped(2, 2);
  StretchDIBits(flipped.dc(), 0, 0, 2, 2, 0, 1, 2, -2, bits.data(), dib.bitmap_info(),
                DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(flipped.at(0, 0), 3u);
  EXPECT_EQ(flipped.at(1, 1), 2u);
}

TEST(GdiStretchDIBits, BadInputDrawsNothing) {
  Page page(2, 2, 0x777777);
  Dib dib(2, 2, 32);
  std::vector<uint32_t> bits(4, 1);
  EXPECT_EQ(StretchDIBits(page.dc(), 0, 0, 2, 2, 0, 0, 2, 2, nullptr, dib.bitmap_info(),
                          DIB_RGB_COLORS, SRCCOPY),
            0);
  EXPECT_EQ(StretchDIBits(page.dc(), 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), nullptr,
                          DIB_RGB_COLORS, SRCCOPY),
            0);
  EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), dib.bitmap_info(),
                          DIB_RGB_COLORS, SRCCOPY),
            0);
  EXPECT_EQ(page.count(0x777777), 4);
}

}  // namespace
