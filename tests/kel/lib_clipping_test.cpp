// Figures cut to the page before they reach the platform: the cut keeps the
// pixels and the dash phase of what lies on the page, huge figures cost
// nothing, and stretched pictures far beyond the page keep their corner.
#include "kel/clipping.h"
#include "lib_primitives_support.h"

using namespace prim_test;

namespace {

const kel_clip::Bounds kPage = {0, 0, 399, 299};

TEST(ClipSegment, KeepsInsidePointsAndDropsWhatMissesThePage) {
  POINT a = {10, 10}, z = {300, 200};
  EXPECT_TRUE(kel_clip::clip_segment(kPage, 11, &a, &z));
  EXPECT_EQ(a.x, 10);
  EXPECT_EQ(z.y, 200);
  a = POINT{-50, -10};
  z = POINT{-10, 500};
  EXPECT_FALSE(kel_clip::clip_segment(kPage, 0, &a, &z));
}

TEST(ClipSegment, CutEndsLieOnTheLinesPixelsAWholeNumberOfDashesAlong) {
  const POINT start = {-100000, 7}, end = {100000, 290};
  POINT a = start, z = end;
  ASSERT_TRUE(kel_clip::clip_segment(kPage, 11, &a, &z));
  const long long k = a.x - start.x;
  EXPECT_EQ(k % 11, 0) << "the dashes keep their phase";
  EXPECT_GE(a.x, -11);
  EXPECT_LE(a.x, 0);
  // The pixel the whole line lights at that column (halves round up).
  EXPECT_EQ(a.y, start.y + (2 * k * 283 + 200000) / 400000);
  EXPECT_GE(z.x, 399);
  EXPECT_LE(z.x, 400);
  a = POINT{INT_MIN, INT_MIN};
  z = POINT{INT_MAX, INT_MAX};
  ASSERT_TRUE(kel_clip::clip_segment(kPage, 0, &a, &z));
  EXPECT_EQ(a.x, a.y) << "an exact diagonal stays one";
  EXPECT_EQ(z.x, z.y);
  EXPECT_EQ(a.x, 0);
  EXPECT_EQ(z.x, 299);
}

TEST(EllipseOutline, TellsPagesInsideOutsideAndCrossed) {
  using kel_clip::Outline;
  EXPECT_EQ(kel_clip::ellipse_outline(kPage, 100, 100, 100000, 100000, 2), Outline::kPageInside);
  EXPECT_EQ(kel_clip::ellipse_outline(kPage, 5000, 100, 100, 100, 2), Outline::kOutside);
  EXPECT_EQ(kel_clip::ellipse_outline(kPage, 200, 100100, 100000, 100000, 2), Outline::kCrossing);
  EXPECT_EQ(kel_clip::ellipse_outline(kPage, 200, 150, 50, 50, 2), Outline::kCrossing);
}

TEST(CutStretch, OrdinaryDestinationsStayWholeAndHugeOnesKeepTheirCorner) {
  kel_clip::Span s = kel_clip::cut_stretch(10, 80, 0, 399, 2646);
  EXPECT_EQ(s.at, 10);
  EXPECT_EQ(s.size, 80);
  EXPECT_EQ(s.source_size, 2646);
  s = kel_clip::cut_stretch(0, 1LL << 31, 0, 399, 2646);
  EXPECT_EQ(s.at, 0);
  EXPECT_EQ(s.size, 400);
  EXPECT_EQ(s.source, 0);
  EXPECT_GE(s.source_size, 1) << "at least a pixel of the picture";
  EXPECT_EQ(kel_clip::cut_stretch(-(1LL << 40), 100, 0, 399, 2646).size, 0);
}

class ClippedFigures : public PrimitivesTest {};

// The platform's own drawing of the whole line is the reference.
TEST_F(ClippedFigures, HugeDashedLinesDrawWhatTheWholeLineDrawsOnThePage) {
  for (POINT start : {POINT{-1, -1}, POINT{-1000003, -1000003}}) {
    cleardevice();
    setlinestyle(DASHED_LINE, 0, NORM_WIDTH);
    line(start.x, start.y, INT_MAX, INT_MAX);
    const PageImage cut = page();
    cleardevice();
    {
      PageLock lock(wd_);
      MoveToEx(page_dc(), start.x, start.y, nullptr);
      LineTo(page_dc(), INT_MAX, INT_MAX);
    }
    EXPECT_EQ(cut.differences(page()), 0) << start.x;
    EXPECT_GT(cut.count(stored(WHITE)), 100);
  }
  cleardevice();
  circle(100, 100, 100000);
  EXPECT_EQ(page().count(stored(BLACK)), kWidth * kHeight) << "the circle is far off the page";
}

}  // namespace
