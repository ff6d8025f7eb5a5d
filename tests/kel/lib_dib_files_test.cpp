// BMP files of packed DIBs: SaveDIB's result codes and file layout,
// ReadDIBFile's refusals and its care with whatever a file claims, LoadDIB's
// missing-file message, and the round trip between them.
#include <algorithm>

#include "kel/dibutil.h"
#include "lib_test_support.h"
#include "picture_test_files.h"

using picture_test::Writer;

namespace {

// A movable block holding `bytes`.
HANDLE block_with(const std::vector<uint8_t>& bytes) {
  HANDLE block = GlobalAlloc(GHND, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

std::vector<uint8_t> contents(HANDLE block) {
  const uint8_t* p = static_cast<const uint8_t*>(GlobalLock(block));
  std::vector<uint8_t> bytes(p, p + GlobalSize(block));
  GlobalUnlock(block);
  return bytes;
}

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

class DibFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = kel_test::make_temp_folder("kel_dib_files_");
  }
  void TearDown() override {
    kelplat::testing::set_message_box_handler(nullptr);
    kel_test::remove_folder(dir_);
  }
  std::string path(const char* name) const { return dir_ + "/" + name; }
  bool exists(const std::string& p) const { return kel_test::file_exists(p); }
  // ReadDIBFile on a file holding `bytes`.
  HANDLE read_back(const std::vector<uint8_t>& bytes) {
    std::string p = path("in.bmp");
    EXPECT_TRUE(picture_test::write_file(p, bytes));
    HANDLE file = CreateFileA(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE dib = ReadDIBFile(file);
    CloseHandle(file);
    return dib;
  }
  std::string dir_;
};

// A 24-bit 3 x 2 DIB, rows of 12 bytes, pixel bytes 1, 2, 3 ...
std::vector<uint8_t> dib_24() {
  Writer w;
  w.raw(picture_test::info_header(3, 2, 24));
  for (int i = 0; i < 24; ++i) w.u8(uint32_t(i + 1));
  return w.bytes;
}

}  // namespace

TEST_F(DibFiles, SaveDibResultCodes) {
  EXPECT_EQ(SaveDIB(nullptr, path("null.bmp").c_str()), 20);
  EXPECT_FALSE(exists(path("null.bmp")));

  HANDLE dib = block_with(dib_24());
  EXPECT_EQ(SaveDIB(dib, (dir_ + "/no/such/dir.bmp").c_str()), 4);
  EXPECT_EQ(SaveDIB(reinterpret_cast<void*>(0x5A5A5A), path("unlockable.bmp").c_str()), 3);

  // A core header is not written: result 0 and an empty file.
  HANDLE core = block_with(Writer().u32(12).u16(3).u16(2).u16(1).u16(24).raw(std::vector<uint8_t>(24)).bytes);
  EXPECT_EQ(SaveDIB(core, path("core.bmp").c_str()), 0);
  EXPECT_TRUE(exists(path("core.bmp")));
  EXPECT_TRUE(picture_test::read_file(path("core.bmp")).empty());
  DestroyDIB(core);

  ASSERT_EQ(SaveDIB(dib, path("good.bmp").c_str()), 0);
  std::vector<uint8_t> file = picture_test::read_file(path("good.bmp"));
  ASSERT_EQ(file.size(), 78u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(u32_at(file, 2), 78u);
  EXPECT_EQ(u32_at(file, 10), 54u);
  EXPECT_EQ(u32_at(file, 14 + 20), 24u);  // biSizeImage, also stored in the block
  EXPECT_EQ(u32_at(contents(dib), 20), 24u);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 14, file.end()), contents(dib));
  EXPECT_EQ(DestroyDIB(dib), 0);
}

