/* Fill patterns: the twelve fill styles and a user pattern. */
#include <graphics.h>
#include <stdio.h>

int main(void) {
  char checker[8] = {0x33, 0x33, (char)0xCC, (char)0xCC, 0x33, 0x33, (char)0xCC, (char)0xCC};
  char label[16];
  int style;
  initwindow(480, 320, "Fill patterns");
  for (style = EMPTY_FILL; style <= CLOSE_DOT_FILL; ++style) {
    int x = 20 + (style % 4) * 115, y = 20 + (style / 4) * 95;
    setfillstyle(style, style + 1);
    bar(x, y, x + 95, y + 65);
    setcolor(WHITE);
    rectangle(x, y, x + 95, y + 65);
    sprintf(label, "style %d", style);
    outtextxy(x, y + 70, label);
  }
  setfillpattern(checker, LIGHTRED);
  fillellipse(400, 280, 50, 25);
  getch();
  closegraph();
  return 0;
}
