// The drawing calls of the device contexts: lines, polylines, polygons,
// rectangles, ellipses, arcs, pies, rectangle fills and flood fills. Each
// turns its figure into coverage spans in device pixels (logical plus the
// viewport origin, clipped to the target and the clip rectangle), outline
// and fill apart, and paints every covered pixel once: the outline with the
// pen, the rest of the fill with the brush, both through the mix mode.
#include <vector>

#include "gdi_core.h"
#include "raster_canvas.h"
#include "raster_ellipse.h"
#include "raster_flood.h"
#include "raster_lines.h"
#include "raster_polygon.h"
#include "raster_spans.h"

namespace kelplat::gdi {
namespace {

using raster::Box;
using raster::Canvas;
using raster::Coverage;
using raster::DashList;
using raster::DevPoint;
using raster::Ink;

// The pixels a context draws on; `canvas.pixels` is null when there is
// nothing to draw on (no 32-bit target, or an empty clip).
struct Target {
  DeviceContext* dc = nullptr;
  Canvas canvas;
  DevPoint device(int64_t x, int64_t y) const {
    return DevPoint{x + dc->viewport_org.x, y + dc->viewport_org.y};
  }
  bool drawable() const { return canvas.pixels != nullptr; }
};

bool open_target(HDC hdc, Target& t) {
  t.dc = fast_dc(hdc);
  if (!t.dc) return false;
  Bitmap* bitmap = t.dc->target();
  RECT area = t.dc->drawable();
  if (bitmap && bitmap->bits_pixel == 32 && area.right > area.left && area.bottom > area.top) {
    t.canvas.pixels = bitmap->storage.data();
    t.canvas.width = bitmap->width;
    t.canvas.height = bitmap->height;
    t.canvas.stride = size_t(bitmap->stride / 4);
    t.canvas.clip = Box{area.left, area.top, area.right, area.bottom};
  }
  return true;
}

struct PenState {
  bool none = true;
  double width = 1;
  raster::LineEnd thin_end = raster::LineEnd::kLeftOut;
  uint32_t color = 0;
  DashList dashes;
};

PenState pen_of(const DeviceContext& dc) {
  PenState state;
  const Pen* pen = lookup<Pen>(dc.pen);
  if (!pen || pen->is_null()) return state;
  state.none = false;
  state.width = pen->width;
  state.color = to_pixel(pen->color);
  // A geometric pen's round or square cap covers the end point's pixel even
  // one pixel wide; a cosmetic pen, or a flat cap, leaves it out.
  if ((pen->style & PS_TYPE_MASK) == PS_GEOMETRIC &&
      (pen->style & PS_ENDCAP_MASK) != PS_ENDCAP_FLAT) {
    state.thin_end = raster::LineEnd::kCovered;
  }
  if ((pen->style & PS_STYLE_MASK) == PS_USERSTYLE) {
    state.dashes = DashList(std::vector<uint32_t>(pen->dashes.begin(), pen->dashes.end()));
  }
  return state;
}

Ink pen_ink(const DeviceContext& dc, const PenState& pen) {
  return Ink::solid(raster::mix_of(dc.rop2, pen.color));
}

raster::BrushPattern pattern_of(const Brush* brush) {
  raster::BrushPattern p;
  if (!brush) return p;
  p.color = to_pixel(brush->color);
  switch (brush->style) {
    case BS_SOLID: p.kind = raster::BrushPattern::kSolid; break;
    case BS_HATCHED:
      p.kind = raster::BrushPattern::kHatch;
      p.hatch = brush->hatch;
      break;
    case BS_PATTERN:
      p.kind = brush->color_pattern ? raster::BrushPattern::kColor : raster::BrushPattern::kMono;
      std::copy(std::begin(brush->mono), std::end(brush->mono), p.mono);
      std::copy(std::begin(brush->pattern), std::end(brush->pattern), p.pattern);
      break;
    default: break;
  }
  return p;
}

Ink brush_ink(const DeviceContext& dc, HBRUSH brush, int rop2) {
  return raster::brush_ink(pattern_of(lookup<Brush>(brush)), rop2, to_pixel(dc.text_color),
                           to_pixel(dc.bk_color), dc.bk_mode == OPAQUE);
}

// Paints the outline with the pen and what the outline leaves of the fill
// with the brush, each pixel once.
void paint_figure(const Target& t, Coverage& outline, const PenState& pen, Coverage* fill) {
  const std::vector<raster::Span>& drawn = outline.spans();
  if (!pen.none) raster::paint_spans(t.canvas, drawn, pen_ink(*t.dc, pen));
  if (fill) {
    Ink ink = brush_ink(*t.dc, t.dc->brush, t.dc->rop2);
    raster::paint_spans(t.canvas, raster::subtract(fill->spans(), drawn), ink);
  }
}

// Covers a path with the pen (thin or wide).
void stroke(const PenState& pen, const std::vector<DevPoint>& points, bool closed, Coverage& out) {
  if (pen.none) return;
  if (pen.width <= 1) {
    raster::thin_path(points, closed, pen.thin_end, pen.dashes, out);
  } else {
    raster::wide_path(points, closed, pen.width, pen.dashes, out);
  }
}

std::vector<DevPoint> device_points(const Target& t, const POINT* points, int count) {
  std::vector<DevPoint> out;
  out.reserve(size_t(count));
  for (int i = 0; i < count; i++) out.push_back(t.device(points[i].x, points[i].y));
  return out;
}

// Paints a thin line's runs straight onto the canvas: one segment, with or
// without its end pixel, never touches a pixel twice, so it needs no coverage.
class DirectSink final : public raster::RunSink {
 public:
  DirectSink(const Canvas& canvas, const Ink& ink) : canvas_(canvas), ink_(ink) {}
  void run(int32_t y, int32_t x0, int32_t x1) override { raster::paint_span(canvas_, y, x0, x1, ink_); }

