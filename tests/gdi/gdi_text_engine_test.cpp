// The platform's fonts and text output: what CreateFontA records, the sizes
// that fonts measure and draw at, where the alignment flags and the
// escapement put the text, the current position, colours, clipping and
// hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "platform.h"
#include "platform/gdi/gdi_objects.h"

namespace {

constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(0, 0, 128);
constexpr COLORREF kBack = RGB(255, 255, 0);

struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // right/bottom exclusive
  bool empty() const { return left >= right; }
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

// A memory context drawing on a 32-bit bitmap filled with paper colour.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    dc = CreateCompatibleDC(nullptr);
    bitmap_ = CreateBitmap(width, height, 1, 32, nullptr);
    SelectObject(dc, bitmap_);
    SetTextColor(dc, kInk);
    SetBkColor(dc, kBack);
    clear();
  }
  ~Canvas() {
    DeleteDC(dc);
    DeleteObject(bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void clear() {
    for (uint32_t& p : pixels()) p = kelplat::gdi::to_pixel(kPaper);
  }
  std::vector<uint32_t>& pixels() {
    return kelplat::gdi::lookup<kelplat::gdi::Bitmap>(bitmap_)->storage;
  }
  COLORREF at(int x, int y) {
    return kelplat::gdi::to_colorref(kelplat::gdi::lookup<kelplat::gdi::Bitmap>(bitmap_)->row32(y)[x]);
  }

  Box box_where(const std::function<bool(COLORREF)>& wanted) {
    Box box;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (wanted(at(x, y))) {
          box.left = std::min(box.left, x);
          box.right = std::max(box.right, x + 1);
          box.top = std::min(box.top, y);
          box.bottom = std::max(box.bottom, y + 1);
        }
    return box;
  }
  Box painted() {
    return box_where([](COLORREF c) { return c != kPaper; });
  }
  Box inked() {
    return box_where([](COLORREF c) { return c == kInk; });
  }
  int count(COLORREF colour) {
    int n = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) n += at(x, y) == colour;
    return n;
  }
  bool only(std::initializer_list<COLORREF> allowed) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (std::find(allowed.begin(), allowed.end(), at(x, y)) == allowed.end()) return false;
    return true;
  }

  HDC dc = nullptr;

 private:
  int width_, height_;
  HBITMAP bitmap_ = nullptr;
};

struct FaceSpec {
  const char* name;
  DWORD pitch_and_family;
};
const FaceSpec kTimes{"Times New Roman", 0x12};
const FaceSpec kArial{"Arial", 0x22};
const FaceSpec kCourier{"Courier New", 0x02};
const FaceSpec kScript{"Script", 0x42};
const FaceSpec kSmall{"Small Fonts", 0x32};
const FaceSpec kConsole{"Console", 0x01};

HFONT make_font(const FaceSpec& face, int height, int width = 0, int escapement = 0,
                int weight = 400) {
  return CreateFontA(height, width, escapement, escapement, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                     0, face.pitch_and_family, face.name);
}

class TextTest : public ::testing::Test {
 protected:
  ~TextTest() override {
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    for (HFONT font : fonts_) DeleteObject(font);
  }
  void use(HFONT font) {
    ASSERT_NE(font, nullptr);
    SelectObject(canvas.dc, font);
    fonts_.push_back(font);
  }
  void use(const FaceSpec& face, int height, int width = 0, int escapement = 0, int weight = 400) {
    use(make_font(face, height, width, escapement, weight));
  }
  SIZE extent(const std::string& text) {
    SIZE size{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32A(canvas.dc, text.data(), int(text.size()), &size));
    return size;
  }
  void draw(int x, int y, const std::string& text, UINT align = TA_LEFT | TA_TOP) {
    SetTextAlign(canvas.dc, align);
    EXPECT_TRUE(TextOutA(canvas.dc, x, y, text.data(), int(text.size())));
  }
  POINT position() {
    POINT p{};
    GetCurrentPositionEx(canvas.dc, &p);
    return p;
  }

  Canvas canvas{400, 300};

 private:
  std::vector<HFONT> fonts_;
};

// ------------------------------------------------------------ font requests

