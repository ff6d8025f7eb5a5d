// A clock face: the hour marks, numbers and hands of the current time,
// drawn with lines, circles and centred text.
#include <graphics.h>

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

const double kPi = 3.14159265358979;

void hand(int cx, int cy, double turns, int length, int width, int colour) {
  setcolor(colour);
  setlinestyle(SOLID_LINE, 0, width);
  const double a = turns * 2 * kPi - kPi / 2;
  line(cx, cy, cx + int(length * std::cos(a)), cy + int(length * std::sin(a)));
}

}  // namespace

int main() {
  initwindow(320, 320, "Clock");
  const int cx = 160, cy = 160;
  setfillstyle(SOLID_FILL, DARKGRAY);
  fillellipse(cx, cy, 150, 150);
  settextjustify(CENTER_TEXT, CENTER_TEXT);
  char number[4];
  for (int h = 1; h <= 12; ++h) {
    const double a = h * kPi / 6 - kPi / 2;
    std::snprintf(number, sizeof number, "%d", h);
    setcolor(WHITE);
    outtextxy(cx + int(125 * std::cos(a)), cy + int(125 * std::sin(a)), number);
  }
  const std::time_t now = std::time(nullptr);
  const std::tm* t = std::localtime(&now);
  hand(cx, cy, (t->tm_hour % 12 + t->tm_min / 60.0) / 12, 70, 7, LIGHTCYAN);
  hand(cx, cy, t->tm_min / 60.0, 105, 3, YELLOW);
  hand(cx, cy, t->tm_sec / 60.0, 115, 1, LIGHTRED);
  getch();
  closegraph();
  return 0;
}
