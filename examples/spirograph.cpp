// A spirograph: a long path drawn with lineto from the current position,
// changing colour as it goes.
#include <graphics.h>

#include <cmath>

int main() {
  initwindow(400, 400, "Spirograph");
  const double big = 120, small = 43, pen = 60;
  moveto(200 + int(big - small + pen), 200);
  for (int step = 1; step <= 3000; ++step) {
    const double t = step * 0.02;
    const double x = (big - small) * std::cos(t) + pen * std::cos((big - small) / small * t);
    const double y = (big - small) * std::sin(t) - pen * std::sin((big - small) / small * t);
    setcolor(step / 200 % 6 + 9);
    lineto(200 + int(x), 200 + int(y));
  }
  getch();
  closegraph();
  return 0;
}
