/* graphics.h from C (and, compiled as C++, from C++): the same calls in
   both languages, arguments with defaults left out, getmouseclick taking the
   variables. Ends with the number of failed checks. */
#include <graphics.h>
#include <stdio.h>

static int failures = 0;

static void check(int ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "failed: %s\n", what);
    ++failures;
  }
}

int main(int argc, char** argv) {
  int x = 0, y = 0;
  linesettingstype lines;
  int first = initwindow(120, 90);
  int second = initwindow(60, 40, "second", 10, 10, false, false);
  check(first >= 0 && second == first + 1, "initwindow");
  check(getmaxx() == 59, "the newest window is current");
  setcurrentwindow(first);
  setcolor(YELLOW);
  setlinestyle(DASHED_LINE, 0, THICK_WIDTH);
  getlinesettings(&lines);
  check(lines.linestyle == DASHED_LINE && lines.thickness == THICK_WIDTH, "line settings");
  setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
  line(0, 0, 119, 0);
  check(getpixel(60, 0) == YELLOW, "drawing");
  setmousequeuestatus(WM_LBUTTONDOWN);
  setmousequeuestatus(WM_LBUTTONUP, false);
  getmouseclick(WM_LBUTTONDOWN, x, y);
  check(x == -1 && y == -1, "getmouseclick on an empty queue");
  if (argc > 1) {
    writeimagefile(argv[1]);
    cleardevice();
    readimagefile(argv[1], 0, 0, 119, 89);
    check(getpixel(60, 0) == YELLOW, "image files");
  }
  closegraph(second);
  check(getcurrentwindow() == first, "closing another window");
  if (failures) return failures;
  closegraph(); /* the first window ends the process (its closeflag) */
  return 0;
}
