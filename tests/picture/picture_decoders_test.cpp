// The picture decoders on files of known pixels, and on damaged and hostile
// files, which must be refused without reading outside them.
#include <gtest/gtest.h>

#include "picture_test_files.h"
#include "platform/picture/decoders.h"

using namespace picture_test;
using kelplat::picture::RasterImage;

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

kelplat::picture::Bytes view(const Bytes& b) { return kelplat::picture::Bytes(b.data(), b.size()); }

bool decode_bmp(const Bytes& file, RasterImage* out) { return kelplat::picture::decode_bmp(view(file), out); }

// A 24-bit BMP with the colours of the test image, for damaging.
Image test_image() {
  Image image(3, 2, 0);
  image.at(0, 0) = 0xFF0000;
  image.at(1, 0) = 0x00FF00;
  image.at(2, 0) = 0x0000FF;
  image.at(0, 1) = 0xFFFFFF;
  image.at(1, 1) = 0x808080;
  image.at(2, 1) = 0x123456;
  return image;
}

void expect_test_image(const RasterImage& out) {
  ASSERT_EQ(out.width, 3);
  ASSERT_EQ(out.height, 2);
  Image expected = test_image();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(out.row(y)[x], kOpaque | expected.at(x, y)) << x << "," << y;
  EXPECT_FALSE(out.has_alpha);
}

// The checksum of PNG chunks.
uint32_t crc32_of(const uint8_t* data, size_t length) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

// A palette of 0x00RRGGBB colours as 4-byte entries.
Bytes palette_bytes(const std::vector<uint32_t>& colors) {
  Writer w;
  for (uint32_t c : colors) w.u32(c);
  return w.bytes;
}

}  // namespace

TEST(BmpDecoder, TwentyFourBitRowsBottomUpAndTopDown) {
  RasterImage out;
  ASSERT_TRUE(decode_bmp(bmp_24(test_image()), &out));
  expect_test_image(out);

  // The same pixels stored top row first, announced by a negative height.
  Image image = test_image();
  Image flipped(3, 2, 0);
  for (int x = 0; x < 3; ++x) flipped.at(x, 0) = image.at(x, 1), flipped.at(x, 1) = image.at(x, 0);
  Bytes dib = Writer().raw(info_header(3, -2, 24)).raw(rows_24(flipped)).bytes;
  ASSERT_TRUE(decode_bmp(bmp_file(dib, 40), &out));
  expect_test_image(out);
}

TEST(BmpDecoder, PaletteDepthsAndIndicesOutsideThePalette) {
  RasterImage out;
  // 1 bit: 10 pixels, bit 7 leftmost; rows padded to 4 bytes.
  Bytes one = Writer().raw(info_header(10, 1, 1)).raw(palette_bytes({0x000000, 0xFFFF00}))
                  .u8(0xA0).u8(0x40).u8(0).u8(0).bytes;
  ASSERT_TRUE(decode_bmp(bmp_file(one, 48), &out));
  const uint32_t yellow = kOpaque | 0xFFFF00, black = kOpaque;
  uint32_t expected_one[10] = {yellow, black, yellow, black, black, black, black, black, black, yellow};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(out.row(0)[x], expected_one[x]) << x;

  // 4 bits, high nibble first; index 3 lies beyond a 2-entry palette.
  Bytes four = Writer().raw(info_header(3, 1, 4, 0, 0, 2)).raw(palette_bytes({0xFF0000, 0x0000FF}))
                   .u8(0x10).u8(0x30).u8(0).u8(0).bytes;
  ASSERT_TRUE(decode_bmp(bmp_file(four, 48), &out));
  EXPECT_EQ(out.row(0)[0], kOpaque | 0x0000FF);
  EXPECT_EQ(out.row(0)[1], kOpaque | 0xFF0000);
  EXPECT_EQ(out.row(0)[2], kOpaque);

  // 8 bits behind a core header: 3-byte palette entries.
  Bytes core = Writer().u32(12).u16(2).u16(1).u16(1).u16(8).u8(0x10).u8(0x20).u8(0x30)
                   .u8(0xFF).u8(0xEE).u8(0xDD).u8(1).u8(0).u8(0).u8(0).bytes;
  // Only two palette entries are in the file before the pixels.
  ASSERT_TRUE(decode_bmp(bmp_file(core, 18), &out));
  EXPECT_EQ(out.row(0)[0], kOpaque | 0xDDEEFF);
  EXPECT_EQ(out.row(0)[1], kOpaque | 0x302010);
}