 private:
  const Canvas& canvas_;
  const Ink& ink_;
};

void draw_line(const Target& t, DevPoint from, DevPoint to) {
  PenState pen = pen_of(*t.dc);
  if (pen.none) return;
  if (pen.width <= 1) {
    Ink ink = pen_ink(*t.dc, pen);
    DirectSink sink(t.canvas, ink);
    raster::thin_line(from, to, t.canvas.clip, pen.dashes, 0, pen.thin_end, sink);
    return;
  }
  Coverage outline(t.canvas.clip);
  raster::wide_path({from, to}, false, pen.width, pen.dashes, outline);
  paint_figure(t, outline, pen, nullptr);
}

// The box of an ellipse figure in device pixels.
raster::EllipseBox device_box(const Target& t, int left, int top, int right, int bottom) {
  DevPoint a = t.device(left, top), b = t.device(right, bottom);
  return raster::EllipseBox(a.x, a.y, b.x, b.y);
}

// The sector from the ray through `start` to the ray through `end`.
raster::Sector device_sector(const Target& t, const raster::EllipseBox& box, int xs, int ys,
                             int xe, int ye) {
  DevPoint s = t.device(xs, ys), e = t.device(xe, ye);
  return raster::Sector(DevPoint{2 * s.x - box.cx2, 2 * s.y - box.cy2},
                        DevPoint{2 * e.x - box.cx2, 2 * e.y - box.cy2});
}

enum class ArcKind { kArc, kPie };

BOOL draw_arc(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye,
              ArcKind kind) {
  Target t;
  if (!open_target(hdc, t)) return FALSE;
  if (!t.drawable()) return TRUE;
  raster::EllipseBox box = device_box(t, left, top, right, bottom);
  raster::Sector sector = device_sector(t, box, xs, ys, xe, ye);
  PenState pen = pen_of(*t.dc);
  Coverage outline(t.canvas.clip);
  if (!pen.none) {
    raster::ellipse_outline(box, sector, pen.width, pen.dashes, kind == ArcKind::kArc, outline);
  }
  if (kind == ArcKind::kArc) {
    paint_figure(t, outline, pen, nullptr);
    return TRUE;
  }
  DevPoint centre = raster::ellipse_centre_pixel(box);
  stroke(pen, {raster::ellipse_ray_pixel(box, sector.end()), centre,
               raster::ellipse_ray_pixel(box, sector.start())},
         false, outline);
  Coverage fill(t.canvas.clip);
  raster::ellipse_fill(box, sector, fill);
  paint_figure(t, outline, pen, &fill);
  return TRUE;
}

Ink copy_ink(const DeviceContext& dc, HBRUSH brush) { return brush_ink(dc, brush, R2_COPYPEN); }

}  // namespace
}  // namespace kelplat::gdi

