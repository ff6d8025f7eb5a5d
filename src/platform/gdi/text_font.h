// Font instances: a font request made concrete in one face at one size and
// angle, with its metrics and a cache of its monochrome glyphs.
//
// Heights and widths follow the request's conventions: a positive height is
// the character-cell height (ascent + descent) in pixels, a negative one the
// em height, 0 a cell of 16 pixels; a non-zero width is the average character
// width, reached by scaling the face horizontally. Escapement (tenths of a
// degree, counter-clockwise) turns the baseline. Cell sizes are limited to
// kMaxCellPixels so that a hostile request cannot ask for gigantic glyphs.
// Underline and strike-out do not change glyphs: the instance only knows
// where their strokes go, and text output draws them when the font asks.
#ifndef KEL_PLATFORM_GDI_TEXT_FONT_H
#define KEL_PLATFORM_GDI_TEXT_FONT_H

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "console_glyphs.h"
#include "gdi_objects.h"
#include "text_faces.h"

#include FT_TRUETYPE_TABLES_H

namespace kelplat::gdi {
namespace text {

constexpr int kMaxCellPixels = 2048;
constexpr int kDefaultCellPixels = 16;

// The character a byte stands for in the Western code page.
uint32_t code_point(unsigned char byte);

// A run of ink pixels on one row, relative to the glyph's pen position in
// device orientation (x right, y down): pixels x0 .. x1-1 of row y.
struct Span {
  int32_t y;
  int32_t x0;
  int32_t x1;
};

struct Glyph {
  int advance = 0;  // whole pixels along the baseline, never negative
  // Bounds of the ink relative to the pen position, right/bottom exclusive;
  // empty (left == right) when the glyph has no ink.
  int left = 0, top = 0, right = 0, bottom = 0;
  std::vector<Span> spans;  // sorted by row
};

// Adds the ink of a monochrome bitmap whose top-left pixel lies at (left,
// top) from the pen position to the glyph's spans and bounds.
void collect_spans(const FT_Bitmap& bitmap, int left, int top, Glyph& glyph);

}  // namespace text

struct FontInstance {
  FontInstance(text::FaceEntry* face, const LOGFONTA& logfont);
  ~FontInstance();
  FontInstance(const FontInstance&) = delete;
  FontInstance& operator=(const FontInstance&) = delete;

  // The glyph of a byte, rendered on first use and kept. Thread-safe.
  const text::Glyph& glyph(unsigned char byte) {
    const text::Glyph* cached = glyphs_[byte].load(std::memory_order_acquire);
    return cached ? *cached : build_glyph(byte);
  }
  // The advances of the glyphs of `length` bytes, summed; glyphs not made
  // yet are made.
  int64_t width(const unsigned char* text, size_t length);

  int ascent = 0;   // pixels above the baseline
  int descent = 0;  // pixels below it
  int cell_height() const { return ascent + descent; }
  // A stroke along the baseline: from `top` pixels below it (negative:
  // above), `height` pixels thick.
  struct Stroke {
    int top = 0;
    int height = 1;
  };
  Stroke underline, strike_out;
  // Direction of the baseline in device orientation: (cos, -sin) of the
  // escapement; exact integers when the angle is a multiple of 90 degrees.
  double dir_x = 1.0, dir_y = 0.0;
  bool axis_aligned = true;
  // No ink of any glyph lies farther than this from its pen position.
  int reach = 0;

 private:
  const text::Glyph& build_glyph(unsigned char byte);
  void set_metrics(const LOGFONTA& logfont);
  void set_strokes(FT_Face face, const TT_OS2* os2, double scale);
  void render(text::Glyph& glyph, unsigned char byte);
  void set_direction(int tenths);
  void set_console_metrics();

  text::FaceEntry* face_ = nullptr;  // null: no font at all, nothing is drawn
  text::ConsoleScale console_;       // drawn: the console face, face_ unused
  int quarter_turns_ = 0;
  std::mutex console_mutex_;
  FT_Size size_ = nullptr;
  FT_Matrix rotation_{0x10000, 0, 0, 0x10000};
  std::array<std::atomic<const text::Glyph*>, 256> glyphs_{};
  std::array<std::unique_ptr<text::Glyph>, 256> owned_;
  std::array<std::atomic<int>, 256> advances_;  // -1 until the glyph is made
};

// The instance a font object draws with, built on first use; null only when
// `font` is null. Instances of equal requests are shared; the font keeps its
// instance alive.
FontInstance* instance_of(Font* font);

// The font a device context draws with: its selected font, or the stock
// system font when the selection is gone.
Font* font_of(const DeviceContext& dc);

}  // namespace kelplat::gdi

#endif  // KEL_PLATFORM_GDI_TEXT_FONT_H
