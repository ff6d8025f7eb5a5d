// Text and fonts: the eleven fonts, character sizes, upward text,
// justification, and accented UTF-8 text.
#include <graphics.h>

int main() {
  initwindow(560, 360, "Text and fonts");
  const char* names[] = {"Default", "Triplex", "Small", "Sans serif", "Gothic", "Script",
                         "Simplex", "Triplex script", "Complex", "European", "Bold"};
  for (int font = DEFAULT_FONT; font <= BOLD_FONT; ++font) {
    setcolor(font + 4);
    settextstyle(font, HORIZ_DIR, font == SMALL_FONT ? 6 : 2);
    outtextxy(20, 10 + font * 30, names[font]);
  }
  setcolor(WHITE);
  for (int size = 1; size <= 4; ++size) {
    settextstyle(DEFAULT_FONT, HORIZ_DIR, size);
    outtextxy(250, 10 + size * size * 8, "Size");
  }
  settextstyle(SANS_SERIF_FONT, VERT_DIR, 2);
  outtextxy(530, 200, "Upward");
  settextstyle(TRIPLEX_FONT, HORIZ_DIR, 2);
  settextjustify(CENTER_TEXT, CENTER_TEXT);
  setcolor(YELLOW);
  outtextxy(380, 260, "Café crème brûlée");  // the source file is UTF-8
  settextjustify(RIGHT_TEXT, BOTTOM_TEXT);
  settextstyle(DEFAULT_FONT, HORIZ_DIR, 1);
  outtextxy(550, 350, "right and bottom");
  getch();
  closegraph();
  return 0;
}
