#include "text_font.h"

#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <numbers>
#include <tuple>

namespace kelplat::gdi {
namespace text {

uint32_t code_point(unsigned char byte) {
  // 0x80..0x9F of the Western code page; the five unassigned bytes keep
  // their own value, as the platform's conversion does.
  static constexpr uint16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  return (byte >= 0x80 && byte < 0xA0) ? kHigh[byte - 0x80] : byte;
}

namespace {

// A request brought into the ranges that the instance supports: the cell
// height (positive) or em height (negative) and the average width limited to
// kMaxCellPixels, 0 height meaning the default cell, escapement in 0..3599.
LOGFONTA normalized(const LOGFONTA& logfont) {
  LOGFONTA n = logfont;
  int64_t height = logfont.lfHeight;
  if (height == 0) height = kDefaultCellPixels;
  n.lfHeight = LONG(std::clamp<int64_t>(height, -kMaxCellPixels, kMaxCellPixels));
  n.lfWidth = LONG(std::min<int64_t>(std::llabs(int64_t(logfont.lfWidth)), kMaxCellPixels));
  n.lfEscapement = LONG((int64_t(logfont.lfEscapement) % 3600 + 3600) % 3600);
  return n;
}

}  // namespace

void collect_spans(const FT_Bitmap& bitmap, int left, int top, Glyph& glyph) {
  const int pitch = std::abs(bitmap.pitch);
  for (unsigned r = 0; r < bitmap.rows; ++r) {
    unsigned stored = bitmap.pitch >= 0 ? r : bitmap.rows - 1 - r;
    const unsigned char* row = bitmap.buffer + size_t(stored) * pitch;
    auto ink = [row](unsigned c) { return (row[c >> 3] >> (7 - (c & 7))) & 1; };
    for (unsigned c = 0; c < bitmap.width;) {
      if (!ink(c)) {
        ++c;
        continue;
      }
      unsigned start = c;
      while (c < bitmap.width && ink(c)) ++c;
      glyph.spans.push_back({top + int(r), left + int(start), left + int(c)});
    }
  }
  if (glyph.spans.empty()) return;
  glyph.top = glyph.spans.front().y;
  glyph.bottom = glyph.spans.back().y + 1;
  glyph.left = glyph.spans.front().x0;
  glyph.right = glyph.spans.front().x1;
  for (const Span& s : glyph.spans) {
    glyph.left = std::min(glyph.left, int(s.x0));
    glyph.right = std::max(glyph.right, int(s.x1));
  }
}

namespace {

// The average character width in font units, as the classic definition has
// it: the advances of the lower-case letters and the space, weighted by how
// often they occur in text. Metric-compatible faces share their advances with
// the faces they stand in for, so this average matches theirs even where the
// value stored in the font differs. 0 when a character is missing.
double weighted_average_width(FT_Face face) {
  static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                       56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
  double sum = 0;
  for (int i = 0; i < 27; ++i) {
    FT_UInt index = FT_Get_Char_Index(face, i < 26 ? 'a' + i : ' ');
    FT_Fixed advance = 0;
    if (index == 0 || FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance) != 0) return 0;
    sum += double(advance) * kWeights[i];
  }
  return sum / 1000;
}

struct InstanceCache {
  using Key = std::tuple<FaceEntry*, bool, LONG, LONG, LONG>;
  static constexpr size_t kKept = 64;
  std::mutex mutex;
  std::map<Key, std::shared_ptr<FontInstance>> instances;
  std::deque<Key> order;  // oldest first

  std::shared_ptr<FontInstance> get(const LOGFONTA& request) {
    LOGFONTA logfont = normalized(request);
    const bool console = console_scale(logfont).drawn();
    FaceEntry* face = console ? nullptr : resolve_face(classify(logfont));
    Key key{face, console, logfont.lfHeight, logfont.lfWidth, logfont.lfEscapement};
    std::lock_guard<std::mutex> lock(mutex);
    auto found = instances.find(key);
    if (found != instances.end()) return found->second;
    auto instance = std::make_shared<FontInstance>(face, logfont);
    instances.emplace(key, instance);
    order.push_back(key);
    if (order.size() > kKept) {
      instances.erase(order.front());  // fonts that use it keep it alive
      order.pop_front();
    }
    return instance;
  }
};

}  // namespace
}  // namespace text

