// Text output: where outtext and outtextxy draw and what they do to the
// current position, measuring, null and empty strings, and the stream output
// built on them (line breaks, empty lines, carriage returns, the stream
// emptied).
#include <algorithm>
#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "lib_test_support.h"

// The overloads for programs that declare these functions with `char*`.
void outtext(char* textstring);
void outtextxy(int x, int y, char* textstring);
int textwidth(char* textstring);
int textheight(char* textstring);

using namespace kel_test;

// Compares the page drawn so far with a reference drawing (which clears the
// page, so the page is read first).
#define EXPECT_PAGE(reference_pixels)                \
  do {                                               \
    const std::vector<uint32_t> drawn_page = page(); \
    EXPECT_EQ(drawn_page, reference_pixels);         \
  } while (0)

namespace {

const int kWidth = 400, kHeight = 300;

class TextOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    open_window(kWidth, kHeight);
    wd_ = KEL__GetWindowDataPtr();
    setcolor(YELLOW);
    clear();
    background_ = page()[0];
  }
  // A blue page; text cells are painted red, so they show against it.
  void clear() {
    setbkcolor(BLUE);
    cleardevice();
    setbkcolor(RED);
  }
  // The active page, 0x00RRGGBB per pixel, read while the window thread
  // cannot be painting from it.
  std::vector<uint32_t> page() {
    PageLock lock(wd_);
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    HGDIOBJ bitmap = GetCurrentObject(wd_->hDC[wd_->active_page.load()], OBJ_BITMAP);
    EXPECT_EQ(GetBitmapBits(static_cast<HBITMAP>(bitmap), LONG(pixels.size() * 4), pixels.data()),
              LONG(pixels.size() * 4));
    return pixels;
  }
  // Bounding box of the pixels that are not the cleared background.
  RECT drawn() {
    const std::vector<uint32_t> pixels = page();
    RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (pixels[size_t(y) * kWidth + x] != background_) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box.left == INT_MAX ? RECT{0, 0, 0, 0} : box;
  }
  // The page that drawing `lines` with outtextxy (x, y, text) gives.
  struct Line {
    int x, y;
    const char* text;
  };
  std::vector<uint32_t> reference(std::initializer_list<Line> lines) {
    const int x = getx(), y = gety();
    clear();
    for (const Line& line : lines) outtextxy(line.x, line.y, line.text);
    std::vector<uint32_t> pixels = page();
    clear();
    moveto(x, y);
    return pixels;
  }
  void expect_position(int x, int y) {
    EXPECT_EQ(getx(), x);
    EXPECT_EQ(gety(), y);
  }

  WindowData* wd_ = nullptr;
  uint32_t background_ = 0;
};

// Whether the colour `c` is the text's (YELLOW) or its cells' (RED). On
// Windows new windows draw with the system's stock font until a style is
// set, which Wine smooths: there a shade between the two counts as well.
bool text_or_cell(int c) {
  if (c == YELLOW || c == RED) return true;
#ifdef _WIN32
  const COLORREF shade = converttorgb(c), text = converttorgb(YELLOW), cell = converttorgb(RED);
  for (int shift : {0, 8, 16}) {
    const int v = (shade >> shift) & 0xFF, a = (text >> shift) & 0xFF, b = (cell >> shift) & 0xFF;
    if (v < std::min(a, b) || v > std::max(a, b)) return false;
  }
  return true;
#else
  return false;
#endif
}

TEST_F(TextOutput, OuttextxyDrawsAtThePointAndLeavesThePosition) {
  ASSERT_EQ(getbkcolor(), RED);
  moveto(5, 6);
  outtextxy(50, 60, "Hello");
  expect_position(5, 6);
  const int w = textwidth("Hello"), h = textheight("Hello");
  EXPECT_RECT((RECT{50, 60, 50 + w, 60 + h}), drawn());
  int text_pixels = 0;
  for (int y = 60; y < 60 + h; ++y)
    for (int x = 50; x < 50 + w; ++x) {
      const int c = getpixel(x, y);
      ASSERT_TRUE(text_or_cell(c)) << x << "," << y << ": " << c;
      text_pixels += c == YELLOW;
    }
  EXPECT_GT(text_pixels, 40);
}

TEST_F(TextOutput, OuttextDrawsAtThePositionAndAdvancesIt) {
  moveto(10, 20);
  outtext("Hello");
  expect_position(10 + textwidth("Hello"), 20);
  outtext(", World");
  expect_position(10 + textwidth("Hello") + textwidth(", World"), 20);
  EXPECT_RECT((RECT{10, 20, 10 + textwidth("Hello, World"), 20 + textheight("H")}), drawn());
}

