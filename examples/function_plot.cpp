// A function plot: axes with ticks, a dotted grid and two curves drawn with
// linerel.
#include <graphics.h>

#include <cmath>

namespace {

const int kOx = 40, kOy = 160, kScaleX = 60, kScaleY = 100;

void curve(double (*f)(double), int colour) {
  setcolor(colour);
  setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
  int y = kOy - int(f(0) * kScaleY);
  moveto(kOx, y);
  for (int x = 1; x <= 400; ++x) {
    const int next = kOy - int(f(double(x) / kScaleX) * kScaleY);
    linerel(1, next - y);
    y = next;
  }
}

double damped(double x) { return std::exp(-x / 3) * std::cos(3 * x); }

}  // namespace

int main() {
  initwindow(460, 320, "Function plot");
  setcolor(DARKGRAY);
  setlinestyle(DOTTED_LINE, 0, NORM_WIDTH);
  for (int x = kOx + kScaleX; x < 450; x += kScaleX) line(x, 40, x, 280);
  setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
  setcolor(WHITE);
  line(kOx, 40, kOx, 280);
  line(kOx, kOy, 450, kOy);
  curve([](double x) { return std::sin(x); }, LIGHTGREEN);
  curve(damped, YELLOW);
  setcolor(WHITE);
  outtextxy(60, 295, "sin x  and  e^(-x/3) cos 3x");
  getch();
  closegraph();
  return 0;
}
