/* Colours: the sixteen standard colours and a wheel of RGB colours made with
   COLOR(r, g, b), pixel by pixel. */
#include <graphics.h>
#include <math.h>

static int channel(double angle) {
  double v = cos(angle);
  return v < 0 ? 0 : (int)(v * 255);
}

int main(void) {
  int c, x, y;
  initwindow(480, 320, "Colours");
  for (c = 0; c < 16; ++c) {
    setfillstyle(SOLID_FILL, c);
    bar(10 + c * 28, 10, 34 + c * 28, 40);
  }
  for (y = -120; y <= 120; ++y)
    for (x = -120; x <= 120; ++x) {
      double r = sqrt((double)(x * x + y * y)), a = atan2((double)y, (double)x);
      if (r > 120) continue;
      putpixel(240 + x, 180 + y,
               COLOR(channel(a) * r / 120, channel(a - 2.094) * r / 120, channel(a + 2.094) * r / 120));
    }
  getch();
  closegraph();
  return 0;
}
