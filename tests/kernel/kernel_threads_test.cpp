// Threads, thread ids, the last error of each thread, Sleep and ticks.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>
#include <vector>

#include "platform.h"

namespace {

constexpr DWORD kStillActive = 259;

struct Gate {
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD seen_id = 0;
  ~Gate() { CloseHandle(release); }
};

DWORD WINAPI wait_at_gate(LPVOID raw) {
  Gate* gate = static_cast<Gate*>(raw);
  gate->seen_id = GetCurrentThreadId();
  WaitForSingleObject(gate->release, INFINITE);
  return 42;
}

TEST(KernelThreads, HandleIsSignalledOnExitWithTheExitCode) {
  Gate gate;
  DWORD id = 0, code = 0;
  HANDLE thread = CreateThread(nullptr, 0, wait_at_gate, &gate, 0, &id);
  ASSERT_NE(thread, nullptr);
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, kStillActive);
  HANDLE ready = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  HANDLE thread_or_ready[2] = {thread, ready};
  EXPECT_EQ(WaitForMultipleObjects(2, thread_or_ready, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(WaitForMultipleObjects(2, thread_or_ready, FALSE, 30), WAIT_TIMEOUT);
  SetEvent(gate.release);
  EXPECT_EQ(WaitForMultipleObjects(2, thread_or_ready, FALSE, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(gate.seen_id, id) << "the creator and the thread see different ids";
  // The handle stays valid and signalled after the end, until closed.
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_TRUE(CloseHandle(thread));
  EXPECT_FALSE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  CloseHandle(ready);
}

DWORD WINAPI signal_and_end(LPVOID event) {
  Sleep(10);
  SetEvent(event);
  return 0;
}

TEST(KernelThreads, ClosingTheHandleOfARunningThreadIsHarmless) {
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 1 << 20, signal_and_end, done, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(CloseHandle(thread));
  EXPECT_EQ(WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
  CloseHandle(done);
}

TEST(KernelThreads, BadArguments) {
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  DWORD code = 7;
  EXPECT_FALSE(GetExitCodeThread(event, &code)) << "an event is not a thread";
  EXPECT_FALSE(GetExitCodeThread(nullptr, &code));
  EXPECT_EQ(code, 7u);
  CloseHandle(event);
}

DWORD WINAPI record_id(LPVOID slot) {
  *static_cast<DWORD*>(slot) = GetCurrentThreadId();
  return 0;
}

TEST(KernelThreads, EveryThreadHasItsOwnStableId) {
  constexpr int kEach = 8;
  std::vector<DWORD> made(kEach), standard(kEach);
  std::vector<HANDLE> handles;
  for (int i = 0; i < kEach; ++i)
    handles.push_back(CreateThread(nullptr, 0, record_id, &made[i], 0, nullptr));
  std::vector<std::thread> threads;
  for (int i = 0; i < kEach; ++i) threads.emplace_back([&, i] { standard[i] = GetCurrentThreadId(); });
  for (auto& t : threads) t.join();
  for (HANDLE h : handles) {
    WaitForSingleObject(h, INFINITE);
    CloseHandle(h);
  }
  std::set<DWORD> ids(made.begin(), made.end());
  ids.insert(standard.begin(), standard.end());
  ids.insert(GetCurrentThreadId());
  EXPECT_EQ(ids.size(), size_t(1 + 2 * kEach));
  EXPECT_EQ(ids.count(0), 0u);
  EXPECT_EQ(ids.count(GetCurrentThreadId()), 1u) << "the main thread's id changed";
}

TEST(KernelLastError, EachThreadHasItsOwn) {
  SetLastError(1234);
  DWORD other_before = 99, other_after = 0;
  std::thread([&] {
    other_before = GetLastError();
    SetLastError(ERROR_ACCESS_DENIED);
    other_after = GetLastError();
  }).join();
  EXPECT_EQ(other_before, 0u);
  EXPECT_EQ(other_after, DWORD(ERROR_ACCESS_DENIED));
  EXPECT_EQ(GetLastError(), 1234u);
}

TEST(KernelTime, SleepWaitsAtLeastAsLongAsAskedAndTicksAdvance) {
  Sleep(0);  // yields and returns
  const DWORD start = GetTickCount();
  const auto clock_start = std::chrono::steady_clock::now();
  Sleep(30);
  EXPECT_GE(std::chrono::steady_clock::now() - clock_start, std::chrono::milliseconds(30));
  EXPECT_GE(DWORD(GetTickCount() - start), 29u);  // whole milliseconds, rounded down
}

}  // namespace