TEST_F(DibFiles, SaveDibWritesColourTablesAndCompressedSizes) {
  HANDLE eight = CreateDIB(2, 2, 8);
  ASSERT_EQ(SaveDIB(eight, path("eight.bmp").c_str()), 0);
  std::vector<uint8_t> file = picture_test::read_file(path("eight.bmp"));
  EXPECT_EQ(file.size(), 14u + 40 + 1024 + 8);
  EXPECT_EQ(u32_at(file, 10), 14u + 40 + 1024);
  DestroyDIB(eight);

  // RLE8 keeps its stated size.
  Writer rle;
  rle.raw(picture_test::info_header(4, 4, 8, BI_RLE8, 6, 2)).u32(0).u32(0xFFFFFF);
  rle.u8(4).u8(1).u8(0).u8(0).u8(0).u8(1);
  HANDLE compressed = block_with(rle.bytes);
  ASSERT_EQ(SaveDIB(compressed, path("rle.bmp").c_str()), 0);
  file = picture_test::read_file(path("rle.bmp"));
  EXPECT_EQ(file.size(), 14u + 40 + 8 + 6);
  EXPECT_EQ(u32_at(file, 14 + 20), 6u);

  // A header that claims more rows than its block holds: never read past it.
  HANDLE claims = block_with(picture_test::info_header(1000, 1000, 24));
  ASSERT_EQ(SaveDIB(claims, path("claims.bmp").c_str()), 0);
  EXPECT_EQ(picture_test::read_file(path("claims.bmp")).size(), 14u + 40);
  DestroyDIB(compressed);
  DestroyDIB(claims);
}

TEST_F(DibFiles, ReadDibFileRefusals) {
  std::vector<uint8_t> good = picture_test::bmp_file(dib_24(), 40);
  std::vector<uint8_t> not_bm = good;
  not_bm[0] = 'P';
  EXPECT_EQ(read_back(not_bm), nullptr);
  std::vector<uint8_t> core = good;
  core[14] = 12;
  EXPECT_EQ(read_back(core), nullptr);
  EXPECT_EQ(read_back(std::vector<uint8_t>(good.begin(), good.begin() + 30)), nullptr);  // short header
  EXPECT_EQ(read_back({}), nullptr);
  EXPECT_EQ(ReadDIBFile(nullptr), nullptr);
  EXPECT_EQ(ReadDIBFile(INVALID_HANDLE_VALUE), nullptr);

  // A 24-bit file with no colours used has no colour table; the image size
  // is filled in.
  HANDLE dib = read_back(good);
  ASSERT_NE(dib, nullptr);
  std::vector<uint8_t> expected = dib_24();
  expected[20] = 24;
  EXPECT_EQ(contents(dib), expected);
  LPSTR packed = static_cast<LPSTR>(GlobalLock(dib));
  EXPECT_EQ(FindDIBBits(packed) - packed, 40);
  GlobalUnlock(dib);
  DestroyDIB(dib);
}

TEST_F(DibFiles, ReadDibFileFillsColourCountsAndZeroesWhatIsMissing) {
  // 8 bits, no colours used stated, no image size: 256 entries and the row rule.
  Writer w;
  w.raw(picture_test::info_header(5, 2, 8));
  for (int i = 0; i < 256; ++i) w.u32(uint32_t(i) * 0x010101);
  w.u8(7).u8(8).u8(9);  // only 3 of the 16 pixel bytes
  HANDLE dib = read_back(picture_test::bmp_file(w.bytes, 40 + 1024));
  ASSERT_NE(dib, nullptr);
  std::vector<uint8_t> block = contents(dib);
  ASSERT_EQ(block.size(), 40u + 1024 + 16);
  EXPECT_EQ(u32_at(block, 32), 256u);  // biClrUsed
  EXPECT_EQ(u32_at(block, 20), 16u);   // biSizeImage
  EXPECT_EQ(u32_at(block, 40 + 4 * 200), 200u * 0x010101);
  EXPECT_EQ(block[1064], 7);
  EXPECT_EQ(block[1066], 9);
  for (size_t i = 1067; i < block.size(); ++i) EXPECT_EQ(block[i], 0) << i;
  DestroyDIB(dib);

  // A longer (v4) header is kept whole in front of the colour table.
  Writer v4;
  v4.u32(108).u32(1).u32(1).u16(1).u16(1).u32(0).u32(4).u32(0).u32(0).u32(2).u32(0);
  while (v4.bytes.size() < 108) v4.u8(0xEE);
  v4.u32(0x000000).u32(0xFFFFFF).u32(0x80000000);
  dib = read_back(picture_test::bmp_file(v4.bytes, 108 + 8));
  ASSERT_NE(dib, nullptr);
  block = contents(dib);
  ASSERT_EQ(block.size(), 108u + 8 + 4);
  EXPECT_EQ(block[107], 0xEE);
  EXPECT_EQ(u32_at(block, 112), 0xFFFFFFu);
  EXPECT_EQ(block[119], 0x80);
  DestroyDIB(dib);
}

