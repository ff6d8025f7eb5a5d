// Graphics device interface: device contexts, pens, brushes, bitmaps, DIBs,
// palettes, regions, fonts, text and printing.
// Part of the portable platform's interface; programs and the library include
// the umbrella platform.h, never this header alone.
#ifndef KEL_PLATFORM_GDI_H
#define KEL_PLATFORM_GDI_H

#include "platform/base.h"

typedef struct tagLOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
} LOGBRUSH;

typedef struct tagLOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;
  COLORREF lopnColor;
} LOGPEN;

typedef struct tagEXTLOGPEN {
  DWORD elpPenStyle;
  DWORD elpWidth;
  UINT elpBrushStyle;
  COLORREF elpColor;
  ULONG_PTR elpHatch;
  DWORD elpNumEntries;
  DWORD elpStyleEntry[1];
} EXTLOGPEN;

typedef struct tagBITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
} BITMAP;

#define LF_FACESIZE 32
typedef struct tagLOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
} LOGFONTA;

#pragma pack(push, 2)
typedef struct tagBITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
} BITMAPFILEHEADER;
#pragma pack(pop)

typedef struct tagPALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
} PALETTEENTRY, *LPPALETTEENTRY;

typedef struct tagLOGPALETTE {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[1];
} LOGPALETTE, *LPLOGPALETTE;

typedef struct _DOCINFOA {
  int cbSize;
  LPCSTR lpszDocName;
  LPCSTR lpszOutput;
  LPCSTR lpszDatatype;
  DWORD fwType;
} DOCINFOA;

// graphics device interface
#define CLR_INVALID 0xFFFFFFFFu
#define HGDI_ERROR ((HANDLE)(LONG_PTR)-1)
#define GDI_ERROR 0xFFFFFFFFL
#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

// stock objects
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17

// object kinds of GetCurrentObject / GetObjectType
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_PAL 5
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_MEMDC 10
#define OBJ_EXTPEN 11

// pens
#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6
#define PS_USERSTYLE 7
#define PS_ALTERNATE 8
#define PS_STYLE_MASK 0x0000000F
#define PS_ENDCAP_ROUND 0x00000000
#define PS_ENDCAP_SQUARE 0x00000100
#define PS_ENDCAP_FLAT 0x00000200
#define PS_ENDCAP_MASK 0x00000F00
#define PS_JOIN_ROUND 0x00000000
#define PS_JOIN_BEVEL 0x00001000
#define PS_JOIN_MITER 0x00002000
#define PS_JOIN_MASK 0x0000F000
#define PS_COSMETIC 0x00000000
#define PS_GEOMETRIC 0x00010000
#define PS_TYPE_MASK 0x000F0000

// brushes
#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define BS_HATCHED 2
#define BS_PATTERN 3
#define BS_DIBPATTERN 5
#define HS_HORIZONTAL 0
#define HS_VERTICAL 1
#define HS_FDIAGONAL 2
#define HS_BDIAGONAL 3
#define HS_CROSS 4
#define HS_DIAGCROSS 5

// mix modes and raster operations
#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16
#define SRCCOPY 0x00CC0020u
#define SRCPAINT 0x00EE0086u
#define SRCAND 0x008800C6u
#define SRCINVERT 0x00660046u
#define SRCERASE 0x00440328u
#define NOTSRCCOPY 0x00330008u
#define NOTSRCERASE 0x001100A6u
#define PATCOPY 0x00F00021u
#define PATINVERT 0x005A0049u
#define DSTINVERT 0x00550009u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4
#define STRETCH_DELETESCANS COLORONCOLOR
#define STRETCH_HALFTONE HALFTONE

// background modes, fill modes, arc direction
#define TRANSPARENT 1
#define OPAQUE 2
#define ALTERNATE 1
#define WINDING 2
#define AD_COUNTERCLOCKWISE 1
#define AD_CLOCKWISE 2

// flood fill
#define FLOODFILLBORDER 0
#define FLOODFILLSURFACE 1

// text alignment
#define TA_NOUPDATECP 0
#define TA_UPDATECP 1
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24
#define TA_MASK (TA_BASELINE + TA_CENTER + TA_UPDATECP)

// fonts
#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700
#define DEFAULT_CHARSET 1
#define ANSI_CHARSET 0
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define NONANTIALIASED_QUALITY 3
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
#define FF_SCRIPT 0x40
#define FF_DECORATIVE 0x50

// device capabilities
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define SIZEPALETTE 104
#define RC_BITBLT 1
#define RC_PALETTE 0x0100
#define RC_STRETCHBLT 0x0800

// device-independent bitmaps
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1
#define CBM_INIT 0x04L

// functions
HDC WINAPI CreateCompatibleDC(HDC hdc);
BOOL WINAPI DeleteDC(HDC hdc);
HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int width, int height);
HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel,
                            const void* bits);
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ object);
BOOL WINAPI DeleteObject(HGDIOBJ object);
HGDIOBJ WINAPI GetStockObject(int index);
HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type);
DWORD WINAPI GetObjectType(HGDIOBJ object);
int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer);
HPEN WINAPI ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD style_count,
                         const DWORD* style_entries);
