// A sprite: a small picture kept with getimage and moved across a
// background with exclusive-or putimage, which draws it and, drawn again,
// takes it away.
#include <graphics.h>

#include <cstdlib>

int main() {
  initwindow(480, 320, "Sprite");
  setfillstyle(SOLID_FILL, LIGHTRED);
  fillellipse(20, 20, 18, 18);
  setfillstyle(SOLID_FILL, YELLOW);
  fillellipse(20, 20, 8, 8);
  void* sprite = std::malloc(imagesize(0, 0, 40, 40));
  getimage(0, 0, 40, 40, sprite);
  putimage(0, 0, sprite, XOR_PUT);
  for (int x = 0; x < 480; x += 24) {
    setcolor(x / 24 % 15 + 1);
    line(x, 0, 480 - x, 319);
  }
  int x = 10, y = 140;
  putimage(x, y, sprite, XOR_PUT);
  for (int step = 0; step < 40 && !kbhit(); ++step) {
    delay(30);
    putimage(x, y, sprite, XOR_PUT);
    x += 10;
    y += step < 20 ? -3 : 3;
    putimage(x, y, sprite, XOR_PUT);
  }
  getch();
  std::free(sprite);
  closegraph();
  return 0;
}
