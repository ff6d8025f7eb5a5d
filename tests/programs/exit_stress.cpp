// Eight threads draw into eight windows while the main thread switches the
// current window, reads input and returns from main with all of it still
// running: the process must end with status 0, however the exit meets the
// window threads and the drawing threads.
//
// Usage: exit_stress [ROUNDS]   main's rounds of switching before it returns
#include <graphics.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace {

constexpr int kWindows = 8;
constexpr int kThreads = 8;

int windows[kWindows];
std::atomic<bool> stop{false};

// Draws with every kind of state change, in whatever window is current.
void draw(int seed) {
  char text[] = "kel";
  for (int i = seed; !stop.load(std::memory_order_relaxed); ++i) {
    setcolor(i % 16);
    settextjustify(i % 3, i % 3);
    settextstyle(i % 5, i % 2, 1 + i % 4);
    textsettingstype settings;
    gettextsettings(&settings);
    if (settings.horiz != settings.vert) std::abort();  // torn settings
    line(i % 64, 0, 0, i % 48);
    outtextxy(2, 2, text);
    setfillstyle(1 + i % 11, i % 16);
    bar(i % 30, i % 20, 40, 30);
    circle(32, 24, i % 20);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
  for (int w = 0; w < kWindows; ++w) {
    if ((windows[w] = initwindow(64, 48, "stress", 10 + 70 * w, 10)) < 0) return 3;
    settextjustify(LEFT_TEXT, LEFT_TEXT);  // the drawing threads keep the two equal
  }
  for (int t = 0; t < kThreads; ++t) std::thread(draw, t).detach();
  for (int r = 0; r < rounds; ++r) {
    setcurrentwindow(windows[r % kWindows]);
    if (kbhit()) getch();
    int x, y;
    if (ismouseclick(WM_LBUTTONDOWN)) getmouseclick(WM_LBUTTONDOWN, x, y);
    swapbuffers();
    delay(1);
  }
  return 0;  // the drawing threads and the window threads are still busy
}