HPEN WINAPI CreatePen(int style, int width, COLORREF color);
HBRUSH WINAPI CreateSolidBrush(COLORREF color);
HBRUSH WINAPI CreateHatchBrush(int hatch, COLORREF color);
HBRUSH WINAPI CreatePatternBrush(HBITMAP bitmap);
COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color);
COLORREF WINAPI GetTextColor(HDC hdc);
COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color);
COLORREF WINAPI GetBkColor(HDC hdc);
int WINAPI SetBkMode(HDC hdc, int mode);
int WINAPI GetBkMode(HDC hdc);
int WINAPI SetROP2(HDC hdc, int mode);
int WINAPI GetROP2(HDC hdc);
BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old);
BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT origin);
BOOL WINAPI LPtoDP(HDC hdc, LPPOINT points, int count);
BOOL WINAPI DPtoLP(HDC hdc, LPPOINT points, int count);
BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT old);
BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT point);
BOOL WINAPI LineTo(HDC hdc, int x, int y);
BOOL WINAPI Polyline(HDC hdc, const POINT* points, int count);
BOOL WINAPI Polygon(HDC hdc, const POINT* points, int count);
BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL WINAPI Arc(HDC hdc, int left, int top, int right, int bottom, int x_start, int y_start,
                int x_end, int y_end);
BOOL WINAPI Pie(HDC hdc, int left, int top, int right, int bottom, int x_start, int y_start,
                int x_end, int y_end);
BOOL WINAPI FloodFill(HDC hdc, int x, int y, COLORREF border);
BOOL WINAPI ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type);
BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color);
COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color);
COLORREF WINAPI GetPixel(HDC hdc, int x, int y);
HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom);
int WINAPI SelectClipRgn(HDC hdc, HRGN region);
int WINAPI GetClipRgn(HDC hdc, HRGN region);
int WINAPI GetClipBox(HDC hdc, LPRECT rect);
int WINAPI GetRgnBox(HRGN region, LPRECT rect);
BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int x_src, int y_src,
                   DWORD rop);
BOOL WINAPI StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int x_src,
                       int y_src, int width_src, int height_src, DWORD rop);
int WINAPI SetStretchBltMode(HDC hdc, int mode);
LONG WINAPI GetBitmapBits(HBITMAP bitmap, LONG bytes, LPVOID bits);
LONG WINAPI SetBitmapBits(HBITMAP bitmap, DWORD bytes, const void* bits);
int WINAPI GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits,
                     LPBITMAPINFO info, UINT usage);
int WINAPI SetDIBitsToDevice(HDC hdc, int x, int y, DWORD width, DWORD height, int x_src,
                             int y_src, UINT start, UINT lines, const void* bits,
                             const BITMAPINFO* info, UINT usage);
int WINAPI StretchDIBits(HDC hdc, int x, int y, int width, int height, int x_src, int y_src,
                         int width_src, int height_src, const void* bits, const BITMAPINFO* info,
                         UINT usage, DWORD rop);
HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init,
                              const void* bits, const BITMAPINFO* info, UINT usage);
int WINAPI GetDeviceCaps(HDC hdc, int index);
HPALETTE WINAPI CreatePalette(const LOGPALETTE* palette);
HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE palette, BOOL force_background);
UINT WINAPI RealizePalette(HDC hdc);
UINT WINAPI GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, LPPALETTEENTRY entries);
UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries);

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strike_out, DWORD char_set,
                         DWORD out_precision, DWORD clip_precision, DWORD quality,
                         DWORD pitch_and_family, LPCSTR face_name);
UINT WINAPI SetTextAlign(HDC hdc, UINT align);
UINT WINAPI GetTextAlign(HDC hdc);
BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR text, int length);
BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, LPSIZE size);

int WINAPI StartDocA(HDC hdc, const DOCINFOA* doc);
int WINAPI EndDoc(HDC hdc);
int WINAPI StartPage(HDC hdc);
int WINAPI EndPage(HDC hdc);

// Extensions of the portable platform, for the library's screen images: rows
// copied straight between a context's target and the caller's memory, in the
// format of a bitmap compatible with the context as GetBitmapBits gives its
// bits (top row first, bmWidthBytes apart). They work on 32-bit targets only
// and fail (FALSE, nothing done) on any other.
// - KelImageRecord: the BITMAP record (bmBits null) of the bitmap that
//   CreateCompatibleBitmap(hdc, width, height) would make, without making
//   it; FALSE when no bitmap of that size would be made.
// - KelGetImage: copies the record's width x height pixels at logical (x, y)
//   into `bits`; pixels beyond the target come out 0. The clip region does
//   not apply.
// - KelPutImage: combines the rows with the target at logical (x, y) by the
//   raster operation, as BitBlt from a bitmap holding them does, clipped like
//   every drawing.
BOOL WINAPI KelImageRecord(HDC hdc, int width, int height, BITMAP* record);
BOOL WINAPI KelGetImage(HDC hdc, int x, int y, const BITMAP* record, void* bits);
BOOL WINAPI KelPutImage(HDC hdc, int x, int y, const BITMAP* record, const void* bits, DWORD rop);

#endif  // KEL_PLATFORM_GDI_H
