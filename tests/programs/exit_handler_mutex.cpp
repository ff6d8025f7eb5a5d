// The main thread is still running while the exit handlers run on it, after
// its thread-local objects are gone: a mutex it takes there is its own, and
// another thread waiting for it must go on waiting rather than take it over
// as left behind by an ended thread.
//
// Exits with 0 when the waiter got the mutex only after the handler gave it
// back, 1 when it took it over early, 2 when it got nothing at all.
#include <cstdlib>

#include "platform.h"

namespace {

HANDLE mutex;
volatile DWORD waiter_result = WAIT_FAILED;

DWORD WINAPI wait_for_mutex(LPVOID) {
  waiter_result = WaitForSingleObject(mutex, 5000);
  if (waiter_result == WAIT_OBJECT_0 || waiter_result == WAIT_ABANDONED) ReleaseMutex(mutex);
  return 0;
}

void take_mutex_while_exiting() {
  if (WaitForSingleObject(mutex, 0) != WAIT_OBJECT_0) _Exit(2);
  HANDLE waiter = CreateThread(nullptr, 0, wait_for_mutex, nullptr, 0, nullptr);
  Sleep(200);
  const bool taken_early = waiter_result != WAIT_FAILED;
  ReleaseMutex(mutex);
  WaitForSingleObject(waiter, INFINITE);
  if (taken_early || waiter_result == WAIT_ABANDONED) _Exit(1);
  _Exit(waiter_result == WAIT_OBJECT_0 ? 0 : 2);
}

}  // namespace

int main() {
  mutex = CreateMutexA(nullptr, FALSE, nullptr);
  std::atexit(take_mutex_while_exiting);
  // Registers the main thread with the kernel before main returns.
  WaitForSingleObject(mutex, 0);
  ReleaseMutex(mutex);
  return 3;
}