TEST(FontRequest, ObjectRecordHoldsTheRequestAsGiven) {
  HFONT font = CreateFontA(31, 22, 900, 450, 700, 1, 1, 1, DEFAULT_CHARSET, 3, 2, 4, 0x12,
                           "Times New Roman");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetObjectType(font), DWORD(OBJ_FONT));
  LOGFONTA lf;
  std::memset(&lf, 0x55, sizeof lf);
  ASSERT_EQ(GetObjectA(font, sizeof lf, &lf), int(sizeof lf));
  EXPECT_EQ(lf.lfHeight, 31);
  EXPECT_EQ(lf.lfWidth, 22);
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfOrientation, 450);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfStrikeOut, 1);
  EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(lf.lfOutPrecision, 3);
  EXPECT_EQ(lf.lfClipPrecision, 2);
  EXPECT_EQ(lf.lfQuality, 4);
  EXPECT_EQ(lf.lfPitchAndFamily, 0x12);
  EXPECT_STREQ(lf.lfFaceName, "Times New Roman");
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(GetObjectType(font), 0u);
}

TEST(FontRequest, LongFaceNamesAreCutAndNullNamesAreEmpty) {
  const std::string long_name(40, 'q');
  HFONT cut = CreateFontA(10, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, long_name.c_str());
  HFONT unnamed = CreateFontA(10, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, nullptr);
  LOGFONTA lf{};
  ASSERT_EQ(GetObjectA(cut, sizeof lf, &lf), int(sizeof lf));
  EXPECT_EQ(std::string(lf.lfFaceName), long_name.substr(0, LF_FACESIZE - 1));
  ASSERT_EQ(GetObjectA(unnamed, sizeof lf, &lf), int(sizeof lf));
  EXPECT_STREQ(lf.lfFaceName, "");
  DeleteObject(cut);
  DeleteObject(unnamed);
}

TEST_F(TextTest, HostileNumbersAreRecordedAndDrawHarmlessly) {
  const int values[] = {INT_MIN, -100000, -1, 1, 100000, INT_MAX};
  for (int height : values) {
    for (int width : {INT_MIN, 0, INT_MAX}) {
      HFONT font = CreateFontA(height, width, INT_MIN + std::abs(height % 7), INT_MAX, INT_MAX, 255,
                               0, 0, 255, 255, 255, 255, 255, "\xff\x01odd");
      LOGFONTA lf{};
      ASSERT_EQ(GetObjectA(font, sizeof lf, &lf), int(sizeof lf));
      EXPECT_EQ(lf.lfHeight, height);
      EXPECT_EQ(lf.lfWidth, width);
      use(font);
      SIZE size = extent("Wg");
      EXPECT_GT(size.cy, 0) << height;
      EXPECT_LE(size.cy, 2 * 2048) << height;
      draw(10, 10, "Wg\xE9");
      EXPECT_TRUE(canvas.only({kPaper, kInk, kBack})) << height << " x " << width;
      canvas.clear();
    }
  }
}

// ------------------------------------------------------------ sizes

TEST_F(TextTest, CellHeightIsTheRequestedHeight) {
  for (const FaceSpec& face : {kTimes, kArial, kCourier, kScript, kSmall, kConsole}) {
    for (int height : {8, 13, 16, 31, 64, 124}) {
      use(face, height);
      ASSERT_EQ(extent("Hg").cy, height) << face.name;
      canvas.clear();
      draw(10, 20, "H\xC9gy");
      const Box cells = canvas.box_where([](COLORREF c) { return c == kBack; });
      EXPECT_EQ(cells.top, 20) << face.name << " " << height;
      EXPECT_EQ(cells.height(), height) << face.name << " " << height;
      // Accents and descenders may reach a pixel or two past the cell.
      const Box ink = canvas.inked();
      EXPECT_GE(ink.height(), height * 6 / 10) << face.name << " " << height;
      EXPECT_GE(ink.top, cells.top - 2) << face.name << " " << height;
      EXPECT_LE(ink.bottom, cells.bottom + 2) << face.name << " " << height;
    }
  }
}

TEST_F(TextTest, NegativeHeightIsTheEmHeightAndZeroTheDefault) {
  use(kArial, -20);
  const int em_cell = extent("H").cy;
  EXPECT_GT(em_cell, 20);
  EXPECT_LE(em_cell, 26);
  use(kArial, 0);
  EXPECT_EQ(extent("H").cy, 16);
}

