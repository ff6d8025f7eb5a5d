// Message queues across threads: send, post, get, peek, translate, dispatch.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <thread>

#include "platform/display/backend.h"
#include "window_manager_test_support.h"

using kelplat::testing::wait_idle;
using wm_test::Behaviour;
using wm_test::WindowThread;

namespace {

constexpr UINT kAsk = WM_USER + 1;
constexpr UINT kNumbered = WM_USER + 2;

// A window that answers kAsk with the id of the thread that handled it.
void answers_thread_id(Behaviour& b) {
  b.handle = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == kAsk) return LRESULT(GetCurrentThreadId());
    return std::nullopt;
  };
}

std::vector<WPARAM> numbers_seen(Behaviour& b) {
  std::vector<WPARAM> out;
  for (const wm_test::Seen& s : b.seen())
    if (s.message == kNumbered) out.push_back(s.wparam);
  return out;
}

}  // namespace

TEST(WindowManagerMessages, SendFromAnotherThreadRunsOnOwnerAndReturnsItsResult) {
  WindowThread w({}, answers_thread_id);
  DWORD owner = GetWindowThreadProcessId(w.hwnd(), nullptr);
  ASSERT_NE(owner, 0u);
  ASSERT_NE(owner, GetCurrentThreadId());
  EXPECT_EQ(SendMessageA(w.hwnd(), kAsk, 0, 0), LRESULT(owner));
  for (const wm_test::Seen& s : w.behaviour().seen()) EXPECT_EQ(s.thread, owner);
}

TEST(WindowManagerMessages, SendOnTheOwnerThreadCallsTheProcedureDirectly) {
  Behaviour b;
  answers_thread_id(b);
  HWND hwnd = wm_test::make_window(b, {});
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(SendMessageA(hwnd, kAsk, 0, 0), LRESULT(GetCurrentThreadId()));
  EXPECT_EQ(b.count(kAsk), 1);
  DestroyWindow(hwnd);
}

TEST(WindowManagerMessages, PostedMessagesArriveInOrderPerSender) {
  WindowThread w;
  constexpr int kEach = 300;
  auto post_range = [&](int from) {
    for (int i = from; i < from + kEach; ++i) ASSERT_TRUE(PostMessageA(w.hwnd(), kNumbered, i, 0));
  };
  std::thread other(post_range, 10000);
  post_range(0);
  other.join();
  ASSERT_TRUE(wait_idle(w.hwnd()));
  std::vector<WPARAM> seen = numbers_seen(w.behaviour());
  ASSERT_EQ(seen.size(), size_t(2 * kEach));
  WPARAM next_low = 0, next_high = 10000;
  for (WPARAM n : seen) {
    if (n < 10000)
      EXPECT_EQ(n, next_low++);
    else
      EXPECT_EQ(n, next_high++);
  }
}

TEST(WindowManagerMessages, WaitIdleReturnsOnlyAfterEveryPostedMessageWasHandled) {
  std::atomic<int> handled{0};
  WindowThread w({}, [&](Behaviour& b) {
    b.handle = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m != kNumbered) return std::nullopt;
      if (handled.load() % 100 == 0) std::this_thread::yield();
      handled.fetch_add(1);
      return 0;
    };
  });
  for (int round = 0; round < 5; ++round) {
    for (int i = 0; i < 500; ++i) PostMessageA(w.hwnd(), kNumbered, i, 0);
    ASSERT_TRUE(wait_idle(w.hwnd()));
    EXPECT_EQ(handled.load(), 500 * (round + 1));
  }
}

TEST(WindowManagerMessages, WindowsOnTwoThreadsNeverGetEachOthersMessages) {
  WindowThread a, b;
  DWORD thread_a = GetWindowThreadProcessId(a.hwnd(), nullptr);
  DWORD thread_b = GetWindowThreadProcessId(b.hwnd(), nullptr);
  ASSERT_NE(thread_a, thread_b);
  for (int i = 0; i < 200; ++i) {
    PostMessageA(a.hwnd(), kNumbered, 2 * i, 0);
    PostMessageA(b.hwnd(), kNumbered, 2 * i + 1, 0);
  }
  ASSERT_TRUE(wait_idle(a.hwnd()));
  ASSERT_TRUE(wait_idle(b.hwnd()));
  std::vector<WPARAM> seen_a = numbers_seen(a.behaviour()), seen_b = numbers_seen(b.behaviour());
  ASSERT_EQ(seen_a.size(), 200u);
  ASSERT_EQ(seen_b.size(), 200u);
  for (WPARAM n : seen_a) EXPECT_EQ(n % 2, 0u);
  for (WPARAM n : seen_b) EXPECT_EQ(n % 2, 1u);
  for (const wm_test::Seen& s : a.behaviour().seen()) EXPECT_EQ(s.thread, thread_a);
  for (const wm_test::Seen& s : b.behaviour().seen()) EXPECT_EQ(s.thread, thread_b);
}