TEST_F(TextOutput, JustificationPlacesTheText) {
  settextstyle(TRIPLEX_FONT, HORIZ_DIR, 4);
  const int w = textwidth("Centred"), h = textheight("Centred");
  settextjustify(CENTER_TEXT, 1);
  outtextxy(200, 150, "Centred");
  RECT box = drawn();
  EXPECT_EQ(box.left, 200 - w / 2);
  EXPECT_EQ(box.right - box.left, w);
  EXPECT_LT(box.top, 150 - h / 2);  // the baseline, not the middle, is at the point
  EXPECT_GT(box.bottom, 150);
  clear();
  settextjustify(RIGHT_TEXT, BOTTOM_TEXT);
  outtextxy(300, 200, "Centred");
  EXPECT_RECT((RECT{300 - w, 200 - h, 300, 200}), drawn());
}

TEST_F(TextOutput, VerticalTextRunsUpward) {
  settextstyle(DEFAULT_FONT, VERT_DIR, 2);
  settextjustify(LEFT_TEXT, TOP_TEXT);
  const int w = textwidth("Upward"), h = textheight("Upward");
  outtextxy(100, 50, "Upward");
  // Along the turned baseline the top justification puts the end of the
  // text at the point; across it, the left one puts the cells' bottom there.
  EXPECT_RECT((RECT{100 - h, 50, 100, 50 + w}), drawn());
  clear();
  moveto(200, 250);
  outtext("Up");
  // Right-justified along the upward baseline: back down by the width.
  expect_position(200, 250 + textwidth("Up"));
}

TEST_F(TextOutput, NullAndEmptyStringsDrawAndMeasureNothing) {
  EXPECT_EQ(textwidth(""), 0);
  EXPECT_EQ(textheight(""), textheight("X"));
  EXPECT_EQ(textwidth(static_cast<const char*>(nullptr)), 0);
  EXPECT_EQ(textheight(static_cast<const char*>(nullptr)), 0);
  moveto(30, 40);
  outtext(static_cast<const char*>(nullptr));
  outtext("");
  outtextxy(50, 50, static_cast<const char*>(nullptr));
  expect_position(30, 40);
  EXPECT_RECT((RECT{0, 0, 0, 0}), drawn());
}

TEST_F(TextOutput, CharPointerOverloadsDoTheSame) {
  char text[] = "Mutable";
  EXPECT_EQ(textwidth(text), textwidth(static_cast<const char*>(text)));
  EXPECT_EQ(textheight(text), textheight(static_cast<const char*>(text)));
  outtextxy(20, 30, text);
  EXPECT_PAGE(reference({{20, 30, "Mutable"}}));
  moveto(20, 30);
  outtext(text);
  expect_position(20 + textwidth("Mutable"), 30);
}

TEST_F(TextOutput, OutputRefreshesTheWindowAndMeasuringDoesNot) {
  HeldPainting held;
  outtextxy(10, 10, "a");
  EXPECT_RECT((RECT{0, 0, kWidth, kHeight}), held.take());
  outtext("b");
  EXPECT_RECT((RECT{0, 0, kWidth, kHeight}), held.take());
  textwidth("c");
  textheight("c");
  EXPECT_RECT((RECT{0, 0, 0, 0}), held.take());
}

TEST_F(TextOutput, TextReachesTheScreen) {
  outtextxy(10, 10, "Shown");
  const std::vector<uint32_t> drawn_page = page();
  const Shown shown;
  int text_pixels = 0;
  for (int y = 10; y < 10 + textheight("S"); ++y)
    for (int x = 10; x < 10 + textwidth("Shown"); ++x) {
      const uint32_t pixel = drawn_page[size_t(y) * kWidth + x];
      ASSERT_EQ(shown.at(x, y), pixel) << x << "," << y;
      text_pixels += pixel != background_;
    }
  EXPECT_GT(text_pixels, 40);
}

// ------------------------------------------------------------ streams

TEST_F(TextOutput, StreamLinesGoDownByTheHeightOfX) {
  const int h = textheight("X");
  std::ostringstream out;
  out << "A\nB";
  outstreamxy(10, 20, out);
  EXPECT_EQ(out.str(), "");
  expect_position(10 + textwidth("B"), 20 + h);
  EXPECT_PAGE(reference({{10, 20, "A"}, {10, 20 + h, "B"}}));
}

