// Threads: ids, start and end, exit codes, Sleep and the tick count.
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "kernel_objects.h"

namespace kelplat::kernel {
namespace {

thread_local DWORD tls_thread_id = 0;

DWORD next_thread_id() {
  static std::atomic<DWORD> counter{0};
  DWORD id;
  do {
    id = counter.fetch_add(1, std::memory_order_relaxed) + 1;
  } while (id == 0);
  return id;
}

// Removes a thread from the live set, so that waiters for a mutex it still
// owns see the mutex as abandoned. Call with the hub lock held.
void retire_locked(WaitHub& hub, DWORD id) {
  if (hub.live_threads.erase(id) != 0) hub.notify_locked();
}

// Retires a thread that the kernel did not start (threads of the standard
// library) when it ends. The main thread's thread-local objects go when the
// process starts to exit, but the exit handlers and static destructors then
// still run on it and may hold mutexes: it is never retired, since its end
// is the end of every thread.
struct ExitHook {
  DWORD id = 0;
  ~ExitHook() {
    if (getpid() == gettid()) return;
    WaitHub& hub = wait_hub();
    std::lock_guard<std::mutex> lock(hub.mutex);
    retire_locked(hub, id);
  }
};

void register_current_thread(DWORD id) {
  thread_local ExitHook hook;
  hook.id = id;
  tls_thread_id = id;
  WaitHub& hub = wait_hub();
  std::lock_guard<std::mutex> lock(hub.mutex);
  hub.live_threads.insert(id);
}

struct StartInfo {
  LPTHREAD_START_ROUTINE start;
  LPVOID parameter;
  DWORD id;
  std::shared_ptr<ThreadObject::State> state;
};

void* thread_main(void* raw) {
  std::unique_ptr<StartInfo> info(static_cast<StartInfo*>(raw));
  register_current_thread(info->id);
  DWORD exit_code = info->start(info->parameter);
  WaitHub& hub = wait_hub();
  std::lock_guard<std::mutex> lock(hub.mutex);
  // Retired before the handle is signalled: whoever sees the thread ended
  // also sees the mutexes it left behind as abandoned.
  retire_locked(hub, info->id);
  info->state->exit_code = exit_code;
  info->state->done = true;
  hub.notify_locked();
  return nullptr;
}

// Stack sizes below the system's default are raised to it; absurd ones are
// cut to a size the system can give.
constexpr SIZE_T kMaxStackSize = SIZE_T(256) << 20;

bool start_detached(SIZE_T stack_size, StartInfo* info) {
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0) return false;
  pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  size_t default_size = 0;
  pthread_attr_getstacksize(&attr, &default_size);
  if (stack_size > default_size) pthread_attr_setstacksize(&attr, std::min(stack_size, kMaxStackSize));
  pthread_t thread;
  int rc = pthread_create(&thread, &attr, thread_main, info);
  pthread_attr_destroy(&attr);
  return rc == 0;
}

}  // namespace

DWORD current_thread_id() {
  if (tls_thread_id == 0) register_current_thread(next_thread_id());
  return tls_thread_id;
}

bool thread_alive(DWORD id) { return wait_hub().live_threads.count(id) != 0; }

}  // namespace kelplat::kernel

using namespace kelplat::kernel;

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stack_size, LPTHREAD_START_ROUTINE start,
                           LPVOID parameter, DWORD, LPDWORD thread_id) {
  if (!start) return fail(ERROR_INVALID_PARAMETER, HANDLE(nullptr));
  auto state = std::make_shared<ThreadObject::State>();
  HANDLE handle = add_object(std::make_unique<ThreadObject>(state));
  if (!handle) return nullptr;
  auto info = std::make_unique<StartInfo>(StartInfo{start, parameter, next_thread_id(), state});
  // Stored before the thread runs: the new thread may read it at once.
  if (thread_id) *thread_id = info->id;
  if (!start_detached(stack_size, info.get())) {
    CloseHandle(handle);
    return fail(ERROR_NOT_ENOUGH_MEMORY, HANDLE(nullptr));
  }
  info.release();  // the thread owns it now
  return handle;
}

BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exit_code) {
  WaitHub& hub = wait_hub();
  std::lock_guard<std::mutex> lock(hub.mutex);
  ThreadObject* object = find<ThreadObject>(thread);
  if (!object) return fail(ERROR_INVALID_HANDLE, FALSE);
  if (!exit_code) return fail(ERROR_INVALID_PARAMETER, FALSE);
  *exit_code = object->exit_code();
  return TRUE;
}

DWORD WINAPI GetCurrentThreadId(void) { return current_thread_id(); }

void WINAPI Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    std::this_thread::yield();
    return;
  }
  if (milliseconds == INFINITE) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD WINAPI GetTickCount(void) {
  auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  return DWORD(std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count());
}
