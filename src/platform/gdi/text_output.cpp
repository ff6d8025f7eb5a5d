// Text output and measurement: CreateFontA, the text alignment of a device
// context, TextOutA and GetTextExtentPoint32A.
//
// Glyphs are monochrome, so every pixel text touches becomes exactly the text
// colour (or, in opaque mode, the background colour inside the character
// cells). Text is laid out along a baseline turned by the font's escapement;
// the alignment flags place the reference point at the left end, centre or
// right end of the text and at the top of the cell, the baseline or the
// bottom of the cell, all measured along and across that baseline. Underline
// and strike-out strokes run along the baseline over the text's whole width.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <limits>

#include "gdi_core.h"
#include "text_font.h"

namespace kelplat::gdi {
namespace {

struct PointD {
  double x, y;
};

LONG clamp_long(int64_t value) {
  return LONG(std::clamp<int64_t>(value, std::numeric_limits<LONG>::min(),
                                  std::numeric_limits<LONG>::max()));
}

// Perpendicular to the baseline, pointing from the top of the cell to its
// bottom.
PointD down_of(const FontInstance& font) { return {-font.dir_y, font.dir_x}; }

// The pen position of the first character, from the reference point and the
// alignment flags.
PointD baseline_start(const FontInstance& font, PointD ref, UINT align, int64_t width) {
  double along = 0;  // distance back along the baseline
  if ((align & TA_CENTER) == TA_CENTER)
    along = double(width / 2);
  else if (align & TA_RIGHT)
    along = double(width);
  double across = 0;  // distance down from the reference point to the baseline
  if ((align & TA_BASELINE) == TA_BASELINE)
    across = 0;
  else if (align & TA_BOTTOM)
    across = -font.descent;
  else
    across = font.ascent;
  PointD down = down_of(font);
  return {ref.x - along * font.dir_x + across * down.x,
          ref.y - along * font.dir_y + across * down.y};
}

void fill_row(Bitmap& bitmap, int y, int x0, int x1, uint32_t pixel) {
  uint32_t* row = bitmap.row32(y);
  std::fill(row + x0, row + x1, pixel);
}

// The same for long runs: the C library's wide-character fill is vectorised,
// and it stores exactly the 32-bit units of a pixel row.
void fill_long_row(Bitmap& bitmap, int y, int x0, int x1, uint32_t pixel) {
  static_assert(sizeof(wchar_t) == sizeof(uint32_t));
  wmemset(reinterpret_cast<wchar_t*>(bitmap.row32(y) + x0), static_cast<wchar_t>(pixel),
          size_t(x1 - x0));
}

// Fills the pixels whose centres lie inside the convex quadrilateral, clipped.
void fill_quad(Bitmap& bitmap, const RECT& clip, const PointD (&corner)[4], uint32_t pixel) {
  double top = corner[0].y, bottom = corner[0].y;
  for (const PointD& p : corner) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  const int64_t first = std::max<int64_t>(clip.top, int64_t(std::ceil(top - 0.5)));
  const int64_t last = std::min<int64_t>(clip.bottom, int64_t(std::ceil(bottom - 0.5)));
  for (int64_t y = first; y < last; ++y) {
    const double centre = double(y) + 0.5;
    double left = std::numeric_limits<double>::infinity(), right = -left;
    for (int i = 0; i < 4; ++i) {
      const PointD& a = corner[i];
      const PointD& b = corner[(i + 1) % 4];
      if ((a.y <= centre) == (b.y <= centre)) continue;  // edge does not cross this row
      const double x = a.x + (centre - a.y) * (b.x - a.x) / (b.y - a.y);
      left = std::min(left, x);
      right = std::max(right, x);
    }
    if (!(left < right)) continue;
    const int64_t x0 = std::max<int64_t>(clip.left, int64_t(std::ceil(left - 0.5)));
    const int64_t x1 = std::min<int64_t>(clip.right, int64_t(std::ceil(right - 0.5)));
    if (x0 < x1) fill_long_row(bitmap, int(y), int(x0), int(x1), pixel);
  }
}

// A band along the text: `width` along the baseline from `start`, and from
// `from` to `to` pixels below the baseline across it (negative: above).
void fill_band(Bitmap& bitmap, const RECT& clip, const FontInstance& font, PointD start,
               int64_t width, double from, double to, uint32_t pixel) {
  const PointD down = down_of(font);
  const double w = double(width);
  auto at = [&](double along, double across) {
    return PointD{start.x + along * font.dir_x + across * down.x,
                  start.y + along * font.dir_y + across * down.y};
  };
  const PointD corner[4] = {at(0, from), at(w, from), at(w, to), at(0, to)};
  fill_quad(bitmap, clip, corner, pixel);
}

void fill_stroke(Bitmap& bitmap, const RECT& clip, const FontInstance& font, PointD start,
                 int64_t width, FontInstance::Stroke stroke, uint32_t pixel) {
  fill_band(bitmap, clip, font, start, width, stroke.top, stroke.top + stroke.height, pixel);
}

void blit_glyph(Bitmap& bitmap, const RECT& clip, const text::Glyph& glyph, int64_t x, int64_t y,
                uint32_t pixel) {
  const int64_t left = x + glyph.left, right = x + glyph.right;
  const int64_t top = y + glyph.top, bottom = y + glyph.bottom;
  if (right <= clip.left || left >= clip.right || bottom <= clip.top || top >= clip.bottom) return;
  const int px = int(x), py = int(y);  // within reach of the clip rectangle, so they fit
  if (left >= clip.left && right <= clip.right && top >= clip.top && bottom <= clip.bottom) {
    for (const text::Span& s : glyph.spans) fill_row(bitmap, py + s.y, px + s.x0, px + s.x1, pixel);
    return;
  }
  for (const text::Span& s : glyph.spans) {
    const int row = py + s.y;
    if (row < clip.top || row >= clip.bottom) continue;
    const int x0 = std::max<int>(clip.left, px + s.x0), x1 = std::min<int>(clip.right, px + s.x1);
    if (x0 < x1) fill_row(bitmap, row, x0, x1, pixel);
  }
}

// Draws the glyphs from `start` on; stops as soon as the pen has passed the
// clip rectangle for good, since nothing after it could show.
void draw_glyphs(Bitmap& bitmap, const RECT& clip, FontInstance& font, const unsigned char* text,
                 size_t length, PointD start, uint32_t pixel) {
  double beyond = -std::numeric_limits<double>::infinity();
  for (double cx : {double(clip.left), double(clip.right)})
    for (double cy : {double(clip.top), double(clip.bottom)})
      beyond = std::max(beyond, cx * font.dir_x + cy * font.dir_y);
  beyond += font.reach;
  const double start_along = start.x * font.dir_x + start.y * font.dir_y;

  const int64_t sx = std::llround(start.x), sy = std::llround(start.y);
  const int64_t dx = std::llround(font.dir_x), dy = std::llround(font.dir_y);
  int64_t distance = 0;
  for (size_t i = 0; i < length; ++i) {
    if (start_along + double(distance) > beyond) break;
    const text::Glyph& glyph = font.glyph(text[i]);
    if (!glyph.spans.empty()) {
      if (font.axis_aligned)
        blit_glyph(bitmap, clip, glyph, sx + distance * dx, sy + distance * dy, pixel);
      else
        blit_glyph(bitmap, clip, glyph, std::llround(start.x + double(distance) * font.dir_x),
                   std::llround(start.y + double(distance) * font.dir_y), pixel);
    }
    distance += glyph.advance;
  }
}

void draw_text(DeviceContext& dc, FontInstance& font, const LOGFONTA& request,
               const unsigned char* text, size_t length, int64_t width, POINT ref) {
  Bitmap* bitmap = dc.target();
  if (!bitmap || !bitmap->is_color()) return;  // text is drawn on colour targets only
  const RECT clip = dc.drawable();
  if (clip.left >= clip.right || clip.top >= clip.bottom) return;
  const PointD device{double(ref.x) + dc.viewport_org.x, double(ref.y) + dc.viewport_org.y};
  const PointD start = baseline_start(font, device, dc.text_align, width);
  if (dc.bk_mode == OPAQUE)
    fill_band(*bitmap, clip, font, start, width, -font.ascent, font.descent, to_pixel(dc.bk_color));
  const uint32_t ink = to_pixel(dc.text_color);
  draw_glyphs(*bitmap, clip, font, text, length, start, ink);
  if (request.lfUnderline) fill_stroke(*bitmap, clip, font, start, width, font.underline, ink);
  if (request.lfStrikeOut) fill_stroke(*bitmap, clip, font, start, width, font.strike_out, ink);
}

// The current position after text output: past the text for left
// alignment, back by its width for right alignment, unmoved when centred.
void move_position(DeviceContext& dc, const FontInstance& font, int64_t width) {
  double sign = 0;
  if ((dc.text_align & TA_CENTER) == TA_CENTER)
    sign = 0;
  else if (dc.text_align & TA_RIGHT)
    sign = -1;
  else
    sign = 1;
  dc.position.x = clamp_long(dc.position.x + std::llround(sign * double(width) * font.dir_x));
  dc.position.y = clamp_long(dc.position.y + std::llround(sign * double(width) * font.dir_y));
}

bool valid_text(LPCSTR text, int length) { return length >= 0 && (text || length == 0); }

}  // namespace
}  // namespace kelplat::gdi

