// Object lifetimes, selection rules, stock objects and the records that
// GetObjectA gives back.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "gdi_test_support.h"

using gdi_test::Page;

namespace {

TEST(GdiStockObjects, EveryIndexHasTheRightKind) {
  for (int i : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH}) {
    EXPECT_EQ(GetObjectType(GetStockObject(i)), DWORD(OBJ_BRUSH)) << i;
  }
  for (int i : {WHITE_PEN, BLACK_PEN, NULL_PEN}) {
    EXPECT_EQ(GetObjectType(GetStockObject(i)), DWORD(OBJ_PEN)) << i;
  }
  for (int i : {OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT,
                SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT}) {
    EXPECT_EQ(GetObjectType(GetStockObject(i)), DWORD(OBJ_FONT)) << i;
  }
  EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_PALETTE)), DWORD(OBJ_PAL));
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_EQ(GetStockObject(-1), nullptr);
  EXPECT_EQ(GetStockObject(18), nullptr);
}

TEST(GdiStockObjects, RecordsDescribeTheDefaults) {
  LOGBRUSH brush;
  ASSERT_EQ(GetObjectA(GetStockObject(LTGRAY_BRUSH), sizeof brush, &brush), int(sizeof brush));
  EXPECT_EQ(brush.lbStyle, UINT(BS_SOLID));
  EXPECT_EQ(brush.lbColor, RGB(192, 192, 192));
  ASSERT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof brush, &brush), int(sizeof brush));
  EXPECT_EQ(brush.lbStyle, UINT(BS_NULL));

  LOGPEN pen;
  ASSERT_EQ(GetObjectA(GetStockObject(WHITE_PEN), sizeof pen, &pen), int(sizeof pen));
  EXPECT_EQ(pen.lopnStyle, UINT(PS_SOLID));
  EXPECT_EQ(pen.lopnColor, RGB(255, 255, 255));

  LOGFONTA font;
  ASSERT_EQ(GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font), int(sizeof font));
  EXPECT_EQ(font.lfHeight, 16);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(font.lfPitchAndFamily & 3, FIXED_PITCH);
  EXPECT_STREQ(font.lfFaceName, "System");

  WORD entries = 0;
  ASSERT_EQ(GetObjectA(GetStockObject(DEFAULT_PALETTE), sizeof entries, &entries), 2);
  EXPECT_EQ(entries, 20);
}

TEST(GdiStockObjects, SurviveDeleteObject) {
  HGDIOBJ pen = GetStockObject(BLACK_PEN);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
  EXPECT_EQ(GetStockObject(BLACK_PEN), pen);
}

TEST(GdiContexts, NewMemoryContextHoldsTheDefaults) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_MEMDC));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
  BITMAP info;
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof info, &info), int(sizeof info));
  EXPECT_EQ(info.bmWidth, 1);
  EXPECT_EQ(info.bmHeight, 1);
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  POINT origin{7, 7};
  ASSERT_TRUE(GetViewportOrgEx(dc, &origin));
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  // It holds only the 1 x 1 placeholder: nothing can be drawn or read.
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(GetObjectType(dc), 0u);
}

TEST(GdiSelection, SelectReturnsThePreviousObject) {
  HDC dc = CreateCompatibleDC(nullptr);
  HPEN red = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
  HPEN blue = CreatePen(PS_DASH, 1, RGB(0, 0, 255));
  EXPECT_EQ(SelectObject(dc, red), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc, blue), red);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), blue);
  EXPECT_TRUE(DeleteObject(red));  // no longer selected
  EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_PEN)), blue);
  EXPECT_TRUE(DeleteObject(blue));
  DeleteDC(dc);
}

TEST(GdiSelection, SelectedObjectsCannotBeDeleted) {
  HDC dc = CreateCompatibleDC(nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  SelectObject(dc, pen);
  SelectObject(dc, brush);
  SelectObject(dc, bitmap);
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(brush));
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));  // still there, still usable
  // DeleteDC lets go of them without deleting them.
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(pen));
}

TEST(GdiSelection, OnePenInTwoContextsCountsBoth) {
  HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  SelectObject(a, pen);
  SelectObject(b, pen);
  SelectObject(a, GetStockObject(BLACK_PEN));
  EXPECT_FALSE(DeleteObject(pen));  // b still holds it
  SelectObject(b, GetStockObject(BLACK_PEN));
  EXPECT_TRUE(DeleteObject(pen));
  DeleteDC(a);
  DeleteDC(b);
}

