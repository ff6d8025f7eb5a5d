// Drawing a decoded raster picture into a device context.
#ifndef KEL_PLATFORM_PICTURE_RASTER_RENDER_H
#define KEL_PLATFORM_PICTURE_RASTER_RENDER_H

#include "placement.h"
#include "platform.h"
#include "raster_image.h"

namespace kelplat::picture {

// Stretches the placement's part of the image to its destination rectangle,
// clipped like all drawing on the context. Enlarging repeats the nearest
// source pixel; shrinking averages the source pixels each destination pixel
// covers, so a photograph drawn small still looks like a photograph.
// Transparent and translucent pixels blend over what the target holds.
// False when the context has no colour target to draw on.
bool draw_raster(HDC hdc, const RasterImage& image, const Placement& where);

}  // namespace kelplat::picture

#endif  // KEL_PLATFORM_PICTURE_RASTER_RENDER_H
