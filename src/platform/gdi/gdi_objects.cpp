// The GDI object table, the stock objects, and the calls that work on any
// object: SelectObject, DeleteObject, GetCurrentObject, GetObjectType and
// GetObjectA.
#include <cstddef>
#include <cstring>

#include "gdi_core.h"
#include "palette_tables.h"

namespace kelplat::gdi {

GdiTable& table() { return immortal<GdiTable>(); }

std::mutex& selection_mutex() { return immortal<std::mutex>(); }

namespace {

HGDIOBJ add_stock(std::unique_ptr<GdiObject> object) {
  object->stock = true;
  return add_object<HGDIOBJ>(std::move(object));
}

HGDIOBJ stock_brush(UINT style, COLORREF color) {
  auto brush = std::make_unique<Brush>();
  brush->style = style;
  brush->color = color;
  return add_stock(std::move(brush));
}

HGDIOBJ stock_pen(DWORD style, COLORREF color) {
  auto pen = std::make_unique<Pen>();
  pen->style = style;
  pen->width = 1;
  pen->color = color;
  return add_stock(std::move(pen));
}

// Every stock font describes the platform's default font; the text engine
// resolves it when it is first used.
HGDIOBJ stock_font() {
  auto font = std::make_unique<Font>();
  font->logfont.lfHeight = 16;
  font->logfont.lfWeight = FW_BOLD;
  font->logfont.lfCharSet = ANSI_CHARSET;
  font->logfont.lfPitchAndFamily = FIXED_PITCH;
  std::strcpy(font->logfont.lfFaceName, "System");
  return add_stock(std::move(font));
}

HGDIOBJ stock_palette() {
  auto palette = std::make_unique<Palette>();
  palette->entries.assign(kStaticColors, kStaticColors + kStaticColorCount);
  return add_stock(std::move(palette));
}

struct StockObjects {
  HGDIOBJ objects[DEFAULT_GUI_FONT + 1] = {};
  HBITMAP bitmap = nullptr;

  StockObjects() {
    objects[WHITE_BRUSH] = stock_brush(BS_SOLID, RGB(255, 255, 255));
    objects[LTGRAY_BRUSH] = stock_brush(BS_SOLID, RGB(192, 192, 192));
    objects[GRAY_BRUSH] = stock_brush(BS_SOLID, RGB(128, 128, 128));
    objects[DKGRAY_BRUSH] = stock_brush(BS_SOLID, RGB(64, 64, 64));
    objects[BLACK_BRUSH] = stock_brush(BS_SOLID, RGB(0, 0, 0));
    objects[NULL_BRUSH] = stock_brush(BS_NULL, 0);
    objects[WHITE_PEN] = stock_pen(PS_SOLID, RGB(255, 255, 255));
    objects[BLACK_PEN] = stock_pen(PS_SOLID, RGB(0, 0, 0));
    objects[NULL_PEN] = stock_pen(PS_NULL, 0);
    for (int index : {OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT,
                      DEVICE_DEFAULT_FONT, SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT}) {
      objects[index] = stock_font();
    }
    objects[DEFAULT_PALETTE] = stock_palette();
    bitmap = reinterpret_cast<HBITMAP>(add_stock(make_bitmap(1, 1, 1)));
  }
};

StockObjects& stock() { return immortal<StockObjects>(); }

GdiObject* gdi_object(const void* handle) { return table().get(key(handle)); }

// Puts `object` into a context's slot; the caller holds selection_mutex().
template <class H>
HGDIOBJ replace(H& slot, GdiObject* object) {
  H old = slot;
  if (!object->stock) object->selections++;
  release_selection(old);
  slot = reinterpret_cast<H>(object->handle());
  return old;
}

HGDIOBJ select_bitmap(DeviceContext* dc, Bitmap* bitmap) {
  if (dc->type != DeviceContext::Type::Memory) return nullptr;  // window and printer targets stay
  bool held_here = key(dc->bitmap) == bitmap->handle();
  if (!bitmap->stock && bitmap->selections > 0 && !held_here) return nullptr;
  return replace(dc->bitmap, bitmap);
}

// Copies `record` to the caller's buffer by the rules of GetObjectA.
int give_record(const void* record, int needed, int size, void* buffer) {
  if (!buffer) return needed;
  if (size < needed) return 0;
  std::memcpy(buffer, record, size_t(needed));
  return needed;
}

int pen_record(const Pen& pen, int size, void* buffer) {
  if (!pen.extended) {
    LOGPEN record{pen.style, {pen.width, 0}, pen.color};
    return give_record(&record, sizeof record, size, buffer);
  }
  size_t count = pen.dashes.size();
  size_t needed = offsetof(EXTLOGPEN, elpStyleEntry) + count * sizeof(DWORD);
  std::vector<uint8_t> bytes(needed > sizeof(EXTLOGPEN) ? needed : sizeof(EXTLOGPEN));
  EXTLOGPEN head{};
  head.elpPenStyle = pen.style;
  head.elpWidth = DWORD(pen.width);
  head.elpBrushStyle = pen.is_null() ? BS_NULL : BS_SOLID;
  head.elpColor = pen.color;
  head.elpNumEntries = DWORD(count);
  std::memcpy(bytes.data(), &head, offsetof(EXTLOGPEN, elpStyleEntry));
  if (count) {
    std::memcpy(bytes.data() + offsetof(EXTLOGPEN, elpStyleEntry), pen.dashes.data(),
                count * sizeof(DWORD));
  }
  return give_record(bytes.data(), int(needed), size, buffer);
}

int bitmap_record(const Bitmap& bitmap, int size, void* buffer) {
  BITMAP record = record_of_bitmap(bitmap.width, bitmap.height, bitmap.bits_pixel);
  return give_record(&record, sizeof record, size, buffer);
}

}  // namespace

HBITMAP stock_bitmap() { return stock().bitmap; }

void release_selection(HGDIOBJ object) {
  GdiObject* held = gdi_object(object);
  if (held && !held->stock && held->selections > 0) held->selections--;
}

}  // namespace kelplat::gdi