TEST(GdiSelection, ReselectingTheSameObjectKeepsOneHold) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBRUSH brush = CreateSolidBrush(0);
  SelectObject(dc, brush);
  EXPECT_EQ(SelectObject(dc, brush), brush);
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(brush));
  DeleteDC(dc);
}

TEST(GdiSelection, ABitmapLivesInOneMemoryContextAtATime) {
  HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
  HGDIOBJ placeholder = SelectObject(a, bitmap);
  ASSERT_NE(placeholder, nullptr);
  EXPECT_EQ(SelectObject(b, bitmap), nullptr);
  EXPECT_EQ(SelectObject(a, bitmap), bitmap);  // again into the same one is fine
  SelectObject(a, placeholder);
  EXPECT_NE(SelectObject(b, bitmap), nullptr);
  DeleteDC(b);
  DeleteDC(a);
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiSelection, WindowContextKeepsItsSurface) {
  HBITMAP surface = kelplat::gdi::create_color_bitmap(8, 8);
  HDC dc = kelplat::gdi::create_window_dc(nullptr, surface);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_DC));
  HBITMAP other = CreateBitmap(8, 8, 1, 32, nullptr);
  EXPECT_EQ(SelectObject(dc, other), nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), surface);
  EXPECT_TRUE(SetPixelV(dc, 3, 4, RGB(9, 8, 7)));
  EXPECT_EQ(GetPixel(dc, 3, 4), RGB(9, 8, 7));
  EXPECT_FALSE(DeleteDC(dc));  // window contexts go back to the window manager
  kelplat::gdi::destroy_window_dc(dc);
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_TRUE(DeleteObject(surface));
  EXPECT_TRUE(DeleteObject(other));
  EXPECT_EQ(kelplat::gdi::create_window_dc(nullptr, other), nullptr);  // deleted surface
}

TEST(GdiSelection, RegionSelectionClipsAndReturnsItsType) {
  Page page(10, 10);
  HRGN region = CreateRectRgn(2, 2, 5, 5);
  EXPECT_EQ(reinterpret_cast<intptr_t>(SelectObject(page.dc(), region)), SIMPLEREGION);
  EXPECT_TRUE(DeleteObject(region));  // the context keeps a copy
  EXPECT_TRUE(SetPixelV(page.dc(), 3, 3, RGB(1, 1, 1)));
  EXPECT_FALSE(SetPixelV(page.dc(), 6, 6, RGB(1, 1, 1)));
}

TEST(GdiObjectRecords, BitmapRecordRowsArePaddedTo16Bits) {
  HBITMAP mono = CreateBitmap(17, 3, 1, 1, nullptr);
  BITMAP info;
  ASSERT_EQ(GetObjectA(mono, sizeof info, &info), int(sizeof info));
  EXPECT_EQ(info.bmType, 0);
  EXPECT_EQ(info.bmWidth, 17);
  EXPECT_EQ(info.bmHeight, 3);
  EXPECT_EQ(info.bmWidthBytes, 4);
  EXPECT_EQ(info.bmPlanes, 1);
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(info.bmBits, nullptr);
  HBITMAP color = CreateBitmap(10, 10, 1, 32, nullptr);
  ASSERT_EQ(GetObjectA(color, sizeof info, &info), int(sizeof info));
  EXPECT_EQ(info.bmWidthBytes, 40);
  EXPECT_EQ(info.bmBitsPixel, 32);
  DeleteObject(mono);
  DeleteObject(color);
}

TEST(GdiObjectRecords, NullBufferGivesTheSizeAndSmallBufferNothing) {
  HBRUSH brush = CreateHatchBrush(HS_CROSS, RGB(1, 2, 3));
  EXPECT_EQ(GetObjectA(brush, 0, nullptr), int(sizeof(LOGBRUSH)));
  LOGBRUSH record;
  std::memset(&record, 0xAB, sizeof record);
  EXPECT_EQ(GetObjectA(brush, sizeof record - 1, &record), 0);
  EXPECT_EQ(record.lbStyle, 0xABABABABu);  // untouched
  ASSERT_EQ(GetObjectA(brush, sizeof record, &record), int(sizeof record));
  EXPECT_EQ(record.lbStyle, UINT(BS_HATCHED));
  EXPECT_EQ(record.lbHatch, ULONG_PTR(HS_CROSS));
  EXPECT_EQ(record.lbColor, RGB(1, 2, 3));
  EXPECT_EQ(GetObjectA(brush, -5, &record), 0);
  DeleteObject(brush);
}