TEST(BmpDecoder, SixteenAndThirtyTwoBitMasksAndAlpha) {
  RasterImage out;
  // 16 bits, default 5-5-5: pure red and pure blue.
  Bytes five = Writer().raw(info_header(2, 1, 16)).u16(0x7C00).u16(0x001F).bytes;
  ASSERT_TRUE(decode_bmp(bmp_file(five, 40), &out));
  EXPECT_EQ(out.row(0)[0], kOpaque | 0xFF0000);
  EXPECT_EQ(out.row(0)[1], kOpaque | 0x0000FF);

  // 16 bits with 5-6-5 masks after the header: full green.
  Bytes six = Writer().raw(info_header(2, 1, 16, 3)).u32(0xF800).u32(0x07E0).u32(0x001F)
                  .u16(0x07E0).u16(0xF800).bytes;
  ASSERT_TRUE(decode_bmp(bmp_file(six, 52), &out));
  EXPECT_EQ(out.row(0)[0], kOpaque | 0x00FF00);
  EXPECT_EQ(out.row(0)[1], kOpaque | 0xFF0000);

  // Plain 32 bits: the fourth byte is not alpha.
  Bytes plain = Writer().raw(info_header(1, 1, 32)).u32(0x00336699).bytes;
  ASSERT_TRUE(decode_bmp(bmp_file(plain, 40), &out));
  EXPECT_EQ(out.row(0)[0], kOpaque | 0x336699);

  // A v5 header with an alpha mask: half-transparent white comes out
  // premultiplied, and the image says it has alpha.
  Writer v5;
  v5.u32(124).u32(2).u32(1).u16(1).u16(32).u32(3).u32(8).u32(0).u32(0).u32(0).u32(0);
  v5.u32(0x00FF0000).u32(0x0000FF00).u32(0x000000FF).u32(0xFF000000);
  while (v5.bytes.size() < 124) v5.u8(0);
  v5.u32(0x80FFFFFF).u32(0xFF0000FF);
  ASSERT_TRUE(decode_bmp(bmp_file(v5.bytes, 124), &out));
  EXPECT_EQ(out.row(0)[0], 0x80808080u);
  EXPECT_EQ(out.row(0)[1], 0xFF0000FFu);
  EXPECT_TRUE(out.has_alpha);

  // An alpha mask over alpha bytes that are all zero means "no alpha".
  Bytes zero_alpha = Writer().raw(info_header(1, 1, 32, 6)).u32(0xFF0000).u32(0xFF00).u32(0xFF)
                         .u32(0xFF000000).u32(0x00102030).bytes;
  ASSERT_TRUE(decode_bmp(bmp_file(zero_alpha, 56), &out));
  EXPECT_EQ(out.row(0)[0], kOpaque | 0x102030);
}

TEST(BmpDecoder, RunLengthEncodedBitmaps) {
  RasterImage out;
  // RLE8, 4 x 3, bottom row first: a run, an end of line, a literal run of
  // three, a delta that skips a row, then the end. Skipped pixels stay
  // transparent.
  Bytes rle8 = Writer().raw(info_header(4, 3, 8, 1, 0, 3)).raw(palette_bytes({0x000000, 0xFF0000, 0x00FF00}))
                   .u8(4).u8(1)                         // bottom row: four reds
                   .u8(0).u8(0)                         // end of line
                   .u8(0).u8(3).u8(2).u8(1).u8(2).u8(0) // middle: green red green (padded)
                   .u8(0).u8(0)                         // end of line: top row
                   .u8(0).u8(2).u8(1).u8(0)             // move right 1
                   .u8(1).u8(2)                         // one green at (1, top)
                   .u8(0).u8(1)                         // end of bitmap
                   .bytes;
  ASSERT_TRUE(decode_bmp(bmp_file(rle8, 52), &out));
  const uint32_t red = kOpaque | 0xFF0000, green = kOpaque | 0x00FF00;
  for (int x = 0; x < 4; ++x) EXPECT_EQ(out.row(2)[x], red) << x;
  EXPECT_EQ(out.row(1)[0], green);
  EXPECT_EQ(out.row(1)[1], red);
  EXPECT_EQ(out.row(1)[2], green);
  EXPECT_EQ(out.row(1)[3], 0u);  // never set: transparent
  EXPECT_EQ(out.row(0)[0], 0u);
  EXPECT_EQ(out.row(0)[1], green);
  EXPECT_TRUE(out.has_alpha);

  // RLE4: a run alternates its two nibbles; a literal run is padded to 16 bits.
  Bytes rle4 = Writer().raw(info_header(5, 1, 4, 2, 0, 3)).raw(palette_bytes({0x000000, 0xFF0000, 0x0000FF}))
                   .u8(3).u8(0x12)                     // 1 2 1
                   .u8(0).u8(3).u8(0x12).u8(0x10)      // literal: 1 2 1
                   .u8(0).u8(1)
                   .bytes;
  // Three and three pixels would reach x = 6 of a 5-pixel row: refused.
  EXPECT_FALSE(decode_bmp(bmp_file(rle4, 52), &out));
  rle4[40 + 12] = 2;  // the first run: 1 2
  ASSERT_TRUE(decode_bmp(bmp_file(rle4, 52), &out));
  const uint32_t blue = kOpaque | 0x0000FF;
  uint32_t expected[5] = {red, blue, red, blue, red};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(out.row(0)[x], expected[x]) << x;
}

