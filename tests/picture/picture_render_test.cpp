// Picture objects: streams over memory blocks, loading, sizes, and drawing
// into a device context (stretching, mirroring, alpha, clipping), including
// the recorded sample metafiles and metafiles made here.
#include <gtest/gtest.h>

#include <string>

#include "gdi_test_support.h"
#include "picture_test_files.h"

using namespace picture_test;
using gdi_test::Page;

namespace {

const uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

HGLOBAL block_of(const Bytes& file) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, file.size());
  if (!file.empty()) std::memcpy(GlobalLock(block), file.data(), file.size());
  GlobalUnlock(block);
  return block;
}

// Loads a picture the way the library does; null when it is refused.
IPicture* load(const Bytes& file, HRESULT* result = nullptr) {
  LPSTREAM stream = nullptr;
  EXPECT_EQ(CreateStreamOnHGlobal(block_of(file), TRUE, &stream), S_OK);
  IPicture* picture = nullptr;
  HRESULT hr = OleLoadPicture(stream, LONG(file.size()), FALSE, IID_IPicture,
                              reinterpret_cast<LPVOID*>(&picture));
  stream->Release();
  if (result) *result = hr;
  return picture;
}

// Draws the whole picture upright into the rectangle (as readimagefile does).
void draw(IPicture* picture, HDC dc, int x, int y, int cx, int cy) {
  OLE_XSIZE_HIMETRIC w = 0;
  OLE_YSIZE_HIMETRIC h = 0;
  picture->get_Width(&w);
  picture->get_Height(&h);
  EXPECT_EQ(picture->Render(dc, x, y, cx, cy, 0, h, w, -h, nullptr), S_OK);
}

// Loads, draws and releases.
void draw_file(const Bytes& file, HDC dc, int x, int y, int cx, int cy) {
  IPicture* picture = load(file);
  ASSERT_NE(picture, nullptr);
  draw(picture, dc, x, y, cx, cy);
  picture->Release();
}

Bytes sample(const char* name) {
  return read_file(std::string(KEL_TESTDATA_DIR) + "/pictures/" + name);
}

// 2 x 2: red, green / blue, white.
Image quadrants() {
  Image image(2, 2, 0xFFFF0000);
  image.at(1, 0) = 0xFF00FF00;
  image.at(0, 1) = 0xFF0000FF;
  image.at(1, 1) = 0xFFFFFFFF;
  return image;
}

// Enhanced metafile records and a file around them: a 100 x 100 pixel
// frame on a reference device of 10 pixels per millimetre.
struct Emf {
  Writer records;
  int count = 0;
  Emf& record(uint32_t type, std::initializer_list<uint32_t> params) {
    records.u32(type).u32(uint32_t(8 + 4 * params.size()));
    for (uint32_t p : params) records.u32(p);
    ++count;
    return *this;
  }
  Emf& polygon16(std::initializer_list<int> xy) {
    records.u32(86).u32(uint32_t(28 + 2 * xy.size())).u32(0).u32(0).u32(0).u32(0).u32(uint32_t(xy.size() / 2));
    for (int v : xy) records.u16(uint32_t(v));
    while (records.bytes.size() % 4) records.u8(0);
    ++count;
    return *this;
  }
  // A device-independent bitmap stretched to a destination rectangle.
  Emf& stretch_dib(int x, int y, int cx, int cy, const Bytes& header, const Bytes& rows, int src_w, int src_h) {
    uint32_t size = uint32_t(80 + header.size() + rows.size());
    records.u32(81).u32(size).u32(0).u32(0).u32(0).u32(0).u32(uint32_t(x)).u32(uint32_t(y)).u32(0).u32(0);
    records.u32(uint32_t(src_w)).u32(uint32_t(src_h)).u32(80).u32(uint32_t(header.size()));
    records.u32(uint32_t(80 + header.size())).u32(uint32_t(rows.size())).u32(0).u32(0x00CC0020);
    records.u32(uint32_t(cx)).u32(uint32_t(cy)).raw(header).raw(rows);
    ++count;
    return *this;
  }
  Bytes file() {
    record(14, {0, 16, 20});  // end of file
    Writer w;
    w.u32(1).u32(88).u32(0).u32(0).u32(99).u32(99).u32(0).u32(0).u32(1000).u32(1000);
    w.u32(0x464D4520).u32(0x10000).u32(uint32_t(88 + records.bytes.size())).u32(uint32_t(count + 1));
    w.u16(4).u16(0).u32(0).u32(0).u32(0).u32(1000).u32(1000).u32(100).u32(100);
    return w.raw(records.bytes).bytes;
  }
};

