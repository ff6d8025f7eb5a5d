// Windows metafiles, with the placeable header (its bounding box and units
// per inch give the picture's size) or without it (the first window origin
// and extent records do). Records are counted in 16-bit words; the window
// that the records set is mapped onto the destination.
#include <cmath>
#include <set>

#include "decoders.h"
#include "metafile.h"
#include "metafile_player.h"
#include "raster_render.h"

namespace kelplat::picture {
namespace {

enum Function : uint16_t {
  kEof = 0x0000,
  kSaveDc = 0x001E,
  kSetBkMode = 0x0102,
  kSetRop2 = 0x0104,
  kRestoreDc = 0x0127,
  kSelectObject = 0x012D,
  kSetTextAlign = 0x012E,
  kDeleteObject = 0x01F0,
  kSetBkColor = 0x0201,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePen = 0x02FA,
  kCreateFont = 0x02FB,
  kCreateBrush = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kTextOut = 0x0521,
  kPolyPolygon = 0x0538,
  kRoundRect = 0x061C,
  kArc = 0x0817,
  kPie = 0x081A,
  kExtTextOut = 0x0A32,
  kDibStretchBlt = 0x0B41,
  kStretchDib = 0x0F43,
  // Records that make objects we do not use still take a slot in the table.
  kCreatePalette = 0x00F7,
  kCreatePatternBrush = 0x01F9,
  kDibCreatePatternBrush = 0x0142,
  kCreateRegion = 0x06FF,
};

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kHeaderSize = 18;
constexpr uint16_t kTextOpaque = 2, kTextClipped = 4;

struct Header {
  size_t records_at;
  uint16_t objects;
  double left, top, width, height;  // initial window, logical units
  double units_per_inch;
};

// Plain files carry no size: take it from the first window records.
bool find_window(Bytes file, size_t at, Header* h) {
  bool origin = false, extent = false;
  while (file.fits(at, 6) && !extent) {
    uint64_t size = uint64_t(file.u32(at)) * 2;
    uint16_t function = file.u16(at + 4);
    if (size < 6 || !file.fits(at, size) || function == kEof) break;
    if (function == kSetWindowOrg && size >= 10 && !origin) {
      h->top = file.i16(at + 6);
      h->left = file.i16(at + 8);
      origin = true;
    } else if (function == kSetWindowExt && size >= 10) {
      h->height = file.i16(at + 6);
      h->width = file.i16(at + 8);
      extent = h->width != 0 && h->height != 0;
    }
    at += size_t(size);
  }
  return extent;
}

bool read_header(Bytes file, Header* h) {
  *h = Header{};
  size_t at = 0;
  bool placeable = file.fits(0, kPlaceableSize) && file.u32(0) == kPlaceableKey;
  if (placeable) {
    h->left = file.i16(6);
    h->top = file.i16(8);
    h->width = double(file.i16(10)) - h->left;
    h->height = double(file.i16(12)) - h->top;
    h->units_per_inch = file.u16(14) ? file.u16(14) : 1440;
    at = kPlaceableSize;
  }
  if (!file.fits(at, kHeaderSize)) return false;
  uint16_t type = file.u16(at), words = file.u16(at + 2), version = file.u16(at + 4);
  if ((type != 1 && type != 2) || words != 9 || (version != 0x0100 && version != 0x0300)) return false;
  h->objects = file.u16(at + 10);
  h->records_at = at + kHeaderSize;
  if (!placeable) {
    h->units_per_inch = 96;
    if (!find_window(file, h->records_at, h)) return false;
  }
  return h->width != 0 && h->height != 0;
}

int32_t himetric(double units, double units_per_inch) {
  return int32_t(std::lround(std::min(std::fabs(units) * 2540 / units_per_inch, double(INT32_MAX))));
}

class WmfPlayer {
 public:
  WmfPlayer(const Header& h, HDC hdc, const Placement& where) : where_(where), player_(hdc) {
    mapping_.window_org_x = h.left;
    mapping_.window_org_y = h.top;
    mapping_.window_ext_x = h.width;
    mapping_.window_ext_y = h.height;
    for (uint32_t i = 0; i < h.objects; ++i) free_.insert(i);
    update_transform();
  }
  // False at the end record.
  bool play(uint16_t function, Bytes params);

