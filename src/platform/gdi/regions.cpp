// Rectangular regions and the clip rectangle of a context.
#include <algorithm>

#include "gdi_core.h"

namespace kelplat::gdi {
namespace {

bool empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

int region_type(const RECT& r) { return empty(r) ? NULLREGION : SIMPLEREGION; }

Region* region_of(HRGN handle) { return lookup<Region>(handle); }

}  // namespace
}  // namespace kelplat::gdi

using namespace kelplat::gdi;

HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom) {
  auto region = std::make_unique<Region>();
  RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right),
         std::max(top, bottom)};
  region->rect = empty(r) ? RECT{0, 0, 0, 0} : r;
  return add_object<HRGN>(std::move(region));
}

int WINAPI SelectClipRgn(HDC hdc, HRGN handle) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc) return ERROR;
  if (!handle) {
    dc->has_clip = false;
    return SIMPLEREGION;
  }
  Region* region = region_of(handle);
  if (!region) return ERROR;
  dc->clip = region->rect;
  dc->has_clip = true;
  return region_type(region->rect);
}

int WINAPI GetClipRgn(HDC hdc, HRGN handle) {
  DeviceContext* dc = fast_dc(hdc);
  Region* region = region_of(handle);
  if (!dc || !region) return -1;
  if (!dc->has_clip) return 0;
  region->rect = dc->clip;
  return 1;
}

int WINAPI GetClipBox(HDC hdc, LPRECT rect) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || !rect) return ERROR;
  RECT area = dc->drawable();
  if (empty(area)) {
    *rect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  POINT corners[2] = {{area.left, area.top}, {area.right, area.bottom}};
  DPtoLP(hdc, corners, 2);
  *rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  return SIMPLEREGION;
}

int WINAPI GetRgnBox(HRGN handle, LPRECT rect) {
  Region* region = region_of(handle);
  if (!region || !rect) return ERROR;
  *rect = region->rect;
  return region_type(region->rect);
}