TEST(BmpDecoder, HostileFilesAreRefused) {
  RasterImage out;
  Bytes good = bmp_24(test_image());
  // Every truncation: short pixel data, short headers, a missing file header.
  // Only the padding of the last row stored may be missing.
  for (size_t n = 0; n < good.size() - 3; ++n) {
    Bytes cut(good.begin(), good.begin() + long(n));
    EXPECT_FALSE(decode_bmp(cut, &out)) << "length " << n;
    EXPECT_TRUE(out.pixels.empty());
  }
  EXPECT_TRUE(decode_bmp(Bytes(good.begin(), good.end() - 3), &out));
  auto patched = [&](size_t at, uint32_t value) {
    Bytes b = good;
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(value >> (8 * i));
    return b;
  };
  EXPECT_FALSE(decode_bmp(patched(14 + 4, 100000), &out)) << "width beyond the data";
  EXPECT_FALSE(decode_bmp(patched(14 + 4, 0x7FFFFFFF), &out)) << "absurd width";
  EXPECT_FALSE(decode_bmp(patched(14 + 8, 0x80000000u), &out)) << "height INT_MIN";
  EXPECT_FALSE(decode_bmp(patched(14 + 4, 0), &out)) << "zero width";
  EXPECT_FALSE(decode_bmp(patched(14, 0xFFFFFFF0u), &out)) << "header size past the end";
  EXPECT_FALSE(decode_bmp(patched(10, 0xFFFFFFF0u), &out)) << "pixel offset past the end";
  EXPECT_FALSE(decode_bmp(patched(14 + 14, 7), &out)) << "7 bits per pixel";
  EXPECT_FALSE(decode_bmp(patched(14 + 16, 4), &out)) << "embedded JPEG";

  // 65536 x 65536 RLE8 pixels claimed by a few bytes: more than the cap.
  Bytes huge = Writer().raw(info_header(65536, 65536, 8, 1)).u8(0).u8(1).bytes;
  EXPECT_FALSE(decode_bmp(bmp_file(huge, 40), &out));
  // Runs that leave the bitmap, by run, by delta, and data without an end.
  Bytes past_row = Writer().raw(info_header(2, 1, 8, 1, 0, 1)).u32(0xFF).u8(3).u8(0).u8(0).u8(1).bytes;
  EXPECT_FALSE(decode_bmp(bmp_file(past_row, 44), &out));
  Bytes past_top = Writer().raw(info_header(2, 1, 8, 1, 0, 1)).u32(0xFF).u8(0).u8(2).u8(0).u8(5)
                       .u8(1).u8(0).u8(0).u8(1).bytes;
  EXPECT_FALSE(decode_bmp(bmp_file(past_top, 44), &out));
  Bytes no_end = Writer().raw(info_header(2, 1, 8, 1, 0, 1)).u32(0xFF).u8(2).u8(0).bytes;
  EXPECT_FALSE(decode_bmp(bmp_file(no_end, 44), &out));
  Bytes top_down_rle = Writer().raw(info_header(2, -1, 8, 1, 0, 1)).u32(0xFF).u8(2).u8(0).u8(0).u8(1).bytes;
  EXPECT_FALSE(decode_bmp(bmp_file(top_down_rle, 44), &out));
}

