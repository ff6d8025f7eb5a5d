// Device-independent bitmap utilities (see include/kel/dibutil.h).
//
// Sizes read from a header are computed in 64 bits and checked against the
// block that holds them, so a damaged block never leads us outside it.
#include "platform.h"
#include "kel/dibutil.h"

#include <atomic>
#include <cassert>
#include <cstring>
#include <vector>

namespace {

const DWORD kInfoHeaderSize = 40;
// Blocks we make stay well below what a 32-bit size can count.
const uint64_t kMaxBlockBytes = 0x7FFFFFFF;
// A device's palette never has more entries than this.
const int kMaxPaletteEntries = 256;

DWORD header_size(LPCSTR dib) {
  DWORD size;
  std::memcpy(&size, dib, sizeof size);
  return size;
}

bool is_info_header(LPCSTR dib) { return header_size(dib) >= kInfoHeaderSize; }

WORD bit_count(LPCSTR dib) {
  return is_info_header(dib) ? reinterpret_cast<const BITMAPINFOHEADER*>(dib)->biBitCount
                             : reinterpret_cast<const BITMAPCOREHEADER*>(dib)->bcBitCount;
}

// Row length x height of an uncompressed DIB, 0 for a negative width.
uint64_t pixel_bytes(LONG width, LONG height, WORD bits) {
  if (width < 0) return 0;
  uint64_t rows = height < 0 ? uint64_t(-int64_t(height)) : uint64_t(height);
  return WIDTHBYTES(uint64_t(width) * bits) * rows;
}

// The bit count of a new DIB for a depth: 1, 4, 8, or `above_eight`.
WORD dib_bit_count(int depth, WORD up_to_24, WORD above_24) {
  if (depth <= 1) return 1;
  if (depth <= 4) return 4;
  if (depth <= 8) return 8;
  return depth <= 24 ? up_to_24 : above_24;
}

bool format_pair_ok(WORD bits, DWORD compression) {
  switch (bits) {
    case 1:
    case 24:
      return compression == BI_RGB;
    case 4:
      return compression == BI_RGB || compression == BI_RLE4;
    case 8:
      return compression == BI_RGB || compression == BI_RLE8;
    default:
      return false;
  }
}

BITMAPINFOHEADER info_header(LONG width, LONG height, WORD bits, DWORD compression) {
  BITMAPINFOHEADER bi;
  std::memset(&bi, 0, sizeof bi);
  bi.biSize = kInfoHeaderSize;
  bi.biWidth = width;
  bi.biHeight = height;
  bi.biPlanes = 1;
  bi.biBitCount = bits;
  bi.biCompression = compression;
  return bi;
}

// A movable, zero-filled block; null when the size is absurd or not to be had.
HANDLE allocate_block(uint64_t bytes) {
  return bytes > kMaxBlockBytes ? NULL : GlobalAlloc(GHND, SIZE_T(bytes));
}

// A block locked for the scope, with its size.
class LockedBlock {
 public:
  explicit LockedBlock(HANDLE block)
      : block_(block), data_(block ? static_cast<LPSTR>(GlobalLock(block)) : NULL),
        size_(data_ ? GlobalSize(block) : 0) {}
  ~LockedBlock() {
    if (data_) GlobalUnlock(block_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  LPSTR data() const { return data_; }
  // True when the block holds the header (as long as its first field says,
  // and at least the fields of its kind) and `bytes` more after it.
  bool holds_header_and(uint64_t bytes) const {
    if (!data_ || size_ < sizeof(DWORD)) return false;
    uint64_t header = header_size(data_);
    uint64_t fields = is_info_header(data_) ? sizeof(BITMAPINFOHEADER) : sizeof(BITMAPCOREHEADER);
    return fields <= size_ && header + bytes <= size_ && fields + bytes <= size_;
  }

 private:
  HANDLE block_;
  LPSTR data_;
  SIZE_T size_;
};

// The screen's context with a palette selected and realised for the scope;
// the previous palette goes back as a foreground or background palette.
class ScreenContext {
 public:
  ScreenContext(HPALETTE palette, BOOL restore_in_background)
      : dc_(GetDC(NULL)), restore_in_background_(restore_in_background) {
    if (!dc_) return;
    if (palette) old_ = SelectPalette(dc_, palette, FALSE);
    RealizePalette(dc_);
  }
  ~ScreenContext() {
    if (!dc_) return;
    if (old_) {
      SelectPalette(dc_, old_, restore_in_background_);
      RealizePalette(dc_);
    }
    ReleaseDC(NULL, dc_);
  }
  ScreenContext(const ScreenContext&) = delete;
  ScreenContext& operator=(const ScreenContext&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  HPALETTE old_ = NULL;
  BOOL restore_in_background_;
};

// Bytes of pixel rows a block's header says follow its colour table.
uint64_t stated_pixel_bytes(LPCSTR dib) {
  if (!is_info_header(dib)) {
    const BITMAPCOREHEADER* core = reinterpret_cast<const BITMAPCOREHEADER*>(dib);
    return pixel_bytes(core->bcWidth, core->bcHeight, core->bcBitCount);
  }
  const BITMAPINFOHEADER* info = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
  if (info->biCompression == BI_RLE4 || info->biCompression == BI_RLE8) return info->biSizeImage;
  return pixel_bytes(info->biWidth, info->biHeight, info->biBitCount);
}

// Colour-table bytes that the platform reads after the header when it makes
// a bitmap from the DIB: bit-field masks, and up to 2^bits colours.
uint64_t table_bytes_read(LPCSTR dib) {
  const WORD bits = bit_count(dib);
  uint64_t bytes = 0, entries = 0;
  if (!is_info_header(dib)) {
    entries = bits <= 8 ? uint64_t(1) << bits : 0;
    return entries * sizeof(RGBTRIPLE);
  }
  const BITMAPINFOHEADER* info = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
  if (info->biCompression == BI_BITFIELDS) bytes += 3 * sizeof(DWORD);
  if (bits <= 8) {
    entries = uint64_t(1) << bits;
    if (info->biClrUsed != 0 && info->biClrUsed < entries) entries = info->biClrUsed;
  }
  return bytes + entries * sizeof(RGBQUAD);
}

// Fills the rows of a block made by AllocRoomForDIB from the bitmap, on the
// screen's context with the palette; frees the block and gives null on failure.
HANDLE fill_rows(HANDLE dib, HBITMAP bitmap, HPALETTE palette) {
  bool filled = false;
  {
    LockedBlock block(dib);
    ScreenContext screen(palette, FALSE);
    if (block.data() && screen.get()) {
      LPBITMAPINFOHEADER lpbi = reinterpret_cast<LPBITMAPINFOHEADER>(block.data());
      filled = GetDIBits(screen.get(), bitmap, 0, UINT(lpbi->biHeight), FindDIBBits(block.data()),
                         reinterpret_cast<LPBITMAPINFO>(lpbi), DIB_RGB_COLORS) != 0;
    }
  }
  if (filled) return dib;
  GlobalFree(dib);
  return NULL;
}

}  // namespace

int GetObject(HANDLE h, int c, LPVOID pv) { return GetObjectA(h, c, pv); }

// The header readers give 0 (and FindDIBBits null) for a null DIB.
DWORD DIBWidth(LPSTR lpDIB) {
  if (!lpDIB) return 0;
  if (is_info_header(lpDIB)) return DWORD(reinterpret_cast<LPBITMAPINFOHEADER>(lpDIB)->biWidth);
  return reinterpret_cast<LPBITMAPCOREHEADER>(lpDIB)->bcWidth;
}

DWORD DIBHeight(LPSTR lpDIB) {
  if (!lpDIB) return 0;
  if (is_info_header(lpDIB)) return DWORD(reinterpret_cast<LPBITMAPINFOHEADER>(lpDIB)->biHeight);
  return reinterpret_cast<LPBITMAPCOREHEADER>(lpDIB)->bcHeight;
}

WORD DIBNumColors(LPSTR lpDIB) {
  if (!lpDIB) return 0;
  if (is_info_header(lpDIB)) {
    DWORD used = reinterpret_cast<LPBITMAPINFOHEADER>(lpDIB)->biClrUsed;
    if (used != 0) return WORD(used);
  }
  switch (bit_count(lpDIB)) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

WORD PaletteSize(LPSTR lpDIB) {
  if (!lpDIB) return 0;
  return WORD(DIBNumColors(lpDIB) * (is_info_header(lpDIB) ? sizeof(RGBQUAD) : sizeof(RGBTRIPLE)));
}

LPSTR FindDIBBits(LPSTR lpDIB) {
  return lpDIB ? lpDIB + header_size(lpDIB) + PaletteSize(lpDIB) : NULL;
}

HPALETTE CreateDIBPalette(HANDLE hDIB) {
  if (!hDIB) return NULL;
  LockedBlock block(hDIB);
  if (!block.holds_header_and(0)) return NULL;
  LPSTR dib = block.data();
  WORD count = DIBNumColors(dib);
  size_t entry = is_info_header(dib) ? sizeof(RGBQUAD) : sizeof(RGBTRIPLE);
  if (count == 0 || !block.holds_header_and(uint64_t(count) * entry)) return NULL;
  std::vector<char> record(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  LPLOGPALETTE palette = reinterpret_cast<LPLOGPALETTE>(record.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = count;
  const BYTE* table = reinterpret_cast<const BYTE*>(dib + header_size(dib));
  for (WORD i = 0; i < count; ++i) {
    const BYTE* bgr = table + i * entry;
    PALETTEENTRY pe = {bgr[2], bgr[1], bgr[0], 0};
    palette->palPalEntry[i] = pe;
  }
  return CreatePalette(palette);
}

// 1 << (bits per pixel x planes). Devices of 24 bits or more would shift
// past the width of the result, so they report 1 << 24 colours.
int PalEntriesOnDevice(HDC hDC) {
  int bits = GetDeviceCaps(hDC, BITSPIXEL) * GetDeviceCaps(hDC, PLANES);
  if (bits < 0) bits = 0;
  int nColors = 1 << (bits < 24 ? bits : 24);
  assert(nColors);
  return nColors;
}

// The palette has at most 256 entries, the most a device palette holds (a
// logical palette counts its entries in 16 bits).
HPALETTE GetSystemPalette(void) {
  static std::atomic<HPALETTE> hPal(NULL);
  HDC hDC = GetDC(NULL);
  if (!hDC) return NULL;
  int count = PalEntriesOnDevice(hDC);
  if (count > kMaxPaletteEntries) count = kMaxPaletteEntries;
  std::vector<char> record(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  LPLOGPALETTE palette = reinterpret_cast<LPLOGPALETTE>(record.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = WORD(count);
  GetSystemPaletteEntries(hDC, 0, UINT(count), palette->palPalEntry);
  HPALETTE made = CreatePalette(palette);
  hPal = made;
  ReleaseDC(NULL, hDC);
  return made;
}

HANDLE AllocRoomForDIB(BITMAPINFOHEADER bi, HBITMAP hBitmap) {
  if (bi.biSize != kInfoHeaderSize) return NULL;
  const WORD table = PaletteSize(reinterpret_cast<LPSTR>(&bi));
  HANDLE dib = allocate_block(uint64_t(bi.biSize) + table);
  if (!dib) return NULL;
  LPBITMAPINFOHEADER lpbi = static_cast<LPBITMAPINFOHEADER>(GlobalLock(dib));
  if (!lpbi) {
    GlobalFree(dib);
    return NULL;
  }
  *lpbi = bi;
  HDC hDC = GetDC(NULL);
  GetDIBits(hDC, hBitmap, 0, UINT(bi.biHeight), NULL, reinterpret_cast<LPBITMAPINFO>(lpbi),
            DIB_RGB_COLORS);
  ReleaseDC(NULL, hDC);
  bi = *lpbi;
  GlobalUnlock(dib);
  uint64_t image = bi.biSizeImage ? bi.biSizeImage : pixel_bytes(bi.biWidth, bi.biHeight, bi.biBitCount);
  uint64_t total = uint64_t(bi.biSize) + table + image;
  HANDLE grown = total <= kMaxBlockBytes ? GlobalReAlloc(dib, SIZE_T(total), GMEM_MOVEABLE) : NULL;
  if (!grown) {
    GlobalFree(dib);
    return NULL;
  }
  if ((lpbi = static_cast<LPBITMAPINFOHEADER>(GlobalLock(grown))) != NULL) {
    lpbi->biSizeImage = DWORD(image);
    GlobalUnlock(grown);
  }
  return grown;
}

HANDLE BitmapToDIB(HBITMAP hBitmap, HPALETTE hPal) {
  BITMAP bm;
  if (!hBitmap || !GetObject(hBitmap, sizeof bm, &bm)) return NULL;
  if (!hPal) hPal = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  const WORD bits = dib_bit_count(bm.bmPlanes * bm.bmBitsPixel, 24, 24);
  BITMAPINFOHEADER bi = info_header(bm.bmWidth, bm.bmHeight, bits, BI_RGB);
  ScreenContext screen(hPal, TRUE);
  const WORD table = PaletteSize(reinterpret_cast<LPSTR>(&bi));
  HANDLE dib = screen.get() ? allocate_block(uint64_t(bi.biSize) + table) : NULL;
  LPBITMAPINFOHEADER lpbi = dib ? static_cast<LPBITMAPINFOHEADER>(GlobalLock(dib)) : NULL;
  if (!lpbi) {
    if (dib) GlobalFree(dib);
    return NULL;
  }
  *lpbi = bi;
  GetDIBits(screen.get(), hBitmap, 0, UINT(bi.biHeight), NULL, reinterpret_cast<LPBITMAPINFO>(lpbi),
            DIB_RGB_COLORS);
  bi = *lpbi;
  GlobalUnlock(dib);
  uint64_t image = bi.biSizeImage ? bi.biSizeImage : pixel_bytes(bi.biWidth, bi.biHeight, bits);
  uint64_t total = uint64_t(bi.biSize) + table + image;
  HANDLE grown = total <= kMaxBlockBytes ? GlobalReAlloc(dib, SIZE_T(total), GMEM_MOVEABLE) : NULL;
  lpbi = grown ? static_cast<LPBITMAPINFOHEADER>(GlobalLock(grown)) : NULL;
  if (!lpbi) {
    GlobalFree(grown ? grown : dib);
    return NULL;
  }
  lpbi->biSizeImage = DWORD(image);
  if (!GetDIBits(screen.get(), hBitmap, 0, UINT(bi.biHeight), reinterpret_cast<LPSTR>(lpbi) + bi.biSize + table,
                 reinterpret_cast<LPBITMAPINFO>(lpbi), DIB_RGB_COLORS)) {
    GlobalUnlock(grown);
    GlobalFree(grown);
    return NULL;
  }
  GlobalUnlock(grown);
  return grown;
}

HANDLE CreateDIB(DWORD dwWidth, DWORD dwHeight, WORD wBitCount) {
  const WORD bits = dib_bit_count(wBitCount, 24, 4);
  BITMAPINFOHEADER bi = info_header(LONG(dwWidth), LONG(dwHeight), bits, BI_RGB);
  uint64_t total = uint64_t(bi.biSize) + PaletteSize(reinterpret_cast<LPSTR>(&bi)) +
                   WIDTHBYTES(uint64_t(dwWidth) * bits) * dwHeight;
  HANDLE dib = allocate_block(total);
  if (!dib) return NULL;
  LPBITMAPINFOHEADER lpbi = static_cast<LPBITMAPINFOHEADER>(GlobalLock(dib));
  if (!lpbi) {
    GlobalFree(dib);
    return NULL;
  }
  *lpbi = bi;
  GlobalUnlock(dib);
  return dib;
}

HBITMAP DIBToBitmap(HANDLE hDIB, HPALETTE hPal) {
  if (!hDIB) return NULL;
  LockedBlock block(hDIB);
  if (!block.holds_header_and(0)) return NULL;
  LPSTR dib = block.data();
  // The platform reads the colour table and every pixel row the header
  // states: they must be here.
  if (!block.holds_header_and(table_bytes_read(dib)) ||
      !block.holds_header_and(uint64_t(PaletteSize(dib)) + stated_pixel_bytes(dib)))
    return NULL;
  ScreenContext screen(hPal, FALSE);
  if (!screen.get()) return NULL;
  return CreateDIBitmap(screen.get(), reinterpret_cast<LPBITMAPINFOHEADER>(dib), CBM_INIT,
                        FindDIBBits(dib), reinterpret_cast<LPBITMAPINFO>(dib), DIB_RGB_COLORS);
}

HANDLE ChangeBitmapFormat(HBITMAP hBitmap, WORD wBitCount, DWORD dwCompression, HPALETTE hPal) {
  if (!hBitmap) return NULL;
  if (wBitCount == 0) {
    if (dwCompression == BI_RLE4)
      wBitCount = 4;
    else if (dwCompression == BI_RLE8)
      wBitCount = 8;
    else
      return NULL;
  }
  BITMAP bm;
  if (!format_pair_ok(wBitCount, dwCompression) || !GetObject(hBitmap, sizeof bm, &bm)) return NULL;
  HANDLE dib = AllocRoomForDIB(info_header(bm.bmWidth, bm.bmHeight, wBitCount, dwCompression), hBitmap);
  return dib ? fill_rows(dib, hBitmap, hPal) : NULL;
}

HANDLE ChangeDIBFormat(HANDLE hDIB, WORD wBitCount, DWORD dwCompression) {
  if (!hDIB) return NULL;
  WORD own_bits;
  {
    LockedBlock block(hDIB);
    if (!block.holds_header_and(0)) return NULL;
    own_bits = bit_count(block.data());
  }
  if (wBitCount == 0) {
    wBitCount = own_bits;
    bool kept = dwCompression == BI_RGB || (dwCompression == BI_RLE4 && wBitCount == 4) ||
                (dwCompression == BI_RLE8 && wBitCount == 8);
    if (!kept) return NULL;
  } else if (!format_pair_ok(wBitCount, dwCompression)) {
    return NULL;
  }
  HPALETTE palette = CreateDIBPalette(hDIB);
  if (!palette) return NULL;
  HBITMAP bitmap = DIBToBitmap(hDIB, palette);
  BITMAP bm;
  HANDLE dib = NULL;
  if (bitmap && GetObject(bitmap, sizeof bm, &bm)) {
    dib = AllocRoomForDIB(info_header(bm.bmWidth, bm.bmHeight, wBitCount, dwCompression), bitmap);
    if (dib) dib = fill_rows(dib, bitmap, palette);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteObject(palette);
  return dib;
}
