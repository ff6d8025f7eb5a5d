// Several windows used from several threads at once: drawing, switching the
// current window, input arriving on every window and handlers drawing from
// the window threads. Nothing may be lost, and every window keeps painting.
#include <atomic>
#include <thread>

#include "lib_test_support.h"

using namespace kel_test;

namespace {

const int kWindows = 3;
const int kEvents = 200;

std::atomic<int> handler_calls[kWindows];
int window_numbers[kWindows];

template <int I>
void count_and_draw(int x, int y) {
  handler_calls[I]++;
  putpixel(x, y, GREEN);  // on whichever window is current
}

void drawer(int seed) {
  for (int i = 0; i < 300; ++i) {
    int v = (seed * 31 + i * 7) % 90;
    setcolor(i % 16);
    putpixel(v, v / 2, i % 16);
    line(0, v, 99, 79 - v);
    setfillstyle(SOLID_FILL, (i + seed) % 16);
    bar(v / 3, v / 4, v / 3 + 10, v / 4 + 10);
    circle(50, 40, v / 3);
    moveto(v, v);
    lineto(v / 2, 5);
  }
}

void switcher() {
  for (int i = 0; i < 2000; ++i) setcurrentwindow(window_numbers[i % kWindows]);
}

void typist() {
  for (int i = 0; i < kEvents; ++i)
    for (int w = 0; w < kWindows; ++w) {
      HWND hwnd = handle_of(window_numbers[w]);
      PostMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(i % 100, i % 80));
      PostMessageA(hwnd, WM_CHAR, 'a' + w, 1);
    }
}

}  // namespace

TEST(Threads, SeveralWindowsUsedFromSeveralThreadsAtOnce) {
  for (int w = 0; w < kWindows; ++w) {
    window_numbers[w] = open_window(100, 80);
    handler_calls[w] = 0;
    setmousequeuestatus(WM_MOUSEMOVE, true);
  }
  setcurrentwindow(window_numbers[0]);
  registermousehandler(WM_MOUSEMOVE, count_and_draw<0>);
  setcurrentwindow(window_numbers[1]);
  registermousehandler(WM_MOUSEMOVE, count_and_draw<1>);
  setcurrentwindow(window_numbers[2]);
  registermousehandler(WM_MOUSEMOVE, count_and_draw<2>);

  std::vector<std::thread> threads;
  threads.emplace_back(drawer, 1);
  threads.emplace_back(drawer, 2);
  threads.emplace_back(switcher);
  threads.emplace_back(typist);
  for (std::thread& t : threads) t.join();

  for (int w = 0; w < kWindows; ++w) {
    HWND hwnd = handle_of(window_numbers[w]);
    ASSERT_TRUE(settle(hwnd));
    setcurrentwindow(window_numbers[w]);
    registermousehandler(WM_MOUSEMOVE, nullptr);
    EXPECT_EQ(handler_calls[w].load(), kEvents) << "window " << w;
    int moves = 0, x = 0, y = 0;
    for (getmouseclick(WM_MOUSEMOVE, x, y); x != -1; getmouseclick(WM_MOUSEMOVE, x, y)) ++moves;
    EXPECT_EQ(moves, kEvents) << "window " << w;
    int keys = 0;
    while (kbhit()) keys += getch() == 'a' + w;
    EXPECT_EQ(keys, kEvents) << "window " << w;
    // No page mutex was left held: the window still paints what is drawn.
    putpixel(1, 1, LIGHTMAGENTA);
    EXPECT_EQ(Shown(hwnd).at(1, 1), 0xFF80FFu) << "window " << w;
  }
}

TEST(Threads, DrawingThreadsShareOneWindow) {
  open_window(100, 80);
  std::vector<std::thread> threads;
  for (int seed = 0; seed < 3; ++seed) threads.emplace_back(drawer, seed);
  for (std::thread& t : threads) t.join();
  setfillstyle(SOLID_FILL, YELLOW);
  bar(0, 0, 100, 80);
  EXPECT_EQ(getpixel(50, 40), YELLOW);
  EXPECT_EQ(Shown().at(99, 79), 0xFFFF00u);
}