TEST_F(TextOutput, StreamEndingInANewlineEndsOnTheNextLine) {
  const int h = textheight("X");
  std::ostringstream out;
  out << "A\n";
  outstreamxy(10, 20, out);
  expect_position(10, 20 + h);
  EXPECT_PAGE(reference({{10, 20, "A"}}));
}

TEST_F(TextOutput, EmptyStreamLinesAreSkipped) {
  settextstyle(TRIPLEX_FONT, HORIZ_DIR, 2);
  const int h = textheight("X");
  std::ostringstream out;
  out << "\n\nC";
  outstreamxy(10, 20, out);
  expect_position(10 + textwidth("C"), 20 + 2 * h);
  EXPECT_PAGE(reference({{10, 20 + 2 * h, "C"}}));
}

TEST_F(TextOutput, EmptyStreamOnlyMovesThePosition) {
  std::ostringstream out;
  outstreamxy(70, 80, out);
  expect_position(70, 80);
  EXPECT_RECT((RECT{0, 0, 0, 0}), drawn());
}

TEST_F(TextOutput, CarriageReturnsStayInTheLine) {
  const int h = textheight("X");
  std::ostringstream out;
  out << "A\r\nB";
  outstreamxy(10, 20, out);
  EXPECT_PAGE(reference({{10, 20, "A\r"}, {10, 20 + h, "B"}}));
  out << "xy\rz";
  outstreamxy(10, 20, out);
  EXPECT_GT(textwidth("xy\rz"), textwidth("xyz"));  // a carriage return takes room
  expect_position(10 + textwidth("xy\rz"), 20);
}

TEST_F(TextOutput, SecondStreamCallDrawsNothing) {
  std::ostringstream out;
  out << "Once";
  outstreamxy(10, 20, out);
  const std::vector<uint32_t> first = page();
  outstreamxy(50, 60, out);
  EXPECT_EQ(page(), first);
  expect_position(50, 60);
}

TEST_F(TextOutput, OutstreamStartsAtTheCurrentPosition) {
  const int h = textheight("X");
  std::ostringstream out;
  out << "P\nQ\nR";
  moveto(30, 40);
  outstream(out);
  EXPECT_PAGE(reference({{30, 40, "P"}, {30, 40 + h, "Q"}, {30, 40 + 2 * h, "R"}}));
}

TEST_F(TextOutput, TheGlobalStreamIsTheDefault) {
  kelout << "K" << 42;
  outstreamxy(10, 20);
  EXPECT_EQ(kelout.str(), "");
  EXPECT_PAGE(reference({{10, 20, "K42"}}));
  kelout << "L";
  moveto(5, 5);
  outstream();
  EXPECT_PAGE(reference({{5, 5, "L"}}));
}

TEST_F(TextOutput, StreamsKeepTheirFormatting) {
  std::ostringstream out;
  out << std::hex << 10;
  outstreamxy(10, 20, out);
  out << 255;
  EXPECT_EQ(out.str(), "ff");
}

TEST_F(TextOutput, ManyLinesNearTheEdgeSaturate) {
  std::ostringstream out;
  out << std::string(1000, '\n') << "Z";
  outstreamxy(0, INT_MAX - 100, out);
  expect_position(textwidth("Z"), INT_MAX);
  EXPECT_RECT((RECT{0, 0, 0, 0}), drawn());
}

}  // namespace

// ------------------------------------------------ console face, UTF-8
namespace {

// The ink of the w x h cell at (x, y): one character per pixel, '#' for
// the drawing colour.
std::string cell_ink(int x, int y, int w, int h) {
  std::string ink;
  for (int row = y; row < y + h; ++row)
    for (int column = x; column < x + w; ++column) ink += getpixel(column, row) == YELLOW ? '#' : '.';
  return ink;
}

}  // namespace

