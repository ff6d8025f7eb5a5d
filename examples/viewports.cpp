// Viewports: four clipped viewports, each with its own origin; the same
// figure drawn in each is cut at its edges.
#include <graphics.h>

int main() {
  initwindow(480, 320, "Viewports");
  const int boxes[][4] = {{10, 10, 230, 150}, {250, 10, 470, 150},
                          {10, 170, 230, 310}, {250, 170, 470, 310}};
  for (int i = 0; i < 4; ++i) {
    setviewport(boxes[i][0], boxes[i][1], boxes[i][2], boxes[i][3], 1);
    setbkcolor(i + 1);
    clearviewport();
    setcolor(WHITE);
    setfillstyle(SOLID_FILL, i + 9);
    fillellipse(20 + i * 50, 70, 80, 50);
    outtextxy(5, 5, "viewport");
  }
  setviewport(0, 0, getmaxx(), getmaxy(), 1);
  getch();
  closegraph();
  return 0;
}
