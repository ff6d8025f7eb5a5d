// Several windows: three windows, each with its own drawing state; the
// program draws into each by making it current.
#include <graphics.h>

int main() {
  const int first = initwindow(300, 200, "Circles", 20, 20);
  const int second = initwindow(300, 200, "Squares", 340, 20);
  const int third = initwindow(300, 200, "Lines", 660, 20);
  setcurrentwindow(first);
  for (int r = 10; r < 100; r += 10) {
    setcolor(r / 10);
    circle(150, 100, r);
  }
  setcurrentwindow(second);
  for (int s = 10; s < 100; s += 12) {
    setcolor(LIGHTRED);
    rectangle(150 - s, 100 - s, 150 + s, 100 + s);
  }
  setcurrentwindow(third);
  setcolor(LIGHTGREEN);
  for (int x = 0; x < 300; x += 15) line(x, 0, 300 - x, 199);
  setcurrentwindow(first);
  outtextxy(10, 10, "window 1 of 3");
  getch();
  closegraph(ALL_WINDOWS);
  return 0;
}