TEST_F(TextTest, NewContextsMeasureWithTheSystemFont) {
  Canvas fresh(50, 50);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(fresh.dc, "Mi", 2, &size));
  EXPECT_EQ(size.cy, 16);
  SIZE one{};
  GetTextExtentPoint32A(fresh.dc, "M", 1, &one);
  EXPECT_EQ(size.cx, 2 * one.cx);  // the system font has a fixed pitch
}

TEST_F(TextTest, ExtentsGrowWithSize) {
  const std::string text = "Hamburgefonstiv";
  std::vector<int> widths;
  for (int height : {10, 20, 40, 80}) {
    use(kTimes, height);
    widths.push_back(extent(text).cx);
  }
  for (size_t i = 1; i < widths.size(); ++i) {
    EXPECT_GT(widths[i], widths[i - 1] * 3 / 2);
    EXPECT_LT(widths[i], widths[i - 1] * 5 / 2);
  }
}

TEST_F(TextTest, WidthIsTheAverageCharacterWidth) {
  for (int width : {6, 10, 20, 40}) {
    use(kCourier, 24, width);
    const SIZE size = extent("MMMMMMMMMM");
    EXPECT_NEAR(size.cx, 10 * width, 10 * width / 10 + 10) << width;
    EXPECT_EQ(size.cy, 24);
  }
  use(kTimes, 31, 11);
  const int narrow = extent("Hamburgefonstiv").cx;
  use(kTimes, 31, 22);
  const int wide = extent("Hamburgefonstiv").cx;
  EXPECT_NEAR(double(wide) / narrow, 2.0, 0.2);
}

TEST_F(TextTest, ExtentIsTheSumOfTheAdvances) {
  use(kTimes, 31);
  const int a = extent("A").cx, v = extent("V").cx, space = extent(" ").cx;
  EXPECT_GT(a, 0);
  EXPECT_GT(space, 0);
  EXPECT_EQ(extent("AV A").cx, a + v + space + a);  // no kerning
  const SIZE empty = extent("");
  EXPECT_EQ(empty.cx, 0);
  EXPECT_EQ(empty.cy, 31);
}

// ------------------------------------------------------------ faces

TEST_F(TextTest, FixedAndVariablePitchFacesResolveToTheirKinds) {
  use(kCourier, 20);
  EXPECT_EQ(extent("iiii").cx, extent("MMMM").cx);
  use(kConsole, 20);
  EXPECT_EQ(extent("iiii").cx, extent("MMMM").cx);
  use(kTimes, 20);
  EXPECT_LT(extent("iiii").cx * 2, extent("MMMM").cx);
  use(kArial, 20);
  EXPECT_LT(extent("iiii").cx * 2, extent("MMMM").cx);
  // Unknown names go by pitch and family.
  use(make_font({"No Such Face", FIXED_PITCH | FF_MODERN}, 20));
  EXPECT_EQ(extent("iiii").cx, extent("MMMM").cx);
  use(make_font({"No Such Face", VARIABLE_PITCH | FF_ROMAN}, 20));
  EXPECT_LT(extent("iiii").cx * 2, extent("MMMM").cx);
}

TEST_F(TextTest, MetricCompatibleFacesKeepTheirWidths) {
  // Advances of the classic faces at 2048 units per em, scaled to a 40 pixel
  // cell: the serif face's em is 40 * 2048 / 2268 pixels.
  use(kTimes, 40);
  EXPECT_NEAR(extent("MMMMMMMMMM").cx, 10 * 1821 * 40.0 / 2268, 10);
  use(kArial, 40);
  EXPECT_NEAR(extent("MMMMMMMMMM").cx, 10 * 1706 * 40.0 / 2288, 10);
}

TEST_F(TextTest, FacesDrawDifferently) {
  auto ink_of = [&](const FaceSpec& face, int weight) {
    use(face, 40, 0, 0, weight);
    canvas.clear();
    draw(5, 5, "Hamburg");
    std::vector<bool> mask;
    for (uint32_t p : canvas.pixels()) mask.push_back(p == kelplat::gdi::to_pixel(kInk));
    return mask;
  };
  auto count = [](const std::vector<bool>& mask) {
    return std::count(mask.begin(), mask.end(), true);
  };
  const auto serif = ink_of(kTimes, 400), sans = ink_of(kArial, 400), script = ink_of(kScript, 400);
  EXPECT_NE(serif, sans);
  EXPECT_NE(serif, script);
  EXPECT_NE(sans, script);
  const auto bold = ink_of(kTimes, 700);
  EXPECT_GT(count(bold), count(serif) * 115 / 100);
  const auto courier = ink_of(kCourier, 400);
  const auto courier_bold = ink_of({"Courier New Bold", 0x02}, 400);
  EXPECT_GT(count(courier_bold), count(courier) * 115 / 100);
}

