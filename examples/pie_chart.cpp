// A pie chart: sectors filled in different colours and patterns, with a
// legend.
#include <graphics.h>

int main() {
  initwindow(480, 320, "Pie chart");
  const int shares[] = {35, 25, 20, 12, 8};
  const char* names[] = {"Apples", "Pears", "Plums", "Cherries", "Figs"};
  int start = 0;
  for (int i = 0; i < 5; ++i) {
    const int end = start + shares[i] * 360 / 100;
    setfillstyle(i == 4 ? XHATCH_FILL : SOLID_FILL, i + 1);
    pieslice(160, 160, start, i == 4 ? 360 : end, 120);
    bar(320, 80 + i * 35, 345, 100 + i * 35);
    outtextxy(355, 86 + i * 35, names[i]);
    start = end;
  }
  getch();
  closegraph();
  return 0;
}
