// Text: the text settings of a window, the fonts and alignment they build in
// the window's four page contexts, and text output and measurement.
//
// Out-of-range settings are stored as given (gettextsettings reports them),
// but never index a table: when a font or alignment is built, the font
// number is clamped to 0..10, a character size outside 0..10 to 1..10, and
// each justification to 0..2; a direction outside 0..3 turns the baseline by
// (direction % 4) quarter turns. A user-size divisor of 0 counts as 1.
// Strings that are UTF-8 with accented or other multi-byte characters are
// drawn and measured as those characters. Font 0 at the sizes 1 to 10 is
// drawn from the console font by the library itself (console_text.cpp);
// the other fonts are asked of the platform unsmoothed.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "console_text.h"
#include "kel_internal.h"

namespace {

const int kFontCount = 11;
const int kSizeCount = 11;

// clang-format off
const char* const font_name[kFontCount] = {
    "Console",     "Times New Roman", "Small Fonts",     "MS Sans Serif",
    "Arial",       "Script",          "Times New Roman", "Script",
    "Courier New", "Times New Roman", "Courier New Bold"};

// Pitch and family: low two bits the pitch (1 fixed, 2 variable), high four
// bits the family (0x00 any, 0x10 roman, 0x20 swiss, 0x30 modern, 0x40 script).
const int font_family[kFontCount] = {0x01, 0x12, 0x32, 0x02, 0x22, 0x42,
                                     0x02, 0x42, 0x02, 0x02, 0x02};

const int font_weight[kFontCount] = {700, 400, 400, 400, 400, 400, 400, 400, 400, 400, 700};

// Character-cell width and height in pixels by font and size; size 0 leaves
// the size to the platform.
const int font_metrics[kFontCount][kSizeCount][2] = {
    {{0, 0}, {8, 8}, {16, 16}, {24, 24}, {32, 32}, {40, 40},
     {48, 48}, {56, 56}, {64, 64}, {72, 72}, {80, 80}},
    {{0, 0}, {13, 18}, {14, 20}, {16, 23}, {22, 31}, {29, 41},
     {36, 51}, {44, 62}, {55, 77}, {66, 93}, {88, 124}},
    {{0, 0}, {3, 5}, {4, 6}, {4, 6}, {6, 9}, {8, 12},
     {10, 15}, {12, 18}, {15, 22}, {18, 27}, {24, 36}},
    {{0, 0}, {11, 19}, {12, 21}, {14, 24}, {19, 32}, {25, 42},
     {31, 53}, {38, 64}, {47, 80}, {57, 96}, {76, 128}},
    {{0, 0}, {13, 19}, {14, 21}, {16, 24}, {22, 32}, {29, 42},
     {36, 53}, {44, 64}, {55, 80}, {66, 96}, {88, 128}},
    {{0, 0}, {11, 19}, {12, 21}, {14, 24}, {19, 32}, {25, 42},
     {31, 53}, {38, 64}, {47, 80}, {57, 96}, {76, 128}},
    {{0, 0}, {11, 19}, {12, 21}, {14, 24}, {19, 32}, {25, 42},
     {31, 53}, {38, 64}, {47, 80}, {57, 96}, {76, 128}},
    {{0, 0}, {13, 18}, {14, 20}, {16, 23}, {22, 31}, {29, 41},
     {36, 51}, {44, 62}, {55, 77}, {66, 93}, {88, 124}},
    {{0, 0}, {11, 19}, {12, 21}, {14, 24}, {19, 32}, {25, 42},
     {31, 53}, {38, 64}, {47, 80}, {57, 96}, {76, 128}},
    {{0, 0}, {11, 19}, {12, 21}, {14, 24}, {19, 32}, {25, 42},
     {31, 53}, {38, 64}, {47, 80}, {57, 96}, {76, 128}},
    {{0, 0}, {11, 19}, {12, 21}, {14, 24}, {19, 32}, {25, 42},
     {31, 53}, {38, 64}, {47, 80}, {57, 96}, {76, 128}}};
// clang-format on

// Alignment flags by justification: left, centre, right; bottom, baseline, top.
const UINT horiz_align[3] = {TA_LEFT, TA_CENTER, TA_RIGHT};
const UINT vert_align[3] = {TA_BOTTOM, TA_BASELINE, TA_TOP};

int justification(int value) { return std::clamp(value, 0, 2); }

// A scaled cell dimension, truncated toward zero and kept within int.
int scaled(int size, double scale) {
  double value = size * scale;
  if (!(value > double(INT_MIN))) return INT_MIN;  // also catches NaN
  if (value >= double(INT_MAX)) return INT_MAX;
  return int(value);
}

double user_scale(int mult, int div) { return double(mult) / double(div == 0 ? 1 : div); }

// The characters of bytes 0x80..0x9F of the Western code page, by byte;
// 0 where the byte stands for no character.
const uint16_t code_page_high[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Western code page's byte for a character, '?' when it has none.
char code_page_byte(uint32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return char(c);
  for (int i = 0; i < 32; i++)
    if (code_page_high[i] == c) return char(0x80 + i);
  return '?';
}

// Decodes the UTF-8 sequence at `s` into `c` and returns its length; 0 when
// it is not a valid one (overlong, surrogate, beyond U+10FFFF, cut short).
size_t utf8_sequence(const unsigned char* s, uint32_t& c) {
  static const uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  size_t length = s[0] < 0x80 ? 1 : s[0] >= 0xF0 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC0 ? 2 : 0;
  if (length == 0 || s[0] > 0xF4) return 0;
  c = length == 1 ? s[0] : s[0] & (0x7F >> length);
  for (size_t i = 1; i < length; i++) {
    if ((s[i] & 0xC0) != 0x80) return 0;  // also stops at the terminating 0
    c = c << 6 | (s[i] & 0x3F);
  }
  if (c < kMinimum[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return 0;
  return length;
}

// Text that is valid UTF-8 with at least one multi-byte sequence is taken as
// UTF-8 and brought to the Western code page the fonts draw; any other byte
// string is in that code page already and comes back as it is.
std::string code_page_text(const char* text) {
  std::string converted;
  bool multi_byte = false;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s) {
    uint32_t c = 0;
    size_t length = utf8_sequence(s, c);
    if (length == 0) return text;
    multi_byte |= length > 1;
    converted += code_page_byte(c);
    s += length;
  }
  return multi_byte ? converted : std::string(text);
}

// Whether the `length` bytes at `text` are all ASCII, eight at a time.
bool ascii(const char* text, size_t length) {
  const uint64_t kHighBits = 0x8080808080808080u;
  uint64_t seen = 0;
  size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    uint64_t word;
    std::memcpy(&word, text + i, 8);
    seen |= word;
  }
  for (; i < length; i++) seen |= static_cast<unsigned char>(text[i]);
  return (seen & kHighBits) == 0;
}

// A caller's text as the fonts draw it: plain ASCII, the usual case, is
// used where it lies; anything else goes through code_page_text. A null
// text is empty.
class FontText {
 public:
  explicit FontText(const char* text) : text_(text ? text : "") {
    size_t length = std::strlen(text_);
    if (!ascii(text_, length)) {
      converted_ = code_page_text(text_);
      text_ = converted_.c_str();
      length = converted_.size();
    }
    length_ = int(std::min(length, size_t(INT_MAX)));
  }
  const char* data() const { return text_; }
  int length() const { return length_; }

 private:
  const char* text_;
  std::string converted_;
  int length_ = 0;
};

// Builds the font of the window's text settings and puts it into its four
// page contexts; the fonts it replaces are deleted once no page holds them.
void set_font(WindowData* pWndData) {
  const textsettingstype& text = pWndData->text;
  const int font = std::clamp(text.font, 0, kFontCount - 1);
  double xscale = 1.0, yscale = 1.0;
  int size;
  if (text.charsize == 0) {
    xscale = user_scale(pWndData->t_scale[0], pWndData->t_scale[1]);
    yscale = user_scale(pWndData->t_scale[2], pWndData->t_scale[3]);
    size = font == 0 ? 0 : 4;
  } else {
    size = std::clamp(text.charsize, 1, kSizeCount - 1);
  }
  const int width = font_metrics[font][size][0];
  const int height = font_metrics[font][size][1];
  HFONT hfont = CreateFontA(
      scaled(height, yscale), scaled(width, xscale), (text.direction % 4) * 900,
      (text.direction & 1) * 900, font_weight[font], 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, font_family[font], font_name[font]);
  if (!hfont) return;  // the pages keep the font they have
  pWndData->console_scale = font == 0 && size > 0 ? size : 0;

  HGDIOBJ replaced[4] = {};
  for (int i = 0; i < 4; i++) replaced[i] = SelectObject(pWndData->hDC[i], hfont);
  pWndData->char_widths.forget();
  const HGDIOBJ default_font = GetStockObject(SYSTEM_FONT);
  for (int i = 0; i < 4; i++) {
    HGDIOBJ old = replaced[i];
    if (!old || old == hfont || old == default_font) continue;
    if (std::find(replaced, replaced + i, old) != replaced + i) continue;  // deleted already
    DeleteObject(old);
  }
}

// Builds the alignment flags from the current-position mode and the
// justification, and puts them into the window's four page contexts. Along a
// turned baseline the two justifications exchange roles. The flags start from
// the mode as it is; text output always sets the mode (0 or 1) first.
void set_align(WindowData* pWndData) {
  const textsettingstype& text = pWndData->text;
  UINT flags = UINT(pWndData->text_cp_mode);
  if (text.direction == 0)
    flags |= horiz_align[justification(text.horiz)] | vert_align[justification(text.vert)];
  else
    flags |= horiz_align[justification(text.vert)] | vert_align[justification(text.horiz)];
  for (int i = 0; i < 4; i++) SetTextAlign(pWndData->hDC[i], flags);
}

// Text output in one of the two current-position modes: 1 draws at the
// current position and advances it, 0 draws at (x, y).
void draw_text(int mode, int x, int y, const char* textstring) {
  const FontText text(textstring);
  HeldPage page;
  WindowData* pWndData = page.wd();
  if (pWndData->text_cp_mode != mode) {
    pWndData->text_cp_mode = mode;
    set_align(pWndData);
  }
  if (textstring && pWndData->console_scale > 0) {
    const kel_clip::Bounds bounds =
        kel_clip::page_bounds(page.dc(), pWndData->width, pWndData->height, 0);
    ConsoleTextOut(page.dc(), bounds, pWndData->console_scale, pWndData->text.direction, x, y,
                   text.data(), text.length());
  } else if (textstring) {
    TextOutA(page.dc(), x, y, text.data(), text.length());
  }
  page.release();
  RefreshWindow(nullptr);
}

// Whether the extent of a text is the sum of its characters' extents.
// The system GDI of Windows may add a bold font's overhang once per text.
const bool kExtentsAdd = !KEL__SystemGdi;

// The extent of `length` bytes of text in the page's font: font 0 as the
// library draws it, the others as the platform measures them.
SIZE page_extent(const HeldPage& page, const char* text, int length) {
  if (const int scale = page.wd()->console_scale) return ConsoleTextExtent(scale, length);
  SIZE size = {0, 0};
  GetTextExtentPoint32A(page.dc(), text, length, &size);
  return size;
}

// The width of the text measured on the page, learning the advances of its
// characters that are not known yet on the way.
int measured_width(const FontText& text) {
  HeldPage page;
  CharWidths& widths = page.wd()->char_widths;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (int i = 0; kExtentsAdd && i < text.length(); i++)
    if (!widths.known(bytes[i])) widths.learn(bytes[i], page_extent(page, text.data() + i, 1).cx);
  return page_extent(page, text.data(), text.length()).cx;
}

SIZE text_extent(const char* textstring) {
  const FontText text(textstring);
  HeldPage page;
  if (!textstring) return SIZE{0, 0};
  // A cell is as high whatever its text; for an empty text the system gives
  // no height at all (Wine gives 0), so a space's is taken.
  if (text.length() == 0) return SIZE{0, page_extent(page, " ", 1).cy};
  return page_extent(page, text.data(), text.length());
}

}  // namespace

// ------------------------------------------------------------ char widths
CharWidths::CharWidths() {
  for (std::atomic<int>& advance : advance_) advance.store(-1, std::memory_order_relaxed);
}

long long CharWidths::sum(const unsigned char* text, size_t length) const {
  const unsigned before = changes_.load(std::memory_order_acquire);
  long long even = 0, odd = 0;
  int unknown = (before & 1) ? -1 : 0;
  size_t i = 0;
  for (; i + 2 <= length; i += 2) {
    const int a = advance_[text[i]].load(std::memory_order_relaxed);
    const int b = advance_[text[i + 1]].load(std::memory_order_relaxed);
    even += a;
    odd += b;
    unknown |= a | b;
  }
  if (i < length) {
    const int a = advance_[text[i]].load(std::memory_order_relaxed);
    even += a;
    unknown |= a;
  }
  std::atomic_thread_fence(std::memory_order_acquire);
  if (unknown < 0 || changes_.load(std::memory_order_relaxed) != before) return -1;
  return even + odd;
}

void CharWidths::learn(unsigned char c, int advance) {
  advance_[c].store(std::max(advance, 0), std::memory_order_relaxed);
}

void CharWidths::forget() {
  changes_.fetch_add(1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  for (std::atomic<int>& advance : advance_) advance.store(-1, std::memory_order_relaxed);
  changes_.fetch_add(1, std::memory_order_release);
}

void settextstyle(int font, int direction, int charsize) {
  WindowData* pWndData = KEL__GetWindowDataPtr();
  PageLock lock(pWndData);
  pWndData->text.font = font;
  pWndData->text.direction = direction;
  pWndData->text.charsize = charsize;
  set_font(pWndData);
}

void setusercharsize(int multx, int divx, int multy, int divy) {
  WindowData* pWndData = KEL__GetWindowDataPtr();
  PageLock lock(pWndData);
  pWndData->t_scale[0] = multx;
  pWndData->t_scale[1] = divx;
  pWndData->t_scale[2] = multy;
  pWndData->t_scale[3] = divy;
  set_font(pWndData);
}

void settextjustify(int horiz, int vert) {
  WindowData* pWndData = KEL__GetWindowDataPtr();
  PageLock lock(pWndData);
  pWndData->text.horiz = horiz;
  pWndData->text.vert = vert;
  set_align(pWndData);
}

void gettextsettings(textsettingstype* texttypeinfo) {
  if (!texttypeinfo) return;
  *texttypeinfo = KEL__ReadState([](const WindowData& wd) { return wd.text; });
}

void outtext(const char* textstring) { draw_text(1, 0, 0, textstring); }

void outtextxy(int x, int y, const char* textstring) { draw_text(0, x, y, textstring); }

int textwidth(const char* textstring) {
  const FontText text(textstring);
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const long long sum =
      kExtentsAdd ? KEL__GetWindowDataPtr()->char_widths.sum(bytes, size_t(text.length())) : -1;
  if (sum >= 0) return int(std::min<long long>(sum, INT_MAX));
  return measured_width(text);
}

int textheight(const char* textstring) { return text_extent(textstring).cy; }

// Overloads for programs that declare these functions with `char*`.
void outtext(char* textstring) { outtext(static_cast<const char*>(textstring)); }

void outtextxy(int x, int y, char* textstring) {
  outtextxy(x, y, static_cast<const char*>(textstring));
}

int textwidth(char* textstring) { return textwidth(static_cast<const char*>(textstring)); }

int textheight(char* textstring) { return textheight(static_cast<const char*>(textstring)); }