// ------------------------------------------------------------ output

TEST_F(TextTest, OpaqueTextFillsExactlyItsCells) {
  use(kTimes, 31);
  const SIZE size = extent("Hello, World");
  draw(20, 30, "Hello, World");
  const Box cells = canvas.painted();
  EXPECT_EQ(cells.left, 20);
  EXPECT_EQ(cells.top, 30);
  EXPECT_EQ(cells.width(), size.cx);
  EXPECT_EQ(cells.height(), size.cy);
  EXPECT_TRUE(canvas.only({kPaper, kInk, kBack}));
  EXPECT_GT(canvas.count(kInk), 100);
  EXPECT_EQ(canvas.count(kBack) + canvas.count(kInk), size.cx * size.cy);
}

TEST_F(TextTest, TransparentTextLeavesTheBackground) {
  use(kArial, 40);
  SetBkMode(canvas.dc, TRANSPARENT);
  const SIZE size = extent("Wave");
  draw(20, 30, "Wave");
  EXPECT_TRUE(canvas.only({kPaper, kInk}));
  const Box ink = canvas.inked();
  EXPECT_GE(ink.left, 20);
  EXPECT_GE(ink.top, 30);
  EXPECT_LE(ink.right, 20 + size.cx + 1);
  EXPECT_LE(ink.bottom, 30 + size.cy);
}

TEST_F(TextTest, MixModeDoesNotChangeText) {
  use(kArial, 30);
  SetROP2(canvas.dc, R2_XORPEN);
  draw(20, 30, "Mix");
  EXPECT_TRUE(canvas.only({kPaper, kInk, kBack}));
  EXPECT_GT(canvas.count(kInk), 50);
}

TEST_F(TextTest, AlignmentFlagsPlaceTheCells) {
  use(kTimes, 31);
  const std::string text = "Align me";
  const SIZE size = extent(text);
  const int x = 200, y = 150;
  struct Horizontal {
    UINT flag;
    int left;
  } horizontals[] = {{TA_LEFT, x}, {TA_CENTER, x - size.cx / 2}, {TA_RIGHT, x - size.cx}};
  int baseline_top = 0;
  for (const Horizontal& h : horizontals) {
    for (UINT v : {UINT(TA_TOP), UINT(TA_BASELINE), UINT(TA_BOTTOM)}) {
      canvas.clear();
      draw(x, y, text, h.flag | v);
      const Box cells = canvas.painted();
      EXPECT_EQ(cells.left, h.left) << h.flag << " " << v;
      EXPECT_EQ(cells.width(), size.cx);
      EXPECT_EQ(cells.height(), size.cy);
      if (v == TA_TOP) {
        EXPECT_EQ(cells.top, y);
      } else if (v == TA_BOTTOM) {
        EXPECT_EQ(cells.bottom, y);
      } else {
        EXPECT_LT(cells.top, y - size.cy / 2);
        EXPECT_GT(cells.bottom, y);
        if (h.flag == TA_LEFT) baseline_top = cells.top;
        EXPECT_EQ(cells.top, baseline_top);
      }
    }
  }
}

TEST_F(TextTest, BaselineAlignmentPutsTheBaselineOnThePoint) {
  use(kArial, 40);
  SetBkMode(canvas.dc, TRANSPARENT);
  draw(50, 100, "HIH", TA_LEFT | TA_BASELINE);
  EXPECT_EQ(canvas.inked().bottom, 100);  // capitals stand on the baseline
  canvas.clear();
  draw(50, 100, "HIH", TA_LEFT | TA_TOP);
  const Box top_aligned = canvas.inked();
  EXPECT_GT(top_aligned.top, 100);
  EXPECT_LT(top_aligned.top, 100 + 40 / 3);
}