// A sends to B, which sends back to A while A waits: A must handle B's
// message inside its own SendMessageA, or both threads would wait forever.
TEST(WindowManagerMessages, SendingBackToABlockedSenderDoesNotDeadlock) {
  constexpr UINT kStart = WM_USER + 10, kRelay = WM_USER + 11, kBack = WM_USER + 12;
  std::atomic<HWND> a_hwnd{nullptr}, b_hwnd{nullptr};
  WindowThread a({}, [&](Behaviour& b) {
    b.handle = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == kStart) return SendMessageA(b_hwnd.load(), kRelay, 0, 0) + 1;
      if (m == kBack) return 4;
      return std::nullopt;
    };
  });
  WindowThread b({}, [&](Behaviour& b) {
    b.handle = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == kRelay) return SendMessageA(a_hwnd.load(), kBack, 0, 0) * 10;
      return std::nullopt;
    };
  });
  a_hwnd = a.hwnd();
  b_hwnd = b.hwnd();
  EXPECT_EQ(SendMessageA(a.hwnd(), kStart, 0, 0), 41);
}

TEST(WindowManagerMessages, KeyDownPutsItsCharacterBeforeLaterKeys) {
  WindowThread w;
  PostMessageA(w.hwnd(), WM_KEYDOWN, 'A', 1);
  PostMessageA(w.hwnd(), WM_KEYDOWN, VK_LEFT, 1);
  PostMessageA(w.hwnd(), WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(w.hwnd(), WM_KEYDOWN, VK_F10, 1);
  PostMessageA(w.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
  ASSERT_TRUE(wait_idle(w.hwnd()));
  std::vector<std::pair<UINT, WPARAM>> keys;
  for (const wm_test::Seen& s : w.behaviour().seen())
    if (s.message == WM_KEYDOWN || s.message == WM_CHAR) keys.emplace_back(s.message, s.wparam);
  std::vector<std::pair<UINT, WPARAM>> expected = {
      {WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'},       {WM_KEYDOWN, VK_LEFT},   {WM_KEYDOWN, VK_RETURN},
      {WM_CHAR, 13},     {WM_KEYDOWN, VK_F10}, {WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, 27}};
  EXPECT_EQ(keys, expected);
}

TEST(WindowManagerMessages, TheDisplaysCharacterWinsOverTheVirtualKey) {
  WindowThread w;
  kelplat::display::post_key_message(w.hwnd(), WM_KEYDOWN, 'E', 1, 0xE9);  // e acute
  kelplat::display::post_key_message(w.hwnd(), WM_KEYDOWN, 'Q', 1, 0);     // types nothing
  kelplat::display::post_key_message(w.hwnd(), WM_KEYDOWN, VK_BACK, 1, -1);
  ASSERT_TRUE(wait_idle(w.hwnd()));
  std::vector<WPARAM> chars;
  for (const wm_test::Seen& s : w.behaviour().seen())
    if (s.message == WM_CHAR) chars.push_back(s.wparam);
  EXPECT_EQ(chars, (std::vector<WPARAM>{0xE9, 8}));
}

TEST(WindowManagerMessages, ThreadMessagesPeekFilterAndQuit) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 1, 11, 0));
  ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 2, 22, 0));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, UINT(WM_USER + 1));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 22u);
  PostQuitMessage(7);
  ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);  // posted messages come before WM_QUIT
  EXPECT_EQ(msg.wParam, 11u);
  EXPECT_EQ(msg.hwnd, nullptr);
  ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(WindowManagerMessages, GetMessageWakesWhenAnotherThreadPosts) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  Behaviour b;
  HWND hwnd = wm_test::make_window(b, {.show = false});
  ASSERT_NE(hwnd, nullptr);
  std::thread poster([hwnd] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostMessageA(hwnd, kNumbered, 5, 6);
  });
  ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
  poster.join();
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.message, kNumbered);
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_EQ(b.count(kNumbered), 1);
  DestroyWindow(hwnd);
}

TEST(WindowManagerMessages, AThreadThatEndedTakesNoMoreMessages) {
  HWND orphan = nullptr;
  Behaviour b;
  std::thread maker([&] { orphan = wm_test::make_window(b, {.show = false}); });
  maker.join();
  ASSERT_NE(orphan, nullptr);
  EXPECT_FALSE(PostMessageA(orphan, kNumbered, 0, 0));
  EXPECT_EQ(SendMessageA(orphan, kAsk, 0, 0), 0);  // returns at once instead of waiting forever
  EXPECT_EQ(b.count(kAsk), 0);
}

TEST(WindowManagerMessages, BadHandlesAndArgumentsFailCleanly) {
  HWND bogus = reinterpret_cast<HWND>(uintptr_t(0x12345678));
  SetLastError(0);
  EXPECT_FALSE(PostMessageA(bogus, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(SendMessageA(bogus, WM_USER, 0, 0), 0);
  EXPECT_FALSE(IsWindow(bogus));
  EXPECT_FALSE(IsWindow(nullptr));
  MSG msg{};
  EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
  EXPECT_EQ(GetMessageA(&msg, bogus, 0, 0), -1);
  EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(DispatchMessageA(nullptr), 0);
  msg.hwnd = bogus;
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_FALSE(TranslateMessage(nullptr));
  // A handle of another kind of object is not a window.
  HCURSOR cursor = LoadCursorA(nullptr, IDC_ARROW);
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(cursor)));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(cursor), WM_USER, 0, 0));
}

TEST(WindowManagerMessages, DispatchRefusesAnotherThreadsWindow) {
  WindowThread w({}, answers_thread_id);
  MSG msg{w.hwnd(), kAsk, 0, 0, 0, {0, 0}};
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  ASSERT_TRUE(wait_idle(w.hwnd()));
  EXPECT_EQ(w.behaviour().count(kAsk), 0);
}
