// Mouse paint with handlers: the left button draws while held, the right
// button picks the next colour; any key ends.
#include <graphics.h>

namespace {

int colour = YELLOW;
bool painting = false;
int last_x = 0, last_y = 0;

void on_press(int x, int y) {
  painting = true;
  last_x = x;
  last_y = y;
  putpixel(x, y, colour);
}

void on_move(int x, int y) {
  if (!painting) return;
  setcolor(colour);
  line(last_x, last_y, x, y);
  last_x = x;
  last_y = y;
}

void on_release(int, int) { painting = false; }

void on_right(int, int) {
  colour = colour % 15 + 1;
  setfillstyle(SOLID_FILL, colour);
  bar(0, 0, 30, 30);
}

}  // namespace

int main() {
  initwindow(480, 320, "Mouse paint");
  setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
  setfillstyle(SOLID_FILL, colour);
  bar(0, 0, 30, 30);
  outtextxy(40, 10, "left: paint   right: colour   key: end");
  registermousehandler(WM_LBUTTONDOWN, on_press);
  registermousehandler(WM_MOUSEMOVE, on_move);
  registermousehandler(WM_LBUTTONUP, on_release);
  registermousehandler(WM_RBUTTONDOWN, on_right);
  while (!kbhit()) delay(10);
  getch();
  closegraph();
  return 0;
}