TEST(GdiObjectRecords, ExtendedPenGivesItsDashList) {
  const DWORD dashes[4] = {3, 4, 7, 4};
  LOGBRUSH solid{BS_SOLID, RGB(10, 20, 30), 0};
  DWORD style = PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL;
  HPEN pen = ExtCreatePen(style, 5, &solid, 4, dashes);
  ASSERT_NE(pen, nullptr);
  EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_EXTPEN));
  int size = GetObjectA(pen, 0, nullptr);
  EXPECT_EQ(size, int(offsetof(EXTLOGPEN, elpStyleEntry) + 4 * sizeof(DWORD)));
  std::vector<uint8_t> bytes(size_t(size) + 8);
  ASSERT_EQ(GetObjectA(pen, int(bytes.size()), bytes.data()), size);
  EXTLOGPEN head;
  std::memcpy(&head, bytes.data(), offsetof(EXTLOGPEN, elpStyleEntry));
  EXPECT_EQ(head.elpPenStyle, 0x11107u);
  EXPECT_EQ(head.elpWidth, 5u);
  EXPECT_EQ(head.elpColor, RGB(10, 20, 30));
  EXPECT_EQ(head.elpBrushStyle, UINT(BS_SOLID));
  ASSERT_EQ(head.elpNumEntries, 4u);
  DWORD entries[4];
  std::memcpy(entries, bytes.data() + offsetof(EXTLOGPEN, elpStyleEntry), sizeof entries);
  EXPECT_EQ(std::vector<DWORD>(entries, entries + 4), std::vector<DWORD>(dashes, dashes + 4));
  EXPECT_EQ(GetObjectA(pen, size - 1, bytes.data()), 0);
  DeleteObject(pen);
}

TEST(GdiObjectRecords, PenWidthIsKeptAsGiven) {
  LOGBRUSH solid{BS_SOLID, 0, 0};
  const DWORD dashes[2] = {16, 0};
  HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, DWORD(-3), &solid, 2, dashes);
  ASSERT_NE(pen, nullptr);
  EXPECT_EQ(kelplat::gdi::lookup<kelplat::gdi::Pen>(pen)->width, -3);
  std::vector<uint8_t> bytes(size_t(GetObjectA(pen, 0, nullptr)));
  ASSERT_EQ(GetObjectA(pen, int(bytes.size()), bytes.data()), int(bytes.size()));
  EXTLOGPEN record;
  std::memcpy(&record, bytes.data(), offsetof(EXTLOGPEN, elpStyleEntry));
  EXPECT_EQ(record.elpWidth, DWORD(-3));
  DeleteObject(pen);
}

TEST(GdiObjectRecords, PaletteRecordIsItsEntryCount) {
  std::vector<uint8_t> storage(sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = 3;
  HPALETTE palette = CreatePalette(logical);
  WORD count = 0;
  EXPECT_EQ(GetObjectA(palette, sizeof count, &count), 2);
  EXPECT_EQ(count, 3);
  DeleteObject(palette);
}

TEST(GdiPens, BadDashListsFail) {
  LOGBRUSH solid{BS_SOLID, 0, 0};
  DWORD style = PS_GEOMETRIC | PS_USERSTYLE;
  DWORD many[17] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  DWORD zeros[2] = {0, 0};
  EXPECT_EQ(ExtCreatePen(style, 1, &solid, 17, many), nullptr);
  EXPECT_EQ(ExtCreatePen(style, 1, &solid, 2, nullptr), nullptr);
  EXPECT_EQ(ExtCreatePen(style, 1, &solid, 2, zeros), nullptr);
  EXPECT_EQ(ExtCreatePen(style, 1, nullptr, 2, many), nullptr);
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 1, &solid, 2, many), nullptr);
  HPEN sixteen = ExtCreatePen(style, 1, &solid, 16, many);
  EXPECT_NE(sixteen, nullptr);
  HPEN none = ExtCreatePen(style, 1, &solid, 0, nullptr);
  EXPECT_NE(none, nullptr);
  DeleteObject(sixteen);
  DeleteObject(none);
  EXPECT_EQ(CreatePen(PS_USERSTYLE, 1, 0), nullptr);
  EXPECT_EQ(CreatePen(-1, 1, 0), nullptr);
  EXPECT_EQ(CreateHatchBrush(6, 0), nullptr);
  EXPECT_EQ(CreateHatchBrush(-1, 0), nullptr);
}

