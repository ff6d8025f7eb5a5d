// The one-pixel solid outline of a closed polygon, produced row by row from
// the top: the same pixels as its segments drawn one by one as thin lines
// (each without its end pixel, which the next segment starts on), stored
// straight into the canvas. A filled figure paints each row's fill and then
// that row's outline, so the outline costs no second pass over the page.
#ifndef KEL_PLATFORM_GDI_RASTER_OUTLINE_ROWS_H
#define KEL_PLATFORM_GDI_RASTER_OUTLINE_ROWS_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster_canvas.h"
#include "raster_lines.h"
#include "raster_slope.h"

namespace kelplat::gdi::raster {

class OutlineRows {
 public:
  OutlineRows(const DevPoint* points, size_t count, const Canvas& canvas, uint32_t color);
  // Paints the outline's pixels on the rows before `end` not painted yet;
  // `end` only grows from call to call.
  void paint_until(int64_t end);

  // One segment's pixels, stepped down the rows inside the clip.
  class Segment {
   public:
    // False when the segment has no pixel on a row inside the clip.
    bool plan(DevPoint a, DevPoint b, const Box& clip);
    int64_t row() const { return row_; }
    // Paints its rows before `end` not painted yet; false when it has no
    // rows left.
    bool paint_rows(const Canvas& canvas, int64_t end, uint32_t color);

   private:
    int64_t row_ = 0, end_row_ = 0;
    bool steep_ = false;
    int64_t top_x_ = 0, sx_ = 1;  // the upper end's column, the column step downwards
    // Steep: the column of the row; flat: the first step on the row, J(k).
    int64_t value_ = 0, remainder_ = 0;
    SlopeStep slope_;
    int64_t first_step_ = 0, end_step_ = 0;  // flat: the steps drawn
    void paint_steep(const Canvas& canvas, int64_t end, uint32_t color);
    void paint_flat(const Canvas& canvas, int64_t end, uint32_t color);
    template <bool Long>
    void paint_runs(const Canvas& canvas, int64_t end, uint32_t color);
  };

 private:
  const Canvas& canvas_;
  uint32_t color_;
  std::vector<Segment> segments_;  // by first row
  std::vector<Segment*> active_;
  size_t next_ = 0;
};

}  // namespace kelplat::gdi::raster

#endif  // KEL_PLATFORM_GDI_RASTER_OUTLINE_ROWS_H
