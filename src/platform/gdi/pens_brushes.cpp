// Pens and brushes.
#include "gdi_core.h"

namespace kelplat::gdi {
namespace {

constexpr DWORD kMaxDashes = 16;

bool dash_list_ok(DWORD style, DWORD count, const DWORD* entries) {
  if ((style & PS_STYLE_MASK) != PS_USERSTYLE) return count == 0;
  if (count > kMaxDashes || (count > 0 && !entries)) return false;
  uint64_t total = 0;
  for (DWORD i = 0; i < count; i++) total += entries[i];
  return count == 0 || total > 0;  // an all-zero list would never advance
}

// Copies the 8 x 8 top-left pixels of a bitmap (tiled when it is smaller)
// into the brush.
void take_pattern(Brush& brush, Bitmap& bitmap) {
  brush.color_pattern = bitmap.is_color();
  for (int y = 0; y < 8; y++) {
    int row = y % bitmap.height;
    for (int x = 0; x < 8; x++) {
      int column = x % bitmap.width;
      if (brush.color_pattern) {
        brush.pattern[y * 8 + x] = bitmap.row32(row)[column] & 0xFFFFFF;
      } else {
        const uint8_t* bits = bitmap.bytes() + size_t(row) * size_t(bitmap.stride);
        bool one = (bits[column >> 3] >> (7 - (column & 7))) & 1;
        if (one) brush.mono[y] |= uint8_t(0x80 >> x);
      }
    }
  }
}

}  // namespace
}  // namespace kelplat::gdi

using namespace kelplat::gdi;

HPEN WINAPI ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD style_count,
                         const DWORD* style_entries) {
  if (!brush || !dash_list_ok(style, style_count, style_entries)) return nullptr;
  auto pen = std::make_unique<Pen>();
  pen->extended = true;
  pen->style = brush->lbStyle == BS_NULL ? (style & ~DWORD(PS_STYLE_MASK)) | PS_NULL : style;
  pen->width = int(width);  // kept as given: a negative int passed as DWORD comes back as is
  pen->color = brush->lbColor;
  pen->dashes.assign(style_entries, style_entries + style_count);
  return add_object<HPEN>(std::move(pen));
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
  auto pen = std::make_unique<Pen>();
  pen->style = DWORD(style);
  pen->width = width;
  pen->color = color;
  return add_object<HPEN>(std::move(pen));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  auto brush = std::make_unique<Brush>();
  brush->style = BS_SOLID;
  brush->color = color;
  return add_object<HBRUSH>(std::move(brush));
}

HBRUSH WINAPI CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto brush = std::make_unique<Brush>();
  brush->style = BS_HATCHED;
  brush->hatch = hatch;
  brush->color = color;
  return add_object<HBRUSH>(std::move(brush));
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP handle) {
  Bitmap* bitmap = fast_bitmap(handle);
  if (!bitmap) return nullptr;
  auto brush = std::make_unique<Brush>();
  brush->style = BS_PATTERN;
  take_pattern(*brush, *bitmap);
  return add_object<HBRUSH>(std::move(brush));
}
