// Figures cut to the page before they reach the platform: the cut keeps the
// pixels and the dash phase of what lies on the page, huge figures cost
// nothing, and stretched pictures far beyond the page keep their corner.
#include "kel/clipping.h"

#include <cmath>

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

// A path that goes round the bounds fills them; one that passes by, however
// far it reaches, fills nothing; every point lies near the bounds.
TEST(PathCut, KeepsWhatTheWholePathEnclosesInTheBounds) {
  using kel_clip::Spot;
  const long double lo = INT_MIN, hi = INT_MAX;
  kel_clip::PathCut round(kPage, 0, Spot{lo, lo});
  round.line_to(Spot{hi, lo});
  round.line_to(Spot{0, hi});
  const std::vector<POINT> all = round.polygon();
  ASSERT_EQ(all.size(), 4u);
  for (POINT p : all) EXPECT_TRUE((p.x == 0 || p.x == 399) && (p.y == 0 || p.y == 299));

  kel_clip::PathCut by(kPage, 0, Spot{lo, -10});
  by.line_to(Spot{hi, -20});
  by.line_to(Spot{hi, lo});
  EXPECT_TRUE(by.polygon().empty()) << "above the page all along";

  // A wedge from a centre far to the left with its tip on the page: the
  // points on the page are the tip's, the rest lie on the border.
  kel_clip::PathCut wedge(kPage, 0, Spot{-1e9L, 100});
  wedge.line_to(Spot{200, 150});
  wedge.line_to(Spot{-1e9L, 200});
  const std::vector<POINT> cut = wedge.polygon();
  EXPECT_NE(std::find_if(cut.begin(), cut.end(), [](POINT p) { return p.x == 200 && p.y == 150; }),
            cut.end());
  for (POINT p : cut) EXPECT_TRUE(kPage.holds(p)) << p.x << "," << p.y;
  EXPECT_TRUE(wedge.runs().size() == 1 && wedge.runs()[0].size() == 3) << "one piece: in, tip, out";
}

TEST(PathCut, ArcsAreFollowedOnlyNearTheBounds) {
  const kel_clip::Oval circle = {{200, 100150}, 100000, 100000};
  kel_clip::PathCut path(kPage, 0, circle.at(0));
  path.arc(circle, 0, 2 * 3.14159265358979323846L);
  const std::vector<POINT> polygon = path.polygon();
  ASSERT_EQ(path.runs().size(), 1u);
  EXPECT_LT(path.runs()[0].size(), 1000u);
  for (POINT p : path.runs()[0]) {
    const double r = std::hypot(p.x - 200.0, p.y - 100150.0);
    EXPECT_NEAR(r, 100000, 0.8) << p.x;
  }
  // Below the top of the circle the bounds are inside it.
  EXPECT_LT(polygon.size(), 1010u);
  EXPECT_TRUE(std::any_of(polygon.begin(), polygon.end(), [](POINT p) { return p.y == 299; }));
}

class ClippedFigures : public PrimitivesTest {
 protected:
  void TearDown() override { kel_clip::set_cutting_curves(false); }
  // Draws `figure` whole and cut to the page; the number of pixels that
  // differ, and how many the whole figure changed.
  template <class Figure>
  std::pair<int, int> cut_against_whole(Figure&& figure) {
    kel_clip::set_cutting_curves(false);
    cleardevice();
    figure();
    const PageImage whole = page();
    kel_clip::set_cutting_curves(true);
    cleardevice();
    figure();
    const PageImage cut = page();
    return {cut.differences(whole), kWidth * kHeight - whole.count(stored(BLACK))};
  }
};

// The platform's exact curves are the reference: the cut ones follow them
// to within half a pixel, so only pixels at their edges may differ, and
// dashes lie within a pixel of their place (a dash pattern one pixel off
// along the arc differs at every dash end). The
// figures reach far past where cutting starts (4096 pixels beyond the page,
// 256 for dashes), yet a system GDI draws them whole in a moment: it walks
// the whole outline of a whole figure, and Wine takes about 0.1 ms for
// each pixel of a dashed one.
TEST_F(ClippedFigures, CutCurvesAndPolygonsMatchTheWholeFiguresButForEdgePixels) {
  struct Case {
    const char* name;
    void (*draw)();
    int most;  // differing pixels allowed
  };
  const Case cases[] = {
      {"thin circle", [] { circle(200, 20150, 20000); }, 10},
      {"thick ellipse", [] {
         setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
         ellipse(200, 20150, 0, 360, 30000, 20000);
       }, 30},
      {"dashed circle", [] {
         setlinestyle(DASHED_LINE, 0, NORM_WIDTH);
         circle(-700, 150, 1000);
       }, 40},
      {"dashed arc", [] {
         setlinestyle(CENTER_LINE, 0, NORM_WIDTH);
         arc(-13942, 14292, 40, 50, 20000);
       }, 70},
      {"pie slice round the page", [] {
         setfillstyle(SOLID_FILL, GREEN);
         pieslice(200, 150, 30, 300, 20000);
       }, 60},
      {"filled ellipse", [] {
         setfillstyle(SOLID_FILL, GREEN);
         fillellipse(200, 20250, 20000, 20000);
       }, 40},
      {"polygon", [] {
         int star[] = {200, -30000, 300, 100, 30000, 150, 300, 200,
                       200, 30000, 100, 200, -30000, 150, 100, 100};
         setfillstyle(SOLID_FILL, GREEN);
         fillpoly(8, star);
       }, 40},
  };
  for (const Case& c : cases) {
    const auto [differing, drawn] = cut_against_whole([&] {
      graphdefaults();
      c.draw();
    });
    EXPECT_GT(drawn, 200) << c.name;
    EXPECT_LE(differing, c.most) << c.name << ": " << drawn << " pixels drawn";
  }
}

