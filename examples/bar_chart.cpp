// A bar chart: three-dimensional bars with their values and labels, axes
// and a title.
#include <graphics.h>

#include <cstdio>

int main() {
  initwindow(480, 320, "Bar chart");
  const int values[] = {12, 30, 22, 41, 35, 18};
  const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun"};
  setcolor(WHITE);
  line(40, 280, 460, 280);
  line(40, 280, 40, 30);
  settextjustify(CENTER_TEXT, TOP_TEXT);
  char text[8];
  for (int i = 0; i < 6; ++i) {
    const int left = 60 + i * 65, top = 280 - values[i] * 5;
    setfillstyle(i % 2 ? HATCH_FILL : SOLID_FILL, i + 9);
    bar3d(left, top, left + 40, 280, 10, 1);
    outtextxy(left + 20, 288, months[i]);
    std::snprintf(text, sizeof text, "%d", values[i]);
    outtextxy(left + 20, top - 22, text);
  }
  settextstyle(SANS_SERIF_FONT, HORIZ_DIR, 2);
  outtextxy(240, 4, "Sales");
  getch();
  closegraph();
  return 0;
}
