// Enhanced metafiles: the header gives the picture's frame in hundredths of
// a millimetre and the reference device that maps it to pixels; the records
// draw in logical coordinates that the mapping mode takes to that device.
// We map the frame onto the destination and play the common drawing records.
#include <cmath>

#include "decoders.h"
#include "metafile.h"
#include "metafile_player.h"
#include "raster_render.h"

namespace kelplat::picture {
namespace {

enum Record : uint32_t {
  kHeader = 1,
  kPolyBezier = 2,
  kPolygon = 3,
  kPolyline = 4,
  kPolyBezierTo = 5,
  kPolylineTo = 6,
  kPolyPolyline = 7,
  kPolyPolygon = 8,
  kSetWindowExt = 9,
  kSetWindowOrg = 10,
  kSetViewportExt = 11,
  kSetViewportOrg = 12,
  kEof = 14,
  kSetMapMode = 17,
  kSetBkMode = 18,
  kSetRop2 = 20,
  kSetTextAlign = 22,
  kSetTextColor = 24,
  kSetBkColor = 25,
  kMoveTo = 27,
  kSaveDc = 33,
  kRestoreDc = 34,
  kSelectObject = 37,
  kCreatePen = 38,
  kCreateBrush = 39,
  kDeleteObject = 40,
  kEllipse = 42,
  kRectangle = 43,
  kRoundRect = 44,
  kArc = 45,
  kPie = 47,
  kLineTo = 54,
  kStretchDibits = 81,
  kCreateFont = 82,
  kTextA = 83,
  kTextW = 84,
  kPolyBezier16 = 85,
  kPolygon16 = 86,
  kPolyline16 = 87,
  kPolyBezierTo16 = 88,
  kPolylineTo16 = 89,
  kPolyPolyline16 = 90,
  kPolyPolygon16 = 91,
  kExtCreatePen = 95,
};

constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr size_t kMinHeader = 88;
constexpr uint32_t kStockFlag = 0x80000000u;
constexpr uint32_t kTextOpaque = 2;

struct Header {
  int32_t frame_left, frame_top, frame_width, frame_height;  // 0.01 mm
  double px_per_unit_x, px_per_unit_y;                         // reference pixels per 0.01 mm
};

bool read_header(Bytes file, Header* h) {
  if (!file.fits(0, kMinHeader) || file.u32(0) != kHeader || file.u32(4) < kMinHeader ||
      file.u32(40) != kSignature)
    return false;
  h->frame_left = file.i32(24);
  h->frame_top = file.i32(28);
  int64_t w = int64_t(file.i32(32)) - h->frame_left, ht = int64_t(file.i32(36)) - h->frame_top;
  if (w <= 0 || ht <= 0 || w > INT32_MAX || ht > INT32_MAX) return false;
  h->frame_width = int32_t(w);
  h->frame_height = int32_t(ht);
  int32_t device_x = file.i32(72), device_y = file.i32(76), mm_x = file.i32(80), mm_y = file.i32(84);
  bool known = device_x > 0 && device_y > 0 && mm_x > 0 && mm_y > 0;
  h->px_per_unit_x = known ? double(device_x) / (double(mm_x) * 100) : 96.0 / 2540;
  h->px_per_unit_y = known ? double(device_y) / (double(mm_y) * 100) : 96.0 / 2540;
  return true;
}

using Points = std::vector<std::pair<double, double>>;

// `count` points at `at`, 32-bit or 16-bit pairs; empty if they do not fit.
Points read_points(Bytes rec, uint64_t at, uint64_t count, bool short_form) {
  Points points;
  uint64_t size = short_form ? 4 : 8;
  if (count == 0 || !rec.fits(at, count * size)) return points;
  points.reserve(size_t(count));
  for (uint64_t i = 0; i < count; ++i) {
    size_t p = size_t(at + i * size);
    if (short_form)
      points.emplace_back(rec.i16(p), rec.i16(p + 2));
    else
      points.emplace_back(rec.i32(p), rec.i32(p + 4));
  }
  return points;
}

// Cubic curves (start, then control, control, end per curve) as short lines.
Points flatten(const Points& in) {
  constexpr int kSteps = 16;
  Points out;
  if (in.empty()) return out;
  out.push_back(in[0]);
  for (size_t i = 1; i + 2 < in.size(); i += 3) {
    auto [x0, y0] = in[i - 1];
    auto [x1, y1] = in[i];
    auto [x2, y2] = in[i + 1];
    auto [x3, y3] = in[i + 2];
    for (int s = 1; s <= kSteps; ++s) {
      double t = double(s) / kSteps, u = 1 - t;
      double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
      out.emplace_back(a * x0 + b * x1 + c * x2 + d * x3, a * y0 + b * y1 + c * y2 + d * y3);
    }
  }
  return out;
}

std::string latin1_from_utf16(Bytes rec, uint64_t at, uint64_t count) {
  std::string text;
  if (!rec.fits(at, count * 2)) return text;
  for (uint64_t i = 0; i < count; ++i) {
    uint16_t c = rec.u16(size_t(at + 2 * i));
    text.push_back(c <= 0xFF ? char(c) : '?');
  }
  return text;
}

class EmfPlayer {
 public:
  EmfPlayer(const Header& header, HDC hdc, const Placement& where)
      : header_(header), where_(where), player_(hdc) {
    update_transform();
  }
  // False at the end-of-file record.
  bool play(uint32_t type, Bytes rec);