using namespace kelplat::gdi;

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  Target t;
  if (!open_target(hdc, t)) return FALSE;
  DevPoint from = t.device(t.dc->position.x, t.dc->position.y), to = t.device(x, y);
  t.dc->position = POINT{x, y};
  if (t.drawable()) draw_line(t, from, to);
  return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* points, int count) {
  Target t;
  if (!points || count <= 1 || !open_target(hdc, t)) return FALSE;
  if (!t.drawable()) return TRUE;
  PenState pen = pen_of(*t.dc);
  Coverage outline(t.canvas.clip);
  stroke(pen, device_points(t, points, count), false, outline);
  paint_figure(t, outline, pen, nullptr);
  return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* points, int count) {
  Target t;
  if (!points || count <= 1 || !open_target(hdc, t)) return FALSE;
  if (!t.drawable()) return TRUE;
  std::vector<DevPoint> device = device_points(t, points, count);
  PenState pen = pen_of(*t.dc);
  Coverage outline(t.canvas.clip), fill(t.canvas.clip);
  stroke(pen, device, true, outline);
  std::vector<raster::PointF> corners;
  corners.reserve(device.size());
  for (const DevPoint& p : device) corners.push_back(raster::PointF{double(p.x), double(p.y)});
  raster::fill_polygon(corners.data(), corners.size(), fill);
  paint_figure(t, outline, pen, &fill);
  return TRUE;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  Target t;
  if (!open_target(hdc, t)) return FALSE;
  if (!t.drawable()) return TRUE;
  DevPoint a = t.device(std::min(left, right), std::min(top, bottom));
  DevPoint b = t.device(std::max(left, right), std::max(top, bottom));
  PenState pen = pen_of(*t.dc);
  Coverage outline(t.canvas.clip), fill(t.canvas.clip);
  stroke(pen, {a, DevPoint{b.x, a.y}, b, DevPoint{a.x, b.y}}, true, outline);
  const Box& clip = t.canvas.clip;
  for (int64_t y = std::max<int64_t>(a.y, clip.top); y <= b.y && y < clip.bottom; y++) {
    fill.add(y, a.x, b.x + 1);
  }
  paint_figure(t, outline, pen, &fill);
  return TRUE;
}

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  Target t;
  if (!open_target(hdc, t)) return FALSE;
  if (!t.drawable()) return TRUE;
  raster::EllipseBox box = device_box(t, left, top, right, bottom);
  PenState pen = pen_of(*t.dc);
  Coverage outline(t.canvas.clip), fill(t.canvas.clip);
  if (!pen.none) raster::ellipse_outline(box, raster::Sector(), pen.width, pen.dashes, false, outline);
  raster::ellipse_fill(box, raster::Sector(), fill);
  paint_figure(t, outline, pen, &fill);
  return TRUE;
}

BOOL WINAPI Arc(HDC hdc, int left, int top, int right, int bottom, int x_start, int y_start,
                int x_end, int y_end) {
  return draw_arc(hdc, left, top, right, bottom, x_start, y_start, x_end, y_end, ArcKind::kArc);
}

BOOL WINAPI Pie(HDC hdc, int left, int top, int right, int bottom, int x_start, int y_start,
                int x_end, int y_end) {
  return draw_arc(hdc, left, top, right, bottom, x_start, y_start, x_end, y_end, ArcKind::kPie);
}

int WINAPI FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  Target t;
  if (!rect || !open_target(hdc, t) || !lookup<Brush>(brush)) return 0;
  if (!t.drawable()) return 1;
  DevPoint a = t.device(rect->left, rect->top), b = t.device(rect->right, rect->bottom);
  const Box& clip = t.canvas.clip;
  int64_t x0 = std::max<int64_t>(a.x, clip.left), x1 = std::min<int64_t>(b.x, clip.right);
  int64_t y0 = std::max<int64_t>(a.y, clip.top), y1 = std::min<int64_t>(b.y, clip.bottom);
  Ink ink = copy_ink(*t.dc, brush);
  for (int64_t y = y0; y < y1 && x0 < x1; y++) {
    raster::paint_span(t.canvas, int32_t(y), int32_t(x0), int32_t(x1), ink);
  }
  return 1;
}

BOOL WINAPI ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type) {
  Target t;
  if (!open_target(hdc, t) || !t.drawable()) return FALSE;
  if (type != FLOODFILLBORDER && type != FLOODFILLSURFACE) return FALSE;
  DevPoint seed = t.device(x, y);
  raster::FloodMode mode =
      type == FLOODFILLSURFACE ? raster::FloodMode::kSurface : raster::FloodMode::kBorder;
  return raster::flood_fill(t.canvas, seed.x, seed.y, to_pixel(color), mode,
                            copy_ink(*t.dc, t.dc->brush))
             ? TRUE
             : FALSE;
}

BOOL WINAPI FloodFill(HDC hdc, int x, int y, COLORREF border) {
  return ExtFloodFill(hdc, x, y, border, FLOODFILLBORDER);
}
