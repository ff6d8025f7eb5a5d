/* Polygons: an outlined star, a filled one, and a triangle closed by three
   lines that holds a flood fill. */
#include <graphics.h>
#include <math.h>

static void star(int cx, int cy, int r, int points[22]) {
  int i;
  for (i = 0; i < 10; ++i) {
    double a = i * 3.14159265 / 5 - 3.14159265 / 2;
    double d = i % 2 ? r * 0.4 : r;
    points[2 * i] = cx + (int)(d * cos(a));
    points[2 * i + 1] = cy + (int)(d * sin(a));
  }
  points[20] = points[0];
  points[21] = points[1];
}

int main(void) {
  int points[22];
  initwindow(480, 320, "Polygons");
  setcolor(YELLOW);
  star(90, 110, 80, points);
  drawpoly(11, points);
  setfillstyle(SOLID_FILL, LIGHTBLUE);
  star(250, 110, 80, points);
  fillpoly(10, points);
  setcolor(WHITE);
  line(330, 280, 400, 160);
  line(400, 160, 470, 280);
  line(470, 280, 330, 280);
  setfillstyle(HATCH_FILL, LIGHTGREEN);
  floodfill(400, 240, WHITE);
  outtextxy(20, 290, "drawpoly, fillpoly, floodfill");
  getch();
  closegraph();
  return 0;
}
