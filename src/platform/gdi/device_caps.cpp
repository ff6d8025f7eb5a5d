// GetDeviceCaps: what a context's device can do.
#include "gdi_core.h"

using namespace kelplat::gdi;

namespace {

// Size of the device: the screen for screen and window contexts, the
// bitmap for memory and printer contexts.
int device_size(const DeviceContext& dc, bool horizontal) {
  if (dc.type == DeviceContext::Type::Window) {
    return GetSystemMetrics(horizontal ? SM_CXSCREEN : SM_CYSCREEN);
  }
  Bitmap* bitmap = fast_bitmap(dc.bitmap);
  if (!bitmap) return 0;
  return horizontal ? bitmap->width : bitmap->height;
}

}  // namespace

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc) return 0;
  switch (index) {
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case HORZRES:
      return device_size(*dc, true);
    case VERTRES:
      return device_size(*dc, false);
    case LOGPIXELSX:
      return dc->dpi_x;
    case LOGPIXELSY:
      return dc->dpi_y;
    case RASTERCAPS:
      return dc->raster_caps;
    case SIZEPALETTE:
      return 0;
    default:
      return 0;
  }
}
