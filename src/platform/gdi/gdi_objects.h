// Objects of the graphics device interface: device contexts, bitmaps, pens,
// brushes, fonts, regions and palettes, all kept in one handle table.
//
// Pixel rule: a 32-bit bitmap stores each pixel as the bytes blue, green,
// red, 0, rows top to bottom; read as a little-endian uint32 a pixel is
// 0x00RRGGBB, while a COLORREF is 0x00BBGGRR (see to_pixel / to_colorref).
#ifndef KEL_PLATFORM_GDI_OBJECTS_H
#define KEL_PLATFORM_GDI_OBJECTS_H

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "handle_table.h"
#include "platform.h"

namespace kelplat::gdi {

inline uint32_t to_pixel(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF to_colorref(uint32_t p) {
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

// Base of every object in the table; `stock` objects are never deleted and
// `selections` counts the device contexts that hold the object now. Each
// class below tells by `holds(kind)` which kinds it is the class of, so a
// lookup checks the kind and needs no run-time type information.
class GdiObject : public Object {
 public:
  explicit GdiObject(int kind) : Object(kind) {}
  static bool holds(int) { return true; }
  bool stock = false;
  int selections = 0;
};

using GdiTable = HandleTable<kGdiTable, GdiObject>;
GdiTable& table();

// A bitmap: 32 bits per pixel (compatible with pages and windows) or 1 bit
// per pixel (monochrome, used for pattern brushes). Rows are top to bottom;
// a row is `stride` bytes (32 bpp: width * 4, one cache line more when that
// is a multiple of 256 from 1 KiB on; 1 bpp: padded to 16 bits).
class Bitmap : public GdiObject {
 public:
  static bool holds(int kind) { return kind == OBJ_BITMAP; }
  Bitmap(int width, int height, int bits_pixel);
  int width;
  int height;
  int bits_pixel;  // 1 or 32
  int stride;      // bytes per row
  std::vector<uint32_t> storage;  // 32-bit aligned pixel bytes
  uint8_t* bytes() { return reinterpret_cast<uint8_t*>(storage.data()); }
  uint32_t* row32(int y) { return storage.data() + size_t(y) * (stride / 4); }
  const uint32_t* row32(int y) const { return storage.data() + size_t(y) * (stride / 4); }
  bool is_color() const { return bits_pixel == 32; }
};

class Pen : public GdiObject {
 public:
  static bool holds(int kind) { return kind == OBJ_PEN; }
  Pen() : GdiObject(OBJ_PEN) {}
  DWORD style = PS_SOLID;  // full style word: type, end cap, join, dash style
  int width = 1;           // pixels (<= 1 draws one pixel wide)
  COLORREF color = 0;
  std::vector<DWORD> dashes;  // PS_USERSTYLE: dash, gap, dash, gap ... in pixels
  bool extended = false;      // made by ExtCreatePen (an OBJ_EXTPEN with an EXTLOGPEN record)
  bool is_null() const { return (style & PS_STYLE_MASK) == PS_NULL; }
};

class Brush : public GdiObject {
 public:
  static bool holds(int kind) { return kind == OBJ_BRUSH; }
  Brush() : GdiObject(OBJ_BRUSH) {}
  UINT style = BS_SOLID;  // BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN
  COLORREF color = 0;     // solid and hatch colour
  int hatch = 0;          // HS_* for BS_HATCHED
  // BS_PATTERN with a monochrome bitmap: 8 rows of 8 pixels, bit 7 leftmost;
  // a 0 bit paints the DC's text colour, a 1 bit its background colour.
  uint8_t mono[8] = {};
  // BS_PATTERN with a colour bitmap: 8 x 8 pixels (0x00RRGGBB).
  bool color_pattern = false;
  uint32_t pattern[64] = {};
};

class Region : public GdiObject {
 public:
  static bool holds(int kind) { return kind == OBJ_REGION; }
  Region() : GdiObject(OBJ_REGION) {}
  RECT rect{0, 0, 0, 0};  // right and bottom exclusive; empty when not positive
};

class Palette : public GdiObject {
 public:
  static bool holds(int kind) { return kind == OBJ_PAL; }
  Palette() : GdiObject(OBJ_PAL) {}
  std::vector<PALETTEENTRY> entries;
};

// The text engine keeps what it needs for a font behind this pointer; it is
// built on first use, under `mutex`.
struct FontInstance;
class Font : public GdiObject {
 public:
  static bool holds(int kind) { return kind == OBJ_FONT; }
  Font() : GdiObject(OBJ_FONT) {}
  LOGFONTA logfont{};
  std::mutex mutex;
  std::shared_ptr<FontInstance> instance;  // under mutex
  // The same instance once it is made, for text calls that read it without
  // the lock; it lives as long as the font.
  std::atomic<FontInstance*> ready{nullptr};
};

class PrintJob;  // printers.h
// A pen or brush as the rasterizer realised it for a context (see
// raster_calls.cpp).
struct RealizedPen;
struct RealizedBrush;

// A device context. Memory contexts draw on the bitmap selected into them;
// window contexts draw on the window's shown picture (a 32-bit bitmap the
// window manager owns); printer contexts on a page bitmap of the job.
class DeviceContext : public GdiObject {
 public:
  static bool holds(int kind) { return kind == OBJ_DC || kind == OBJ_MEMDC; }
  enum class Type { Memory, Window, Printer };
  explicit DeviceContext(Type t) : GdiObject(t == Type::Memory ? OBJ_MEMDC : OBJ_DC), type(t) {}
  Type type;
  HWND window = nullptr;

  HBITMAP bitmap = nullptr;  // selected bitmap (the target's pixels)
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  HPALETTE palette = nullptr;

  COLORREF text_color = 0x000000;
  COLORREF bk_color = 0xFFFFFF;
  int bk_mode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretch_mode = BLACKONWHITE;
  UINT text_align = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  POINT viewport_org{0, 0};  // logical (0,0) maps to this device point
  POINT position{0, 0};      // current position, logical coordinates
  bool has_clip = false;
  RECT clip{0, 0, 0, 0};  // device coordinates, right/bottom exclusive
  int dpi_x = 96;
  int dpi_y = 96;
  int raster_caps = RC_BITBLT | RC_STRETCHBLT;  // GetDeviceCaps(RASTERCAPS)
  std::shared_ptr<const RealizedPen> realized_pen;
  std::shared_ptr<const RealizedBrush> realized_brush;

  // Printer contexts: where the job stands (0 no document, 1 in a document,
  // 2 in a page) and the job that receives the document.
  int print_state = 0;
  std::shared_ptr<PrintJob> job;

  // The target bitmap (null when none is selected, when it was deleted, and
  // for the 1 x 1 placeholder that a new memory context holds).
  Bitmap* target() const;
  // Device rectangle that drawing may touch: the target's bounds, intersected
  // with the clip rectangle when there is one. Empty when nothing can be drawn.
  RECT drawable() const;
};

// The object of class T named by `handle`, or null (also when the handle
// names an object of another kind).
template <class T>
T* lookup(const void* handle) {
  GdiObject* object = table().get(reinterpret_cast<uintptr_t>(handle));
  return object && T::holds(object->kind()) ? static_cast<T*>(object) : nullptr;
}

// For the window manager: a window's shown picture and its contexts.
// A window context draws on `surface` without holding it (the surface stays
// deletable; a context whose surface is gone draws nothing); a null surface
// gives a screen context that draws nothing. SelectObject cannot replace the
// surface, and DeleteDC refuses window contexts: destroy_window_dc ends them.
HBITMAP create_color_bitmap(int width, int height);
HDC create_window_dc(HWND hwnd, HBITMAP surface);
void destroy_window_dc(HDC hdc);

// For a print path: a printer context drawing on a white page bitmap of
// width x height pixels (owned by the context, freed by DeleteDC) at the
// given resolution, in the printer's default font. The job calls go to
// `job` (printers.h). Null for a refused size.
HDC create_printer_dc(int width, int height, int dpi_x, int dpi_y, std::shared_ptr<PrintJob> job);
// Tells a printer context's job about a call made on it (in words, for jobs
// that keep a record); nothing for other contexts.
void note_printer_call(const DeviceContext& dc, const std::string& call);

}  // namespace kelplat::gdi

#endif  // KEL_PLATFORM_GDI_OBJECTS_H
