// Draws a fixed list of scenes, each on a cleared page with the default
// settings, and saves each as a BMP file: every primitive, line style and
// thickness, fill style, text font, size and direction, images and
// exclusive-or drawing. Running it on two builds and comparing the files
// (tools/scenes/compare.sh) shows where two platforms draw differently.
// Usage: kel-scenes OUTPUT_DIRECTORY
#include <graphics.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kWidth = 320, kHeight = 240;

struct Scene {
  const char* name;
  void (*draw)();
};

void pixels() {
  for (int i = 0; i < 16; ++i)
    for (int j = 0; j < 200; j += 3) putpixel(10 + i * 18 + j % 17, 20 + j, i);
}

void lines() {
  for (int i = 0; i < 12; ++i) line(10, 10 + i * 18, 300, 230 - i * 17);
  moveto(160, 120);
  for (int i = 1; i < 8; ++i) linerel(i * 7 * (i % 2 ? 1 : -1), -i * 5);
}

void line_styles() {
  for (int style = SOLID_LINE; style <= USERBIT_LINE; ++style)
    for (int thick : {NORM_WIDTH, THICK_WIDTH}) {
      setlinestyle(style, 0xF0C3, thick);
      const int y = 15 + style * 45 + (thick == NORM_WIDTH ? 0 : 20);
      line(10, y, 150, y);
      line(170, y - 10, 310, y + 10);
    }
}

void thicknesses() {
  for (int w = 1; w <= 9; w += 2) {
    setlinestyle(SOLID_LINE, 0, w);
    line(20 + w * 20, 20, 40 + w * 25, 200);
    circle(230, 120, 10 + w * 9);
  }
}

void rectangles_and_bars() {
  rectangle(10, 10, 100, 80);
  setfillstyle(SOLID_FILL, LIGHTBLUE);
  bar(120, 10, 200, 80);
  setfillstyle(HATCH_FILL, YELLOW);
  bar3d(30, 120, 120, 200, 20, 1);
  setfillstyle(XHATCH_FILL, LIGHTGREEN);
  bar3d(180, 130, 260, 210, 15, 0);
}

void round_figures() {
  circle(60, 60, 45);
  arc(170, 60, 30, 300, 40);
  ellipse(260, 60, 0, 360, 50, 25);
  setfillstyle(SOLID_FILL, RED);
  fillellipse(60, 170, 50, 30);
  pieslice(170, 170, 45, 315, 45);
  setfillstyle(LTSLASH_FILL, CYAN);
  sector(265, 170, 200, 100, 45, 60);
}

void fill_styles() {
  for (int style = EMPTY_FILL; style < USER_FILL; ++style) {
    setfillstyle(style, 1 + style % 15);
    const int x = 10 + (style % 6) * 50, y = 20 + (style / 6) * 110;
    bar(x, y, x + 40, y + 90);
  }
}

void user_fill_and_polygons() {
  char pattern[8] = {0x18, 0x3C, 0x7E, char(0xFF), 0x7E, 0x3C, 0x18, 0x00};
  setfillpattern(pattern, LIGHTMAGENTA);
  int star[] = {80, 10, 100, 80, 160, 80, 110, 120, 130, 190, 80, 145, 30, 190, 50, 120, 0, 80, 60, 80};
  fillpoly(10, star);
  int zigzag[] = {180, 200, 210, 30, 240, 200, 270, 30, 300, 200};
  drawpoly(5, zigzag);
}

void flood_fills() {
  circle(80, 120, 60);
  setfillstyle(SOLID_FILL, GREEN);
  floodfill(80, 120, WHITE);
  int zigzag[] = {170, 200, 200, 40, 230, 180, 260, 40, 300, 200, 170, 200};
  drawpoly(6, zigzag);
  setfillstyle(SLASH_FILL, LIGHTRED);
  floodfill(200, 190, WHITE);
}

void text_fonts() {
  for (int font = DEFAULT_FONT; font <= BOLD_FONT; ++font) {
    settextstyle(font, HORIZ_DIR, font == DEFAULT_FONT ? 1 : 2);
    outtextxy(5 + (font / 6) * 160, 5 + (font % 6) * 38, "Kel 123");
  }
}