using namespace kelplat::gdi;

HGDIOBJ WINAPI GetStockObject(int index) {
  if (index < 0 || index > DEFAULT_GUI_FONT) return nullptr;
  return stock().objects[index];
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ object) {
  DeviceContext* dc = fast_dc(hdc);
  GdiObject* selected = gdi_object(object);
  if (!dc || !selected) return nullptr;
  if (selected->kind() == OBJ_REGION) {
    return reinterpret_cast<HGDIOBJ>(intptr_t(SelectClipRgn(hdc, static_cast<HRGN>(object))));
  }
  std::lock_guard<std::mutex> lock(selection_mutex());
  switch (selected->kind()) {
    case OBJ_PEN:
      return replace(dc->pen, selected);
    case OBJ_BRUSH:
      return replace(dc->brush, selected);
    case OBJ_FONT:
      return replace(dc->font, selected);
    case OBJ_BITMAP:
      return select_bitmap(dc, static_cast<Bitmap*>(selected));
    default:  // contexts cannot be selected; palettes go through SelectPalette
      return nullptr;
  }
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  std::lock_guard<std::mutex> lock(selection_mutex());
  GdiObject* doomed = gdi_object(object);
  if (!doomed || doomed->kind() == OBJ_DC || doomed->kind() == OBJ_MEMDC) return FALSE;
  if (doomed->stock) return TRUE;
  if (doomed->selections > 0) return FALSE;
  table().erase(doomed->handle());  // the returned owner deletes the object here
  return TRUE;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
      return dc->pen;
    case OBJ_BRUSH:
      return dc->brush;
    case OBJ_FONT:
      return dc->font;
    case OBJ_BITMAP:
      return dc->bitmap;
    case OBJ_PAL:
      return dc->palette;
    default:
      return nullptr;
  }
}

DWORD WINAPI GetObjectType(HGDIOBJ object) {
  GdiObject* found = gdi_object(object);
  if (!found) return 0;
  if (found->kind() == OBJ_PEN && static_cast<Pen*>(found)->extended) return OBJ_EXTPEN;
  return DWORD(found->kind());
}

int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer) {
  GdiObject* found = gdi_object(object);
  if (!found) return 0;
  switch (found->kind()) {
    case OBJ_BITMAP:
      return bitmap_record(*static_cast<Bitmap*>(found), size, buffer);
    case OBJ_PEN:
      return pen_record(*static_cast<Pen*>(found), size, buffer);
    case OBJ_BRUSH: {
      auto* brush = static_cast<Brush*>(found);
      LOGBRUSH record{brush->style, brush->color, ULONG_PTR(brush->hatch)};
      return give_record(&record, sizeof record, size, buffer);
    }
    case OBJ_FONT:
      return give_record(&static_cast<Font*>(found)->logfont, sizeof(LOGFONTA), size, buffer);
    case OBJ_PAL: {
      WORD count = WORD(static_cast<Palette*>(found)->entries.size());
      return give_record(&count, sizeof count, size, buffer);
    }
    default:
      return 0;
  }
}
