// The companion headers of classic programs: key state and pointer of the
// library's windows (windows.h), terminal escape sequences (conio.h) and the
// DOS library extras (dos.h).
#include <climits>
#include <ctime>

#include "lib_test_support.h"
// After the platform header, whose types and constants it shares.
#include "kel/compat/conio.h"
#include "kel/compat/dos.h"
#include "kel/compat/windows.h"

using namespace kel_test;

namespace {

class CompatInput : public ::testing::Test {
 protected:
  void SetUp() override {
    open_window(80, 60);
    hwnd_ = current_handle();
  }
  void TearDown() override { closegraph(); }
  void send(UINT message, WPARAM wparam, LPARAM lparam = 0) {
    post(hwnd_, message, wparam, lparam);
    ASSERT_TRUE(settle(hwnd_));
  }
  HWND hwnd_ = nullptr;
};

TEST_F(CompatInput, AsyncKeyStateFollowsKeyDownAndKeyUp) {
  GetAsyncKeyState(VK_LEFT);  // forget earlier presses
  EXPECT_EQ(GetAsyncKeyState(VK_LEFT), 0);
  send(WM_KEYDOWN, VK_LEFT, 1);
  // Down, and pressed since the last call; the pressed bit is read once.
  EXPECT_EQ(GetAsyncKeyState(VK_LEFT) & 0xFFFF, 0x8001);
  EXPECT_EQ(GetAsyncKeyState(VK_LEFT) & 0xFFFF, 0x8000);
  EXPECT_EQ(GetAsyncKeyState(VK_RIGHT), 0);
  send(WM_KEYDOWN, VK_LEFT, 1);  // auto-repeat
  send(WM_KEYUP, VK_LEFT, 0xC0000001);
  EXPECT_EQ(GetAsyncKeyState(VK_LEFT), 1);
  EXPECT_EQ(GetAsyncKeyState(VK_LEFT), 0);
}

TEST_F(CompatInput, AsyncKeyStateTracksKeysSeparatelyAndMouseButtons) {
  send(WM_KEYDOWN, VK_SPACE, 1);
  send(WM_KEYDOWN, 'A', 1);
  send(WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_EQ(GetAsyncKeyState('A') & 0x8000, 0x8000);
  EXPECT_EQ(GetAsyncKeyState(VK_SPACE) & 0x8000, 0);
  send(WM_KEYUP, 'A', 0xC0000001);
  send(WM_RBUTTONDOWN, 0, MAKELPARAM(5, 6));
  EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON) & 0x8000, 0x8000);
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0);
  send(WM_RBUTTONUP, 0, MAKELPARAM(5, 6));
  EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON) & 0x8000, 0);
  EXPECT_EQ(GetAsyncKeyState(-1), 0);
  EXPECT_EQ(GetAsyncKeyState(256), 0);
}

TEST_F(CompatInput, CursorPosFollowsThePointerOverAWindow) {
  POINT first = {}, second = {};
  send(WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
  ASSERT_TRUE(GetCursorPos(&first));
  send(WM_MOUSEMOVE, 0, MAKELPARAM(15, 27));
  ASSERT_TRUE(GetCursorPos(&second));
  EXPECT_EQ(second.x - first.x, 5);
  EXPECT_EQ(second.y - first.y, 7);
  EXPECT_FALSE(GetCursorPos(nullptr));
}

TEST_F(CompatInput, GetcheReturnsTheKeyAndEchoesIt) {
  send(WM_CHAR, 'q', 1);
  ::testing::internal::CaptureStdout();
  int c = getche();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "q");
  EXPECT_EQ(c, 'q');
}

TEST(CompatConsole, CursorAndClearWriteTerminalSequences) {
  ::testing::internal::CaptureStdout();
  clrscr();
  gotoxy(3, 5);
  gotoxy(0, 2);  // off the screen: ignored
  clreol();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\033[2J\033[H\033[5;3H\033[K");
}

TEST(CompatConsole, ColoursPrecedeTheTextOnceAfterEachChange) {
  ::testing::internal::CaptureStdout();
  textcolor(RED);
  textbackground(BLUE);
  EXPECT_EQ(cprintf("x%d", 7), 2);
  cputs("y");
  textcolor(YELLOW + BLINK);
  putch('z');
  normvideo();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "\033[0;31;44mx7y\033[0;93;44;5mz\033[0m");
  EXPECT_EQ(cputs(nullptr), -1);
  EXPECT_EQ(cprintf(nullptr), -1);
}

TEST(CompatDos, ItoaWritesEveryRadix) {
  char buffer[40];
  EXPECT_STREQ(itoa(255, buffer, 16), "ff");
  EXPECT_STREQ(itoa(-42, buffer, 10), "-42");
  EXPECT_STREQ(itoa(INT_MIN, buffer, 10), "-2147483648");
  EXPECT_STREQ(itoa(-1, buffer, 16), "ffffffff");
  EXPECT_STREQ(itoa(5, buffer, 2), "101");
  EXPECT_STREQ(itoa(0, buffer, 36), "0");
  EXPECT_STREQ(itoa(7, buffer, 1), "");
  EXPECT_STREQ(itoa(7, buffer, 37), "");
  EXPECT_EQ(itoa(7, nullptr, 10), nullptr);
}

TEST(CompatDos, DateAndTimeAreTheLocalOnes) {
  struct date d;
  struct time t;
  getdate(&d);
  gettime(&t);
  std::time_t now = std::time(nullptr);
  struct tm local = *std::localtime(&now);
  EXPECT_EQ(d.da_year, local.tm_year + 1900);
  EXPECT_EQ(d.da_mon, local.tm_mon + 1);
  EXPECT_EQ(t.ti_hour, local.tm_hour);
  EXPECT_LT(t.ti_hund, 100);
  getdate(nullptr);
  gettime(nullptr);
}

TEST(CompatDos, RandomStaysInRange) {
  randomize();
  for (int i = 0; i < 200; ++i) {
    int r = random(6);
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 6);
  }
  EXPECT_EQ(random(0), 0);
  // A tone is silent without a sound device and stops at once either way.
  sound(440);
  nosound();
  sound(0);
}

}  // namespace
