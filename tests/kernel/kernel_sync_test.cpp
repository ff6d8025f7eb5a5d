// Events, mutexes and waits of the portable platform's kernel.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform.h"

namespace {

// Runs `body` on another thread and gives back what it returned.
template <class Body>
DWORD on_other_thread(Body body) {
  DWORD result = 0;
  std::thread([&] { result = body(); }).join();
  return result;
}

DWORD try_take_elsewhere(HANDLE mutex) {
  return on_other_thread([&] {
    DWORD r = WaitForSingleObject(mutex, 0);
    if (r == WAIT_OBJECT_0) ReleaseMutex(mutex);
    return r;
  });
}

TEST(KernelEvents, AutoResetWakesExactlyOneOfTwoWaiters) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::atomic<int> woken{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 2; ++i)
    waiters.emplace_back([&] {
      EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
      ++woken;
    });
  Sleep(20);  // lets both block; the outcome must not depend on it
  ASSERT_TRUE(SetEvent(event));
  while (woken.load() == 0) Sleep(1);
  Sleep(50);
  EXPECT_EQ(woken.load(), 1) << "one SetEvent released more than one waiter";
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT) << "the wake did not reset the event";
  SetEvent(event);
  for (auto& t : waiters) t.join();
  CloseHandle(event);
}

TEST(KernelEvents, ManualResetWakesAllAndStaysSignalledUntilReset) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  std::vector<std::thread> waiters;
  for (int i = 0; i < 4; ++i)
    waiters.emplace_back([&] { EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0); });
  ASSERT_TRUE(SetEvent(event));
  for (auto& t : waiters) t.join();  // hangs if any waiter was left behind
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(ResetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 30), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(KernelMutexes, ReentrantForOwnerAndOnlyOwnerReleases) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);  // owned by this thread
  ASSERT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
  DWORD error = on_other_thread([&] { return ReleaseMutex(mutex) ? 0 : GetLastError(); });
  EXPECT_EQ(error, DWORD(ERROR_NOT_OWNER));
  EXPECT_EQ(on_other_thread([&] { return WaitForSingleObject(mutex, 40); }), WAIT_TIMEOUT);
  ASSERT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(try_take_elsewhere(mutex), WAIT_TIMEOUT) << "freed before the last release";
  ASSERT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex)) << "released more often than taken";
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_OWNER));
  EXPECT_EQ(try_take_elsewhere(mutex), WAIT_OBJECT_0);
  CloseHandle(mutex);
}

TEST(KernelMutexes, BlockedWaiterGetsTheMutexWhenReleased) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  DWORD single = WAIT_FAILED, any = WAIT_FAILED;
  std::thread waiter([&] {
    single = WaitForSingleObject(mutex, INFINITE);
    ReleaseMutex(mutex);
  });
  std::thread any_waiter([&] {
    HANDLE objects[2] = {event, mutex};
    any = WaitForMultipleObjects(2, objects, FALSE, INFINITE);
    if (any == WAIT_OBJECT_0 + 1) ReleaseMutex(mutex);
  });
  Sleep(20);
  ASSERT_TRUE(ReleaseMutex(mutex));  // the lock-free release must wake them
  waiter.join();
  any_waiter.join();
  EXPECT_EQ(single, WAIT_OBJECT_0);
  EXPECT_EQ(any, WAIT_OBJECT_0 + 1);
  CloseHandle(event);
  CloseHandle(mutex);
}

// A thread that holds a mutex for a moment, over and over, as a drawing
// loop holds its page, leaves room for a waiter: the window thread that
// repaints waits for the page that way. Before, the waiter was woken by each
// release only to find the mutex taken again, and got it a few times a
// second.
TEST(KernelMutexes, ThreadRetakingInALoopDoesNotStarveAWaiter) {
  using Clock = std::chrono::steady_clock;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  std::atomic<bool> stop{false}, ran_out{false};
  std::atomic<int> loops{0};
  std::thread looper([&] {
    const Clock::time_point end = Clock::now() + std::chrono::seconds(5);
    while (!stop.load()) {
      ran_out = Clock::now() >= end;
      if (ran_out) break;
      WaitForSingleObject(mutex, INFINITE);
      const Clock::time_point held = Clock::now() + std::chrono::microseconds(50);
      while (Clock::now() < held) {
      }
      ReleaseMutex(mutex);
      ++loops;
    }
  });
  while (loops.load() == 0) Sleep(1);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
    ReleaseMutex(mutex);
    Sleep(1);
  }
  stop = true;
  looper.join();
  EXPECT_FALSE(ran_out.load()) << "100 takes did not fit in 5 s of the other thread's loop";
  CloseHandle(mutex);
}

DWORD WINAPI take_and_end(LPVOID mutex) { return WaitForSingleObject(mutex, 0); }

TEST(KernelMutexes, OwnerEndingAbandonsTheMutex) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, take_and_end, mutex, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_ABANDONED);
  EXPECT_EQ(try_take_elsewhere(mutex), WAIT_TIMEOUT) << "taken over by this thread";
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(try_take_elsewhere(mutex), WAIT_OBJECT_0) << "abandoned only once";
  CloseHandle(thread);
  CloseHandle(mutex);
}

