// Several windows used from several threads at once: drawing, switching the
// current window, input arriving on every window and handlers drawing from
// the window threads. Nothing may be lost, and every window keeps painting.
#include <atomic>
#include <thread>

#include "lib_test_support.h"
#include "repetitions.h"

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

  // Every window's handlers have run before any is checked: a late one
  // would draw on the window checked at the time.
  for (int w = 0; w < kWindows; ++w) ASSERT_TRUE(settle(handle_of(window_numbers[w])));
  for (int w = 0; w < kWindows; ++w) {
    HWND hwnd = handle_of(window_numbers[w]);
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

// Two threads put pixels while the window paints: every pixel reaches the
// shown picture, though most of them find their box already awaiting paint.
TEST(Threads, PixelsFromTwoThreadsAllReachTheShownPicture) {
  open_window(120, 90);
  auto dots = [](int parity, int colour) {
    for (int round = 0; round < 20; ++round)
      for (int i = parity; i < 120 * 90; i += 2) putpixel(i % 120, i / 120, (colour + round) % 16);
  };
  std::thread other(dots, 1, BLUE);
  dots(0, GREEN);
  other.join();
  // The last round's colours, in the shown picture's format.
  auto shown_colour = [](int colour) {
    const uint32_t c = converttorgb(colour % 16);
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  };
  Shown shown;
  int differing = 0;
  for (int i = 0; i < 120 * 90; ++i)
    differing += shown.at(i % 120, i / 120) != shown_colour(i % 2 ? BLUE + 19 : GREEN + 19);
  EXPECT_EQ(differing, 0);
}

// Setters and getters of the drawing state run under the window's lock: a
// reader never sees half of another thread's settings.
TEST(Threads, TextSettingsAreNeverSeenHalfWritten) {
  open_window(60, 40);
  std::atomic<int> torn{0};
  std::vector<std::thread> threads;
  for (int seed = 0; seed < 4; ++seed) {
    threads.emplace_back([seed, &torn] {
      for (int i = seed; i < seed + 2000; ++i) {
        settextjustify(i % 3, i % 3);
        textsettingstype settings;
        gettextsettings(&settings);
        if (settings.horiz != settings.vert) ++torn;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(torn.load(), 0);
}

// Eight threads draw into eight windows while the main thread switches
// windows, reads input and returns from main: the process ends with status
// 0 each time.
// textwidth adds up cached advances without the lock; a change of font in
// between makes it measure again, so it never mixes two fonts' widths.
TEST(Threads, TextWidthsNeverMixTwoFonts) {
  open_window(60, 40);
  const char* text = "Hamburg 0123456789";
  settextstyle(TRIPLEX_FONT, HORIZ_DIR, 2);
  const int small = textwidth(text);
  settextstyle(TRIPLEX_FONT, HORIZ_DIR, 9);
  const int large = textwidth(text);
  ASSERT_NE(small, large);
  std::atomic<bool> done{false};
  std::thread styler([&done] {
    for (int i = 0; i < 400; ++i) settextstyle(TRIPLEX_FONT, HORIZ_DIR, i % 2 ? 2 : 9);
    done = true;
  });
  int mixed = 0;
  while (!done) {
    const int width = textwidth(text);
    mixed += width != small && width != large ? 1 : 0;
  }
  styler.join();
  EXPECT_EQ(mixed, 0);
  EXPECT_EQ(textwidth(text), small);
}

// Exit handlers run on the main thread after its thread-local objects are
// gone, and may still draw (a scripted run saves the picture there): a page
// the main thread holds then must not go to the window thread as left behind.
TEST(Threads, MainThreadKeepsItsMutexesInExitHandlers) {
  ChildResult result = run_child(test_program("exit_handler_mutex"), {});
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.exit_code, 0) << "1: taken over while held; 2: not taken" << result.err;
}

TEST(Threads, ReturnFromMainWhileEightThreadsDrawEndsCleanly) {
  int runs = repetitions("KEL_EXIT_STRESS_RUNS", 100);
  for (int i = 0; i < runs; ++i) {
    ChildResult result = run_child(test_program("exit_stress"), {"20"});
    ASSERT_EQ(result.exit_code, 0) << "run " << i << (result.timed_out ? " hung" : "") << "\n"
                                   << result.err;
  }
}