void text_sizes_and_directions() {
  for (int size = 1; size <= 4; ++size) {
    settextstyle(SANS_SERIF_FONT, HORIZ_DIR, size);
    outtextxy(10, 5 + size * size * 9, "Size");
  }
  settextstyle(TRIPLEX_FONT, VERT_DIR, 3);
  outtextxy(250, 200, "Upward");
  settextjustify(CENTER_TEXT, CENTER_TEXT);
  settextstyle(DEFAULT_FONT, HORIZ_DIR, 2);
  outtextxy(160, 200, "centred");
}

void images() {
  setfillstyle(INTERLEAVE_FILL, LIGHTCYAN);
  bar(10, 10, 70, 60);
  circle(40, 35, 20);
  std::vector<char> image(imagesize(10, 10, 70, 60));
  getimage(10, 10, 70, 60, image.data());
  const int ops[] = {COPY_PUT, XOR_PUT, OR_PUT, AND_PUT, NOT_PUT};
  for (int i = 0; i < 5; ++i) {
    setfillstyle(SOLID_FILL, BROWN);
    bar(90 + (i % 3) * 75, 20 + (i / 3) * 110, 150 + (i % 3) * 75, 100 + (i / 3) * 110);
    putimage(80 + (i % 3) * 75, 30 + (i / 3) * 110, image.data(), ops[i]);
  }
}

void exclusive_or() {
  setfillstyle(SOLID_FILL, BLUE);
  bar(60, 40, 260, 200);
  setwritemode(XOR_PUT);
  setcolor(YELLOW);
  for (int i = 0; i < 10; ++i) line(10, 10 + i * 22, 310, 230 - i * 22);
  rectangle(30, 30, 290, 210);
  rectangle(30, 30, 290, 210);  // twice: gone again
  setlinestyle(DASHED_LINE, 0, 1);
  circle(160, 120, 70);
}

void viewport_and_clipping() {
  setviewport(40, 30, 280, 210, 1);
  setfillstyle(CLOSE_DOT_FILL, LIGHTGREEN);
  fillellipse(120, 90, 150, 120);
  circle(0, 0, 80);
  line(-100, 50, 400, 60);
  setviewport(0, 0, kWidth - 1, kHeight - 1, 1);
  rectangle(40, 30, 280, 210);
}

void huge_coordinates() {
  line(-1, -1, 2147483647, 2147483647);
  circle(100, 100, 100000);
  setlinestyle(DASHED_LINE, 0, 1);
  line(-50000, 100, 50000, 140);
  setfillstyle(SOLID_FILL, DARKGRAY);
  fillellipse(160, 120, 1000000, 1000000);
  setcolor(LIGHTRED);
  setlinestyle(SOLID_LINE, 0, 1);
  circle(160, 100120, 100000);
}

const Scene kScenes[] = {
    {"pixels", pixels},
    {"lines", lines},
    {"line_styles", line_styles},
    {"thicknesses", thicknesses},
    {"rectangles_and_bars", rectangles_and_bars},
    {"round_figures", round_figures},
    {"fill_styles", fill_styles},
    {"user_fill_and_polygons", user_fill_and_polygons},
    {"flood_fills", flood_fills},
    {"text_fonts", text_fonts},
    {"text_sizes_and_directions", text_sizes_and_directions},
    {"images", images},
    {"exclusive_or", exclusive_or},
    {"viewport_and_clipping", viewport_and_clipping},
    {"huge_coordinates", huge_coordinates},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
    return 2;
  }
  initwindow(kWidth, kHeight, "kel scenes", 0, 0, false, false);
  for (const Scene& scene : kScenes) {
    graphdefaults();
    cleardevice();
    scene.draw();
    const std::string file = std::string(argv[1]) + "/" + scene.name + ".bmp";
    writeimagefile(file.c_str(), 0, 0, kWidth - 1, kHeight - 1);
    std::printf("%s\n", file.c_str());
  }
  closegraph();
  return 0;
}
