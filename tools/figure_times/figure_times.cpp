// Times figures far larger than the page, which must cost what their part
// on the page costs: prints the time of each in milliseconds and fails
// (exit status 1) when one takes longer than the limit.
// With a folder, each figure's page is saved there as figureN.bmp.
// Usage: kel-figure-times [LIMIT_MS [FOLDER]]   (default limit 500 ms)
#include <graphics.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

const int kWidth = 400, kHeight = 300;

struct Figure {
  const char* name;
  void (*draw)();
};

// Milliseconds that `draw` takes: the least of three runs, so that a busy
// machine taking the processor away now and then does not count.
template <class Draw>
double milliseconds(Draw&& draw) {
  double least = 1e300;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    draw();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    least = std::min(least, took.count());
  }
  return least;
}

// The slowest of every primitive at the ends of the int range, in a clipped
// viewport and not.
double ends_of_the_int_range() {
  const int ends[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX - 1, INT_MAX};
  double slowest = 0;
  for (int clip : {0, 1}) {
    setviewport(100, 50, 300, 200, clip);
    for (int a : ends)
      for (int b : ends) {
        int triangle[] = {a, b, b, a, a, a};
        void (*const calls[])(int, int, int*) = {
            [](int a, int b, int*) { line(a, b, b, a); },
            [](int a, int b, int*) { rectangle(a, a, b, b); },
            [](int a, int b, int*) { bar(a, b, b, a); },
            [](int a, int b, int*) { circle(a, b, b); },
            [](int a, int b, int*) { ellipse(a, b, a, b, a, b); },
            [](int a, int b, int*) { fillellipse(b, a, a, b); },
            [](int a, int b, int*) { pieslice(a, a, b, a, b); },
            [](int a, int b, int*) { sector(b, b, a, b, a, a); },
            [](int a, int b, int*) { bar3d(a, a, b, b, a, 1); },
            [](int a, int b, int*) { arc(a, b, a, b, b); },
            [](int, int, int* t) { fillpoly(3, t); },
            [](int a, int b, int*) {
              moveto(a, b);
              lineto(b, a);
              linerel(a, b);
            },
        };
        for (auto call : calls) slowest = std::max(slowest, milliseconds([&] { call(a, b, triangle); }));
      }
  }
  setviewport(0, 0, kWidth - 1, kHeight - 1, 1);
  return slowest;
}

const Figure kFigures[] = {
    {"line(-1, -1, INT_MAX, INT_MAX)", [] { line(-1, -1, INT_MAX, INT_MAX); }},
    {"circle(100, 100, 100000)", [] { circle(100, 100, 100000); }},
    {"circle crossing the page, r 100000", [] { circle(200, 100150, 100000); }},
    {"dashed line 100000 pixels long",
     [] {
       setlinestyle(DASHED_LINE, 0, NORM_WIDTH);
       line(-50000, 20, 50000, 280);
     }},
    {"dashed ellipse crossing the page",
     [] {
       setlinestyle(DASHED_LINE, 0, NORM_WIDTH);
       ellipse(200, 100200, 0, 360, 150000, 100000);
     }},
    {"dashed circle crossing the page, thick",
     [] {
       setlinestyle(DOTTED_LINE, 0, THICK_WIDTH);
       circle(-99800, 150, 100000);
     }},
    {"pieslice(200, 150, 30, 300, 100000)", [] { pieslice(200, 150, 30, 300, 100000); }},
    {"sector, centre far off the page", [] { sector(-300000, 150, 350, 10, 1000000, 1000000); }},
    {"fillellipse crossing the page",
     [] {
       setfillstyle(HATCH_FILL, LIGHTBLUE);
       fillellipse(200, 100250, 100000, 100000);
     }},
    {"fillpoly with huge coordinates",
     [] {
       int star[] = {200, INT_MIN, 300, 100, INT_MAX, 150, 300, 200, 200, INT_MAX, 100, 200, INT_MIN, 150, 100, 100};
       setfillstyle(SOLID_FILL, GREEN);
       fillpoly(8, star);
     }},
};

}  // namespace

int main(int argc, char** argv) {
  const double limit = argc > 1 ? std::atof(argv[1]) : 500;
  initwindow(kWidth, kHeight, "kel figure times", 0, 0, false, false);
  int slow = 0, n = 0;
  auto report = [&](const char* name, double took) {
    const bool too_slow = took > limit;
    slow += too_slow ? 1 : 0;
    std::printf("%-50s %9.2f ms%s\n", name, took, too_slow ? "  TOO SLOW" : "");
    std::fflush(stdout);
  };
  for (const Figure& figure : kFigures) {
    graphdefaults();
    cleardevice();
    report(figure.name, milliseconds(figure.draw));
    char file[1024];
    std::snprintf(file, sizeof file, "%s/figure%d.bmp", argc > 2 ? argv[2] : ".", ++n);
    if (argc > 2) writeimagefile(file, 0, 0, kWidth - 1, kHeight - 1);
  }
  graphdefaults();
  setfillstyle(SOLID_FILL, GREEN);
  report("slowest primitive at the ends of the int range", ends_of_the_int_range());
  closegraph();
  std::printf("%d of %d figures over %.0f ms\n", slow,
              static_cast<int>(sizeof kFigures / sizeof kFigures[0]) + 1, limit);
  return slow > 0 ? 1 : 0;
}
