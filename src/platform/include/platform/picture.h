// Picture objects: streams over movable memory and pictures loaded from them
// (bitmaps, icons, metafiles, compressed images) that render into a device
// context.
// Part of the portable platform's interface; programs and the library include
// the umbrella platform.h, never this header alone.
#ifndef KEL_PLATFORM_PICTURE_H
#define KEL_PLATFORM_PICTURE_H

#include "platform/base.h"

typedef LONG OLE_XPOS_HIMETRIC;
typedef LONG OLE_YPOS_HIMETRIC;
typedef LONG OLE_XSIZE_HIMETRIC;
typedef LONG OLE_YSIZE_HIMETRIC;

typedef struct _GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID, IID;
typedef const IID& REFIID;

// Streams and pictures are objects with a reference count; Release() frees
// them when the last reference goes.
struct IUnknown {
  virtual HRESULT QueryInterface(REFIID riid, void** out) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};
struct IStream : IUnknown {
 protected:
  ~IStream() = default;
};
typedef IStream* LPSTREAM;
struct IPicture : IUnknown {
  virtual HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) = 0;
  virtual HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) = 0;
  virtual HRESULT Render(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc,
                         OLE_YPOS_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc,
                         OLE_YSIZE_HIMETRIC cySrc, LPCRECT pRcWBounds) = 0;

 protected:
  ~IPicture() = default;
};
typedef IPicture* LPPICTURE;
extern const IID IID_IPicture;

// functions
HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL memory, BOOL delete_on_release, LPSTREAM* stream);
HRESULT WINAPI OleLoadPicture(LPSTREAM stream, LONG size, BOOL run_mode, REFIID riid,
                              LPVOID* out);

#endif  // KEL_PLATFORM_PICTURE_H
