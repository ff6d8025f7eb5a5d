// Events, mutexes and waiting for kernel objects.
#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "kernel_objects.h"

namespace kelplat::kernel {

Take Event::try_take(DWORD) {
  if (!signalled_) return Take::kNo;
  if (!manual_reset_) signalled_ = false;
  return Take::kYes;
}

Mutex::Mutex(DWORD initial_owner)
    : Waitable(kKind), state_(initial_owner), recursion_(initial_owner != 0 ? 1 : 0) {}

bool Mutex::try_take_fast(DWORD me) {
  uint64_t state = state_.load(std::memory_order_relaxed);
  for (;;) {
    DWORD owner = DWORD(state & kOwnerMask);
    if (owner == me) {
      ++recursion_;
      return true;
    }
    if (owner != 0) return false;
    if (state_.compare_exchange_weak(state, state | me, std::memory_order_acquire,
                                     std::memory_order_relaxed)) {
      recursion_ = 1;
      return true;
    }
  }
}

bool Mutex::release(DWORD me) {
  if (DWORD(state_.load(std::memory_order_relaxed) & kOwnerMask) != me) return false;
  if (--recursion_ > 0) return true;
  // One atomic step frees the mutex and tells whether anyone waits; the
  // mutex itself is not touched afterwards (its taker may close it at once).
  uint64_t before = state_.fetch_and(~kOwnerMask, std::memory_order_release);
  if ((before & ~kOwnerMask) != 0) {
    WaitHub& hub = wait_hub();
    std::lock_guard<std::mutex> lock(hub.mutex);
    hub.notify_locked();
  }
  return true;
}

Take Mutex::try_take(DWORD me) {
  uint64_t state = state_.load(std::memory_order_relaxed);
  for (;;) {
    DWORD owner = DWORD(state & kOwnerMask);
    if (owner == me) {
      ++recursion_;
      return Take::kYes;
    }
    // A thread only leaves the live set under the hub lock, after its last
    // use of the mutex, so taking over from it here is ordered after that.
    bool abandoned = owner != 0 && !thread_alive(owner);
    if (owner != 0 && !abandoned) return Take::kNo;
    if (state_.compare_exchange_weak(state, (state & ~kOwnerMask) | me, std::memory_order_acquire,
                                     std::memory_order_relaxed)) {
      recursion_ = 1;
      if (!abandoned) return Take::kYes;
      abandoned_by_ = owner;
      return Take::kAbandoned;
    }
  }
}

void Mutex::untake(DWORD, Take how) {
  if (--recursion_ > 0) return;
  uint64_t owner_before = how == Take::kAbandoned ? abandoned_by_ : 0;
  uint64_t state = state_.load(std::memory_order_relaxed);
  while (!state_.compare_exchange_weak(state, (state & ~kOwnerMask) | owner_before,
                                       std::memory_order_release, std::memory_order_relaxed)) {
  }
}

void Mutex::announce(int delta) {
  if (delta > 0)
    state_.fetch_add(kOneWaiter, std::memory_order_relaxed);
  else
    state_.fetch_sub(kOneWaiter, std::memory_order_relaxed);
}

namespace {

using Clock = std::chrono::steady_clock;

// Looks every handle up (null for those that name no waitable object);
// false if any does not. Call with the hub lock held.
bool resolve(const HANDLE* handles, DWORD count, Waitable** objects) {
  bool all_found = true;
  for (DWORD i = 0; i < count; ++i) {
    Object* object = kernel_table().get(reinterpret_cast<uintptr_t>(handles[i]));
    bool waitable = object && object->kind() != kFileKind;
    objects[i] = waitable ? static_cast<Waitable*>(object) : nullptr;
    all_found = all_found && waitable;
  }
  return all_found;
}

bool has_duplicates(Waitable* const* objects, DWORD count) {
  for (DWORD i = 0; i < count; ++i)
    for (DWORD j = i + 1; j < count; ++j)
      if (objects[i] == objects[j]) return true;
  return false;
}

void announce_all(Waitable* const* objects, DWORD count, int delta) {
  for (DWORD i = 0; i < count; ++i)
    if (objects[i]) objects[i]->announce(delta);
}

DWORD taken_result(Take how, DWORD index) {
  return (how == Take::kAbandoned ? WAIT_ABANDONED : WAIT_OBJECT_0) + index;
}

std::optional<DWORD> try_take_any(Waitable* const* objects, DWORD count, DWORD me) {
  for (DWORD i = 0; i < count; ++i) {
    Take how = objects[i]->try_take(me);
    if (how != Take::kNo) return taken_result(how, i);
  }
  return std::nullopt;
}

// Takes all objects or none: a mutex can be taken by the lock-free path at
// any moment, so each is taken in turn and the taken ones are given back
// when one is missing.
std::optional<DWORD> try_take_all(Waitable* const* objects, DWORD count, DWORD me) {
  Take taken[MAXIMUM_WAIT_OBJECTS];
  std::optional<DWORD> abandoned;
  for (DWORD i = 0; i < count; ++i) {
    taken[i] = objects[i]->try_take(me);
    if (taken[i] == Take::kNo) {
      while (i-- > 0) objects[i]->untake(me, taken[i]);
      return std::nullopt;
    }
    if (taken[i] == Take::kAbandoned && !abandoned) abandoned = taken_result(Take::kAbandoned, i);
  }
  return abandoned ? abandoned : std::optional<DWORD>(WAIT_OBJECT_0);
}

std::optional<DWORD> try_finish(Waitable* const* objects, DWORD count, bool wait_all, DWORD me) {
  return wait_all ? try_take_all(objects, count, me) : try_take_any(objects, count, me);
}

// How long a thread that finds a mutex taken keeps trying for it before it
// sleeps: longer than a drawing call usually holds a page, far shorter than
// a frame. A sleeping waiter is woken by each release but usually finds the
// mutex taken again by the thread that released it, which then pays a
// system call per release while the waiter may wait for many of them; one
// that is awake and watching takes it in the moment between two holds.
constexpr auto kSpin = std::chrono::microseconds(200);

// Tries for the mutex named by `handle` until `deadline` or for kSpin,
// without the hub lock; true when it is taken.
bool spin_for_mutex(HANDLE handle, DWORD me, Clock::time_point deadline) {
  const Clock::time_point until = std::min(Clock::now() + kSpin, deadline);
  for (unsigned round = 1; Clock::now() < until; ++round) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
    // Every so often the processor is offered to others, in case the
    // owner is waiting for it.
    if (round % 64 == 0) std::this_thread::yield();
    Mutex* mutex = find<Mutex>(handle);
    if (!mutex) return false;
    if (mutex->try_take_fast(me)) return true;
  }
  return false;
}

DWORD wait_for(const HANDLE* handles, DWORD count, bool wait_all, DWORD milliseconds) {
  const DWORD me = current_thread_id();
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  WaitHub& hub = wait_hub();
  std::unique_lock<std::mutex> lock(hub.mutex);
  Waitable* objects[MAXIMUM_WAIT_OBJECTS];
  if (!resolve(handles, count, objects)) return fail(ERROR_INVALID_HANDLE, WAIT_FAILED);
  if (wait_all && has_duplicates(objects, count)) return fail(ERROR_INVALID_PARAMETER, WAIT_FAILED);
  if (milliseconds == 0) return try_finish(objects, count, wait_all, me).value_or(WAIT_TIMEOUT);

  // Announced before the first try, so a mutex released after that try
  // wakes this thread.
  announce_all(objects, count, +1);
  // A mutex waited for alone is watched for a moment before each sleep.
  const bool spin = count == 1 && objects[0]->kind() == kMutexKind;
  DWORD result;
  for (bool watched = false;;) {
    if (auto done = try_finish(objects, count, wait_all, me)) {
      result = *done;
      break;
    }
    if (milliseconds != INFINITE && Clock::now() >= deadline) {
      result = WAIT_TIMEOUT;
      break;
    }
    if (spin && !watched) {
      lock.unlock();
      const bool taken = spin_for_mutex(handles[0], me, deadline);
      lock.lock();
      if (taken) {
        result = WAIT_OBJECT_0;
        break;
      }
      watched = true;
    } else {
      watched = false;
      ++hub.unwoken;
      if (milliseconds == INFINITE)
        hub.changed.wait(lock);
      else
        hub.changed.wait_until(lock, deadline);
    }
    if (!resolve(handles, count, objects)) {
      result = fail(ERROR_INVALID_HANDLE, WAIT_FAILED);
      break;
    }
  }
  announce_all(objects, count, -1);
  return result;
}

// Applies `change` to the event named by `handle` under the hub lock.
template <class Change>
BOOL change_event(HANDLE handle, Change change) {
  WaitHub& hub = wait_hub();
  std::lock_guard<std::mutex> lock(hub.mutex);
  Event* event = find<Event>(handle);
  if (!event) return fail(ERROR_INVALID_HANDLE, FALSE);
  change(*event, hub);
  return TRUE;
}

}  // namespace
}  // namespace kelplat::kernel