FontInstance::FontInstance(text::FaceEntry* face, const LOGFONTA& logfont)
    : face_(face), console_(text::console_scale(logfont)) {
  for (std::atomic<int>& advance : advances_) advance.store(-1, std::memory_order_relaxed);
  set_direction(logfont.lfEscapement);
  if (console_.drawn()) {
    set_console_metrics();
    return;
  }
  if (!face_) return;
  std::lock_guard<std::mutex> lock(face_->mutex);
  if (FT_New_Size(face_->face, &size_) != 0) {
    size_ = nullptr;
    face_ = nullptr;
    return;
  }
  set_metrics(logfont);
}

FontInstance::~FontInstance() {
  for (auto& slot : glyphs_) slot.store(nullptr, std::memory_order_relaxed);
  if (!face_) return;
  std::lock_guard<std::mutex> lock(face_->mutex);
  FT_Done_Size(size_);
}

void FontInstance::set_metrics(const LOGFONTA& logfont) {
  FT_Face face = face_->face;
  const double em = face->units_per_EM > 0 ? face->units_per_EM : 1000.0;
  double above = 0.8 * em, below = 0.2 * em;  // ascent and descent in font units
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    above = os2->usWinAscent;
    below = os2->usWinDescent;
  } else if (face->ascender - face->descender > 0) {
    above = std::max<double>(face->ascender, 0);
    below = std::max<double>(-face->descender, 0);
  }

  double y_ppem;
  if (logfont.lfHeight > 0) {
    const int cell = logfont.lfHeight;
    y_ppem = cell * em / (above + below);
    ascent = int(std::lround(above * cell / (above + below)));
    descent = cell - ascent;
  } else {
    y_ppem = -double(logfont.lfHeight);
    ascent = int(std::lround(above * y_ppem / em));
    descent = int(std::lround(below * y_ppem / em));
  }

  double average_units = text::weighted_average_width(face);
  if (average_units <= 0 && os2 && os2->version != 0xFFFF) average_units = os2->xAvgCharWidth;
  if (average_units <= 0) average_units = em / 2;
  double x_ppem = logfont.lfWidth > 0 ? logfont.lfWidth * em / average_units : y_ppem;
  x_ppem = std::clamp(x_ppem, 1.0, 2.0 * text::kMaxCellPixels);
  y_ppem = std::clamp(y_ppem, 1.0, 2.0 * text::kMaxCellPixels);
  set_strokes(face, os2, y_ppem / em);

  FT_Activate_Size(size_);
  FT_Set_Char_Size(face, FT_F26Dot6(x_ppem * 64), FT_F26Dot6(y_ppem * 64), 72, 72);

  const double bbox =
      std::max({std::abs(double(face->bbox.xMin)), std::abs(double(face->bbox.xMax)),
                std::abs(double(face->bbox.yMin)), std::abs(double(face->bbox.yMax))});
  const double ppem = std::max(x_ppem, y_ppem);
  reach = int(std::min(std::max(bbox / em * 1.5, 2.0) * ppem, 64.0 * text::kMaxCellPixels)) + 4;
}

void FontInstance::set_direction(int tenths) {
  double c, s;
  if (tenths % 900 == 0) {
    static constexpr int kCos[4] = {1, 0, -1, 0}, kSin[4] = {0, 1, 0, -1};
    c = kCos[tenths / 900];
    s = kSin[tenths / 900];
  } else {
    const double radians = tenths / 10.0 * std::numbers::pi / 180.0;
    c = std::cos(radians);
    s = std::sin(radians);
    axis_aligned = false;
  }
  dir_x = c;
  dir_y = -s;  // device y grows downward
  rotation_ = {FT_Fixed(std::lround(c * 65536)), FT_Fixed(std::lround(-s * 65536)),
               FT_Fixed(std::lround(s * 65536)), FT_Fixed(std::lround(c * 65536))};
  quarter_turns_ = tenths / 900;
}