TEST(KernelMutexes, BlockedWaiterGetsAbandonedWhenAnyKindOfOwnerEnds) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE finish = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread owner([&] {  // a thread the kernel did not start
    WaitForSingleObject(mutex, INFINITE);
    WaitForSingleObject(mutex, INFINITE);
    SetEvent(taken);
    WaitForSingleObject(finish, INFINITE);
  });
  WaitForSingleObject(taken, INFINITE);
  DWORD waited = WAIT_FAILED;
  std::thread waiter([&] {
    HANDLE both[2] = {finish, mutex};
    waited = WaitForMultipleObjects(2, both, TRUE, INFINITE);
    ReleaseMutex(mutex);
  });
  Sleep(20);
  SetEvent(finish);
  owner.join();
  waiter.join();
  EXPECT_EQ(waited, WAIT_ABANDONED + 1);
  for (HANDLE h : {mutex, taken, finish}) CloseHandle(h);
}

TEST(KernelWaits, WaitAnyGivesTheIndexOfTheSignalledObject) {
  HANDLE events[3];
  for (HANDLE& e : events) e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 30), WAIT_TIMEOUT);
  SetEvent(events[1]);
  SetEvent(events[2]);
  // The lowest signalled index wins and only that object is consumed.
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_TIMEOUT);
  std::thread setter([&] {
    Sleep(20);
    SetEvent(events[2]);
  });
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, INFINITE), WAIT_OBJECT_0 + 2);
  setter.join();
  for (HANDLE e : events) CloseHandle(e);
}

TEST(KernelWaits, WaitAllTakesEverythingOrNothing) {
  HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  HANDLE objects[3] = {mutex, event, gate};
  EXPECT_EQ(WaitForMultipleObjects(3, objects, TRUE, 20), WAIT_TIMEOUT);
  EXPECT_EQ(try_take_elsewhere(mutex), WAIT_OBJECT_0) << "mutex kept by a failed wait";
  SetEvent(gate);
  EXPECT_EQ(WaitForMultipleObjects(3, objects, TRUE, 0), WAIT_OBJECT_0)
      << "auto-reset event consumed by a failed wait";
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  EXPECT_EQ(try_take_elsewhere(mutex), WAIT_TIMEOUT);
  EXPECT_TRUE(ReleaseMutex(mutex));
  for (HANDLE h : objects) CloseHandle(h);
}

TEST(KernelWaits, BadArgumentsAndHandlesFailCleanly) {
  HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  HANDLE closed = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  ASSERT_TRUE(CloseHandle(closed));
  HGLOBAL memory = GlobalAlloc(GHND, 16);
  const HANDLE bad[] = {nullptr, closed, INVALID_HANDLE_VALUE, memory,
                        reinterpret_cast<HANDLE>(uintptr_t(0x12345678))};
  for (HANDLE h : bad) {
    HANDLE pair[2] = {event, h};
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(h, 10), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(2, pair, FALSE, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(h) || ResetEvent(h) || ReleaseMutex(h) || CloseHandle(h));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  }
  EXPECT_FALSE(SetEvent(mutex) || ReleaseMutex(event)) << "handles of the wrong kind";
  SetLastError(0);
  EXPECT_EQ(WaitForMultipleObjects(0, &event, FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(WaitForMultipleObjects(1, nullptr, FALSE, 0), WAIT_FAILED);
  std::vector<HANDLE> many(MAXIMUM_WAIT_OBJECTS + 1, event);
  EXPECT_EQ(WaitForMultipleObjects(DWORD(many.size()), many.data(), FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForMultipleObjects(2, many.data(), TRUE, 0), WAIT_FAILED) << "same object twice";
  GlobalFree(memory);
  CloseHandle(mutex);
  CloseHandle(event);
}

TEST(KernelWaits, ClosingAHandleEndsAWaitForItWithFailure) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  DWORD result = 0;
  std::thread waiter([&] { result = WaitForSingleObject(event, INFINITE); });
  Sleep(20);
  CloseHandle(event);
  waiter.join();
  EXPECT_EQ(result, WAIT_FAILED);
}

// Many threads take one mutex, sometimes with a timed wait and sometimes
// twice, and bump a plain counter under it: a lost update or a missing
// ordering shows as a wrong total (and as a race under the thread checker).
TEST(KernelMutexStress, ContendedMutexProtectsACounter) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  constexpr int kThreads = 8, kRounds = 20000;
  long counter = 0;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRounds; ++i) {
        const bool nested = (i + t) % 7 == 0;
        if (WaitForSingleObject(mutex, i % 3 ? INFINITE : 10000) != WAIT_OBJECT_0) ++failures;
        if (nested && WaitForSingleObject(mutex, 0) != WAIT_OBJECT_0) ++failures;
        long seen = counter;
        if (i % 1000 == 0) Sleep(0);
        counter = seen + 1;
        if (nested && !ReleaseMutex(mutex)) ++failures;
        if (!ReleaseMutex(mutex)) ++failures;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(counter, long(kThreads) * kRounds);
  CloseHandle(mutex);
}

}  // namespace
