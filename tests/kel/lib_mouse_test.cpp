// Mouse input: the per-kind queues in both queue modes, the last position,
// handlers called on the window thread, and input to other windows.
#include <atomic>

#include "lib_test_support.h"

using namespace kel_test;

namespace {

class Mouse : public ::testing::Test {
 protected:
  void SetUp() override {
    open_window(120, 100);
    hwnd_ = current_handle();
  }
  void event(UINT kind, int x, int y) { post(hwnd_, kind, 0, MAKELPARAM(x, y)); }
  HWND hwnd_ = nullptr;
};

struct Pos {
  int x = 12345, y = 12345;
};

Pos click(int kind) {
  Pos p;
  getmouseclick(kind, p.x, p.y);
  return p;
}

// What a handler saw, written on the window thread.
struct Seen {
  std::atomic<int> calls{0};
  std::atomic<int> x{0}, y{0};
  std::atomic<DWORD> thread{0};
  std::atomic<bool> was_queued{false};
  std::atomic<int> last_x{0};
};
Seen seen;

void record_release(int x, int y) {
  seen.x = x;
  seen.y = y;
  seen.thread = GetCurrentThreadId();
  seen.was_queued = ismouseclick(WM_LBUTTONUP);
  seen.last_x = mousex();
  seen.calls++;
}

void draw_where_moved(int x, int y) { putpixel(x, y, YELLOW); }

}  // namespace

TEST_F(Mouse, FreshWindowHasNoEventsAndPositionZero) {
  EXPECT_FALSE(ismouseclick(WM_LBUTTONDOWN));
  Pos p = click(WM_LBUTTONDOWN);
  EXPECT_EQ(p.x, -1);
  EXPECT_EQ(p.y, -1);
  EXPECT_EQ(mousex(), 0);
  EXPECT_EQ(mousey(), 0);
}

TEST_F(Mouse, WithoutQueueingOnlyTheNewestEventStays) {
  event(WM_LBUTTONDOWN, 10, 20);
  event(WM_LBUTTONDOWN, 30, 40);
  ASSERT_TRUE(settle(hwnd_));
  EXPECT_TRUE(ismouseclick(WM_LBUTTONDOWN));
  Pos p = click(WM_LBUTTONDOWN);
  EXPECT_EQ(p.x, 30);
  EXPECT_EQ(p.y, 40);
  p = click(WM_LBUTTONDOWN);
  EXPECT_EQ(p.x, -1);
  EXPECT_EQ(p.y, -1);
}

TEST_F(Mouse, WithQueueingEveryEventStaysOldestFirst) {
  setmousequeuestatus(WM_LBUTTONDOWN);
  event(WM_LBUTTONDOWN, 1, 2);
  event(WM_LBUTTONDOWN, 3, 4);
  event(WM_LBUTTONDOWN, 5, 6);
  ASSERT_TRUE(settle(hwnd_));
  clearmouseclick(WM_LBUTTONDOWN);  // removes only the oldest
  Pos p = click(WM_LBUTTONDOWN);
  EXPECT_EQ(p.x, 3);
  EXPECT_EQ(p.y, 4);
  p = click(WM_LBUTTONDOWN);
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, 6);
  EXPECT_FALSE(ismouseclick(WM_LBUTTONDOWN));
}

TEST_F(Mouse, SwitchingQueueingOffTakesEffectAtTheNextEvent) {
  setmousequeuestatus(WM_RBUTTONUP, true);
  event(WM_RBUTTONUP, 1, 1);
  event(WM_RBUTTONUP, 2, 2);
  ASSERT_TRUE(settle(hwnd_));
  setmousequeuestatus(WM_RBUTTONUP, false);
  EXPECT_EQ(click(WM_RBUTTONUP).x, 1) << "the queue is not trimmed by the switch";
  event(WM_RBUTTONUP, 3, 3);
  ASSERT_TRUE(settle(hwnd_));
  EXPECT_EQ(click(WM_RBUTTONUP).x, 3);
  EXPECT_FALSE(ismouseclick(WM_RBUTTONUP));
}

TEST_F(Mouse, KindsAreQueuedSeparatelyAndThePositionFollowsEveryEvent) {
  setmousequeuestatus(WM_MOUSEMOVE, true);
  event(WM_MOUSEMOVE, 5, 6);
  event(WM_MBUTTONDOWN, 7, 8);
  event(WM_MOUSEMOVE, 9, 10);
  event(WM_RBUTTONDBLCLK, -5, -7);
  ASSERT_TRUE(settle(hwnd_));
  EXPECT_EQ(mousex(), -5) << "positions are signed 16-bit numbers";
  EXPECT_EQ(mousey(), -7);
  EXPECT_EQ(click(WM_MOUSEMOVE).x, 5);
  EXPECT_EQ(click(WM_MOUSEMOVE).x, 9);
  EXPECT_EQ(click(WM_MBUTTONDOWN).y, 8);
  Pos p = click(WM_RBUTTONDBLCLK);
  EXPECT_EQ(p.x, -5);
  EXPECT_EQ(p.y, -7);
  EXPECT_FALSE(ismouseclick(WM_LBUTTONDOWN));
}