// The console face: 7 glyph rows above the baseline, 1 below; the underline
// on the row below, the strike-out through the middle of the letters.
void FontInstance::set_console_metrics() {
  ascent = 7 * console_.y;
  descent = console_.y;
  underline = Stroke{0, console_.y};
  strike_out = Stroke{-3 * console_.y, console_.y};
  reach = 8 * std::max(console_.x, console_.y) + 4;
}

void FontInstance::set_strokes(FT_Face face, const TT_OS2* os2, double scale) {
  // The underline's position in the face is the centre of its stroke.
  underline.height = std::max(1, int(std::lround(face->underline_thickness * scale)));
  const int below = int(std::lround(-face->underline_position * scale)) - underline.height / 2;
  underline.top = std::clamp(below, 1, std::max(1, descent - underline.height));
  // The strike-out's position is the top of its stroke.
  const bool has_strike = os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0;
  strike_out.height =
      has_strike ? std::max(1, int(std::lround(os2->yStrikeoutSize * scale))) : underline.height;
  strike_out.top = has_strike ? -int(std::lround(os2->yStrikeoutPosition * scale))
                              : -(ascent / 3) - strike_out.height / 2;
}

const text::Glyph& FontInstance::build_glyph(unsigned char byte) {
  static const text::Glyph kNothing;
  if (!face_ && !console_.drawn()) return kNothing;
  std::lock_guard<std::mutex> lock(console_.drawn() ? console_mutex_ : face_->mutex);
  if (const text::Glyph* cached = glyphs_[byte].load(std::memory_order_acquire)) return *cached;
  auto glyph = std::make_unique<text::Glyph>();
  render(*glyph, byte);
  owned_[byte] = std::move(glyph);
  glyphs_[byte].store(owned_[byte].get(), std::memory_order_release);
  advances_[byte].store(owned_[byte]->advance, std::memory_order_relaxed);
  return *owned_[byte];
}

// An advance is a plain load once its glyph is made (-1 before).
int64_t FontInstance::width(const unsigned char* text, size_t length) {
  int64_t total = 0;
  for (size_t i = 0; i < length; ++i) {
    const int known = advances_[text[i]].load(std::memory_order_relaxed);
    total += known >= 0 ? known : glyph(text[i]).advance;
  }
  return total;
}

void FontInstance::render(text::Glyph& glyph, unsigned char byte) {
  if (console_.drawn()) {
    text::console_glyph(byte, console_, quarter_turns_, glyph);
    return;
  }
  FT_Face face = face_->face;
  FT_Activate_Size(size_);
  FT_Set_Transform(face, nullptr, nullptr);
  FT_UInt index = FT_Get_Char_Index(face, text::code_point(byte));
  if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0) return;
  FT_GlyphSlot slot = face->glyph;
  glyph.advance = int(std::max<FT_Pos>(0, (slot->advance.x + 32) >> 6));
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return;
  if (!(rotation_.xx == 0x10000 && rotation_.xy == 0))
    FT_Outline_Transform(&slot->outline, &rotation_);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return;
  if (slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return;
  text::collect_spans(slot->bitmap, slot->bitmap_left, -slot->bitmap_top, glyph);
}

FontInstance* instance_of(Font* font) {
  if (!font) return nullptr;
  if (FontInstance* ready = font->ready.load(std::memory_order_acquire)) return ready;
  std::lock_guard<std::mutex> lock(font->mutex);
  if (!font->instance) font->instance = immortal<text::InstanceCache>().get(font->logfont);
  font->ready.store(font->instance.get(), std::memory_order_release);
  return font->instance.get();
}

Font* font_of(const DeviceContext& dc) {
  if (Font* font = lookup<Font>(dc.font)) return font;
  return lookup<Font>(GetStockObject(SYSTEM_FONT));
}

}  // namespace kelplat::gdi