TEST_F(DibFiles, ReadDibFileReadsFilesFarShorterThanTheirRows) {
  // 200 x 100 at 24 bits states 60000 pixel bytes; the file holds 5 of them,
  // or none, or stops inside the colour table of an 8-bit picture.
  for (size_t held : {size_t(5), size_t(0)}) {
    Writer w;
    w.raw(picture_test::info_header(200, 100, 24));
    for (size_t i = 0; i < held; ++i) w.u8(uint32_t(0x11 * (i + 1)));
    HANDLE dib = read_back(picture_test::bmp_file(w.bytes, 40));
    ASSERT_NE(dib, nullptr) << held;
    std::vector<uint8_t> block = contents(dib);
    ASSERT_EQ(block.size(), 40u + 60000);
    EXPECT_EQ(u32_at(block, 20), 60000u);
    for (size_t i = 0; i < held; ++i) EXPECT_EQ(block[40 + i], 0x11 * (i + 1));
    EXPECT_EQ(std::count(block.begin() + 40 + long(held), block.end(), 0), long(60000 - held));
    DestroyDIB(dib);
  }
  Writer table;
  table.raw(picture_test::info_header(64, 64, 8)).u32(0x123456);
  HANDLE dib = read_back(picture_test::bmp_file(table.bytes, 40 + 1024));
  ASSERT_NE(dib, nullptr);
  std::vector<uint8_t> block = contents(dib);
  ASSERT_EQ(block.size(), 40u + 1024 + 4096);
  EXPECT_EQ(u32_at(block, 40), 0x123456u);
  EXPECT_EQ(std::count(block.begin() + 44, block.end(), 0), long(block.size() - 44));
  DestroyDIB(dib);
}

TEST_F(DibFiles, ReadDibFileRefusesAbsurdClaims) {
  auto claim = [](int32_t width, int32_t height, int bits, uint32_t size_image, uint32_t colours) {
    return picture_test::bmp_file(
        Writer().raw(picture_test::info_header(width, height, bits, 0, size_image, colours)).u32(0).bytes, 40);
  };
  EXPECT_EQ(read_back(claim(1, 1, 24, 0xFFFFFFF0u, 0)), nullptr);
  EXPECT_EQ(read_back(claim(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, 0)), nullptr);
  EXPECT_EQ(read_back(claim(-5, 1, 24, 0, 0)), nullptr);
  // Depths no DIB has (found by the fuzz target: 2048 bits a pixel).
  for (int bits : {0, 2, 7, 2048, 0xFFFF}) EXPECT_EQ(read_back(claim(48, 100, bits, 0, 0)), nullptr) << bits;
  // A pixel offset past the end reads nothing: the rows are zero.
  std::vector<uint8_t> distant = picture_test::bmp_file(dib_24(), 40);
  distant[10] = 0xFF, distant[11] = 0xFF, distant[12] = 0xFF, distant[13] = 0x7F;
  HANDLE dib = read_back(distant);
  ASSERT_NE(dib, nullptr);
  std::vector<uint8_t> block = contents(dib);
  for (size_t i = 40; i < block.size(); ++i) EXPECT_EQ(block[i], 0) << i;
  DestroyDIB(dib);
  // A colour count past 256 entries is held to 256 (found by the fuzz
  // target: 150 million entries stated by a 78-byte file).
  for (uint32_t colours : {257u, 0x09000004u, 0xFFFFFFFFu}) {
    dib = read_back(claim(4, 2, 8, 0, colours));
    ASSERT_NE(dib, nullptr) << colours;
    block = contents(dib);
    EXPECT_EQ(block.size(), 40u + 256 * 4 + 8) << colours;
    EXPECT_EQ(u32_at(block, 32), 256u) << colours;
    DestroyDIB(dib);
  }
}

TEST_F(DibFiles, LoadDibReadsWhatSaveDibWroteAndReportsMissingFiles) {
  HANDLE saved = block_with(dib_24());
  ASSERT_EQ(SaveDIB(saved, path("round.bmp").c_str()), 0);
  HANDLE loaded = LoadDIB(path("round.bmp").c_str());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(contents(loaded), contents(saved));
  DestroyDIB(saved);
  DestroyDIB(loaded);
  EXPECT_EQ(GlobalSize(loaded), 0u) << "DestroyDIB frees the block";

  std::vector<std::string> boxes;
  kelplat::testing::set_message_box_handler([&](const std::string& text, const std::string& caption, UINT) {
    boxes.push_back(caption + ": " + text);
    return IDOK;
  });
  EXPECT_EQ(LoadDIB(path("missing.bmp").c_str()), nullptr);
  EXPECT_EQ(LoadDIB(nullptr), nullptr);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "Error: File not found");
}
