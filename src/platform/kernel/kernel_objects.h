// Kernel objects of the portable platform: threads, events, mutexes and
// files, all named by handles of one process-wide table.
//
// Blocking waits share one lock and one condition variable (the wait hub):
// a waiter re-checks all of its objects whenever anything changes, which keeps
// waiting for any or all of several objects simple. Events and thread states
// change only under the hub lock. A mutex instead keeps its owner in an atomic
// word, so taking and releasing a free mutex never touches the hub; only a
// release that finds announced waiters takes the hub lock to wake them. A
// thread waiting for a mutex alone watches it for a moment before each
// sleep, so that a thread taking it again and again does not starve it.
#ifndef KEL_PLATFORM_KERNEL_OBJECTS_H
#define KEL_PLATFORM_KERNEL_OBJECTS_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_set>

#include "handle_table.h"
#include "platform.h"

namespace kelplat::kernel {

// Kinds of kernel objects (Object::kind()).
enum Kind : int { kThreadKind = 1, kEventKind, kMutexKind, kFileKind };

// Error codes the kernel reports beyond those of the platform interface.
inline constexpr DWORD kErrorTooManyOpenFiles = 4;
inline constexpr DWORD kErrorGenFailure = 31;
inline constexpr DWORD kErrorFileExists = 80;
inline constexpr DWORD kErrorDiskFull = 112;
inline constexpr DWORD kErrorInsufficientBuffer = 122;
inline constexpr DWORD kErrorNegativeSeek = 131;
inline constexpr DWORD kErrorNotLocked = 158;
inline constexpr DWORD kErrorMessageNotFound = 317;
// Exit code of a thread that has not ended yet.
inline constexpr DWORD kStillActive = 259;

HandleTable<kKernelTable>& kernel_table();
// Puts a new object into the kernel table; null (and the last error set)
// when the table is full.
HANDLE add_object(std::unique_ptr<Object> object);

// The object of kind T named by `handle`, or null.
template <class T>
T* find(HANDLE handle) {
  Object* object = kernel_table().get(reinterpret_cast<uintptr_t>(handle));
  return object && object->kind() == T::kKind ? static_cast<T*>(object) : nullptr;
}

// Shared state of blocking waits.
struct WaitHub {
  std::mutex mutex;
  std::condition_variable changed;
  // Threads that went to sleep on `changed` since the last wake-up. A woken
  // thread re-checks its objects under `mutex` before it sleeps again, so
  // changes made while it is on its way back need no further wake-up: a
  // mutex released again and again while its waiter is still waking costs
  // one system call, not one per release.
  int unwoken = 0;
  std::unordered_set<DWORD> live_threads;  // ids of threads that have not ended

  // Wakes every blocked waiter to re-check its objects; call with `mutex` held.
  void notify_locked() {
    if (unwoken == 0) return;
    unwoken = 0;
    changed.notify_all();
  }
};
WaitHub& wait_hub();

// Id of the calling thread; the first call registers the thread as live.
DWORD current_thread_id();
// Whether a thread with this id is still running; call with the hub lock held.
bool thread_alive(DWORD id);

// Result of trying to take a signalled object.
enum class Take { kNo, kYes, kAbandoned };

// An object a thread can wait for. All members but the constructor are
// called with the hub lock held.
class Waitable : public Object {
 public:
  using Object::Object;
  // Takes the object for thread `me` if it is signalled (consumes an
  // auto-reset event, owns a mutex).
  virtual Take try_take(DWORD me) = 0;
  // Undoes a successful try_take (a wait for all objects that cannot finish).
  virtual void untake(DWORD me, Take how) = 0;
  // A waiter announces (+1) or withdraws (-1) itself; objects whose state
  // changes outside the hub lock use this to know when to wake waiters.
  virtual void announce(int) {}
};

class ThreadObject : public Waitable {
 public:
  static constexpr int kKind = kThreadKind;
  // What the thread and its handle share; guarded by the hub lock.
  struct State {
    bool done = false;
    DWORD exit_code = kStillActive;
  };
  explicit ThreadObject(std::shared_ptr<State> state) : Waitable(kKind), state_(std::move(state)) {}
  Take try_take(DWORD) override { return state_->done ? Take::kYes : Take::kNo; }
  void untake(DWORD, Take) override {}
  DWORD exit_code() const { return state_->exit_code; }

 private:
  std::shared_ptr<State> state_;
};

class Event : public Waitable {
 public:
  static constexpr int kKind = kEventKind;
  Event(bool manual_reset, bool signalled)
      : Waitable(kKind), manual_reset_(manual_reset), signalled_(signalled) {}
  Take try_take(DWORD) override;
  void untake(DWORD, Take) override { signalled_ = true; }
  void set(bool signalled) { signalled_ = signalled; }

 private:
  const bool manual_reset_;
  bool signalled_;
};

class Mutex : public Waitable {
 public:
  static constexpr int kKind = kMutexKind;
  explicit Mutex(DWORD initial_owner);
  // Lock-free take for a free mutex or its owner; false means "go and wait".
  bool try_take_fast(DWORD me);
  // False when `me` does not own the mutex.
  bool release(DWORD me);
  Take try_take(DWORD me) override;
  void untake(DWORD me, Take how) override;
  void announce(int delta) override;

 private:
  // Low half: owner thread id (0 = free). High half: announced waiters.
  static constexpr uint64_t kOwnerMask = 0xFFFFFFFFu;
  static constexpr uint64_t kOneWaiter = uint64_t(1) << 32;
  std::atomic<uint64_t> state_;
  uint32_t recursion_ = 0;      // touched only by the owner
  DWORD abandoned_by_ = 0;      // last dead owner taken over; hub lock
};

class File : public Object {
 public:
  static constexpr int kKind = kFileKind;
  explicit File(int fd) : Object(kKind), fd_(fd) {}
  ~File() override;
  int fd() const { return fd_; }

 private:
  const int fd_;
};

// Helpers for the functions: set the last error and return a failure value.
template <class T>
T fail(DWORD error, T result) {
  SetLastError(error);
  return result;
}

}  // namespace kelplat::kernel

#endif  // KEL_PLATFORM_KERNEL_OBJECTS_H