TEST(GdiBrushes, PatternBrushCopiesTheBitmapsTopLeft8x8) {
  // Rows of a 1-bit bitmap padded to 16 bits: first byte the pixels.
  const uint8_t rows[16] = {0x1F, 0xFF, 0x3E, 0xFF, 0x7C, 0xFF, 0xF8, 0xFF,
                            0xF1, 0xFF, 0xE3, 0xFF, 0xC7, 0xFF, 0x8F, 0xFF};
  HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH brush = CreatePatternBrush(bitmap);
  DeleteObject(bitmap);  // the brush keeps its own copy
  auto* b = kelplat::gdi::lookup<kelplat::gdi::Brush>(brush);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->style, UINT(BS_PATTERN));
  EXPECT_FALSE(b->color_pattern);
  for (int y = 0; y < 8; y++) EXPECT_EQ(b->mono[y], rows[2 * y]) << y;
  DeleteObject(brush);
}

TEST(GdiBrushes, PatternBrushFromSmallColourBitmapTiles) {
  HBITMAP bitmap = CreateBitmap(2, 1, 1, 32, nullptr);
  const uint32_t pixels[2] = {0x112233, 0x445566};
  SetBitmapBits(bitmap, sizeof pixels, pixels);
  HBRUSH brush = CreatePatternBrush(bitmap);
  auto* b = kelplat::gdi::lookup<kelplat::gdi::Brush>(brush);
  ASSERT_TRUE(b->color_pattern);
  for (int y = 0; y < 8; y++) {
    for (int x = 0; x < 8; x++) EXPECT_EQ(b->pattern[y * 8 + x], pixels[x % 2]);
  }
  DeleteObject(brush);
  DeleteObject(bitmap);
  EXPECT_EQ(CreatePatternBrush(bitmap), nullptr);
}

TEST(GdiBitmaps, CompatibleBitmapFollowsTheContext) {
  HDC memory = CreateCompatibleDC(nullptr);  // holds the 1-bit placeholder
  HBITMAP mono = CreateCompatibleBitmap(memory, 4, 4);
  BITMAP info;
  GetObjectA(mono, sizeof info, &info);
  EXPECT_EQ(info.bmBitsPixel, 1);
  HBITMAP surface = kelplat::gdi::create_color_bitmap(4, 4);
  HDC window = kelplat::gdi::create_window_dc(nullptr, surface);
  HBITMAP color = CreateCompatibleBitmap(window, 4, 4);
  GetObjectA(color, sizeof info, &info);
  EXPECT_EQ(info.bmBitsPixel, 32);
  SelectObject(memory, color);
  HBITMAP color_too = CreateCompatibleBitmap(memory, 4, 4);
  GetObjectA(color_too, sizeof info, &info);
  EXPECT_EQ(info.bmBitsPixel, 32);
  // 0 x 0: a valid 1 x 1 monochrome bitmap.
  HBITMAP empty = CreateCompatibleBitmap(window, 0, 0);
  ASSERT_EQ(GetObjectA(empty, sizeof info, &info), int(sizeof info));
  EXPECT_EQ(info.bmWidth, 1);
  EXPECT_EQ(info.bmBitsPixel, 1);
  DeleteDC(memory);
  kelplat::gdi::destroy_window_dc(window);
  for (HBITMAP b : {mono, surface, color, color_too, empty}) EXPECT_TRUE(DeleteObject(b));
}

