// A tour of the library: one window showing colours, line and fill styles,
// bars, round figures, polygons, flood fill and text, then a short animation
// drawn with two pages. With a display it waits for a key (clicks leave
// rings) or ten seconds, and 'p' prints the window 7 inches wide (the
// window's system menu, Alt+Space, also saves and prints it); without a
// display it saves the picture as kel-tour.bmp. Given a file name
// (tour picture.bmp) it saves the picture there and ends at once, display or not.
#include <graphics.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const int kWidth = 800;
const int kHeight = 600;
// The box the animation runs in.
const int kBallLeft = 560, kBallTop = 440, kBallRight = 780, kBallBottom = 580;

void caption(int x, int y, const char* text) {
  setcolor(WHITE);
  settextstyle(DEFAULT_FONT, HORIZ_DIR, 1);
  settextjustify(LEFT_TEXT, TOP_TEXT);
  outtextxy(x, y, text);
}

void colours() {
  caption(20, 10, "Colours");
  for (int c = 0; c < 16; ++c) {
    setfillstyle(SOLID_FILL, c);
    bar(20 + c * 22, 30, 40 + c * 22, 60);
  }
  for (int i = 0; i < 64; ++i) {
    setfillstyle(SOLID_FILL, COLOR(i * 4, 255 - i * 4, 128));
    bar(20 + i * 5, 64, 25 + i * 5, 74);
  }
}

void line_styles() {
  caption(400, 10, "Line styles");
  for (int style = SOLID_LINE; style <= USERBIT_LINE; ++style) {
    setcolor(LIGHTCYAN);
    setlinestyle(style, 0x3F0F, NORM_WIDTH);
    line(400, 32 + style * 9, 580, 32 + style * 9);
    setcolor(YELLOW);
    setlinestyle(style, 0x3F0F, THICK_WIDTH);
    line(600, 32 + style * 9, 780, 32 + style * 9);
  }
  setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
}

void fill_styles() {
  caption(20, 90, "Fill styles");
  char hearts[8] = {0x00, 0x66, char(0xFF), char(0xFF), 0x7E, 0x3C, 0x18, 0x00};
  for (int style = EMPTY_FILL; style <= USER_FILL; ++style) {
    int x = 20 + style * 58;
    if (style == USER_FILL)
      setfillpattern(hearts, LIGHTRED);
    else
      setfillstyle(style, 1 + style % 15);
    setcolor(WHITE);
    bar3d(x, 112, x + 40, 160, 0, 0);
  }
  setfillstyle(XHATCH_FILL, LIGHTGREEN);
  bar3d(20, 190, 120, 260, 20, 1);
  setfillstyle(INTERLEAVE_FILL, LIGHTMAGENTA);
  bar3d(160, 200, 220, 260, 12, 1);
}

void round_figures() {
  caption(260, 180, "Circles, arcs, ellipses, pies");
  setcolor(WHITE);
  circle(300, 240, 30);
  setcolor(LIGHTGREEN);
  setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
  arc(380, 240, 30, 300, 30);
  setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
  setcolor(YELLOW);
  ellipse(480, 240, 0, 360, 45, 22);
  setfillstyle(SOLID_FILL, RED);
  pieslice(580, 240, 20, 340, 30);
  setfillstyle(HATCH_FILL, LIGHTBLUE);
  sector(680, 240, 90, 270, 40, 28);
  setfillstyle(SOLID_FILL, CYAN);
  fillellipse(750, 240, 25, 15);
}

void polygons_and_flood() {
  caption(20, 290, "Polygons and flood fill");
  int star[] = {110, 310, 125, 350, 170, 350, 135, 375, 150, 420,
                110, 392, 70,  420, 85,  375, 50,  350, 95,  350};
  setcolor(YELLOW);
  setfillstyle(SOLID_FILL, BROWN);
  fillpoly(10, star);
  int zigzag[] = {200, 420, 230, 320, 260, 420, 290, 320, 320, 420, 200, 420};
  setcolor(LIGHTCYAN);
  drawpoly(6, zigzag);
  setfillstyle(WIDE_DOT_FILL, LIGHTCYAN);
  floodfill(230, 400, LIGHTCYAN);
  setcolor(WHITE);
  rectangle(350, 320, 480, 420);
  circle(415, 370, 35);
  setfillstyle(SLASH_FILL, GREEN);
  floodfill(360, 330, WHITE);
}