 private:
  void update_transform();
  void add_object(HGDIOBJ object);
  void create_object(uint16_t function, Bytes p);
  void draw_box(uint16_t function, Bytes p);
  void draw_points(uint16_t function, Bytes p);
  void draw_text(uint16_t function, Bytes p);
  void draw_dib(uint16_t function, Bytes p);

  Placement where_;
  Player player_;
  Mapping mapping_;
  std::set<uint32_t> free_;  // object slots; new objects take the lowest
};

void WmfPlayer::update_transform() {
  const Mapping& m = mapping_;
  double dx = where_.cx / ((where_.fx1 - where_.fx0) * m.window_ext_x);
  double dy = where_.cy / ((where_.fy1 - where_.fy0) * m.window_ext_y);
  Transform t;
  t.sx = dx;
  t.ox = where_.x - (m.window_org_x + where_.fx0 * m.window_ext_x) * dx;
  t.sy = dy;
  t.oy = where_.y - (m.window_org_y + where_.fy0 * m.window_ext_y) * dy;
  player_.set_transform(t);
}

void WmfPlayer::add_object(HGDIOBJ object) {
  if (free_.empty()) {
    if (object) DeleteObject(object);
    return;
  }
  uint32_t slot = *free_.begin();
  free_.erase(free_.begin());
  player_.put(slot, object);
}

void WmfPlayer::create_object(uint16_t function, Bytes p) {
  HGDIOBJ object = nullptr;
  if (function == kCreatePen && p.fits(0, 10)) {
    object = player_.make_pen(p.u16(0), p.i16(2), p.u32(6));
  } else if (function == kCreateBrush && p.fits(0, 8)) {
    object = player_.make_brush(p.u16(0), p.u32(2), p.u16(6));
  } else if (function == kCreateFont && p.fits(0, 18)) {
    FontRecord f;
    f.height = p.i16(0);
    f.width = p.i16(2);
    f.escapement = p.i16(4);
    f.orientation = p.i16(6);
    f.weight = p.i16(8);
    f.italic = p.u8(10);
    f.underline = p.u8(11);
    f.strike_out = p.u8(12);
    f.char_set = p.u8(13);
    f.out_precision = p.u8(14);
    f.clip_precision = p.u8(15);
    f.quality = p.u8(16);
    f.pitch_and_family = p.u8(17);
    Bytes face = p.from(18).first(LF_FACESIZE);
    f.face.assign(reinterpret_cast<const char*>(face.data()), face.size());
    f.face.resize(std::strlen(f.face.c_str()));
    object = player_.make_font(f);
  }
  add_object(object);
}

// Boxes are stored bottom, right, top, left; arcs and pies put their end
// and start points in front (end y, end x, start y, start x).
void WmfPlayer::draw_box(uint16_t function, Bytes p) {
  bool arc = function == kArc || function == kPie;
  size_t box_at = arc ? 8 : function == kRoundRect ? 4 : 0;
  if (!p.fits(box_at, 8)) return;
  RECT b = player_.box(p.i16(box_at + 6), p.i16(box_at + 4), p.i16(box_at + 2), p.i16(box_at));
  HDC dc = player_.dc();
  if (function == kEllipse) {
    Ellipse(dc, b.left, b.top, b.right, b.bottom);
  } else if (!arc) {
    Rectangle(dc, b.left, b.top, b.right, b.bottom);  // corners drawn square
  } else {
    POINT s = player_.point(p.i16(6), p.i16(4)), e = player_.point(p.i16(2), p.i16(0));
    if (player_.mirrored()) std::swap(s, e);
    if (function == kArc)
      Arc(dc, b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y);
    else
      Pie(dc, b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y);
  }
}

// Polygon and polyline: count, then x, y pairs. Poly-polygon: figure count,
// the count of each figure, then all points.
void WmfPlayer::draw_points(uint16_t function, Bytes p) {
  if (!p.fits(0, 2)) return;
  std::vector<size_t> counts;
  size_t at = 2;
  if (function == kPolyPolygon) {
    size_t figures = p.u16(0);
    if (!p.fits(2, figures * 2)) return;
    for (size_t i = 0; i < figures; ++i) counts.push_back(p.u16(2 + 2 * i));
    at += figures * 2;
  } else {
    counts.push_back(p.u16(0));
  }
  for (size_t count : counts) {
    if (!p.fits(at, count * 4)) return;
    std::vector<POINT> points;
    for (size_t i = 0; i < count; ++i) points.push_back(player_.point(p.i16(at + 4 * i), p.i16(at + 4 * i + 2)));
    at += count * 4;
    if (function == kPolyline)
      Polyline(player_.dc(), points.data(), int(points.size()));
    else
      Polygon(player_.dc(), points.data(), int(points.size()));
  }
}

// TextOut: count, string padded to a word, y, x. ExtTextOut: y, x, count,
// options, a rectangle when clipped or opaque, then the string.
void WmfPlayer::draw_text(uint16_t function, Bytes p) {
  if (function == kTextOut) {
    if (!p.fits(0, 2)) return;
    size_t count = p.u16(0), padded = (count + 1) & ~size_t(1);
    if (!p.fits(2 + padded, 4)) return;
    std::string text(reinterpret_cast<const char*>(p.data() + 2), count);
    player_.text(player_.point(p.i16(4 + padded), p.i16(2 + padded)), text, nullptr);
    return;
  }
  if (!p.fits(0, 8)) return;
  size_t count = p.u16(4);
  uint16_t options = p.u16(6);
  bool has_box = options & (kTextOpaque | kTextClipped);
  size_t text_at = has_box ? 16 : 8;
  if (!p.fits(text_at, count)) return;
  std::string text(reinterpret_cast<const char*>(p.data() + text_at), count);
  RECT box{};
  if (has_box) box = player_.box(p.i16(8), p.i16(10), p.i16(12), p.i16(14));
  bool opaque_box = (options & kTextOpaque) && box.right > box.left && box.bottom > box.top;
  player_.text(player_.point(p.i16(2), p.i16(0)), text, opaque_box ? &box : nullptr);
}

// StretchDIB: raster operation (2 words), colour use, source height, width,
// y, x, destination height, width, y, x, then the bitmap. DIBStretchBlt has
// no colour use word. Source rows of a bottom-up bitmap count from its bottom
// in StretchDIB, from its top in DIBStretchBlt.
void WmfPlayer::draw_dib(uint16_t function, Bytes p) {
  size_t at = function == kStretchDib ? 6 : 4;
  if (!p.fits(at, 16)) return;
  RasterImage image;
  Bytes dib = p.from(at + 16);
  if (!dib.fits(0, 16) || !decode_dib(dib, 0, false, &image)) return;
  double sh = p.i16(at), sw = p.i16(at + 2), sy = p.i16(at + 4), sx = p.i16(at + 6);
  double dh = p.i16(at + 8), dw = p.i16(at + 10), dy = p.i16(at + 12), dx = p.i16(at + 14);
  if (function == kStretchDib && dib.i32(8) > 0) sy = image.height - sy - sh;
  POINT a = player_.point(dx, dy), b = player_.point(dx + dw, dy + dh);
  Placement part{sx / image.width, sy / image.height, (sx + sw) / image.width,
                 (sy + sh) / image.height, a.x, a.y, b.x - a.x, b.y - a.y};
  draw_raster(player_.dc(), image, part);
}

bool WmfPlayer::play(uint16_t function, Bytes p) {
  HDC dc = player_.dc();
  bool has_word = p.fits(0, 2), has_pair = p.fits(0, 4);
  int16_t w0 = has_word ? p.i16(0) : 0, w1 = has_pair ? p.i16(2) : 0;
  switch (function) {
    case kEof:
      return false;
    case kSetWindowOrg:
      if (has_pair) {
        mapping_.window_org_y = w0;
        mapping_.window_org_x = w1;
        update_transform();
      }
      break;
    case kSetWindowExt:
      if (has_pair && w0 != 0 && w1 != 0) {
        mapping_.window_ext_y = w0;
        mapping_.window_ext_x = w1;
        update_transform();
      }
      break;
    case kSetBkMode:
      if (has_word) SetBkMode(dc, w0);
      break;
    case kSetRop2:
      if (has_word) SetROP2(dc, w0);
      break;
    case kSetTextAlign:
      if (has_word) SetTextAlign(dc, UINT(uint16_t(w0)));
      break;
    case kSetTextColor: case kSetBkColor:
      if (has_pair) {
        COLORREF color = p.u32(0) & 0xFFFFFF;
        function == kSetTextColor ? SetTextColor(dc, color) : SetBkColor(dc, color);
      }
      break;
    case kMoveTo: case kLineTo:
      if (has_pair) {
        POINT at = player_.point(w1, w0);
        function == kMoveTo ? MoveToEx(dc, at.x, at.y, nullptr) : LineTo(dc, at.x, at.y);
      }
      break;
    case kSaveDc:
      player_.save(mapping_);
      break;
    case kRestoreDc:
      if (has_word && player_.restore(w0, &mapping_)) update_transform();
      break;
    case kSelectObject:
      if (has_word) player_.select(uint16_t(w0));
      break;
    case kDeleteObject:
      if (has_word && player_.used(uint16_t(w0))) {
        player_.erase(uint16_t(w0));
        free_.insert(uint16_t(w0));
      }
      break;
    case kCreatePen: case kCreateBrush: case kCreateFont: case kCreatePalette:
    case kCreatePatternBrush: case kDibCreatePatternBrush: case kCreateRegion:
      create_object(function, p);
      break;
    case kRectangle: case kEllipse: case kRoundRect: case kArc: case kPie:
      draw_box(function, p);
      break;
    case kPolygon: case kPolyline: case kPolyPolygon:
      draw_points(function, p);
      break;
    case kTextOut: case kExtTextOut:
      draw_text(function, p);
      break;
    case kStretchDib: case kDibStretchBlt:
      draw_dib(function, p);
      break;
    default:
      break;  // records that do not draw, or that we do not draw
  }
  return true;
}

}  // namespace

bool read_wmf_info(Bytes file, MetafileInfo* info) {
  Header h;
  if (!read_header(file, &h)) return false;
  info->enhanced = false;
  info->width_himetric = himetric(h.width, h.units_per_inch);
  info->height_himetric = himetric(h.height, h.units_per_inch);
  return info->width_himetric > 0 && info->height_himetric > 0;
}

void play_wmf(Bytes file, HDC hdc, const Placement& where) {
  Header h;
  if (!read_header(file, &h) || where.fx0 == where.fx1 || where.fy0 == where.fy1) return;
  WmfPlayer player(h, hdc, where);
  uint64_t at = h.records_at;
  while (file.fits(at, 6)) {
    uint64_t size = uint64_t(file.u32(size_t(at))) * 2;
    if (size < 6 || !file.fits(at, size)) break;
    if (!player.play(file.u16(size_t(at + 4)), file.from(size_t(at + 6)).first(size_t(size - 6))))
      break;
    at += size;
  }
}

}  // namespace kelplat::picture