TEST_F(TextTest, EscapementTurnsTheCells) {
  const std::string text = "Turned text";
  const int x = 200, y = 150;
  struct Case {
    int escapement;
    std::function<Box(SIZE)> expected;
  } cases[] = {
      {0,
       [&](SIZE s) {
         return Box{x, y, x + s.cx, y + s.cy};
       }},
      {900,
       [&](SIZE s) {
         return Box{x, y - s.cx, x + s.cy, y};
       }},
      {1800,
       [&](SIZE s) {
         return Box{x - s.cx, y - s.cy, x, y};
       }},
      {2700,
       [&](SIZE s) {
         return Box{x - s.cy, y, x, y + s.cx};
       }},
      {-900,
       [&](SIZE s) {
         return Box{x - s.cy, y, x, y + s.cx};
       }},
      {3600 + 900,
       [&](SIZE s) {
         return Box{x, y - s.cx, x + s.cy, y};
       }},
  };
  for (const Case& c : cases) {
    canvas.clear();
    use(kArial, 20, 0, c.escapement);
    const SIZE size = extent(text);
    draw(x, y, text);
    const Box cells = canvas.painted(), expected = c.expected(size);
    EXPECT_EQ(cells.left, expected.left) << c.escapement;
    EXPECT_EQ(cells.top, expected.top) << c.escapement;
    EXPECT_EQ(cells.right, expected.right) << c.escapement;
    EXPECT_EQ(cells.bottom, expected.bottom) << c.escapement;
    EXPECT_TRUE(canvas.only({kPaper, kInk, kBack}));
    const Box ink = canvas.inked();
    EXPECT_TRUE(ink.left >= cells.left && ink.right <= cells.right && ink.top >= cells.top &&
                ink.bottom <= cells.bottom)
        << c.escapement;
  }
}

TEST_F(TextTest, VerticalTextReadsUpward) {
  SetBkMode(canvas.dc, TRANSPARENT);
  use(kArial, 20, 0, 900);
  const std::string text = "W                 ";
  const SIZE size = extent(text);
  draw(100, 250, text);
  const Box ink = canvas.inked();
  EXPECT_GT(ink.top, 250 - size.cx / 3);  // the first character sits at the bottom
  EXPECT_LE(ink.bottom, 250);
  canvas.clear();
  draw(100, 250, "A long line of upward text");
  const Box line = canvas.inked();
  EXPECT_GT(line.height(), 4 * line.width());
}

TEST_F(TextTest, AnyEscapementKeepsTheColoursAndTheShape) {
  use(kArial, 20, 0, 450);
  const SIZE size = extent("Diagonal text here");
  draw(100, 250, "Diagonal text here");
  EXPECT_TRUE(canvas.only({kPaper, kInk, kBack}));
  const Box cells = canvas.painted();
  const double diagonal = (size.cx + size.cy) / std::sqrt(2.0);
  EXPECT_NEAR(cells.width(), diagonal, 3);
  EXPECT_NEAR(cells.height(), diagonal, 3);
  EXPECT_EQ(cells.left, 100);  // the top-left corner of the first cell is the reference
  EXPECT_EQ(canvas.at(102, 248), kBack);
  const Box ink = canvas.inked();
  EXPECT_TRUE(ink.left >= cells.left && ink.right <= cells.right && ink.top >= cells.top &&
              ink.bottom <= cells.bottom);
}

TEST_F(TextTest, UnderlineAndStrikeOutRunAcrossTheWholeText) {
  SetBkMode(canvas.dc, TRANSPARENT);
  // Rows inked from one end of the text to the other.
  auto full_rows = [&](int x0, int x1) {
    std::vector<int> rows;
    for (int y = 0; y < 300; ++y) {
      bool full = true;
      for (int x = x0; x < x1 && full; ++x) full = canvas.at(x, y) == kInk;
      if (full) rows.push_back(y);
    }
    return rows;
  };
  const std::string text = "i i";
  for (int underline : {0, 1}) {
    for (int strike_out : {0, 1}) {
      canvas.clear();
      use(CreateFontA(40, 0, 0, 0, 400, 0, underline, strike_out, DEFAULT_CHARSET, 0, 0, 0, 0x22,
                      "Arial"));
      const int width = extent(text).cx;
      draw(20, 100, text, TA_LEFT | TA_BASELINE);
      const std::vector<int> rows = full_rows(20, 20 + width);
      const bool below =
          std::any_of(rows.begin(), rows.end(), [](int y) { return y >= 100 && y < 100 + 40 / 4; });
      const bool above = std::any_of(rows.begin(), rows.end(),
                                     [](int y) { return y < 100 - 40 / 8 && y > 100 - 40 / 2; });
      EXPECT_EQ(below, underline == 1) << underline << strike_out;
      EXPECT_EQ(above, strike_out == 1) << underline << strike_out;
      EXPECT_EQ(rows.empty(), !underline && !strike_out);
    }
  }
}

