// A program with functions of its own named like the platform's (Sleep,
// BitBlt, WndProc, with the very signatures the portable platform and the
// library give theirs). It links against the static or the shared library;
// the library must keep using its own, and the program's must stay the
// program's. Exit status 0 on success.
#include <graphics.h>

#include <cstdio>

struct HDC__;

namespace {
int own_sleeps = 0, own_blits = 0, own_procedures = 0;
}

void Sleep(unsigned int) { ++own_sleeps; }
int BitBlt(HDC__*, int, int, int, int, HDC__*, int, int, unsigned int) {
  ++own_blits;
  return 1;
}
long WndProc(HWND__*, unsigned int, unsigned long, long) {
  ++own_procedures;
  return 0;
}

int main() {
  int failures = 0;
  auto check = [&failures](bool ok, const char* what) {
    if (!ok) std::fprintf(stderr, "failed: %s\n", what), ++failures;
  };
  initwindow(64, 48, "own names");
  putpixel(5, 6, YELLOW);
  check(getpixel(5, 6) == YELLOW, "the library draws");
  // getimage and putimage copy through the platform's BitBlt.
  static char image[64 * 64 * 4 + 64];
  check(imagesize(0, 0, 9, 9) <= sizeof image, "image fits");
  getimage(0, 0, 9, 9, image);
  putimage(20, 20, image, COPY_PUT);
  check(getpixel(25, 26) == YELLOW, "the library copies with its own BitBlt");
  delay(5);  // the platform's Sleep
  Sleep(1);
  check(own_sleeps == 1, "only the program's call reaches its Sleep");
  check(own_blits == 0, "the library never calls the program's BitBlt");
  check(own_procedures == 0, "the window's messages never reach the program's WndProc");
  closegraph();
  if (!failures) std::puts("ok");
  return failures ? 1 : 0;
}