TEST(PngDecoder, ColoursAndPremultipliedAlpha) {
  Image image(2, 2, 0xFF000000);
  image.at(0, 0) = 0xFFFF0000;
  image.at(1, 0) = 0x80FFFFFF;
  image.at(0, 1) = 0x00ABCDEF;
  image.at(1, 1) = 0xFF00FF00;
  RasterImage out;
  ASSERT_TRUE(kelplat::picture::decode_png(view(png_file(image)), &out));
  ASSERT_EQ(out.width, 2);
  ASSERT_EQ(out.height, 2);
  EXPECT_EQ(out.row(0)[0], 0xFFFF0000u);
  EXPECT_EQ(out.row(0)[1], 0x80808080u);
  EXPECT_EQ(out.row(1)[0] >> 24, 0u);
  EXPECT_EQ(out.row(1)[1], 0xFF00FF00u);
  EXPECT_TRUE(out.has_alpha);
}

TEST(PngDecoder, DamagedFilesAreRefused) {
  Bytes good = png_file(Image(8, 8, 0xFF112233));
  RasterImage out;
  for (size_t n : {size_t(0), size_t(8), size_t(30), good.size() / 2, good.size() - 13})
    EXPECT_FALSE(kelplat::picture::decode_png(view(Bytes(good.begin(), good.begin() + long(n))), &out)) << n;
  Bytes bad_crc = good;
  bad_crc[29] ^= 0xFF;  // inside the header chunk's checksum
  EXPECT_FALSE(kelplat::picture::decode_png(view(bad_crc), &out));
  // A header that claims 60000 x 60000 pixels (with a correct checksum) is
  // refused before any pixel is read.
  Bytes huge = good;
  huge[16] = 0, huge[17] = 0, huge[18] = 0xEA, huge[19] = 0x60;
  huge[20] = 0, huge[21] = 0, huge[22] = 0xEA, huge[23] = 0x60;
  uint32_t crc = crc32_of(huge.data() + 12, 17);
  for (int i = 0; i < 4; ++i) huge[29 + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
  EXPECT_FALSE(kelplat::picture::decode_png(view(huge), &out));
  EXPECT_TRUE(out.pixels.empty());
}

TEST(JpegDecoder, ColoursSurviveCompression) {
  Image image(32, 16, 0xFFFF0000);
  for (int y = 0; y < 16; ++y)
    for (int x = 16; x < 32; ++x) image.at(x, y) = 0xFF0000FF;
  RasterImage out;
  ASSERT_TRUE(kelplat::picture::decode_jpeg(view(jpeg_file(image)), &out));
  ASSERT_EQ(out.width, 32);
  ASSERT_EQ(out.height, 16);
  auto near = [](uint32_t p, uint32_t want) {
    for (int s = 0; s < 32; s += 8)
      if (std::abs(int((p >> s) & 0xFF) - int((want >> s) & 0xFF)) > 8) return false;
    return true;
  };
  EXPECT_TRUE(near(out.row(8)[4], 0xFFFF0000)) << std::hex << out.row(8)[4];
  EXPECT_TRUE(near(out.row(8)[28], 0xFF0000FF)) << std::hex << out.row(8)[28];
  EXPECT_FALSE(out.has_alpha);
}

TEST(JpegDecoder, TruncatedAndCorruptFilesAreRefusedWithoutEndingTheProcess) {
  Bytes good = jpeg_file(Image(64, 64, 0xFF336699));
  RasterImage out;
  for (size_t n : {size_t(0), size_t(2), size_t(20), good.size() / 2, good.size() - 10}) {
    EXPECT_FALSE(kelplat::picture::decode_jpeg(view(Bytes(good.begin(), good.begin() + long(n))), &out)) << n;
    EXPECT_TRUE(out.pixels.empty());
  }
  Bytes garbage = {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF, 0x00, 0x01, 0x02};
  EXPECT_FALSE(kelplat::picture::decode_jpeg(view(garbage), &out));
  // Only the end marker missing: every row is there, so the picture is whole.
  EXPECT_TRUE(kelplat::picture::decode_jpeg(view(Bytes(good.begin(), good.end() - 2)), &out));
}

TEST(GifDecoder, FirstFrameWithTransparency) {
  std::vector<uint8_t> indices = {0, 1, 2, 3, 3, 2, 1, 0};
  std::vector<uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  RasterImage out;
  ASSERT_TRUE(kelplat::picture::decode_gif(view(gif_file(4, 2, indices, palette)), &out));
  ASSERT_EQ(out.width, 4);
  ASSERT_EQ(out.height, 2);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(out.row(i / 4)[i % 4], kOpaque | palette[indices[size_t(i)]]) << i;
  EXPECT_FALSE(out.has_alpha);

  ASSERT_TRUE(kelplat::picture::decode_gif(view(gif_file(4, 2, indices, palette, 3)), &out));
  EXPECT_EQ(out.row(0)[3], 0u);
  EXPECT_EQ(out.row(1)[0], 0u);
  EXPECT_EQ(out.row(0)[0], kOpaque | 0xFF0000);
  EXPECT_TRUE(out.has_alpha);
}

TEST(GifDecoder, DamagedFilesAreRefused) {
  std::vector<uint8_t> indices(64 * 64);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = uint8_t(i * 7 % 4);
  Bytes good = gif_file(64, 64, indices, {0, 0xFF, 0xFF00, 0xFF0000});
  RasterImage out;
  for (size_t n : {size_t(0), size_t(6), size_t(13), size_t(30), good.size() / 2, good.size() - 2})
    EXPECT_FALSE(kelplat::picture::decode_gif(view(Bytes(good.begin(), good.begin() + long(n))), &out)) << n;
  Bytes huge = good;
  huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;  // a 65535 x 65535 screen
  EXPECT_FALSE(kelplat::picture::decode_gif(view(huge), &out));
}

TEST(IconDecoder, TakesTheLargestImageWithItsMaskOrAlpha) {
  Image small(16, 16, 0x000000FF);
  Image large(32, 32, 0x00FF0000);
  std::vector<bool> mask(32 * 32, false);
  mask[0] = true;  // top-left pixel transparent by the mask
  Bytes file = icon_file({{16, 16, 32, icon_dib_32(small, std::vector<bool>(256, false))},
                          {32, 32, 32, icon_dib_32(large, mask)}});
  RasterImage out;
  ASSERT_TRUE(kelplat::picture::decode_icon(view(file), &out));
  ASSERT_EQ(out.width, 32);
  // Alpha bytes all zero: the AND mask decides.
  EXPECT_EQ(out.row(0)[0], 0u);
  EXPECT_EQ(out.row(0)[1], kOpaque | 0xFF0000);
  EXPECT_EQ(out.row(31)[31], kOpaque | 0xFF0000);

  // With alpha bytes present they decide, and the mask is not used.
  Image translucent(2, 2, 0x80000000);
  translucent.at(1, 1) = 0xFF00FF00;
  ASSERT_TRUE(kelplat::picture::decode_icon(
      view(icon_file({{2, 2, 32, icon_dib_32(translucent, std::vector<bool>(4, true))}})), &out));
  EXPECT_EQ(out.row(0)[0], 0x80000000u);
  EXPECT_EQ(out.row(1)[1], 0xFF00FF00u);

  // A PNG image inside the icon.
  ASSERT_TRUE(kelplat::picture::decode_icon(
      view(icon_file({{0, 0, 32, png_file(Image(256, 256, 0xFF123456))}})), &out));
  EXPECT_EQ(out.width, 256);
  EXPECT_EQ(out.row(100)[100], 0xFF123456u);
}

TEST(IconDecoder, BrokenEntriesAreSkippedOrRefused) {
  Image image(4, 4, 0x0000FF00);
  Bytes good_dib = icon_dib_32(image, std::vector<bool>(16, false));
  Bytes broken_dib(good_dib.begin(), good_dib.begin() + 20);
  RasterImage out;
  // The larger entry is broken: the next one is shown.
  ASSERT_TRUE(kelplat::picture::decode_icon(view(icon_file({{64, 64, 32, broken_dib}, {4, 4, 32, good_dib}})), &out));
  EXPECT_EQ(out.width, 4);
  // An entry that points past the file, a directory cut short, no entries.
  Bytes outside = icon_file({{4, 4, 32, good_dib}});
  outside[6 + 12] = 0xFF;
  outside[6 + 13] = 0xFF;
  EXPECT_FALSE(kelplat::picture::decode_icon(view(outside), &out));
  Bytes cut = icon_file({{4, 4, 32, good_dib}});
  cut.resize(10);
  EXPECT_FALSE(kelplat::picture::decode_icon(view(cut), &out));
  EXPECT_FALSE(kelplat::picture::decode_icon(view(icon_file({})), &out));
}
