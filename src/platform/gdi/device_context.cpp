// Device contexts: memory and window contexts, their life, and the state
// they keep (colours, modes, viewport origin, current position).
#include <algorithm>
#include <utility>

#include "gdi_core.h"

namespace kelplat::gdi {

Bitmap* DeviceContext::target() const {
  Bitmap* bitmap = fast_bitmap(this->bitmap);
  return bitmap && !bitmap->stock ? bitmap : nullptr;
}

RECT DeviceContext::drawable() const {
  Bitmap* bitmap = target();
  if (!bitmap) return RECT{0, 0, 0, 0};
  RECT area{0, 0, bitmap->width, bitmap->height};
  if (has_clip) {
    area.left = std::max(area.left, clip.left);
    area.top = std::max(area.top, clip.top);
    area.right = std::min(area.right, clip.right);
    area.bottom = std::min(area.bottom, clip.bottom);
  }
  if (area.right <= area.left || area.bottom <= area.top) return RECT{0, 0, 0, 0};
  return area;
}

std::unique_ptr<DeviceContext> new_context(DeviceContext::Type type) {
  auto dc = std::make_unique<DeviceContext>(type);
  dc->pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  dc->brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  dc->font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  dc->palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  dc->text_align = TA_LEFT | TA_TOP;
  return dc;
}

namespace {

// Releases what the context holds and removes it from the table.
BOOL destroy_context(HDC hdc, bool window) {
  std::lock_guard<std::mutex> lock(selection_mutex());
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || (dc->type == DeviceContext::Type::Window) != window) return FALSE;
  for (HGDIOBJ held : {static_cast<HGDIOBJ>(dc->pen), static_cast<HGDIOBJ>(dc->brush),
                       static_cast<HGDIOBJ>(dc->font), static_cast<HGDIOBJ>(dc->palette)}) {
    release_selection(held);
  }
  if (!window) release_selection(dc->bitmap);
  if (dc->type == DeviceContext::Type::Printer) table().erase(key(dc->bitmap));  // its own page
  table().erase(dc->handle());
  return TRUE;
}

LONG offset(LONG value, LONG by) { return LONG(int64_t(value) + by); }

}  // namespace

HBITMAP create_color_bitmap(int width, int height) {
  return add_object<HBITMAP>(make_bitmap(width, height, 32));
}

// The surface stays the window manager's: the context does not count as a
// selection of it, so it is looked up on every use and a deleted surface
// just leaves the context with nothing to draw on. A null surface gives a
// context that draws nothing (a screen context).
HDC create_window_dc(HWND hwnd, HBITMAP surface) {
  if (surface && !fast_bitmap(surface)) return nullptr;
  auto dc = new_context(DeviceContext::Type::Window);
  dc->window = hwnd;
  dc->bitmap = surface;
  return add_object<HDC>(std::move(dc));
}

void destroy_window_dc(HDC hdc) { destroy_context(hdc, true); }

}  // namespace kelplat::gdi

using namespace kelplat::gdi;

HDC WINAPI CreateCompatibleDC(HDC hdc) {
  DeviceContext* model = nullptr;
  if (hdc && !(model = fast_dc(hdc))) return nullptr;
  auto dc = new_context(DeviceContext::Type::Memory);
  dc->bitmap = stock_bitmap();
  if (model) {
    dc->dpi_x = model->dpi_x;
    dc->dpi_y = model->dpi_y;
  }
  return add_object<HDC>(std::move(dc));
}

BOOL WINAPI DeleteDC(HDC hdc) { return destroy_context(hdc, false); }

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc) return CLR_INVALID;
  return std::exchange(dc->text_color, color);
}

COLORREF WINAPI GetTextColor(HDC hdc) {
  DeviceContext* dc = fast_dc(hdc);
  return dc ? dc->text_color : CLR_INVALID;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc) return CLR_INVALID;
  return std::exchange(dc->bk_color, color);
}

COLORREF WINAPI GetBkColor(HDC hdc) {
  DeviceContext* dc = fast_dc(hdc);
  return dc ? dc->bk_color : CLR_INVALID;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(dc->bk_mode, mode);
}

int WINAPI GetBkMode(HDC hdc) {
  DeviceContext* dc = fast_dc(hdc);
  return dc ? dc->bk_mode : 0;
}

int WINAPI SetROP2(HDC hdc, int mode) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || mode < R2_BLACK || mode > R2_WHITE) return 0;
  return std::exchange(dc->rop2, mode);
}

int WINAPI GetROP2(HDC hdc) {
  DeviceContext* dc = fast_dc(hdc);
  return dc ? dc->rop2 : 0;
}

int WINAPI SetStretchBltMode(HDC hdc, int mode) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(dc->stretch_mode, mode);
}

BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->viewport_org;
  dc->viewport_org = POINT{x, y};
  return TRUE;
}

BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT origin) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || !origin) return FALSE;
  *origin = dc->viewport_org;
  return TRUE;
}

BOOL WINAPI LPtoDP(HDC hdc, LPPOINT points, int count) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || count < 0 || (count > 0 && !points)) return FALSE;
  for (int i = 0; i < count; i++) {
    points[i].x = offset(points[i].x, dc->viewport_org.x);
    points[i].y = offset(points[i].y, dc->viewport_org.y);
  }
  return TRUE;
}

BOOL WINAPI DPtoLP(HDC hdc, LPPOINT points, int count) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || count < 0 || (count > 0 && !points)) return FALSE;
  for (int i = 0; i < count; i++) {
    points[i].x = LONG(int64_t(points[i].x) - dc->viewport_org.x);
    points[i].y = LONG(int64_t(points[i].y) - dc->viewport_org.y);
  }
  return TRUE;
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->position;
  dc->position = POINT{x, y};
  return TRUE;
}

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT point) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || !point) return FALSE;
  *point = dc->position;
  return TRUE;
}