TEST(GdiBitmaps, AbsurdSizesFailCleanly) {
  HDC dc = kelplat::gdi::create_window_dc(nullptr, nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(dc, 1 << 20, 1 << 20), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(dc, 0x7FFFFFFF, 0x7FFFFFFF), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(dc, -1, 10), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(dc, 10, -1), nullptr);
  EXPECT_EQ(CreateBitmap(0x7FFFFFFF, 2, 1, 32, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(65536, 65536, 1, 1, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(4, 4, 2, 32, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(4, 4, 1, 8, nullptr), nullptr);
  EXPECT_EQ(kelplat::gdi::create_color_bitmap(-5, 5), nullptr);
  kelplat::gdi::destroy_window_dc(dc);
}

TEST(GdiBadHandles, EveryCallFailsHarmlessly) {
  HDC bad = reinterpret_cast<HDC>(uintptr_t(0x12345678));
  HGDIOBJ pen = GetStockObject(BLACK_PEN);
  HDC pen_as_dc = static_cast<HDC>(pen);
  for (HDC dc : {static_cast<HDC>(nullptr), bad, pen_as_dc}) {
    EXPECT_EQ(SelectObject(dc, pen), nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), nullptr);
    EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
    EXPECT_EQ(GetBkColor(dc), CLR_INVALID);
    EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);
    EXPECT_EQ(SetROP2(dc, R2_XORPEN), 0);
    EXPECT_FALSE(SetViewportOrgEx(dc, 1, 1, nullptr));
    EXPECT_FALSE(MoveToEx(dc, 1, 1, nullptr));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_FALSE(SetPixelV(dc, 0, 0, 0));
    EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(SelectClipRgn(dc, nullptr), ERROR);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0);
    if (dc) {  // null means "like the screen"
      EXPECT_EQ(CreateCompatibleDC(dc), nullptr);
    }
    EXPECT_EQ(CreateCompatibleBitmap(dc, 4, 4), nullptr);
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(StartDocA(dc, nullptr), SP_ERROR);
  }
  EXPECT_FALSE(DeleteObject(nullptr));
  EXPECT_FALSE(DeleteObject(bad));
  EXPECT_EQ(GetObjectType(bad), 0u);
  EXPECT_EQ(GetObjectA(bad, 100, nullptr), 0);
  EXPECT_EQ(CreatePatternBrush(nullptr), nullptr);
  EXPECT_EQ(GetBitmapBits(nullptr, 4, nullptr), 0);
}

TEST(GdiBadHandles, DeletedHandleIsNotReused) {
  HPEN first = CreatePen(PS_SOLID, 1, 0);
  DeleteObject(first);
  HBRUSH second = CreateSolidBrush(0);  // may take the freed slot
  EXPECT_EQ(GetObjectType(first), 0u);
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(dc, first), nullptr);
  DeleteDC(dc);
  DeleteObject(second);
}

TEST(GdiBadHandles, HandlesOfOtherKindsOrTablesAreRefused) {
  HDC dc = CreateCompatibleDC(nullptr);
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
  HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // Objects of the table where another kind is wanted.
  EXPECT_EQ(CreatePatternBrush(reinterpret_cast<HBITMAP>(brush)), nullptr);
  EXPECT_EQ(SelectClipRgn(dc, reinterpret_cast<HRGN>(pen)), ERROR);
  EXPECT_EQ(SelectPalette(dc, reinterpret_cast<HPALETTE>(brush), FALSE), nullptr);
  EXPECT_EQ(GetBitmapBits(reinterpret_cast<HBITMAP>(dc), 0, nullptr), 0);
  EXPECT_EQ(SelectObject(dc, dc), nullptr);
  EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(brush), pen), nullptr);
  // A handle of the kernel's table names nothing here, and the reverse.
  EXPECT_EQ(GetObjectType(event), 0u);
  EXPECT_FALSE(DeleteObject(event));
  EXPECT_EQ(SelectObject(dc, event), nullptr);
  EXPECT_EQ(SetTextColor(static_cast<HDC>(event), 0), CLR_INVALID);
  EXPECT_EQ(WaitForSingleObject(pen, 0), WAIT_FAILED);
  // Nothing was changed or lost on the way.
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
  EXPECT_EQ(GetObjectType(brush), DWORD(OBJ_BRUSH));
  LOGPEN record;
  ASSERT_EQ(GetObjectA(pen, sizeof record, &record), int(sizeof record));
  EXPECT_EQ(record.lopnWidth.x, 3);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteDC(dc));
  CloseHandle(event);
}

TEST(GdiSelection, ContextsOnManyThreadsShareStockObjects) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; t++) {
    threads.emplace_back([] {
      for (int i = 0; i < 200; i++) {
        HDC dc = CreateCompatibleDC(nullptr);
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(i, 0, 0));
        SelectObject(dc, pen);
        SelectObject(dc, GetStockObject(WHITE_PEN));
        SelectObject(dc, pen);
        EXPECT_FALSE(DeleteObject(pen));
        EXPECT_TRUE(DeleteDC(dc));
        EXPECT_TRUE(DeleteObject(pen));
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_PEN)), DWORD(OBJ_PEN));
}

}  // namespace
