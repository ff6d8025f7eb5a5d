// Flood fill: the 4-connected area around a seed, found row span by row
// span with an explicit stack (never recursion) and a bit per pixel for the
// pixels already taken, so a brush that paints the very colour being
// filled, or a pattern, can never make it loop.
#ifndef KEL_PLATFORM_GDI_RASTER_FLOOD_H
#define KEL_PLATFORM_GDI_RASTER_FLOOD_H

#include <cstdint>

#include "raster_canvas.h"

namespace kelplat::gdi::raster {

enum class FloodMode {
  kBorder,   // every pixel that is not `color`
  kSurface,  // every pixel that is `color`
};

// Paints the area with the ink, inside the canvas clip. False (and nothing
// painted) when the seed is outside the clip or does not belong to an area.
bool flood_fill(const Canvas& canvas, int64_t x, int64_t y, uint32_t color, FloodMode mode,
                const Ink& ink);

}  // namespace kelplat::gdi::raster

#endif  // KEL_PLATFORM_GDI_RASTER_FLOOD_H
