// Single pixels: SetPixelV, SetPixel and GetPixel. These sit on the hottest
// drawing path, so each is a table lookup, a bounds check and a load or store.
#include "gdi_core.h"

namespace kelplat::gdi {
namespace {

// The target of the context when the logical point lies in its drawable
// area (target bounds and clip rectangle); the device point comes back in
// `px`, `py`.
inline Bitmap* pixel_target(HDC hdc, int x, int y, int& px, int& py) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc) return nullptr;
  Bitmap* bitmap = dc->target();
  if (!bitmap) return nullptr;
  int64_t dx = int64_t(x) + dc->viewport_org.x;
  int64_t dy = int64_t(y) + dc->viewport_org.y;
  if (dx < 0 || dy < 0 || dx >= bitmap->width || dy >= bitmap->height) return nullptr;
  if (dc->has_clip && (dx < dc->clip.left || dx >= dc->clip.right || dy < dc->clip.top ||
                       dy >= dc->clip.bottom)) {
    return nullptr;
  }
  px = int(dx);
  py = int(dy);
  return bitmap;
}

}  // namespace
}  // namespace kelplat::gdi

using namespace kelplat::gdi;

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  int px, py;
  Bitmap* bitmap = pixel_target(hdc, x, y, px, py);
  if (!bitmap) return FALSE;
  write_pixel(*bitmap, px, py, to_pixel(color));
  return TRUE;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  int px, py;
  Bitmap* bitmap = pixel_target(hdc, x, y, px, py);
  if (!bitmap) return CLR_INVALID;
  write_pixel(*bitmap, px, py, to_pixel(color));
  return to_colorref(read_pixel(*bitmap, px, py));
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  int px, py;
  Bitmap* bitmap = pixel_target(hdc, x, y, px, py);
  if (!bitmap) return CLR_INVALID;
  return to_colorref(read_pixel(*bitmap, px, py));
}
