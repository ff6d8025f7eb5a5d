// The drawing calls of the device contexts: lines, polylines, polygons,
// rectangles, ellipses, arcs, pies, rectangle fills and flood fills. Each
// turns its figure into coverage spans in device pixels (logical plus the
// viewport origin, clipped to the target and the clip rectangle), outline
// and fill apart, and paints every covered pixel once: the outline with the
// pen, the rest of the fill with the brush, both through the mix mode.
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "gdi_core.h"
#include "platform_testing.h"
#include "raster_canvas.h"
#include "raster_ellipse.h"
#include "raster_flood.h"
#include "raster_lines.h"
#include "raster_outline_rows.h"
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

// ------------------------------------------------------------ realising
// A pen or brush is turned into what the rasterizer needs (dash list, ink)
// once, and kept in the context until the object, the mix mode or a colour
// that the ink depends on changes. Handles carry a generation, so a new
// object in a reused slot never matches an old one.
}  // namespace

struct RealizedPen {
  HPEN handle = nullptr;
  int rop2 = 0;
  bool none = true;
  double width = 1;
  raster::LineEnd thin_end = raster::LineEnd::kLeftOut;
  DashList dashes;
  Ink ink;
  bool solid_store() const { return !none && dashes.thin_solid() && ink.kind == raster::InkKind::kStores; }
};

struct RealizedBrush {
  HBRUSH handle = nullptr;
  int rop2 = 0;
  COLORREF fore = 0, back = 0;
  bool opaque = false;
  Ink ink;
};