TEST_F(TextOutput, DefaultFontAtSizeOneIsACrispEightByEightFont) {
  settextstyle(DEFAULT_FONT, HORIZ_DIR, 1);
  EXPECT_EQ(textwidth("0123456789"), 80);
  EXPECT_EQ(textheight("0123456789"), 8);
  outtextxy(10, 20, "0123456789");
  std::vector<std::string> digits;
  for (int i = 0; i < 10; ++i) digits.push_back(cell_ink(10 + 8 * i, 20, 8, 8));
  for (int i = 0; i < 10; ++i) {
    EXPECT_GT(std::count(digits[i].begin(), digits[i].end(), '#'), 8) << "digit " << i;
    for (int j = 0; j < i; ++j) EXPECT_NE(digits[i], digits[j]) << j << " and " << i;
  }
  // Size 3: every pixel of the 8 x 8 glyph is a 3 x 3 block.
  settextstyle(DEFAULT_FONT, HORIZ_DIR, 3);
  EXPECT_EQ(textwidth("68"), 48);
  outtextxy(100, 100, "68");
  for (int i = 0; i < 2; ++i) {
    std::string big = cell_ink(100 + 24 * i, 100, 24, 24), sampled;
    for (int k = 0; k < 64; ++k) sampled += big[size_t((k / 8 * 3 + 1) * 24 + k % 8 * 3 + 1)];
    EXPECT_EQ(sampled, digits[i == 0 ? 6 : 8]);
    EXPECT_EQ(std::count(big.begin(), big.end(), '#'),
              9 * std::count(sampled.begin(), sampled.end(), '#'));
  }
  // Upward text: the same glyph turned a quarter counter-clockwise.
  clear();
  settextstyle(DEFAULT_FONT, VERT_DIR, 1);
  outtextxy(200, 150, "6");
  const RECT box = drawn();
  ASSERT_EQ(box.right - box.left, 8);
  ASSERT_EQ(box.bottom - box.top, 8);
  const std::string turned = cell_ink(box.left, box.top, 8, 8);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) EXPECT_EQ(turned[size_t(r * 8 + c)], digits[6][size_t(c * 8 + 7 - r)]);
}

// The library draws font 0 itself; the portable platform's console face,
// which has the same glyphs, is the reference: every justification and
// direction, in a viewport, at points where the text runs off it.
TEST_F(TextOutput, ConsoleTextIsDrawnAsThePlatformsConsoleFaceDrawsIt) {
  const POINT points[] = {{120, 80}, {-6, 3}, {245, 150}};
  setviewport(40, 30, 300, 200, 1);
  for (int direction = 0; direction < 4; ++direction)
    for (int horiz = 0; horiz < 3; ++horiz)
      for (int vert = 0; vert < 3; ++vert) {
        settextstyle(DEFAULT_FONT, direction, 2);
        settextjustify(horiz, vert);
        clear();
        for (POINT p : points) outtextxy(p.x, p.y, "Kel\xE9!");
        const std::vector<uint32_t> drawn = page();
        clear();
        {
          PageLock lock(wd_);
          for (POINT p : points) TextOutA(wd_->hDC[wd_->active_page.load()], p.x, p.y, "Kel\xE9!", 5);
        }
        const std::vector<uint32_t> expected = page();
        ASSERT_NE(std::count(expected.begin(), expected.end(), background_), kWidth * kHeight);
        EXPECT_EQ(drawn, expected) << direction << " " << horiz << " " << vert;
      }
}

TEST_F(TextOutput, Utf8TextIsDrawnAsItsCharacters) {
  for (int font : {int(DEFAULT_FONT), int(TRIPLEX_FONT)}) {
    settextstyle(font, HORIZ_DIR, 2);
    SCOPED_TRACE(font);
    EXPECT_EQ(textwidth("caf\xC3\xA9"), textwidth("caf\xE9")) << "UTF-8 e acute";
    EXPECT_EQ(textwidth("\xE2\x82\xAC"), textwidth("\x80")) << "the euro sign";
    EXPECT_EQ(textwidth("\xE2\x82\xAC\xC3\xA9"), textwidth("\x80\xE9"));
    const std::vector<uint32_t> expected = reference({{20, 30, "caf\xE9 \x80"}});
    outtextxy(20, 30, "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_PAGE(expected);
  }
  settextstyle(DEFAULT_FONT, HORIZ_DIR, 1);
  EXPECT_EQ(textwidth("\xE0\xA4\x85"), 8) << "one character the code page lacks";
  EXPECT_EQ(textwidth("\xC3\xA9t\xE9"), 32) << "not UTF-8: every byte a character";
  EXPECT_EQ(textwidth("\xC0\xA9"), 16) << "an overlong sequence is no UTF-8";
  EXPECT_EQ(textwidth("\xED\xA0\x80"), 24) << "nor is a surrogate";
  EXPECT_EQ(textwidth("\xC3"), 8) << "nor a cut sequence";
}