void text() {
  caption(520, 290, "Text");
  setcolor(LIGHTGREEN);
  settextstyle(TRIPLEX_FONT, HORIZ_DIR, 3);
  outtextxy(520, 310, "Triplex");
  setcolor(LIGHTMAGENTA);
  settextstyle(SANS_SERIF_FONT, HORIZ_DIR, 2);
  outtextxy(520, 345, "Sans serif");
  setcolor(YELLOW);
  settextstyle(GOTHIC_FONT, VERT_DIR, 2);
  outtextxy(770, 300, "Upward");
  setcolor(WHITE);
  settextstyle(DEFAULT_FONT, HORIZ_DIR, 1);
  kelout << "Lines from a stream:\n  width of 'kel' = " << textwidth("kel") << " pixels";
  outstreamxy(520, 380);
}

void scene() {
  setbkcolor(BLACK);
  cleardevice();
  colours();
  line_styles();
  fill_styles();
  round_figures();
  polygons_and_flood();
  text();
  caption(20, 440, "Double-buffered animation ->");
  caption(20, 470, "p: print this window");
  caption(20, 484, "Alt+Space: save or print");
  setcolor(DARKGRAY);
  rectangle(kBallLeft - 1, kBallTop - 1, kBallRight + 1, kBallBottom + 1);
}

// A ball bouncing in its box, drawn on the hidden page and then shown.
void animate(int frames) {
  int x = kBallLeft + 20, y = kBallTop + 20, dx = 5, dy = 3;
  for (int i = 0; i < frames; ++i) {
    setfillstyle(SOLID_FILL, BLACK);
    bar(kBallLeft, kBallTop, kBallRight + 1, kBallBottom + 1);
    setcolor(WHITE);
    setfillstyle(SOLID_FILL, 1 + i / 8 % 15);
    fillellipse(x, y, 14, 14);
    swapbuffers();
    delay(20);
    if (x + dx < kBallLeft + 15 || x + dx > kBallRight - 15) dx = -dx;
    if (y + dy < kBallTop + 15 || y + dy > kBallBottom - 15) dy = -dy;
    x += dx;
    y += dy;
  }
}

void ring_where_clicked(int x, int y) {
  setcolor(LIGHTRED);
  circle(x, y, 6);
}

bool have_display() {
  const char* display = std::getenv("DISPLAY");
  return display && *display;
}

}  // namespace

int main(int argc, char** argv) {
  initwindow(kWidth, kHeight, "kel tour", 0, 0, true);
  for (int page = 0; page <= 1; ++page) {
    setactivepage(page);
    scene();
  }
  setactivepage(1);
  // A picture to save gets the short run, so it is the same on every
  // platform whether a display is there or not.
  const bool saving = argc > 1 || !have_display();
  animate(saving ? 12 : 150);
  // Show and draw on the same page from here on.
  setactivepage(getvisualpage());

  if (saving) {
    const char* file = argc > 1 ? argv[1] : "kel-tour.bmp";
    writeimagefile(file, 0, 0, INT_MAX, INT_MAX, false);
    char dir[4096];
    const char* where = argc > 1 ? "" : getcwd(dir, sizeof(dir)) ? dir : ".";
    std::printf("The tour's picture is in %s%s%s\n", where, *where ? "/" : "", file);
    std::fflush(stdout);
    return 0;
  }
  registermousehandler(WM_LBUTTONDOWN, ring_where_clicked);
  for (int i = 0; i < 100 && !kbhit(); ++i) delay(100);
  if (kbhit() && getch() == 'p') printimage("kel tour", 7.0);
  return 0;
}