namespace {

std::shared_ptr<const RealizedPen> realize_pen(HPEN handle, int rop2) {
  auto out = std::make_shared<RealizedPen>();
  out->handle = handle;
  out->rop2 = rop2;
  const Pen* pen = lookup<Pen>(handle);
  if (!pen || pen->is_null()) return out;
  out->none = false;
  out->width = pen->width;
  // A geometric pen's round or square cap covers the end point's pixel even
  // one pixel wide; a cosmetic pen, or a flat cap, leaves it out.
  if ((pen->style & PS_TYPE_MASK) == PS_GEOMETRIC &&
      (pen->style & PS_ENDCAP_MASK) != PS_ENDCAP_FLAT) {
    out->thin_end = raster::LineEnd::kCovered;
  }
  if ((pen->style & PS_STYLE_MASK) == PS_USERSTYLE) {
    out->dashes = DashList(std::vector<uint32_t>(pen->dashes.begin(), pen->dashes.end()));
  }
  out->ink = Ink::solid(raster::mix_of(rop2, to_pixel(pen->color)));
  return out;
}

const RealizedPen& pen_of(DeviceContext& dc) {
  const RealizedPen* cached = dc.realized_pen.get();
  if (!cached || cached->handle != dc.pen || cached->rop2 != dc.rop2) {
    dc.realized_pen = realize_pen(dc.pen, dc.rop2);
  }
  return *dc.realized_pen;
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

const Ink& brush_ink(DeviceContext& dc, HBRUSH brush, int rop2) {
  const bool opaque = dc.bk_mode == OPAQUE;
  const RealizedBrush* cached = dc.realized_brush.get();
  if (!cached || cached->handle != brush || cached->rop2 != rop2 ||
      cached->fore != dc.text_color || cached->back != dc.bk_color || cached->opaque != opaque) {
    auto out = std::make_shared<RealizedBrush>();
    *out = RealizedBrush{brush, rop2, dc.text_color, dc.bk_color, opaque,
                         raster::brush_ink(pattern_of(lookup<Brush>(brush)), rop2,
                                           to_pixel(dc.text_color), to_pixel(dc.bk_color), opaque)};
    dc.realized_brush = std::move(out);
  }
  return dc.realized_brush->ink;
}

// ------------------------------------------------------------ fast paths
// Whether a figure may paint its spans straight as they are produced, by
// the kind of the pen's ink (rows, "none" for no outline) and the brush's
// (columns, "none" for no fill). Painting straight covers the fill first and
// the outline over it, and paints a pixel as often as it is covered: right
// when the pen stores (it has the last word on the outline) and the brush
// never reads the page. Everything else paints each pixel once, outline
// first, through the painted mask.
enum InkColumn { kNoInk, kLeaves, kStores, kStoresOrLeaves, kMixes, kInkColumns };
constexpr bool kPaintsStraight[kInkColumns][kInkColumns] = {
    //   brush: none   leaves stores stores|leaves mixes
    /* none  */ {true, true, true, true, false},
    /* leaves*/ {false, false, false, false, false},
    /* stores*/ {true, true, true, true, false},
    /* s|l   */ {false, false, false, false, false},
    /* mixes */ {false, false, false, false, false},
};

std::atomic<bool> fast_paths_on{true};

InkColumn column_of(const Ink* ink) {
  if (!ink) return kNoInk;
  switch (ink->kind) {
    case raster::InkKind::kLeaves: return kLeaves;
    case raster::InkKind::kStores: return kStores;
    case raster::InkKind::kStoresOrLeaves: return kStoresOrLeaves;
    case raster::InkKind::kMixes: return kMixes;
  }
  return kMixes;
}

Coverage::Way way_for(const RealizedPen& pen, const Ink* brush) {
  const bool straight = kPaintsStraight[column_of(pen.none ? nullptr : &pen.ink)][column_of(brush)];
  return straight && fast_paths_on ? Coverage::Way::kStraight : Coverage::Way::kOnce;
}

// Covers a path with the pen (thin or wide); solid thin lines that store
// step straight in the page when the coverage paints straight.
void stroke(const Target& t, const RealizedPen& pen, const std::vector<DevPoint>& points,
            bool closed, Coverage& out) {
  if (pen.none) return;
  out.use(pen.ink);
  if (pen.width > 1) return raster::wide_path(points, closed, pen.width, pen.dashes, out);
  if (out.straight() && pen.solid_store()) {
    const size_t n = points.size(), count = closed ? n : (n > 0 ? n - 1 : 0);
    for (size_t i = 0; i < count; i++) {
      const bool path_end = !closed && i + 1 == count;
      raster::thin_line_store(points[i], points[(i + 1) % n],
                              path_end ? pen.thin_end : raster::LineEnd::kLeftOut, t.canvas,
                              pen.ink.cell[0].xor_mask);
    }
    return;
  }
  raster::thin_path(points, closed, pen.thin_end, pen.dashes, out);
}

// Paints a figure: the outline with the pen, what it leaves of the fill with
// the brush (no fill when `fill` is empty), each pixel as the table allows.
using Cover = std::function<void(Coverage&)>;
void paint_figure(const Target& t, const Cover& outline, const Cover& fill) {
  const RealizedPen& pen = pen_of(*t.dc);
  const Ink* brush = fill ? &brush_ink(*t.dc, t.dc->brush, t.dc->rop2) : nullptr;
  const Coverage::Way way = way_for(pen, brush);
  Coverage coverage(t.canvas, way);
  if (way == Coverage::Way::kStraight && brush) {
    coverage.use(*brush);
    fill(coverage);
  }
  if (!pen.none) {
    coverage.use(pen.ink);
    outline(coverage);
  }
  if (way == Coverage::Way::kOnce && brush) {
    coverage.use(*brush);
    fill(coverage);
  }
}

// Paints a path with the pen.
void paint_path(const Target& t, const std::vector<DevPoint>& points, bool closed) {
  const RealizedPen& pen = pen_of(*t.dc);
  Coverage coverage(t.canvas, way_for(pen, nullptr));
  stroke(t, pen, points, closed, coverage);
}

std::vector<DevPoint> device_points(const Target& t, const POINT* points, int count) {
  std::vector<DevPoint> out;
  out.reserve(size_t(count));
  for (int i = 0; i < count; i++) out.push_back(t.device(points[i].x, points[i].y));
  return out;
}

// Paints a thin line's runs straight onto the canvas: one segment never
// touches a pixel twice, so it needs no painted mask.
class DirectSink final : public raster::RunSink {
 public:
  DirectSink(const Canvas& canvas, const Ink& ink) : canvas_(canvas), ink_(ink) {}
  void run(int32_t y, int32_t x0, int32_t x1) override { raster::paint_span(canvas_, y, x0, x1, ink_); }

 private:
  const Canvas& canvas_;
  const Ink& ink_;
};

void draw_line(const Target& t, DevPoint from, DevPoint to) {
  const RealizedPen& pen = pen_of(*t.dc);
  if (pen.none) return;
  if (pen.width > 1) return paint_path(t, {from, to}, false);
  if (pen.solid_store() && fast_paths_on) {
    return raster::thin_line_store(from, to, pen.thin_end, t.canvas, pen.ink.cell[0].xor_mask);
  }
  DirectSink sink(t.canvas, pen.ink);
  raster::thin_line(from, to, t.canvas.clip, pen.dashes, 0, pen.thin_end, sink);
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
  const raster::EllipseBox box = device_box(t, left, top, right, bottom);
  const raster::Sector sector = device_sector(t, box, xs, ys, xe, ye);
  const RealizedPen& pen = pen_of(*t.dc);
  auto arc = [&](Coverage& out) {
    raster::ellipse_outline(box, sector, pen.width, pen.dashes, kind == ArcKind::kArc, out);
  };
  if (kind == ArcKind::kArc) {
    paint_figure(t, arc, nullptr);
    return TRUE;
  }
  auto outline = [&](Coverage& out) {
    arc(out);
    DevPoint centre = raster::ellipse_centre_pixel(box);
    stroke(t, pen,
           {raster::ellipse_ray_pixel(box, sector.end()), centre,
            raster::ellipse_ray_pixel(box, sector.start())},
           false, out);
  };
  paint_figure(t, outline, [&](Coverage& out) { raster::ellipse_fill(box, sector, out); });
  return TRUE;
}

const Ink& copy_ink(DeviceContext& dc, HBRUSH brush) { return brush_ink(dc, brush, R2_COPYPEN); }

}  // namespace
}  // namespace kelplat::gdi

