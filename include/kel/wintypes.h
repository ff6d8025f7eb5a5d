// The Windows types that kel's DIB utilities and error-box helpers take and
// give, and the calls that reach a movable memory block's bytes.
//
// On Windows they are the system's own (windows.h). Elsewhere kel supplies
// them, declared the same way, and GlobalLock, GlobalUnlock and GlobalFree
// are kel's.
#ifndef KEL_WINTYPES_H
#define KEL_WINTYPES_H

#include "kel/export.h"

#ifdef _WIN32

#include <windows.h>
#define KEL_HWND_DECLARED

#else

#include <stddef.h>
#include <stdint.h>

#define WINAPI
#define CALLBACK
#define APIENTRY

// ---------------------------------------------------------------- base types
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef unsigned int UINT;
typedef char CHAR;
typedef short SHORT;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef ULONG_PTR DWORD_PTR;
typedef ULONG_PTR SIZE_T;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD COLORREF;
typedef LONG HRESULT;
typedef DWORD* LPDWORD;
typedef LONG* PLONG;
typedef BYTE* LPBYTE;
typedef WORD ATOM;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define KEL_DECLARE_HANDLE(name) \
  struct name##__ {              \
    int unused;                  \
  };                             \
  typedef struct name##__* name

typedef void* HANDLE;
typedef HANDLE HGLOBAL;
typedef HANDLE HLOCAL;
typedef void* HGDIOBJ;
struct HWND__ {
  int unused;
};
#ifndef KEL_HWND_DECLARED
#define KEL_HWND_DECLARED
typedef struct HWND__* HWND;
#endif
KEL_DECLARE_HANDLE(HDC);
KEL_DECLARE_HANDLE(HPEN);
KEL_DECLARE_HANDLE(HBRUSH);
KEL_DECLARE_HANDLE(HBITMAP);
KEL_DECLARE_HANDLE(HFONT);
KEL_DECLARE_HANDLE(HRGN);
KEL_DECLARE_HANDLE(HPALETTE);
KEL_DECLARE_HANDLE(HMENU);
KEL_DECLARE_HANDLE(HICON);
KEL_DECLARE_HANDLE(HINSTANCE);
typedef HICON HCURSOR;
typedef HINSTANCE HMODULE;

typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER, *LPBITMAPINFOHEADER;

typedef struct tagBITMAPCOREHEADER {
  DWORD bcSize;
  WORD bcWidth;
  WORD bcHeight;
  WORD bcPlanes;
  WORD bcBitCount;
} BITMAPCOREHEADER, *LPBITMAPCOREHEADER;

typedef struct tagRGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD;

typedef struct tagRGBTRIPLE {
  BYTE rgbtBlue;
  BYTE rgbtGreen;
  BYTE rgbtRed;
} RGBTRIPLE;

typedef struct tagBITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO, *LPBITMAPINFO;

// biCompression
#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L

#ifdef __cplusplus
extern "C" {
#endif
// A movable block's bytes, valid until the matching GlobalUnlock; null for a
// null or freed handle.
KEL_API LPVOID WINAPI GlobalLock(HGLOBAL memory);
KEL_API BOOL WINAPI GlobalUnlock(HGLOBAL memory);
// Frees the block; null on success, the handle when it was not freed.
KEL_API HGLOBAL WINAPI GlobalFree(HGLOBAL memory);
#ifdef __cplusplus
}
#endif

#endif  // _WIN32

#endif  // KEL_WINTYPES_H
