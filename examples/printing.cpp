// Printing: draws a certificate and sends the window to the printer,
// 7 inches wide with a margin of three quarters of an inch. Without a
// printer nothing is printed.
#include <graphics.h>

int main() {
  initwindow(480, 320, "Printing");
  setbkcolor(WHITE);
  cleardevice();
  setcolor(BLUE);
  setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
  rectangle(10, 10, 469, 309);
  rectangle(20, 20, 459, 299);
  settextjustify(CENTER_TEXT, CENTER_TEXT);
  settextstyle(GOTHIC_FONT, HORIZ_DIR, 3);
  outtextxy(240, 90, "Certificate");
  settextstyle(TRIPLEX_FONT, HORIZ_DIR, 1);
  setcolor(BLACK);
  outtextxy(240, 170, "for drawing a picture");
  setfillstyle(SOLID_FILL, RED);
  pieslice(240, 250, 0, 360, 25);
  printimage("kel certificate", 7.0, 0.75, 0.75, 0, 0, getmaxx(), getmaxy());
  getch();
  closegraph();
  return 0;
}