void kelplat::testing::set_raster_fast_paths(bool on) { kelplat::gdi::fast_paths_on = on; }

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
  // A single segment is a line: drawn without gathering its points.
  if (count == 2) {
    draw_line(t, t.device(points[0].x, points[0].y), t.device(points[1].x, points[1].y));
  } else {
    paint_path(t, device_points(t, points, count), false);
  }
  return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* points, int count) {
  Target t;
  if (!points || count <= 1 || !open_target(hdc, t)) return FALSE;
  if (!t.drawable()) return TRUE;
  const std::vector<DevPoint> device = device_points(t, points, count);
  std::vector<raster::PointF> corners;
  corners.reserve(device.size());
  for (const DevPoint& p : device) corners.push_back(raster::PointF{double(p.x), double(p.y)});
  const RealizedPen& pen = pen_of(*t.dc);
  const Ink& brush = brush_ink(*t.dc, t.dc->brush, t.dc->rop2);
  // A solid one-pixel outline that stores goes row by row with the fill.
  if (pen.solid_store() && pen.width <= 1 && way_for(pen, &brush) == Coverage::Way::kStraight) {
    Coverage coverage(t.canvas, Coverage::Way::kStraight);
    coverage.use(brush);
    raster::OutlineRows outline(device.data(), device.size(), t.canvas, pen.ink.cell[0].xor_mask);
    raster::fill_polygon(corners.data(), corners.size(), coverage, &outline);
    return TRUE;
  }
  auto outline = [&](Coverage& out) { stroke(t, pen, device, true, out); };
  paint_figure(t, outline, [&](Coverage& out) {
    raster::fill_polygon(corners.data(), corners.size(), out);
  });
  return TRUE;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  Target t;
  if (!open_target(hdc, t)) return FALSE;
  if (!t.drawable()) return TRUE;
  const DevPoint a = t.device(std::min(left, right), std::min(top, bottom));
  const DevPoint b = t.device(std::max(left, right), std::max(top, bottom));
  const RealizedPen& pen = pen_of(*t.dc);
  auto outline = [&](Coverage& out) {
    stroke(t, pen, {a, DevPoint{b.x, a.y}, b, DevPoint{a.x, b.y}}, true, out);
  };
  paint_figure(t, outline, [&](Coverage& out) {
    const Box& clip = t.canvas.clip;
    for (int64_t y = std::max<int64_t>(a.y, clip.top); y <= b.y && y < clip.bottom; y++) {
      out.add(y, a.x, b.x + 1);
    }
  });
  return TRUE;
}

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  Target t;
  if (!open_target(hdc, t)) return FALSE;
  if (!t.drawable()) return TRUE;
  const raster::EllipseBox box = device_box(t, left, top, right, bottom);
  const RealizedPen& pen = pen_of(*t.dc);
  const Ink& brush = brush_ink(*t.dc, t.dc->brush, t.dc->rop2);
  if (!pen.none && pen.width <= 1 && pen.dashes.thin_solid() &&
      way_for(pen, &brush) == Coverage::Way::kStraight) {
    Coverage coverage(t.canvas, Coverage::Way::kStraight);
    raster::ellipse_rows(box, brush, pen.ink, coverage);
    return TRUE;
  }
  auto outline = [&](Coverage& out) {
    raster::ellipse_outline(box, raster::Sector(), pen.width, pen.dashes, false, out);
  };
  paint_figure(t, outline, [&](Coverage& out) { raster::ellipse_fill(box, raster::Sector(), out); });
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
  if (x0 < x1 && y0 < y1) {
    raster::paint_box(t.canvas, Box{int32_t(x0), int32_t(y0), int32_t(x1), int32_t(y1)},
                      copy_ink(*t.dc, brush));
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