TEST_F(TextTest, UpdatingTheCurrentPositionMovesPastTheText) {
  use(kTimes, 31);
  const SIZE size = extent("Hello");
  MoveToEx(canvas.dc, 20, 40, nullptr);
  draw(999, 999, "Hello", TA_UPDATECP);
  EXPECT_EQ(position().x, 20 + size.cx);
  EXPECT_EQ(position().y, 40);
  draw(999, 999, "Hello", TA_UPDATECP);
  const Box cells = canvas.painted();
  EXPECT_EQ(cells.left, 20);
  EXPECT_EQ(cells.top, 40);
  EXPECT_EQ(cells.width(), 2 * size.cx);

  canvas.clear();
  MoveToEx(canvas.dc, 300, 40, nullptr);
  draw(0, 0, "Hello", TA_UPDATECP | TA_RIGHT);
  EXPECT_EQ(canvas.painted().right, 300);
  EXPECT_EQ(position().x, 300 - size.cx);

  MoveToEx(canvas.dc, 200, 40, nullptr);
  draw(0, 0, "Hello", TA_UPDATECP | TA_CENTER);
  EXPECT_EQ(position().x, 200);
  EXPECT_EQ(position().y, 40);

  draw(0, 0, "Hello", TA_LEFT);  // without the flag, the position stays
  EXPECT_EQ(position().x, 200);
}

TEST_F(TextTest, TurnedTextMovesThePositionAlongItsBaseline) {
  use(kTimes, 31, 0, 900);
  const SIZE size = extent("Up");
  MoveToEx(canvas.dc, 50, 250, nullptr);
  draw(0, 0, "Up", TA_UPDATECP);
  EXPECT_EQ(position().x, 50);
  EXPECT_EQ(position().y, 250 - size.cx);
}

TEST_F(TextTest, ViewportOriginAndClipApply) {
  use(kArial, 20);
  SetViewportOrgEx(canvas.dc, 30, 40, nullptr);
  draw(0, 0, "Origin");
  EXPECT_EQ(canvas.painted().left, 30);
  EXPECT_EQ(canvas.painted().top, 40);

  canvas.clear();
  SetViewportOrgEx(canvas.dc, 0, 0, nullptr);
  HRGN clip = CreateRectRgn(50, 10, 100, 300);
  SelectClipRgn(canvas.dc, clip);
  draw(0, 0, "A line much longer than the clip rectangle");
  const Box cells = canvas.painted();
  EXPECT_EQ(cells.left, 50);
  EXPECT_EQ(cells.right, 100);
  EXPECT_EQ(cells.top, 10);
  SelectClipRgn(canvas.dc, nullptr);
  DeleteObject(clip);
}

TEST_F(TextTest, WesternCodePageCharactersDraw) {
  use(kTimes, 40);
  SetBkMode(canvas.dc, TRANSPARENT);
  draw(10, 10, "e");
  const Box plain = canvas.inked();
  const int plain_ink = canvas.count(kInk);
  canvas.clear();
  draw(10, 10, "\xE9");  // e with acute accent
  const Box accented = canvas.inked();
  EXPECT_GT(canvas.count(kInk), plain_ink);
  EXPECT_LT(accented.top, plain.top - 3);
  EXPECT_EQ(accented.bottom, plain.bottom);
  // 0x81 has no character in the code page: it draws the face's missing
  // glyph, which the mapped characters must not.
  canvas.clear();
  draw(10, 10, "\x81");
  const std::vector<uint32_t> missing = canvas.pixels();
  for (const char* byte : {"\x80", "\x92", "\x9F", "\xFF", "\xA9"}) {
    canvas.clear();
    draw(10, 10, byte);
    EXPECT_GT(canvas.count(kInk), 10) << int(static_cast<unsigned char>(byte[0]));
    EXPECT_NE(canvas.pixels(), missing) << int(static_cast<unsigned char>(byte[0]));
    EXPECT_GT(extent(byte).cx, 0);
  }
}

