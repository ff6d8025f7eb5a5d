// Context state: colours and modes, viewport origin and coordinate
// conversion, current position, clip regions, single pixels, device
// capabilities, palettes and printer jobs.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gdi_test_support.h"
#include "platform/gdi/printers.h"

using gdi_test::Page;

namespace {

TEST(GdiContextState, SettersKeepValidValuesOnly) {
  Page page(4, 4);
  HDC dc = page.dc();
  EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(SetBkColor(dc, RGB(7, 8, 9)), RGB(255, 255, 255));
  EXPECT_EQ(GetBkColor(dc), RGB(7, 8, 9));
  for (int bad : {0, 3}) EXPECT_EQ(SetBkMode(dc, bad), 0);
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  for (int bad : {0, 17}) EXPECT_EQ(SetROP2(dc, bad), 0);
  EXPECT_EQ(SetROP2(dc, R2_XORPEN), R2_COPYPEN);
  EXPECT_EQ(GetROP2(dc), R2_XORPEN);
  for (int bad : {0, 5}) EXPECT_EQ(SetStretchBltMode(dc, bad), 0);
  EXPECT_EQ(SetStretchBltMode(dc, HALFTONE), BLACKONWHITE);
}

TEST(GdiViewport, OriginMapsLogicalToDevice) {
  Page page(8, 8);
  HDC dc = page.dc();
  POINT old{-1, -1};
  ASSERT_TRUE(SetViewportOrgEx(dc, 100, 50, &old));
  EXPECT_EQ(old.x, 0);
  EXPECT_EQ(old.y, 0);
  ASSERT_TRUE(SetViewportOrgEx(dc, 100, 50, nullptr));
  POINT points[2] = {{0, 0}, {-100, 7}};
  ASSERT_TRUE(LPtoDP(dc, points, 2));
  EXPECT_EQ(points[0].x, 100);
  EXPECT_EQ(points[0].y, 50);
  EXPECT_EQ(points[1].x, 0);
  EXPECT_EQ(points[1].y, 57);
  ASSERT_TRUE(DPtoLP(dc, points, 2));
  EXPECT_EQ(points[0].x, 0);
  EXPECT_EQ(points[1].x, -100);
  EXPECT_EQ(points[1].y, 7);
  EXPECT_TRUE(LPtoDP(dc, nullptr, 0));
  EXPECT_FALSE(LPtoDP(dc, nullptr, 1));
  EXPECT_FALSE(DPtoLP(dc, points, -1));
}

TEST(GdiViewport, ConversionAtTheIntegerLimitsDoesNotTrap) {
  Page page(2, 2);
  SetViewportOrgEx(page.dc(), INT_MAX, INT_MIN, nullptr);
  POINT p{INT_MAX, INT_MIN};
  EXPECT_TRUE(LPtoDP(page.dc(), &p, 1));
  EXPECT_TRUE(DPtoLP(page.dc(), &p, 1));
  EXPECT_EQ(p.x, INT_MAX);
  EXPECT_EQ(p.y, INT_MIN);
  EXPECT_FALSE(SetPixelV(page.dc(), INT_MAX, INT_MIN, 0));
  EXPECT_EQ(GetPixel(page.dc(), INT_MIN, INT_MAX), CLR_INVALID);
}

TEST(GdiViewport, PixelsGoThroughTheOrigin) {
  Page page(20, 20);
  SetViewportOrgEx(page.dc(), 10, 5, nullptr);
  EXPECT_TRUE(SetPixelV(page.dc(), 2, 3, RGB(255, 0, 0)));
  EXPECT_EQ(page.at(12, 8), 0xFF0000u);
  EXPECT_EQ(GetPixel(page.dc(), 2, 3), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(page.dc(), -10, -5), RGB(0, 0, 0));  // device (0, 0)
  EXPECT_EQ(GetPixel(page.dc(), -11, 0), CLR_INVALID);
}

TEST(GdiCurrentPosition, MoveToKeepsLogicalCoordinates) {
  Page page(4, 4);
  SetViewportOrgEx(page.dc(), 30, 40, nullptr);
  POINT old{9, 9};
  ASSERT_TRUE(MoveToEx(page.dc(), -5, 25, &old));
  EXPECT_EQ(old.x, 0);
  EXPECT_EQ(old.y, 0);
  POINT now;
  ASSERT_TRUE(GetCurrentPositionEx(page.dc(), &now));
  EXPECT_EQ(now.x, -5);
  EXPECT_EQ(now.y, 25);
  EXPECT_FALSE(GetCurrentPositionEx(page.dc(), nullptr));
}

TEST(GdiPixels, ColourBytesAreBlueGreenRedZero) {
  Page page(2, 1);
  EXPECT_EQ(SetPixel(page.dc(), 1, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
  BYTE bytes[8];
  ASSERT_EQ(GetBitmapBits(page.bitmap(), sizeof bytes, bytes), 8);
  EXPECT_EQ(bytes[4], 3);
  EXPECT_EQ(bytes[5], 2);
  EXPECT_EQ(bytes[6], 1);
  EXPECT_EQ(bytes[7], 0);
  // The top byte of a colour does not reach the page.
  SetPixelV(page.dc(), 0, 0, 0x03000000 | RGB(9, 8, 7));
  EXPECT_EQ(GetPixel(page.dc(), 0, 0), RGB(9, 8, 7));
}

TEST(GdiPixels, OutsideThePageNothingIsTouched) {
  Page page(3, 3, 0x123456);
  for (POINT p : {POINT{-1, 0}, POINT{0, -1}, POINT{3, 0}, POINT{0, 3}}) {
    EXPECT_FALSE(SetPixelV(page.dc(), p.x, p.y, RGB(255, 255, 255)));
    EXPECT_EQ(SetPixel(page.dc(), p.x, p.y, RGB(255, 255, 255)), CLR_INVALID);
    EXPECT_EQ(GetPixel(page.dc(), p.x, p.y), CLR_INVALID);
  }
  EXPECT_EQ(page.count(0x123456), 9);
}

TEST(GdiPixels, MonochromeTargetStoresLightAndDark) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP mono = CreateBitmap(8, 2, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(dc, mono);
  SetPixelV(dc, 1, 0, RGB(250, 250, 250));
  SetPixelV(dc, 2, 0, RGB(30, 40, 50));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 2, 0), RGB(0, 0, 0));
  BYTE bits[4];
  GetBitmapBits(mono, sizeof bits, bits);
  EXPECT_EQ(bits[0], 0x40);  // pixel 1 set, bit 7 is pixel 0
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(mono);
}

TEST(GdiClipRegions, ClipLimitsSetAndGetPixel) {
  Page page(20, 20);
  HRGN region = CreateRectRgn(5, 5, 10, 10);
  EXPECT_EQ(SelectClipRgn(page.dc(), region), SIMPLEREGION);
  EXPECT_TRUE(SetPixelV(page.dc(), 5, 5, RGB(255, 255, 255)));
  EXPECT_TRUE(SetPixelV(page.dc(), 9, 9, RGB(255, 255, 255)));
  EXPECT_FALSE(SetPixelV(page.dc(), 10, 9, RGB(255, 255, 255)));  // right edge excluded
  EXPECT_FALSE(SetPixelV(page.dc(), 4, 5, RGB(255, 255, 255)));
  EXPECT_EQ(page.count(0xFFFFFF), 2);
  EXPECT_EQ(GetPixel(page.dc(), 10, 9), CLR_INVALID);
  EXPECT_EQ(GetPixel(page.dc(), 9, 9), RGB(255, 255, 255));
  EXPECT_EQ(SelectClipRgn(page.dc(), nullptr), SIMPLEREGION);
  EXPECT_EQ(GetPixel(page.dc(), 10, 9), RGB(0, 0, 0));
  DeleteObject(region);
}

TEST(GdiClipRegions, ClipIsInDeviceCoordinatesAndACopy) {
  Page page(20, 20);
  SetViewportOrgEx(page.dc(), 5, 5, nullptr);
  HRGN region = CreateRectRgn(5, 5, 10, 10);
  SelectClipRgn(page.dc(), region);
  DeleteObject(region);  // the context keeps its own copy
  EXPECT_TRUE(SetPixelV(page.dc(), 0, 0, RGB(1, 1, 1)));  // device (5, 5)
  EXPECT_FALSE(SetPixelV(page.dc(), 5, 5, RGB(1, 1, 1)));  // device (10, 10)
  RECT box;
  EXPECT_EQ(GetClipBox(page.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 5);
  EXPECT_EQ(box.bottom, 5);
}

TEST(GdiClipRegions, GetClipRgnCopiesOnlyWhenThereIsOne) {
  Page page(20, 20);
  HRGN scratch = CreateRectRgn(0, 0, 5, 5);
  EXPECT_EQ(GetClipRgn(page.dc(), scratch), 0);
  HRGN clip = CreateRectRgn(12, 3, 2, 8);  // corners in any order
  RECT box;
  EXPECT_EQ(GetRgnBox(clip, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.right, 12);
  SelectClipRgn(page.dc(), clip);
  EXPECT_EQ(GetClipRgn(page.dc(), scratch), 1);
  EXPECT_EQ(GetRgnBox(scratch, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.top, 3);
  EXPECT_EQ(box.right, 12);
  EXPECT_EQ(box.bottom, 8);
  EXPECT_EQ(GetClipRgn(page.dc(), nullptr), -1);
  DeleteObject(scratch);
  DeleteObject(clip);
}

TEST(GdiClipRegions, EmptyRegionClipsEverything) {
  Page page(8, 8);
  HRGN empty = CreateRectRgn(3, 3, 3, 9);
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
  EXPECT_EQ(box.right, 0);
  EXPECT_EQ(SelectClipRgn(page.dc(), empty), NULLREGION);
  EXPECT_FALSE(SetPixelV(page.dc(), 3, 3, RGB(1, 1, 1)));
  EXPECT_EQ(GetClipBox(page.dc(), &box), NULLREGION);
  EXPECT_EQ(SelectClipRgn(page.dc(), reinterpret_cast<HRGN>(page.bitmap())), ERROR);
  DeleteObject(empty);
}

TEST(GdiClipRegions, ClipBoxIsThePageWithoutClipping) {
  Page page(30, 20);
  SetViewportOrgEx(page.dc(), -3, 4, nullptr);
  RECT box;
  EXPECT_EQ(GetClipBox(page.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 3);
  EXPECT_EQ(box.top, -4);
  EXPECT_EQ(box.right, 33);
  EXPECT_EQ(box.bottom, 16);
}

TEST(GdiDeviceCaps, MemoryContextReportsItsBitmap) {
  Page page(123, 45);
  EXPECT_EQ(GetDeviceCaps(page.dc(), HORZRES), 123);
  EXPECT_EQ(GetDeviceCaps(page.dc(), VERTRES), 45);
  EXPECT_EQ(GetDeviceCaps(page.dc(), BITSPIXEL) * GetDeviceCaps(page.dc(), PLANES), 32);
  EXPECT_EQ(GetDeviceCaps(page.dc(), LOGPIXELSX), 96);
  EXPECT_TRUE(GetDeviceCaps(page.dc(), RASTERCAPS) & RC_BITBLT);
}

TEST(GdiDeviceCaps, WindowContextReportsTheScreen) {
  HDC dc = kelplat::gdi::create_window_dc(nullptr, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_GT(GetDeviceCaps(dc, HORZRES), 0);
  kelplat::gdi::destroy_window_dc(dc);
}

TEST(GdiPalettes, CreateSelectAndReadEntries) {
  std::vector<uint8_t> storage(sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = 3;
  logical->palPalEntry[0] = {10, 20, 30, 0};
  logical->palPalEntry[1] = {40, 50, 60, 0};
  logical->palPalEntry[2] = {70, 80, 90, 0};
  HPALETTE palette = CreatePalette(logical);
  ASSERT_NE(palette, nullptr);
  PALETTEENTRY entries[4] = {};
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 3u);
  EXPECT_EQ(GetPaletteEntries(palette, 1, 4, entries), 2u);
  EXPECT_EQ(entries[0].peRed, 40);
  EXPECT_EQ(entries[1].peBlue, 90);
  EXPECT_EQ(GetPaletteEntries(palette, 3, 1, entries), 0u);

  Page page(2, 2);
  HPALETTE old = SelectPalette(page.dc(), palette, FALSE);
  EXPECT_EQ(old, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(RealizePalette(page.dc()), 0u);
  EXPECT_FALSE(DeleteObject(palette));  // selected
  EXPECT_EQ(SelectPalette(page.dc(), old, TRUE), palette);
  EXPECT_TRUE(DeleteObject(palette));
  logical->palVersion = 0x200;
  EXPECT_EQ(CreatePalette(logical), nullptr);
  EXPECT_EQ(CreatePalette(nullptr), nullptr);
}

TEST(GdiPalettes, SystemPaletteIsTheStaticColoursThenBlack) {
  Page page(1, 1);
  PALETTEENTRY entries[24];
  std::memset(entries, 0x55, sizeof entries);
  ASSERT_EQ(GetSystemPaletteEntries(page.dc(), 0, 24, entries), 24u);
  EXPECT_EQ(entries[0].peRed + entries[0].peGreen + entries[0].peBlue, 0);
  EXPECT_EQ(entries[1].peRed, 128);  // dark red
  EXPECT_EQ(entries[7].peGreen, 192);
  EXPECT_EQ(entries[19].peRed, 255);
  EXPECT_EQ(entries[19].peBlue, 255);
  for (int i = 20; i < 24; i++) {
    EXPECT_EQ(entries[i].peRed + entries[i].peGreen + entries[i].peBlue + entries[i].peFlags, 0);
  }
  ASSERT_EQ(GetSystemPaletteEntries(page.dc(), 19, 2, entries), 2u);
  EXPECT_EQ(entries[0].peGreen, 255);
  EXPECT_EQ(entries[1].peGreen, 0);
  EXPECT_EQ(GetSystemPaletteEntries(nullptr, 0, 2, entries), 0u);
}

TEST(GdiPrinting, JobCallsFailOnOtherContexts) {
  Page page(4, 4);
  DOCINFOA doc{sizeof(DOCINFOA), "Doc", nullptr, nullptr, 0};
  EXPECT_EQ(StartDocA(page.dc(), &doc), SP_ERROR);
  EXPECT_EQ(StartPage(page.dc()), 0);
  EXPECT_EQ(EndPage(page.dc()), 0);
  EXPECT_EQ(EndDoc(page.dc()), 0);
}

// Keeps the job's calls in order and the pixel at (2, 3) of each page.
class RecordingJob : public kelplat::gdi::PrintJob {
 public:
  explicit RecordingJob(std::vector<std::string>* calls) : calls_(calls) {}
  bool start(const std::string& document) override {
    calls_->push_back("start " + document);
    return document != "refused";
  }
  void page(const kelplat::gdi::Bitmap& page) override {
    char pixel[16];
    std::snprintf(pixel, sizeof pixel, "%06X", page.row32(3)[2]);
    calls_->push_back(std::string("page ") + pixel);
  }
  bool finish() override {
    calls_->push_back("finish");
    return true;
  }

 private:
  std::vector<std::string>* calls_;
};

TEST(GdiPrinting, PrinterContextHandsOverEachPage) {
  std::vector<std::string> seen;
  HDC printer =
      kelplat::gdi::create_printer_dc(50, 40, 600, 300, std::make_shared<RecordingJob>(&seen));
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(GetDeviceCaps(printer, LOGPIXELSX), 600);
  EXPECT_EQ(GetDeviceCaps(printer, LOGPIXELSY), 300);
  EXPECT_EQ(GetDeviceCaps(printer, HORZRES), 50);
  EXPECT_EQ(GetDeviceCaps(printer, VERTRES), 40);
  EXPECT_EQ(StartPage(printer), 0);  // no document yet
  DOCINFOA refused{sizeof(DOCINFOA), "refused", nullptr, nullptr, 0};
  EXPECT_EQ(StartDocA(printer, &refused), SP_ERROR);  // the spooler said no
  EXPECT_EQ(StartPage(printer), 0);
  DOCINFOA doc{sizeof(DOCINFOA), "Doc", nullptr, nullptr, 0};
  EXPECT_GT(StartDocA(printer, &doc), 0);
  EXPECT_EQ(StartDocA(printer, &doc), SP_ERROR);  // one at a time
  EXPECT_EQ(StartPage(printer), 1);
  SetPixelV(printer, 2, 3, RGB(255, 0, 0));
  EXPECT_EQ(EndPage(printer), 1);
  EXPECT_EQ(StartPage(printer), 1);  // a fresh white page
  EXPECT_EQ(EndPage(printer), 1);
  EXPECT_EQ(EndDoc(printer), 1);
  EXPECT_EQ(EndDoc(printer), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"start refused", "start Doc", "page FF0000",
                                            "page FFFFFF", "finish"}));
  HBITMAP page = static_cast<HBITMAP>(GetCurrentObject(printer, OBJ_BITMAP));
  EXPECT_FALSE(DeleteObject(page));
  EXPECT_TRUE(DeleteDC(printer));
  EXPECT_EQ(GetObjectType(page), 0u);  // the page went with its context
  EXPECT_EQ(kelplat::gdi::create_printer_dc(1 << 30, 1 << 30, 600, 600,
                                            std::make_shared<RecordingJob>(&seen)),
            nullptr);
}

}  // namespace
