// A program for the X11 end-to-end tests: opens windows with the public
// interface and reports on standard output what it reads from them, one line
// per event, so a test driving it with real input can check what arrived.
//
// Usage: x11_probe MODE [ARG]
//   keys           prints "key N" for every getch byte; ends on 'q' (status 7)
//   mouse          queues every mouse kind, prints "handler K X Y" from the
//                  handlers; on 'q' prints "queue K X Y" per queued event,
//                  "last X Y" and "done"
//   close FLAG     a window opened with closeflag FLAG; keys as above
//   frameless      a window without caption at (300, 200); keys as above
//   picture FILE   draws on the visual page, writes the page's pixels to
//                  FILE, prints "drawn"; keys as above
//   no-window      reads a key without a window (the fatal error box)
//   metrics        prints "max W H" from getmaxwidth and getmaxheight
//   multi          windows A and B take keys and clicks while the program
//                  draws in window C; see run_multi
#include <graphics.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {

void say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stdout, format, args);
  va_end(args);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// Echoes keys until 'q'.
int echo_keys() {
  say("ready");
  for (;;) {
    int c = getch();
    say("key %d", c);
    if (c == 'q') return 7;
  }
}

template <int Kind>
void report_mouse(int x, int y) {
  say("handler %d %d %d", Kind, x, y);
}

template <int... Kinds>
void watch_mouse(std::integer_sequence<int, Kinds...>) {
  ((setmousequeuestatus(0x200 + Kinds, true),
    registermousehandler(0x200 + Kinds, report_mouse<0x200 + Kinds>)),
   ...);
}

int run_mouse() {
  initwindow(320, 240, "kel probe mouse", 100, 100, false, false);
  watch_mouse(std::make_integer_sequence<int, 10>());
  say("ready");
  while (getch() != 'q') {
  }
  for (int kind = WM_MOUSEMOVE; kind <= WM_MBUTTONDBLCLK; ++kind) {
    int x, y;
    while (ismouseclick(kind)) {
      getmouseclick(kind, x, y);
      say("queue %d %d %d", kind, x, y);
    }
  }
  say("last %d %d", mousex(), mousey());
  say("done");
  return 0;
}

// Page 0 (shown) gets a picture, page 1 (hidden) another; the shown page's
// pixels go to `path` as width, height and 0x00RRGGBB words.
int run_picture(const char* path) {
  const int width = 160, height = 120;
  initwindow(width, height, "kel probe picture", 50, 50, false, false);
  setfillstyle(SOLID_FILL, RED);
  bar(10, 10, 60, 50);
  setcolor(YELLOW);
  circle(100, 60, 30);
  setcolor(COLOR(10, 200, 30));
  line(0, height - 1, width - 1, 0);
  rectangle(5, 5, width - 6, height - 6);
  putpixel(0, 0, LIGHTCYAN);
  putpixel(width - 1, height - 1, WHITE);
  setactivepage(1);
  setfillstyle(SOLID_FILL, BLUE);
  bar(0, 0, width - 1, height - 1);
  setactivepage(0);
  FILE* file = std::fopen(path, "wb");
  if (!file) return 2;
  uint32_t size[2] = {uint32_t(width), uint32_t(height)};
  std::fwrite(size, sizeof size, 1, file);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t rgb = uint32_t(converttorgb(getpixel(x, y)));  // 0x00BBGGRR
      uint32_t word = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
      std::fwrite(&word, sizeof word, 1, file);
    }
  }
  std::fclose(file);
  say("drawn");
  return echo_keys();
}

// Windows A and B collect keys and left clicks while this thread keeps
// drawing in window C. Each of A and B is finished by a '.'; then the
// program prints "A keys=... clicks=N" and the same for B.
int run_multi() {
  int windows[2] = {initwindow(200, 150, "kel probe A", 0, 0, false, false),
                    initwindow(200, 150, "kel probe B", 250, 0, false, false)};
  int canvas = initwindow(300, 200, "kel probe C", 0, 250, false, false);
  for (int w : windows) {
    setcurrentwindow(w);
    setmousequeuestatus(WM_LBUTTONDOWN, true);
  }
  say("ready");
  std::string keys[2];
  int clicks[2] = {0, 0};
  bool finished[2] = {false, false};
  unsigned seed = 1;
  while (!finished[0] || !finished[1]) {
    setcurrentwindow(canvas);
    for (int i = 0; i < 50; ++i) {
      seed = seed * 1103515245u + 12345u;
      setcolor(int(seed >> 16) % 16);
      line(int(seed % 300), int((seed >> 8) % 200), int((seed >> 4) % 300),
           int((seed >> 12) % 200));
    }
    for (int i = 0; i < 2; ++i) {
      setcurrentwindow(windows[i]);
      while (kbhit()) {
        int c = getch();
        if (c == '.')
          finished[i] = true;
        else
          keys[i] += char(c);
      }
      int x, y;
      while (ismouseclick(WM_LBUTTONDOWN)) {
        getmouseclick(WM_LBUTTONDOWN, x, y);
        ++clicks[i];
      }
    }
  }
  say("A keys=%s clicks=%d", keys[0].c_str(), clicks[0]);
  say("B keys=%s clicks=%d", keys[1].c_str(), clicks[1]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  const char* arg = argc > 2 ? argv[2] : "";
  if (mode == "keys") {
    initwindow(320, 200, "kel probe keys", 100, 100, false, false);
    return echo_keys();
  }
  if (mode == "mouse") return run_mouse();
  if (mode == "close") {
    initwindow(320, 200, "kel probe close", 100, 100, false, std::strcmp(arg, "1") == 0);
    return echo_keys();
  }
  if (mode == "frameless") {
    initwindow(200, 150, "", 300, 200, false, false);
    return echo_keys();
  }
  if (mode == "picture") return run_picture(arg);
  if (mode == "no-window") return getch() == 0 ? 3 : 4;  // never returns: the box, then exit 0
  if (mode == "multi") return run_multi();
  if (mode == "metrics") {
    say("max %d %d", getmaxwidth(), getmaxheight());
    return 0;
  }
  std::fprintf(stderr, "unknown mode '%s'\n", mode.c_str());
  return 2;
}