TEST_F(TextTest, BadInputIsRefusedAndDrawsNothing) {
  SIZE size{7, 7};
  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "abc", 3));
  EXPECT_FALSE(TextOutA(canvas.dc, 0, 0, nullptr, 3));
  EXPECT_FALSE(TextOutA(canvas.dc, 0, 0, "abc", -1));
  EXPECT_TRUE(TextOutA(canvas.dc, 0, 0, "abc", 0));
  EXPECT_TRUE(TextOutA(canvas.dc, 0, 0, nullptr, 0));
  EXPECT_EQ(canvas.painted().empty(), true);
  EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc, "abc", 3, nullptr));
  EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc, nullptr, 3, &size));
  EXPECT_EQ(size.cx, 0);
  EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc, "abc", -5, &size));
  HGDIOBJ brush = GetStockObject(WHITE_BRUSH);  // a handle of the wrong kind
  EXPECT_FALSE(TextOutA(static_cast<HDC>(brush), 0, 0, "abc", 3));
  EXPECT_FALSE(GetTextExtentPoint32A(static_cast<HDC>(brush), "abc", 3, &size));
  EXPECT_EQ(SetTextAlign(static_cast<HDC>(brush), TA_CENTER), UINT(GDI_ERROR));
  EXPECT_EQ(GetTextAlign(nullptr), UINT(GDI_ERROR));
  EXPECT_EQ(SetTextAlign(canvas.dc, TA_CENTER | TA_BASELINE | TA_UPDATECP), UINT(TA_LEFT | TA_TOP));
  EXPECT_EQ(GetTextAlign(canvas.dc), UINT(TA_CENTER | TA_BASELINE | TA_UPDATECP));
}

TEST_F(TextTest, FarAwayTextDrawsNothingAndThePositionSaturates) {
  use(kArial, 40);
  for (int x : {INT_MIN, -100000, 100000, INT_MAX})
    for (int y : {INT_MIN, -1000, 1000, INT_MAX})
      for (UINT align : {UINT(TA_LEFT), UINT(TA_CENTER | TA_BOTTOM), UINT(TA_RIGHT | TA_BASELINE)})
        draw(x, y, "Far away", align);
  EXPECT_TRUE(canvas.painted().empty());
  MoveToEx(canvas.dc, INT_MAX - 5, 10, nullptr);
  draw(0, 0, "Past the end", TA_UPDATECP);
  EXPECT_EQ(position().x, INT_MAX);
  EXPECT_TRUE(canvas.painted().empty());
}

TEST_F(TextTest, MillionCharacterStringsMeasureAndClip) {
  use(kCourier, 20);
  const std::string huge(1000000, 'W');
  const int one = extent("W").cx;
  EXPECT_EQ(extent(huge).cx, 1000000 * one);
  draw(10, 50, huge);
  Box cells = canvas.painted();
  EXPECT_EQ(cells.left, 10);
  EXPECT_EQ(cells.right, 400);
  canvas.clear();
  draw(390, 50, huge, TA_RIGHT);
  cells = canvas.painted();
  EXPECT_EQ(cells.left, 0);
  EXPECT_EQ(cells.right, 390);
  canvas.clear();
  use(kCourier, 20, 0, 900);
  draw(10, 290, huge);
  cells = canvas.painted();
  EXPECT_EQ(cells.top, 0);
  EXPECT_EQ(cells.bottom, 290);
}

TEST(TextThreads, OneFontDrawsTheSameFromManyThreads) {
  // A fresh font, so the threads race to fill its glyph cache.
  HFONT font = make_font(kTimes, 23, 0, 0, 700);
  std::string all;
  for (int c = 32; c < 256; ++c) all += char(c);
  std::vector<std::vector<uint32_t>> results(4);
  std::vector<std::thread> threads;
  for (auto& result : results) {
    threads.emplace_back([&, font] {
      Canvas canvas(3000, 40);
      SelectObject(canvas.dc, font);
      TextOutA(canvas.dc, 0, 5, all.data(), int(all.size()));
      result = canvas.pixels();
      SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_GT(std::count(results[0].begin(), results[0].end(), kelplat::gdi::to_pixel(kInk)), 1000);
  for (const auto& result : results) EXPECT_EQ(result, results[0]);
  DeleteObject(font);
}

}  // namespace
