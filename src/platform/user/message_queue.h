// Per-thread message queues.
//
// Each thread that makes a window, asks for messages or sends a message to
// another thread gets a queue on first use. Any thread may post to a queue or
// hand it a message to handle (SendMessageA across threads); only the owner
// thread takes messages out. The owner blocks in poll() on an eventfd (and on
// the display back end's descriptor when there is one), so waiting never
// spins. WM_PAINT is not queued: it is made when nothing else is waiting and
// one of the thread's windows has an invalid region.
#ifndef KEL_PLATFORM_USER_MESSAGE_QUEUE_H
#define KEL_PLATFORM_USER_MESSAGE_QUEUE_H

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform.h"

namespace kelplat::user {

class Window;
class ThreadQueue;

// A message handed to another thread by SendMessageA, or a piece of work
// (`task`) that must run on the thread owning a window.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wparam = 0;
  LPARAM lparam = 0;
  std::function<LRESULT()> task;
  std::shared_ptr<ThreadQueue> sender;
  bool done = false;   // under the sender's mutex
  LRESULT result = 0;  // under the sender's mutex
};

// Which messages GetMessageA and PeekMessageA may return.
struct MessageFilter {
  HWND hwnd = nullptr;  // null: any window of the thread, and thread messages
  UINT first = 0;       // first = last = 0, or first > last: any message
  UINT last = 0;
  bool accepts(HWND window, UINT message) const;
};

// A character that the back end gave with a key message; kDeriveCharacter
// lets TranslateMessage work it out from the virtual key.
constexpr int kDeriveCharacter = -1;

class ThreadQueue {
 public:
  // Null when no wake-up descriptor can be made.
  static std::shared_ptr<ThreadQueue> create(DWORD thread_id);
  ThreadQueue(DWORD thread_id, int wake_fd);
  ~ThreadQueue();
  ThreadQueue(const ThreadQueue&) = delete;
  ThreadQueue& operator=(const ThreadQueue&) = delete;

  DWORD thread_id() const { return thread_id_; }

  // ---- any thread
  // False when the queue is closed. Posted messages are never dropped: only
  // memory bounds the queue (paint is not queued at all, see above).
  bool post(const MSG& msg, int character = kDeriveCharacter);
  // False when the queue is closed; otherwise the owner will handle it.
  bool send(const std::shared_ptr<SentMessage>& message);
  // Completes a message this (sender) queue's thread is waiting for.
  void finish(SentMessage& message, LRESULT result);
  // A window of this queue has something to paint, or its paint settings
  // changed: let the owner look again.
  void paint_changed();
  void set_hold_paint(Window& window, bool hold);
  void request_flush(Window& window);
  // Waits until the owner is blocked in GetMessageA with nothing to do (and
  // `also`, checked under the queue's lock, holds). False on time-out or
  // when the queue is closed.
  bool wait_idle(int timeout_ms, const std::function<bool()>& also = nullptr);
  // The owner thread has ended: refuse new messages, release waiting senders.
  void close();

  // ---- owner thread only
  void add_window(Window* window);
  void remove_window(Window* window);
  // Handles incoming sent messages, then takes the next message that the
  // filter accepts: posted messages in order, then WM_QUIT, then WM_PAINT.
  // With `wait`, blocks until there is one; without, false when none.
  bool get(MSG* out, const MessageFilter& filter, bool remove, bool wait);
  // Handles incoming sent messages until `message` (sent by this thread to
  // another) is finished, and returns its result.
  LRESULT wait_for_reply(SentMessage& message);
  void post_quit(int exit_code);
  // Puts a message in front of every other (the character of a key).
  void post_first(const MSG& msg);
  // The character that came with `msg` if it is the last message taken from
  // this queue, else kDeriveCharacter.
  int character_of(const MSG& msg) const;

 private:
  struct Posted {
    MSG msg;
    int character;
  };

  void deliver_sent();
  bool take_posted(const MessageFilter& filter, bool remove, MSG* out);
  bool take_quit(const MessageFilter& filter, bool remove, MSG* out);
  bool take_paint(const MessageFilter& filter, bool remove, MSG* out, int* timeout_ms);
  // Blocks until woken, `extra_fd` is readable or the time-out (ms, -1: none)
  // runs out. `idle` marks the owner as idle meanwhile.
  void block(std::unique_lock<std::mutex>& lock, int timeout_ms, int extra_fd, bool idle);
  void wake_locked();

  const DWORD thread_id_;
  int wake_fd_;  // -1 once closed

  std::mutex mutex_;
  std::condition_variable idle_cv_;
  std::deque<Posted> posted_;
  std::deque<std::shared_ptr<SentMessage>> sent_;
  std::vector<Window*> windows_;
  bool quit_ = false;
  int quit_code_ = 0;
  bool closed_ = false;
  bool waiting_ = false;  // the owner is in (or entering) poll()
  bool idle_ = false;     // ... from GetMessageA, with nothing to do
  int idle_waiters_ = 0;

  Posted last_taken_{};  // owner only
};

// The calling thread's queue, made on first use; null if it cannot be made.
const std::shared_ptr<ThreadQueue>& current_queue();

// Paints of one window come at least this far apart while drawing goes on:
// a frame of a 60 Hz display. More paints could not be seen, and each one
// copies the picture while the drawing waits for its page.
constexpr std::chrono::milliseconds kPaintInterval{16};

}  // namespace kelplat::user

#endif  // KEL_PLATFORM_USER_MESSAGE_QUEUE_H
