/* Line styles: the four styles and a user pattern, thin and thick, and an
   exclusive-or line drawn twice, which leaves nothing. */
#include <graphics.h>

int main(void) {
  int style, y;
  initwindow(480, 320, "Line styles");
  for (style = SOLID_LINE; style <= USERBIT_LINE; ++style) {
    y = 30 + style * 40;
    setcolor(LIGHTCYAN);
    setlinestyle(style, 0xF0F0, NORM_WIDTH);
    line(20, y, 220, y);
    setcolor(YELLOW);
    setlinestyle(style, 0xF0F0, THICK_WIDTH);
    line(260, y, 460, y);
  }
  setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
  setcolor(WHITE);
  for (y = 0; y < 12; ++y) line(20 + y * 36, 300, 240, 240);
  setwritemode(XOR_PUT);
  line(250, 240, 460, 300);
  line(250, 240, 460, 300);
  setwritemode(COPY_PUT);
  getch();
  closegraph();
  return 0;
}