// A placeable metafile of 100 x 100 units at 96 per inch, around records of
// 16-bit parameters.
struct Wmf {
  Writer records;
  Wmf& record(uint16_t function, std::initializer_list<int> words, const Bytes& tail = {}) {
    records.u32(uint32_t(3 + words.size() + tail.size() / 2)).u16(function);
    for (int v : words) records.u16(uint32_t(v));
    records.raw(tail);
    return *this;
  }
  Bytes file() {
    record(0, {});
    Writer w;
    w.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(100).u16(100).u16(96).u32(0).u16(0);
    w.u16(1).u16(9).u16(0x300).u32(uint32_t(9 + records.bytes.size() / 2)).u16(4).u32(10).u16(0);
    return w.raw(records.bytes).bytes;
  }
};

}  // namespace

TEST(PictureStream, ReleasingTheLastReferenceFreesAnOwnedBlock) {
  HGLOBAL owned = GlobalAlloc(GMEM_MOVEABLE, 16);
  LPSTREAM stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(owned, TRUE, &stream), S_OK);
  EXPECT_EQ(stream->AddRef(), 2u);
  EXPECT_EQ(stream->Release(), 1u);
  EXPECT_EQ(GlobalSize(owned), 16u);
  EXPECT_EQ(stream->Release(), 0u);
  EXPECT_EQ(GlobalSize(owned), 0u) << "the block was not freed";

  HGLOBAL kept = GlobalAlloc(GMEM_MOVEABLE, 16);
  ASSERT_EQ(CreateStreamOnHGlobal(kept, FALSE, &stream), S_OK);
  stream->Release();
  EXPECT_EQ(GlobalSize(kept), 16u);
  GlobalFree(kept);

  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, nullptr), E_INVALIDARG);
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);  // a block of its own
  stream->Release();
}

