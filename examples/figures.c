/* Figures: circles, ellipses, arcs, rectangles, bars and pie slices. */
#include <graphics.h>

int main(void) {
  initwindow(480, 320, "Figures");
  setcolor(YELLOW);
  circle(70, 70, 50);
  setcolor(LIGHTGREEN);
  ellipse(200, 70, 0, 360, 70, 40);
  setcolor(LIGHTCYAN);
  arc(360, 90, 0, 180, 60);
  setcolor(WHITE);
  rectangle(20, 150, 140, 250);
  setfillstyle(SOLID_FILL, BLUE);
  bar3d(180, 170, 260, 280, 20, 1);
  setfillstyle(SOLID_FILL, RED);
  pieslice(380, 230, 30, 330, 60);
  setfillstyle(SOLID_FILL, MAGENTA);
  fillellipse(80, 290, 50, 20);
  outtextxy(150, 300, "circle  ellipse  arc  bar3d  pieslice");
  getch();
  closegraph();
  return 0;
}