using namespace kelplat::kernel;

// Object names are not shared between calls: every object is unnamed.
HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manual_reset, BOOL initial_state, LPCSTR) {
  return add_object(std::make_unique<Event>(manual_reset != FALSE, initial_state != FALSE));
}

BOOL WINAPI SetEvent(HANDLE event) {
  return change_event(event, [](Event& e, WaitHub& hub) {
    e.set(true);
    hub.notify_locked();
  });
}

BOOL WINAPI ResetEvent(HANDLE event) {
  return change_event(event, [](Event& e, WaitHub&) { e.set(false); });
}

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initial_owner, LPCSTR) {
  return add_object(std::make_unique<Mutex>(initial_owner ? current_thread_id() : 0));
}

BOOL WINAPI ReleaseMutex(HANDLE mutex) {
  Mutex* object = find<Mutex>(mutex);
  if (!object) return fail(ERROR_INVALID_HANDLE, FALSE);
  if (!object->release(current_thread_id())) return fail(ERROR_NOT_OWNER, FALSE);
  return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  Mutex* mutex = find<Mutex>(handle);
  if (mutex && mutex->try_take_fast(current_thread_id())) return WAIT_OBJECT_0;
  return wait_for(&handle, 1, false, milliseconds);
}

DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all,
                                    DWORD milliseconds) {
  if (!handles || count == 0 || count > MAXIMUM_WAIT_OBJECTS)
    return fail(ERROR_INVALID_PARAMETER, WAIT_FAILED);
  return wait_for(handles, count, wait_all != FALSE, milliseconds);
}