TEST(PictureLoading, RefusalsGiveAFailureAndNoObject) {
  HRESULT hr = S_OK;
  EXPECT_EQ(load(Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}, &hr), nullptr);
  EXPECT_TRUE(FAILED(hr));
  EXPECT_EQ(load(Bytes{}, &hr), nullptr);
  EXPECT_TRUE(FAILED(hr));
  Bytes truncated = bmp_24(quadrants());
  truncated.resize(truncated.size() - 8);
  EXPECT_EQ(load(truncated, &hr), nullptr);
  EXPECT_TRUE(FAILED(hr));

  LPSTREAM stream = nullptr;
  CreateStreamOnHGlobal(block_of(bmp_24(quadrants())), TRUE, &stream);
  const IID other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(OleLoadPicture(stream, 0, FALSE, other, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(OleLoadPicture(stream, 0, FALSE, IID_IPicture, nullptr), E_POINTER);
  // Size 0 reads the whole block.
  ASSERT_EQ(OleLoadPicture(stream, 0, FALSE, IID_IPicture, &out), S_OK);
  stream->Release();
  IPicture* picture = static_cast<IPicture*>(out);
  void* again = nullptr;
  EXPECT_EQ(picture->QueryInterface(IID_IPicture, &again), S_OK);
  EXPECT_EQ(again, out);
  EXPECT_EQ(picture->QueryInterface(other, &again), E_NOINTERFACE);
  EXPECT_EQ(picture->Release(), 1u);
  EXPECT_EQ(picture->Release(), 0u);
}

TEST(PictureLoading, SizesAreInHundredthsOfAMillimetre) {
  auto size_of = [](const Bytes& file) {
    IPicture* picture = load(file);
    std::pair<LONG, LONG> size{-1, -1};
    if (!picture) return size;
    picture->get_Width(&size.first);
    picture->get_Height(&size.second);
    picture->Release();
    return size;
  };
  EXPECT_EQ(size_of(bmp_24(Image(96, 48, 0))), std::make_pair(LONG(2540), LONG(1270)));
  EXPECT_EQ(size_of(png_file(Image(1, 3, 0))), std::make_pair(LONG(26), LONG(79)));
  EXPECT_EQ(size_of(sample("shapes.emf")), std::make_pair(LONG(5296), LONG(5292)));
  EXPECT_EQ(size_of(sample("shapes.wmf")), std::make_pair(LONG(5292), LONG(5292)));
}

TEST(PictureRendering, OneToOneAndEnlargedPixelsAreExact) {
  Page page(20, 20, 0x111111);
  draw_file(bmp_24(quadrants()), page.dc(), 5, 6, 2, 2);
  EXPECT_EQ(page.at(5, 6), kRed);
  EXPECT_EQ(page.at(6, 6), kGreen);
  EXPECT_EQ(page.at(5, 7), kBlue);
  EXPECT_EQ(page.at(6, 7), kWhite);
  EXPECT_EQ(page.at(4, 6), 0x111111u);
  EXPECT_EQ(page.at(7, 7), 0x111111u);

  // Enlarged 4 times: each source pixel becomes a 4 x 4 block, no blending.
  Page big(8, 8);
  draw_file(png_file(quadrants()), big.dc(), 0, 0, 8, 8);
  const uint32_t expected[2][2] = {{kRed, kGreen}, {kBlue, kWhite}};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(big.at(x, y), expected[y / 4][x / 4]) << x << "," << y;
}

TEST(PictureRendering, ShrinkingAveragesTheCoveredPixels) {
  Image checker(8, 8, 0xFF000000);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if ((x + y) % 2) checker.at(x, y) = 0xFFFFFFFF;
  Page page(4, 4);
  draw_file(bmp_24(checker), page.dc(), 0, 0, 4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(page.at(x, y), 0x808080u) << x << "," << y;

  // The whole picture in one pixel: the mean of all its pixels.
  Page one(1, 1);
  draw_file(bmp_24(quadrants()), one.dc(), 0, 0, 1, 1);
  EXPECT_EQ(one.at(0, 0), 0x808080u);  // (red + green + blue + white) / 4, rounded
}

TEST(PictureRendering, NegativeSizesAndReversedSourceMirror) {
  Page page(2, 2);
  IPicture* picture = load(bmp_24(quadrants()));
  ASSERT_NE(picture, nullptr);
  LONG w = 0, h = 0;
  picture->get_Width(&w);
  picture->get_Height(&h);
  // A positive source height runs from the bottom edge up: upside down.
  ASSERT_EQ(picture->Render(page.dc(), 0, 0, 2, 2, 0, 0, w, h, nullptr), S_OK);
  EXPECT_EQ(page.at(0, 0), kBlue);
  EXPECT_EQ(page.at(1, 1), kGreen);
  // A negative destination width mirrors left and right.
  ASSERT_EQ(picture->Render(page.dc(), 1, 0, -2, 2, 0, h, w, -h, nullptr), S_OK);
  EXPECT_EQ(page.at(0, 0), kGreen);
  EXPECT_EQ(page.at(1, 0), kRed);
  EXPECT_EQ(page.at(0, 1), kWhite);
  // Nothing to draw into: refused.
  EXPECT_EQ(picture->Render(page.dc(), 0, 0, 0, 2, 0, h, w, -h, nullptr), E_INVALIDARG);
  EXPECT_EQ(picture->Render(nullptr, 0, 0, 2, 2, 0, h, w, -h, nullptr), E_INVALIDARG);
  picture->Release();
}

TEST(PictureRendering, TransparencyBlendsOverThePage) {
  Image image(2, 1, 0x80FFFFFF);
  image.at(1, 0) = 0x00FF0000;
  Page page(2, 1, 0x000000);
  draw_file(png_file(image), page.dc(), 0, 0, 2, 1);
  EXPECT_EQ(page.at(0, 0), 0x808080u);
  EXPECT_EQ(page.at(1, 0), 0x000000u);

  // The transparent index of a GIF leaves the page showing.
  Page under(2, 1, 0x445566);
  draw_file(gif_file(2, 1, {0, 1}, {0xFF0000, 0x00FF00}, 1), under.dc(), 0, 0, 2, 1);
  EXPECT_EQ(under.at(0, 0), kRed);
  EXPECT_EQ(under.at(1, 0), 0x445566u);
}

TEST(PictureRendering, DrawingFollowsTheViewportAndTheClipping) {
  Page page(10, 10, 0);
  SetViewportOrgEx(page.dc(), 3, 4, nullptr);
  draw_file(bmp_24(Image(2, 2, 0xFF00FF00)), page.dc(), 0, 0, 2, 2);
  EXPECT_EQ(page.at(3, 4), kGreen);
  EXPECT_EQ(page.at(4, 5), kGreen);
  EXPECT_EQ(page.count(kGreen), 4);

  SetViewportOrgEx(page.dc(), 0, 0, nullptr);
  HRGN clip = CreateRectRgn(0, 0, 5, 10);
  SelectClipRgn(page.dc(), clip);
  DeleteObject(clip);
  draw_file(bmp_24(Image(4, 4, 0xFFFF0000)), page.dc(), -2, 8, 10, 10);  // mostly off the page
  EXPECT_EQ(page.count(kRed), 5 * 2);
  // A destination far larger than the page costs only the visible pixels.
  draw_file(jpeg_file(Image(16, 16, 0xFF0000FF)), page.dc(), -1000000000, -1000000000, 2000000000,
            2000000000);
  EXPECT_EQ(page.at(9, 9), 0x000000u);  // outside the clip rectangle
  EXPECT_LT(page.at(2, 2) & 0xFFFF00, 0x101000u);  // blue, within compression error
}

TEST(PictureRendering, RecordedMetafilesDrawTheirShapes) {
  for (const char* name : {"shapes.emf", "shapes.wmf"}) {
    SCOPED_TRACE(name);
    Page page(200, 200, kWhite);
    HGDIOBJ pen = GetCurrentObject(page.dc(), OBJ_PEN), brush = GetCurrentObject(page.dc(), OBJ_BRUSH);
    SetTextColor(page.dc(), RGB(1, 2, 3));
    int mode = GetBkMode(page.dc());
    draw_file(sample(name), page.dc(), 0, 0, 200, 200);
    EXPECT_EQ(page.at(50, 50), kRed);
    EXPECT_EQ(page.at(150, 150), kBlue);
    EXPECT_EQ(page.at(50, 150), kWhite);
    EXPECT_EQ(page.at(150, 50), kWhite);
    EXPECT_EQ(page.at(50, 199), kGreen);
    // The context is as it was: objects, colours and modes.
    EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetTextColor(page.dc()), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(page.dc()), mode);

    // Half the size, at an offset.
    Page half(150, 150, kWhite);
    draw_file(sample(name), half.dc(), 50, 50, 100, 100);
    EXPECT_EQ(half.at(75, 75), kRed);
    EXPECT_EQ(half.at(125, 125), kBlue);
    EXPECT_EQ(half.at(25, 25), kWhite);
  }
}

TEST(PictureRendering, EnhancedMetafileMappingModesAndSavedStates) {
  Emf emf;
  emf.record(39, {1, 0, 0x00FF00, 0})         // brush 1: green
      .record(37, {1})                        // select it
      .record(37, {0x80000000u | 8})          // the stock null pen
      .record(17, {8})                        // anisotropic mapping
      .record(9, {10, 10})                    // window extent 10 x 10
      .record(11, {100, 100})                 // viewport extent 100 x 100
      .polygon16({0, 0, 5, 0, 5, 5, 0, 5})    // logical 0..5: pixels 0..50
      .record(33, {})                         // save
      .record(39, {2, 0, 0x0000FF, 0})        // brush 2: red
      .record(37, {2})
      .record(12, {50, 0})                    // viewport origin moved right
      .record(34, {uint32_t(-1)})             // restore: green, origin back
      .record(43, {6, 6, 9, 9})               // rectangle at pixels 60..90
      .record(40, {1})
      .record(40, {2});
  Page page(100, 100, kWhite);
  draw_file(emf.file(), page.dc(), 0, 0, 100, 100);
  EXPECT_EQ(page.at(25, 25), kGreen);
  EXPECT_EQ(page.at(75, 75), kGreen);
  EXPECT_EQ(page.at(75, 25), kWhite);
  EXPECT_EQ(page.count(kRed), 0);
}

TEST(PictureRendering, WindowsMetafileObjectSlotsAndWindowOrigin) {
  Wmf wmf;
  wmf.record(0x02FC, {0, 0x00FF, 0, 0})       // brush, slot 0: red
      .record(0x012D, {0})
      .record(0x02FA, {5, 0, 0, 0, 0})        // null pen, slot 1
      .record(0x012D, {1})
      .record(0x01F0, {0})                    // delete slot 0 while selected
      .record(0x02FC, {0, 0, 0x00FF, 0})      // brush, slot 0 again: blue
      .record(0x012D, {0})
      .record(0x001E, {})                     // save
      .record(0x020B, {-50, -50})             // window origin (y, x)
      .record(0x041B, {-25, -25, -50, -50})   // rectangle: bottom, right, top, left
      .record(0x0127, {-1})                   // restore: origin 0, 0
      .record(0x0418, {91, 91, 60, 60});      // ellipse 60..90
  Page page(100, 100, kWhite);
  draw_file(wmf.file(), page.dc(), 0, 0, 100, 100);
  EXPECT_EQ(page.at(12, 12), kBlue);
  EXPECT_EQ(page.at(75, 75), kBlue);
  EXPECT_EQ(page.at(40, 40), kWhite);
  EXPECT_EQ(page.count(kRed), 0);
}

TEST(PictureRendering, MetafileBitmapsAreStretchedIntoPlace) {
  Bytes header = info_header(2, 2, 24), rows = rows_24(quadrants());
  Emf emf;
  emf.stretch_dib(10, 10, 40, 40, header, rows, 2, 2);
  Wmf wmf;
  Bytes dib = header;
  dib.insert(dib.end(), rows.begin(), rows.end());
  // Raster operation, colour use, source height, width, y, x, destination
  // height, width, y, x, then the bitmap.
  wmf.record(0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 40, 40, 60, 60}, dib);
  const std::pair<Bytes, int> files[] = {{emf.file(), 10}, {wmf.file(), 60}};
  for (const auto& [file, at] : files) {
    Page page(100, 100, 0);
    draw_file(file, page.dc(), 0, 0, 100, 100);
    EXPECT_EQ(page.at(at + 5, at + 5), kRed);
    EXPECT_EQ(page.at(at + 35, at + 5), kGreen);
    EXPECT_EQ(page.at(at + 5, at + 35), kBlue);
    EXPECT_EQ(page.at(at + 35, at + 35), kWhite);
    EXPECT_EQ(page.count(0), 100 * 100 - 40 * 40);
  }
}

