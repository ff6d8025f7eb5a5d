// Device-independent bitmap utilities: converting between device-dependent
// bitmaps and packed DIBs held in movable memory blocks, and questions about
// a packed DIB (size, colours, where its pixels start), plus palettes made
// from one.
//
// A packed DIB is a header (the 40-byte information header, or the 12-byte
// core header), its colour table, then the pixel rows, with no gaps. A block
// whose header size is 40 or more is read as an information header (the
// later, longer forms begin with the same fields); any other size as a core
// header. Blocks are movable (GHND); the caller owns a block a function
// returns.
#ifndef KEL_DIBUTIL_H
#define KEL_DIBUTIL_H

#include "platform.h"

// The system headers make GetObject a macro for its ANSI/wide variants; the
// library has its own function of that name.
#ifdef _WIN32
#undef GetObject
#endif

// Bytes of a pixel row of `bits` bits, made up to a multiple of 32 bits.
#define WIDTHBYTES(bits) ((((bits) + 31) / 32) * 4)

// GetObjectA with the same arguments and result.
int GetObject(HANDLE h, int c, LPVOID pv);

HANDLE BitmapToDIB(HBITMAP hBitmap, HPALETTE hPal);
DWORD DIBWidth(LPSTR lpDIB);
DWORD DIBHeight(LPSTR lpDIB);
WORD DIBNumColors(LPSTR lpDIB);
WORD PaletteSize(LPSTR lpDIB);
LPSTR FindDIBBits(LPSTR lpDIB);
HPALETTE CreateDIBPalette(HANDLE hDIB);
int PalEntriesOnDevice(HDC hDC);
HPALETTE GetSystemPalette(void);
HANDLE AllocRoomForDIB(BITMAPINFOHEADER bi, HBITMAP hBitmap);
HANDLE ChangeBitmapFormat(HBITMAP hBitmap, WORD wBitCount, DWORD dwCompression, HPALETTE hPal);
HANDLE CreateDIB(DWORD dwWidth, DWORD dwHeight, WORD wBitCount);
HBITMAP DIBToBitmap(HANDLE hDIB, HPALETTE hPal);
HANDLE ChangeDIBFormat(HANDLE hDIB, WORD wBitCount, DWORD dwCompression);

#endif  // KEL_DIBUTIL_H