TEST_F(Mouse, KindsOutsideTheRangeAreIgnored) {
  event(WM_LBUTTONDOWN, 4, 4);
  event(WM_MOUSEWHEEL, 9, 9);
  ASSERT_TRUE(settle(hwnd_));
  EXPECT_EQ(mousex(), 4) << "the wheel is not a mouse event kind";
  for (int bad : {0x1FF, 0x20A, 0, -1, INT_MAX}) {
    Pos p = click(bad);
    EXPECT_EQ(p.x, 12345) << bad;
    EXPECT_EQ(p.y, 12345) << bad;
    EXPECT_FALSE(ismouseclick(bad));
    setmousequeuestatus(bad, true);
    registermousehandler(bad, record_release);
    clearmouseclick(bad);
  }
  EXPECT_FALSE(MouseKindInRange(0x1FF));
  EXPECT_TRUE(MouseKindInRange(0x200));
  EXPECT_TRUE(MouseKindInRange(0x209));
  EXPECT_FALSE(MouseKindInRange(0x20A));
  EXPECT_TRUE(ismouseclick(WM_LBUTTONDOWN));
}

TEST_F(Mouse, HandlersRunOnTheWindowThreadAfterTheEventIsQueued) {
  seen.calls = 0;
  registermousehandler(WM_LBUTTONUP, record_release);
  event(WM_LBUTTONUP, 33, 44);
  ASSERT_TRUE(settle(hwnd_));
  EXPECT_EQ(seen.calls.load(), 1);
  EXPECT_EQ(seen.x.load(), 33);
  EXPECT_EQ(seen.y.load(), 44);
  EXPECT_EQ(seen.thread.load(), GetWindowThreadProcessId(hwnd_, nullptr));
  EXPECT_TRUE(seen.was_queued.load());
  EXPECT_EQ(seen.last_x.load(), 33);
  registermousehandler(WM_LBUTTONUP, nullptr);
  event(WM_LBUTTONUP, 1, 1);
  ASSERT_TRUE(settle(hwnd_));
  EXPECT_EQ(seen.calls.load(), 1) << "a removed handler is not called";
}

TEST_F(Mouse, AHandlerMayDrawIntoTheWindow) {
  registermousehandler(WM_MOUSEMOVE, draw_where_moved);
  event(WM_MOUSEMOVE, 15, 16);
  ASSERT_TRUE(settle(hwnd_));
  registermousehandler(WM_MOUSEMOVE, nullptr);
  EXPECT_EQ(getpixel(15, 16), YELLOW);
  EXPECT_EQ(Shown().at(15, 16), 0xFFFF00u);
}

TEST_F(Mouse, DoubleClickMessageReturnsOneOthersGoToTheDefault) {
  EXPECT_EQ(SendMessageA(hwnd_, WM_LBUTTONDBLCLK, 0, MAKELPARAM(2, 3)), 1);
  EXPECT_EQ(SendMessageA(hwnd_, WM_LBUTTONDOWN, 0, MAKELPARAM(2, 3)), 0);
  EXPECT_TRUE(ismouseclick(WM_LBUTTONDBLCLK));
  EXPECT_TRUE(ismouseclick(WM_LBUTTONDOWN));
}

TEST_F(Mouse, EventsOfAnotherWindowStayWithIt) {
  int first = getcurrentwindow();
  open_window(50, 50);
  event(WM_LBUTTONDOWN, 21, 22);  // to the first window
  ASSERT_TRUE(settle(hwnd_));
  EXPECT_FALSE(ismouseclick(WM_LBUTTONDOWN));
  EXPECT_EQ(mousex(), 0);
  setcurrentwindow(first);
  EXPECT_EQ(mousex(), 21);
  EXPECT_EQ(click(WM_LBUTTONDOWN).y, 22);
}

TEST_F(Mouse, GraphDefaultsResetsOnlyThePosition) {
  setmousequeuestatus(WM_LBUTTONDOWN, true);
  event(WM_LBUTTONDOWN, 8, 9);
  event(WM_LBUTTONDOWN, 10, 11);
  ASSERT_TRUE(settle(hwnd_));
  graphdefaults();
  EXPECT_EQ(mousex(), 0);
  EXPECT_EQ(mousey(), 0);
  EXPECT_EQ(click(WM_LBUTTONDOWN).x, 8);
  EXPECT_EQ(click(WM_LBUTTONDOWN).x, 10) << "queueing stays on";
}
