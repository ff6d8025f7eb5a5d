// Device-independent bitmap utilities: converting between device-dependent
// bitmaps and packed DIBs held in movable memory blocks, reading and writing
// DIB files, and questions about a packed DIB (size, colours, where its
// pixels start), plus palettes made from one.
//
// A packed DIB is a header (the 40-byte information header, or the 12-byte
// core header), its colour table, then the pixel rows, with no gaps. A block
// whose header size is 40 or more is read as an information header (the
// later, longer forms begin with the same fields); any other size as a core
// header. Blocks are movable (GHND): GlobalLock gives their bytes; the caller
// owns a block a function returns and frees it with GlobalFree (or
// DestroyDIB).
#ifndef KEL_DIBUTIL_H
#define KEL_DIBUTIL_H

#include "kel/wintypes.h"

// The system headers make GetObject a macro for its ANSI/wide variants; the
// library has its own function of that name.
#ifdef GetObject
#undef GetObject
#endif

// Bytes of a pixel row of `bits` bits, made up to a multiple of 32 bits.
#define WIDTHBYTES(bits) ((((bits) + 31) / 32) * 4)

#ifdef __cplusplus
extern "C" {
#endif

// GetObjectA with the same arguments and result.
KEL_API int GetObject(HANDLE h, int c, LPVOID pv);

KEL_API HANDLE BitmapToDIB(HBITMAP hBitmap, HPALETTE hPal);
KEL_API DWORD DIBWidth(LPSTR lpDIB);
KEL_API DWORD DIBHeight(LPSTR lpDIB);
KEL_API WORD DIBNumColors(LPSTR lpDIB);
KEL_API WORD PaletteSize(LPSTR lpDIB);
KEL_API LPSTR FindDIBBits(LPSTR lpDIB);
KEL_API HPALETTE CreateDIBPalette(HANDLE hDIB);
KEL_API int PalEntriesOnDevice(HDC hDC);
KEL_API HPALETTE GetSystemPalette(void);
KEL_API HANDLE AllocRoomForDIB(BITMAPINFOHEADER bi, HBITMAP hBitmap);
KEL_API HANDLE ChangeBitmapFormat(HBITMAP hBitmap, WORD wBitCount, DWORD dwCompression,
                                  HPALETTE hPal);
KEL_API HANDLE CreateDIB(DWORD dwWidth, DWORD dwHeight, WORD wBitCount);
KEL_API HBITMAP DIBToBitmap(HANDLE hDIB, HPALETTE hPal);
KEL_API HANDLE ChangeDIBFormat(HANDLE hDIB, WORD wBitCount, DWORD dwCompression);

// DIB files (also declared by graphics.h): a packed DIB read from a .bmp
// file or an open file handle, written to a file, freed.
KEL_API HANDLE LoadDIB(LPCSTR lpFileName);
KEL_API HANDLE ReadDIBFile(HANDLE hFile);
KEL_API WORD SaveDIB(HANDLE hDib, LPCSTR lpFileName);
KEL_API WORD DestroyDIB(HANDLE hDib);

#ifdef __cplusplus
}
#endif

#endif  // KEL_DIBUTIL_H
