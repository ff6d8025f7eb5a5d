/* Animation with pages: each frame is drawn on the hidden page, which is
   then shown, so the ball moves without flicker. */
#include <graphics.h>

int main(void) {
  int x = 60, y = 50, dx = 5, dy = 3, frame, page = 0;
  initwindow(480, 320, "Bouncing ball");
  for (frame = 0; frame < 150 && !kbhit(); ++frame) {
    setactivepage(page);
    setbkcolor(BLUE);
    cleardevice();
    setcolor(WHITE);
    rectangle(10, 10, 469, 309);
    setfillstyle(SOLID_FILL, YELLOW);
    setcolor(YELLOW);
    fillellipse(x, y, 20, 20);
    outtextxy(20, 20, "two pages");
    setvisualpage(page);
    page = 1 - page;
    x += dx;
    y += dy;
    if (x < 32 || x > 447) dx = -dx;
    if (y < 32 || y > 287) dy = -dy;
    delay(20);
  }
  setactivepage(getvisualpage());
  getch();
  closegraph();
  return 0;
}
