// Uses the library without a current window, in the way named by the first
// argument. Every way but "palette" must end the process inside the library,
// with the error text and exit status 0; reaching the end exits with 3.
#include <graphics.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void use_without_window(const char* how) {
  if (!std::strcmp(how, "mousex")) mousex();
  if (!std::strcmp(how, "putpixel")) putpixel(1, 1, WHITE);
  if (!std::strcmp(how, "getch")) getch();
  if (!std::strcmp(how, "kbhit")) kbhit();
  if (!std::strcmp(how, "getmouseclick")) {
    int x = 0, y = 0;
    getmouseclick(WM_LBUTTONDOWN, x, y);
  }
  if (!std::strcmp(how, "graphdefaults")) graphdefaults();
  if (!std::strcmp(how, "after-close")) {
    int window = initwindow(60, 40, "closed", 0, 0, false, false);
    closegraph(window);
    line(0, 0, 10, 10);
  }
  if (!std::strcmp(how, "palette")) {
    palettetype palette = *getdefaultpalette();
    getpalette(&palette);
    setallpalette(&palette);
    setpalette(1, 2);
    setrgbpalette(1, 2, 3, 4);
    std::printf("%d %d\n", getpalettesize(), palette.size);
    std::fflush(stdout);
    std::exit(0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) use_without_window(argv[1]);
  return 3;
}
