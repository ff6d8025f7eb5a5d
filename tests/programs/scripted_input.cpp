// Reads what KEL_SCRIPT gives: prints each key byte and each left click as
// it comes, and keeps waiting for keys after the script has ended.
#include <graphics.h>

#include <cstdio>

int main() {
  initwindow(64, 48, "scripted", 0, 0, false, false);
  setcolor(YELLOW);
  line(0, 0, 63, 0);
  for (;;) {
    if (ismouseclick(WM_LBUTTONDOWN)) {
      int x = 0, y = 0;
      getmouseclick(WM_LBUTTONDOWN, x, y);
      std::printf("click %d,%d\n", x, y);
    } else {
      std::printf("key %d\n", getch());
    }
    std::fflush(stdout);
  }
}