TEST_F(ClippedFigures, CutFiguresAtTheEndsOfTheIntRangeAreHarmless) {
  kel_clip::set_cutting_curves(true);
  const int ends[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX - 1, INT_MAX};
  setfillstyle(SOLID_FILL, GREEN);
  for (int style : {SOLID_LINE, DASHED_LINE})
    for (int a : ends)
      for (int b : ends) {
        setlinestyle(style, 0, a == 1 ? THICK_WIDTH : NORM_WIDTH);
        circle(a, b, b);
        ellipse(a, b, a, b, a, b);
        fillellipse(b, a, a, b);
        pieslice(a, a, b, a, b);
        sector(b, b, a, b, a, a);
        arc(a, b, a, b, b);
        int triangle[] = {a, b, b, a, a, a};
        fillpoly(3, triangle);
      }
  setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
  cleardevice();
  putpixel(3, 3, LIGHTRED);
  EXPECT_EQ(getpixel(3, 3), LIGHTRED);
}

// The platform's own drawing of the whole line on the page is the
// reference: on this diagonal that is the line from the same start to just
// past the page (the pixels and the dash phase on the page come from the
// start), which a system GDI draws in a moment.
TEST_F(ClippedFigures, HugeDashedLinesDrawWhatTheWholeLineDrawsOnThePage) {
  for (POINT start : {POINT{-1, -1}, POINT{-10007, -10007}}) {
    cleardevice();
    setlinestyle(DASHED_LINE, 0, NORM_WIDTH);
    line(start.x, start.y, INT_MAX, INT_MAX);
    const PageImage cut = page();
    cleardevice();
    {
      PageLock lock(wd_);
      MoveToEx(page_dc(), start.x, start.y, nullptr);
      LineTo(page_dc(), kWidth + 10, kWidth + 10);
    }
    EXPECT_EQ(cut.differences(page()), 0) << start.x;
    EXPECT_GT(cut.count(stored(WHITE)), 100);
  }
  cleardevice();
  circle(100, 100, 100000);
  EXPECT_EQ(page().count(stored(BLACK)), kWidth * kHeight) << "the circle is far off the page";
}

// The portable platform's own pens are the reference for one-pixel paths
// walked pixel by pixel (as the system GDI of Windows gets them): the same
// pixels, dashes and crossings, in copy and exclusive-or mode.
TEST_F(ClippedFigures, WalkedThinPathsLightThePortablePlatformsPixels) {
  const std::vector<POINT> paths[] = {
      {{10, 10}, {300, 200}},
      {{50, 10}, {210, 90}},
      {{300, 40}, {140, 43}},
      {{3, 3}, {3, 3}},
      {{50, 50}, {250, 60}, {80, 200}, {150, 10}, {220, 200}, {50, 50}},
      {{10, 10}, {31, 10}, {31, 23}, {10, 23}, {10, 10}},
      {{5, 5}, {395, 150}, {95, 290}, {95, 290}, {20, 20}},
      {{-100000, 7}, {100000, 290}},
  };
  const linesettingstype styles[] = {{SOLID_LINE, 0, 1},         {DOTTED_LINE, 0, 1},
                                     {CENTER_LINE, 0, 1},        {USERBIT_LINE, 0x0107, 1},
                                     {USERBIT_LINE, 0x5555, 1}};
  const kel_clip::Bounds page_bounds = {0, 0, kWidth - 1, kHeight - 1};
  // The path on the scribbled page, by the platform's pen or walked.
  auto draw = [&](const std::vector<POINT>& path, const linesettingstype& style, bool walked) {
    scribble();
    {
      PageLock lock(wd_);
      if (walked)
        kel_clip::thin_path(page_dc(), page_bounds, PenPixelRuns(style), path.data(),
                            int(path.size()));
      else
        Polyline(page_dc(), path.data(), int(path.size()));
    }
    return page();
  };
  for (int mode : {0, 1})
    for (const linesettingstype& style : styles)
      for (const std::vector<POINT>& path : paths) {
        setwritemode(mode);
        setlinestyle(style.linestyle, style.upattern, style.thickness);
        const PageImage reference = draw(path, style, false);
        EXPECT_EQ(draw(path, style, true).differences(reference), 0)
            << "mode " << mode << " style " << style.linestyle << " from " << path[0].x << ","
            << path[0].y;
      }
  setwritemode(0);
  graphdefaults();  // the stock pen, which leaves out the end of a path
  const linesettingstype solid = {SOLID_LINE, 0, 1};
  const std::vector<POINT> open = {{10, 10}, {300, 200}, {350, 20}};
  EXPECT_EQ(draw(open, solid, true).differences(draw(open, solid, false)), 0) << "stock pen";
}

}  // namespace