 private:
  void update_transform();
  void draw_points(uint32_t type, Bytes rec);
  void draw_poly_points(uint32_t type, Bytes rec);
  void draw_box(uint32_t type, Bytes rec);
  void create_object(uint32_t type, Bytes rec);
  void draw_text(uint32_t type, Bytes rec);
  void draw_dib(Bytes rec);
  void line_to(double x, double y);
  std::vector<POINT> map(const Points& points) const;

  Header header_;
  Placement where_;
  Player player_;
  Mapping mapping_;
  double x_ = 0, y_ = 0;  // current position, metafile coordinates
};

// Logical units to reference pixels by the mapping mode, then the frame to
// the destination.
void EmfPlayer::update_transform() {
  const Mapping& m = mapping_;
  double kx = 1, ky = 1;
  static const double kUnitsPerLogical[] = {0, 0, 10, 1, 25.4, 2.54, 2540.0 / 1440};
  if (m.mode >= 2 && m.mode <= 6) {
    kx = kUnitsPerLogical[m.mode] * header_.px_per_unit_x;
    ky = -kUnitsPerLogical[m.mode] * header_.px_per_unit_y;
  } else if (m.mode == 7 || m.mode == 8) {
    kx = m.viewport_ext_x / m.window_ext_x;
    ky = m.viewport_ext_y / m.window_ext_y;
    if (m.mode == 7) {
      double k = std::min(std::fabs(kx), std::fabs(ky));
      kx = std::copysign(k, kx);
      ky = std::copysign(k, ky);
    }
  }
  double frame_x = header_.frame_left * header_.px_per_unit_x;
  double frame_y = header_.frame_top * header_.px_per_unit_y;
  double frame_w = header_.frame_width * header_.px_per_unit_x;
  double frame_h = header_.frame_height * header_.px_per_unit_y;
  double dx = where_.cx / ((where_.fx1 - where_.fx0) * frame_w);
  double dy = where_.cy / ((where_.fy1 - where_.fy0) * frame_h);
  Transform t;
  t.sx = kx * dx;
  t.ox = (m.viewport_org_x - m.window_org_x * kx - frame_x) * dx + where_.x - where_.fx0 * frame_w * dx;
  t.sy = ky * dy;
  t.oy = (m.viewport_org_y - m.window_org_y * ky - frame_y) * dy + where_.y - where_.fy0 * frame_h * dy;
  player_.set_transform(t);
}

std::vector<POINT> EmfPlayer::map(const Points& points) const {
  std::vector<POINT> out;
  out.reserve(points.size());
  for (auto [x, y] : points) out.push_back(player_.point(x, y));
  return out;
}

void EmfPlayer::line_to(double x, double y) {
  POINT p = player_.point(x, y);
  LineTo(player_.dc(), p.x, p.y);
  x_ = x;
  y_ = y;
}

// Polygon, polyline, their "to" forms and Bezier curves: bounds, count, points.
void EmfPlayer::draw_points(uint32_t type, Bytes rec) {
  if (!rec.fits(24, 4)) return;
  bool short_form = type >= kPolyBezier16;
  Points points = read_points(rec, 28, rec.u32(24), short_form);
  if (points.empty()) return;
  bool to = type == kPolyBezierTo || type == kPolylineTo || type == kPolyBezierTo16 ||
            type == kPolylineTo16;
  if (to) points.insert(points.begin(), {x_, y_});
  if (type == kPolyBezier || type == kPolyBezierTo || type == kPolyBezier16 || type == kPolyBezierTo16)
    points = flatten(points);
  if (to) {
    for (size_t i = 1; i < points.size(); ++i) line_to(points[i].first, points[i].second);
    return;
  }
  std::vector<POINT> mapped = map(points);
  if (type == kPolygon || type == kPolygon16)
    Polygon(player_.dc(), mapped.data(), int(mapped.size()));
  else
    Polyline(player_.dc(), mapped.data(), int(mapped.size()));
}

// Several polygons or polylines: bounds, figure count, point count, the
// count of each figure, then all points.
void EmfPlayer::draw_poly_points(uint32_t type, Bytes rec) {
  if (!rec.fits(24, 8)) return;
  uint64_t figures = rec.u32(24), total = rec.u32(28);
  if (!rec.fits(32, figures * 4)) return;
  bool short_form = type >= kPolyPolyline16;
  Points points = read_points(rec, 32 + figures * 4, total, short_form);
  size_t used = 0;
  for (uint64_t f = 0; f < figures; ++f) {
    size_t count = rec.u32(size_t(32 + f * 4));
    if (count > points.size() - used) return;
    std::vector<POINT> mapped = map(Points(points.begin() + long(used), points.begin() + long(used + count)));
    used += count;
    if (type == kPolyPolygon || type == kPolyPolygon16)
      Polygon(player_.dc(), mapped.data(), int(mapped.size()));
    else
      Polyline(player_.dc(), mapped.data(), int(mapped.size()));
  }
}

// Figures in a box; arcs and pies also take their start and end points. A
// map that mirrors one axis turns the arc around, so its ends swap.
void EmfPlayer::draw_box(uint32_t type, Bytes rec) {
  if (!rec.fits(8, 16)) return;
  RECT b = player_.box(rec.i32(8), rec.i32(12), rec.i32(16), rec.i32(20));
  HDC dc = player_.dc();
  if (type == kEllipse) {
    Ellipse(dc, b.left, b.top, b.right, b.bottom);
  } else if (type == kRectangle || type == kRoundRect) {
    Rectangle(dc, b.left, b.top, b.right, b.bottom);  // corners drawn square
  } else if (rec.fits(24, 16)) {
    POINT s = player_.point(rec.i32(24), rec.i32(28)), e = player_.point(rec.i32(32), rec.i32(36));
    if (player_.mirrored()) std::swap(s, e);
    if (type == kArc)
      Arc(dc, b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y);
    else
      Pie(dc, b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y);
  }
}

void EmfPlayer::create_object(uint32_t type, Bytes rec) {
  if (!rec.fits(8, 4)) return;
  uint32_t index = rec.u32(8);
  if (type == kCreatePen && rec.fits(12, 16)) {
    player_.put(index, player_.make_pen(rec.u32(12), rec.i32(16), rec.u32(24)));
  } else if (type == kExtCreatePen && rec.fits(28, 16)) {
    player_.put(index, player_.make_pen(rec.u32(28), rec.u32(32), rec.u32(40)));
  } else if (type == kCreateBrush && rec.fits(12, 12)) {
    player_.put(index, player_.make_brush(rec.u32(12), rec.u32(16), rec.u32(20)));
  } else if (type == kCreateFont && rec.fits(12, 92)) {
    FontRecord f;
    f.height = rec.i32(12);
    f.width = rec.i32(16);
    f.escapement = rec.i32(20);
    f.orientation = rec.i32(24);
    f.weight = rec.i32(28);
    f.italic = rec.u8(32);
    f.underline = rec.u8(33);
    f.strike_out = rec.u8(34);
    f.char_set = rec.u8(35);
    f.out_precision = rec.u8(36);
    f.clip_precision = rec.u8(37);
    f.quality = rec.u8(38);
    f.pitch_and_family = rec.u8(39);
    f.face = latin1_from_utf16(rec, 40, 32);
    f.face.resize(std::strlen(f.face.c_str()));
    player_.put(index, player_.make_font(f));
  }
}

// Text: bounds, graphics mode, scales, then the reference point, character
// count, string offset, options, opaque rectangle and spacing offset.
void EmfPlayer::draw_text(uint32_t type, Bytes rec) {
  if (!rec.fits(36, 40)) return;
  uint64_t count = rec.u32(44), at = rec.u32(48);
  std::string text;
  if (type == kTextW) {
    text = latin1_from_utf16(rec, at, count);
  } else if (rec.fits(at, count)) {
    text.assign(reinterpret_cast<const char*>(rec.data() + at), size_t(count));
  }
  RECT box = player_.box(rec.i32(56), rec.i32(60), rec.i32(64), rec.i32(68));
  bool opaque_box = (rec.u32(52) & kTextOpaque) && box.right > box.left && box.bottom > box.top;
  player_.text(player_.point(rec.i32(36), rec.i32(40)), text, opaque_box ? &box : nullptr);
}

// A device-independent bitmap stretched to a destination rectangle. Source
// rows count from the bottom of a bottom-up bitmap.
void EmfPlayer::draw_dib(Bytes rec) {
  if (!rec.fits(8, 72)) return;
  uint64_t bmi_at = rec.u32(48), bmi_size = rec.u32(52), bits_at = rec.u32(56), bits_size = rec.u32(60);
  if (bmi_size < 16 || bits_at < bmi_at || !rec.fits(bmi_at, bmi_size) || !rec.fits(bits_at, bits_size))
    return;
  Bytes dib = rec.from(size_t(bmi_at)).first(size_t(bits_at + bits_size - bmi_at));
  RasterImage image;
  if (!decode_dib(dib, size_t(bits_at - bmi_at), false, &image)) return;
  double sx = rec.i32(32), sy = rec.i32(36), scx = rec.i32(40), scy = rec.i32(44);
  if (dib.i32(8) > 0) sy = image.height - sy - scy;
  POINT a = player_.point(rec.i32(24), rec.i32(28));
  POINT b = player_.point(double(rec.i32(24)) + rec.i32(72), double(rec.i32(28)) + rec.i32(76));
  Placement part{sx / image.width, sy / image.height, (sx + scx) / image.width,
                 (sy + scy) / image.height, a.x, a.y, b.x - a.x, b.y - a.y};
  draw_raster(player_.dc(), image, part);
}

bool EmfPlayer::play(uint32_t type, Bytes rec) {
  HDC dc = player_.dc();
  bool has_arg = rec.fits(8, 4);
  bool has_pair = rec.fits(8, 8);
  int32_t a = has_arg ? rec.i32(8) : 0, b = has_pair ? rec.i32(12) : 0;
  switch (type) {
    case kEof:
      return false;
    case kPolyBezier: case kPolygon: case kPolyline: case kPolyBezierTo: case kPolylineTo:
    case kPolyBezier16: case kPolygon16: case kPolyline16: case kPolyBezierTo16: case kPolylineTo16:
      draw_points(type, rec);
      break;
    case kPolyPolyline: case kPolyPolygon: case kPolyPolyline16: case kPolyPolygon16:
      draw_poly_points(type, rec);
      break;
    case kSetWindowExt: case kSetViewportExt:
      if (has_pair && a != 0 && b != 0) {
        (type == kSetWindowExt ? mapping_.window_ext_x : mapping_.viewport_ext_x) = a;
        (type == kSetWindowExt ? mapping_.window_ext_y : mapping_.viewport_ext_y) = b;
        update_transform();
      }
      break;
    case kSetWindowOrg: case kSetViewportOrg:
      if (has_pair) {
        (type == kSetWindowOrg ? mapping_.window_org_x : mapping_.viewport_org_x) = a;
        (type == kSetWindowOrg ? mapping_.window_org_y : mapping_.viewport_org_y) = b;
        update_transform();
      }
      break;
    case kSetMapMode:
      if (has_arg && a >= 1 && a <= 8) {
        mapping_.mode = a;
        update_transform();
      }
      break;
    case kSetBkMode:
      if (has_arg) SetBkMode(dc, a);
      break;
    case kSetRop2:
      if (has_arg) SetROP2(dc, a);
      break;
    case kSetTextAlign:
      if (has_arg) SetTextAlign(dc, UINT(a));
      break;
    case kSetTextColor:
      if (has_arg) SetTextColor(dc, COLORREF(a) & 0xFFFFFF);
      break;
    case kSetBkColor:
      if (has_arg) SetBkColor(dc, COLORREF(a) & 0xFFFFFF);
      break;
    case kMoveTo:
      if (has_pair) {
        POINT p = player_.point(a, b);
        MoveToEx(dc, p.x, p.y, nullptr);
        x_ = a;
        y_ = b;
      }
      break;
    case kLineTo:
      if (has_pair) line_to(a, b);
      break;
    case kSaveDc:
      player_.save(mapping_);
      break;
    case kRestoreDc:
      if (has_arg && player_.restore(a, &mapping_)) update_transform();
      break;
    case kSelectObject:
      if (has_arg) {
        uint32_t index = uint32_t(a);
        if (index & kStockFlag)
          player_.select_stock(int(index & ~kStockFlag));
        else
          player_.select(index);
      }
      break;
    case kDeleteObject:
      if (has_arg) player_.erase(uint32_t(a));
      break;
    case kCreatePen: case kExtCreatePen: case kCreateBrush: case kCreateFont:
      create_object(type, rec);
      break;
    case kEllipse: case kRectangle: case kRoundRect: case kArc: case kPie:
      draw_box(type, rec);
      break;
    case kTextA: case kTextW:
      draw_text(type, rec);
      break;
    case kStretchDibits:
      draw_dib(rec);
      break;
    default:
      break;  // records that do not draw, or that we do not draw
  }
  return true;
}

}  // namespace

bool read_emf_info(Bytes file, MetafileInfo* info) {
  Header h;
  if (!read_header(file, &h)) return false;
  info->enhanced = true;
  info->width_himetric = h.frame_width;
  info->height_himetric = h.frame_height;
  return true;
}

void play_emf(Bytes file, HDC hdc, const Placement& where) {
  Header h;
  if (!read_header(file, &h) || where.fx0 == where.fx1 || where.fy0 == where.fy1) return;
  EmfPlayer player(h, hdc, where);
  uint64_t at = file.u32(4);  // records follow the header
  while (file.fits(at, 8)) {
    uint32_t type = file.u32(size_t(at)), size = file.u32(size_t(at + 4));
    if (size < 8 || size % 4 != 0 || !file.fits(at, size)) break;
    if (!player.play(type, file.from(size_t(at)).first(size))) break;
    at += size;
  }
}

}  // namespace kelplat::picture