using namespace kelplat::gdi;

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strike_out, DWORD char_set,
                         DWORD out_precision, DWORD clip_precision, DWORD quality,
                         DWORD pitch_and_family, LPCSTR face_name) {
  auto font = std::make_unique<Font>();
  LOGFONTA& lf = font->logfont;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic);
  lf.lfUnderline = BYTE(underline);
  lf.lfStrikeOut = BYTE(strike_out);
  lf.lfCharSet = BYTE(char_set);
  lf.lfOutPrecision = BYTE(out_precision);
  lf.lfClipPrecision = BYTE(clip_precision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitch_and_family);
  if (face_name) std::strncpy(lf.lfFaceName, face_name, LF_FACESIZE - 1);
  return reinterpret_cast<HFONT>(table().insert(std::move(font)));
}

UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc) return UINT(GDI_ERROR);
  UINT old = dc->text_align;
  dc->text_align = align & TA_MASK;
  return old;
}

UINT WINAPI GetTextAlign(HDC hdc) {
  DeviceContext* dc = fast_dc(hdc);
  return dc ? dc->text_align : UINT(GDI_ERROR);
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR text, int length) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || !valid_text(text, length)) return FALSE;
  Font* request = font_of(*dc);
  FontInstance* font = instance_of(request);
  if (!font) return TRUE;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const int64_t width = font->width(bytes, size_t(length));
  const bool update_position = dc->text_align & TA_UPDATECP;
  const POINT ref = update_position ? dc->position : POINT{x, y};
  if (dc->type == DeviceContext::Type::Printer) {
    note_printer_call(*dc, "TextOutA " + std::to_string(ref.x) + " " + std::to_string(ref.y) + " " +
                               std::string(text, size_t(length)));
  }
  if (length > 0) draw_text(*dc, *font, request->logfont, bytes, size_t(length), width, ref);
  if (update_position) move_position(*dc, *font, width);
  return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, LPSIZE size) {
  DeviceContext* dc = fast_dc(hdc);
  if (!dc || !size) return FALSE;
  *size = SIZE{0, 0};
  if (!valid_text(text, length)) return FALSE;
  FontInstance* font = instance_of(font_of(*dc));
  if (!font) return TRUE;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  size->cx = clamp_long(font->width(bytes, size_t(length)));
  size->cy = font->cell_height();
  return TRUE;
}