TEST(PictureRendering, DamagedMetafilesStopWithoutHarm) {
  Bytes emf = sample("shapes.emf");
  ASSERT_FALSE(emf.empty());
  // A record that claims to run past the end, a zero-sized record, a polygon
  // with a count far beyond its record, an object index out of any table.
  for (size_t at : {size_t(148), size_t(160), size_t(200)}) {
    for (uint32_t value : {0u, 4u, 0xFFFFFFFFu, 0x7FFFFFF8u}) {
      Bytes damaged = emf;
      for (int i = 0; i < 4; ++i) damaged[at + size_t(i)] = uint8_t(value >> (8 * i));
      Page page(50, 50, kWhite);
      IPicture* picture = load(damaged);
      if (picture) {
        draw(picture, page.dc(), 0, 0, 50, 50);
        picture->Release();
      }
    }
  }
  Emf big_count;
  big_count.records.u32(86).u32(36).u32(0).u32(0).u32(0).u32(0).u32(0x7FFFFFFF).u32(0).u32(0);
  ++big_count.count;
  Page page(50, 50, kWhite);
  draw_file(big_count.file(), page.dc(), 0, 0, 50, 50);
  EXPECT_EQ(page.count(kWhite), 50 * 50);

  Bytes wmf = sample("shapes.wmf");
  for (size_t cut = 40; cut < wmf.size(); cut += 7) {
    Bytes short_file(wmf.begin(), wmf.begin() + long(cut));
    IPicture* picture = load(short_file);
    if (picture) {
      Page small(20, 20, kWhite);
      draw(picture, small.dc(), 0, 0, 20, 20);
      picture->Release();
    }
  }
}
