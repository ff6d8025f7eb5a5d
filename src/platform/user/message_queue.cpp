#include "message_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>

#include "backend.h"
#include "window_manager.h"

namespace kelplat::user {
namespace {

// Closes the queue when its thread ends; windows keep the queue object alive
// as long as they exist.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (queue) queue->close();
  }
};
thread_local QueueHolder t_queue;

bool same_message(const MSG& a, const MSG& b) {
  return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam &&
         a.lParam == b.lParam && a.time == b.time;
}

int milliseconds_until(std::chrono::steady_clock::time_point when,
                       std::chrono::steady_clock::time_point now) {
  auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
  return int(std::clamp<decltype(wait)>(wait, 0, kPaintInterval.count()));
}

}  // namespace

bool MessageFilter::accepts(HWND window, UINT message) const {
  if (hwnd && window != hwnd) return false;
  bool any = first > last || (first == 0 && last == 0);
  return any || (message >= first && message <= last);
}

const std::shared_ptr<ThreadQueue>& current_queue() {
  if (!t_queue.queue) t_queue.queue = ThreadQueue::create(GetCurrentThreadId());
  return t_queue.queue;
}

std::shared_ptr<ThreadQueue> ThreadQueue::create(DWORD thread_id) {
  int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::make_shared<ThreadQueue>(thread_id, fd);
}

ThreadQueue::ThreadQueue(DWORD thread_id, int wake_fd) : thread_id_(thread_id), wake_fd_(wake_fd) {}

ThreadQueue::~ThreadQueue() {
  if (wake_fd_ >= 0) ::close(wake_fd_);
}

// ------------------------------------------------------------ any thread

void ThreadQueue::wake_locked() {
  idle_ = false;
  if (!waiting_ || wake_fd_ < 0) return;
  waiting_ = false;
  uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(wake_fd_, &one, sizeof one);
}

bool ThreadQueue::post(const MSG& msg, int character) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return false;
  posted_.push_back(Posted{msg, character});
  wake_locked();
  return true;
}

bool ThreadQueue::send(const std::shared_ptr<SentMessage>& message) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return false;
  sent_.push_back(message);
  wake_locked();
  return true;
}

void ThreadQueue::finish(SentMessage& message, LRESULT result) {
  std::lock_guard<std::mutex> lock(mutex_);
  message.result = result;
  message.done = true;
  wake_locked();
}

void ThreadQueue::paint_changed() {
  std::lock_guard<std::mutex> lock(mutex_);
  wake_locked();
}

void ThreadQueue::set_hold_paint(Window& window, bool hold) {
  std::lock_guard<std::mutex> lock(mutex_);
  window.hold_paint = hold;
  wake_locked();
}

void ThreadQueue::request_flush(Window& window) {
  std::lock_guard<std::mutex> lock(mutex_);
  window.flush_requested = true;
  wake_locked();
}

bool ThreadQueue::wait_idle(int timeout_ms, const std::function<bool()>& also) {
  std::unique_lock<std::mutex> lock(mutex_);
  ++idle_waiters_;
  bool idle = idle_cv_.wait_for(lock, std::chrono::milliseconds(std::max(timeout_ms, 0)),
                                [&] { return closed_ || (idle_ && (!also || also())); });
  --idle_waiters_;
  return idle && !closed_;
}

void ThreadQueue::close() {
  std::deque<std::shared_ptr<SentMessage>> pending;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    // The owner thread is gone: nobody waits on the wake-up any more, and
    // windows that outlive it in the retired list keep no descriptor.
    ::close(wake_fd_);
    wake_fd_ = -1;
    pending.swap(sent_);
    posted_.clear();
    idle_cv_.notify_all();
  }
  for (auto& message : pending) message->sender->finish(*message, 0);
}

// ------------------------------------------------------------ owner thread

void ThreadQueue::add_window(Window* window) {
  std::lock_guard<std::mutex> lock(mutex_);
  windows_.push_back(window);
}

void ThreadQueue::remove_window(Window* window) {
  std::lock_guard<std::mutex> lock(mutex_);
  window->flush_requested = false;
  windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
  if (idle_waiters_ > 0) idle_cv_.notify_all();
}

void ThreadQueue::post_quit(int exit_code) {
  std::lock_guard<std::mutex> lock(mutex_);
  quit_ = true;
  quit_code_ = exit_code;
}

void ThreadQueue::post_first(const MSG& msg) {
  std::lock_guard<std::mutex> lock(mutex_);
  posted_.push_front(Posted{msg, kDeriveCharacter});
}

int ThreadQueue::character_of(const MSG& msg) const {
  return same_message(last_taken_.msg, msg) ? last_taken_.character : kDeriveCharacter;
}

void ThreadQueue::deliver_sent() {
  for (;;) {
    std::shared_ptr<SentMessage> message;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (sent_.empty()) return;
      message = std::move(sent_.front());
      sent_.pop_front();
    }
    LRESULT result = message->task ? message->task()
                                   : call_window_procedure(message->hwnd, message->message,
                                                           message->wparam, message->lparam);
    message->sender->finish(*message, result);
  }
}

bool ThreadQueue::get(MSG* out, const MessageFilter& filter, bool remove, bool wait) {
  for (;;) {
    deliver_sent();
    display::Backend* backend = display::chosen_backend();
    if (backend) backend->dispatch_pending();
    std::unique_lock<std::mutex> lock(mutex_);
    if (!sent_.empty()) continue;
    int timeout_ms = -1;
    if (take_posted(filter, remove, out) || take_quit(filter, remove, out) ||
        take_paint(filter, remove, out, &timeout_ms))
      return true;
    if (!wait) return false;
    block(lock, timeout_ms, backend ? backend->event_fd() : -1, true);
  }
}

LRESULT ThreadQueue::wait_for_reply(SentMessage& message) {
  for (;;) {
    deliver_sent();
    std::unique_lock<std::mutex> lock(mutex_);
    if (message.done) return message.result;
    if (sent_.empty()) block(lock, -1, -1, false);
  }
}

bool ThreadQueue::take_posted(const MessageFilter& filter, bool remove, MSG* out) {
  auto it = std::find_if(posted_.begin(), posted_.end(), [&](const Posted& p) {
    return filter.accepts(p.msg.hwnd, p.msg.message);
  });
  if (it == posted_.end()) return false;
  *out = it->msg;
  if (remove) {
    last_taken_ = *it;
    posted_.erase(it);
  }
  return true;
}

bool ThreadQueue::take_quit(const MessageFilter& filter, bool remove, MSG* out) {
  if (!quit_ || !MessageFilter{nullptr, filter.first, filter.last}.accepts(nullptr, WM_QUIT))
    return false;
  *out = MSG{nullptr, WM_QUIT, WPARAM(quit_code_), 0, GetTickCount(), POINT{0, 0}};
  if (remove) quit_ = false;
  return true;
}

// The first window that has something to paint and whose last paint is at
// least kPaintInterval ago (a flush does not wait). When paints are held
// back only by that interval, *timeout_ms says when the next one is due.
bool ThreadQueue::take_paint(const MessageFilter& filter, bool remove, MSG* out, int* timeout_ms) {
  auto now = std::chrono::steady_clock::now();
  for (Window* window : windows_) {
    bool flush = window->flush_requested;
    if (window->hold_paint && !flush) continue;
    bool paintable = window->visible() && !is_empty(window->invalid_box());
    if (!paintable) {
      window->flush_requested = false;
      continue;
    }
    auto due = window->last_paint + kPaintInterval;
    if (!flush && now < due) {
      int wait = milliseconds_until(due, now);
      *timeout_ms = *timeout_ms < 0 ? wait : std::min(*timeout_ms, wait);
      continue;
    }
    if (!filter.accepts(window->hwnd(), WM_PAINT)) continue;
    *out = MSG{window->hwnd(), WM_PAINT, 0, 0, GetTickCount(), POINT{0, 0}};
    if (remove) {
      window->flush_requested = false;
      window->last_paint = now;
    }
    return true;
  }
  return false;
}

void ThreadQueue::block(std::unique_lock<std::mutex>& lock, int timeout_ms, int extra_fd,
                        bool idle) {
  waiting_ = true;
  if (idle) {
    idle_ = true;
    if (idle_waiters_ > 0) idle_cv_.notify_all();
  }
  lock.unlock();
  pollfd fds[2] = {{wake_fd_, POLLIN, 0}, {extra_fd, POLLIN, 0}};
  ::poll(fds, extra_fd >= 0 ? 2 : 1, timeout_ms);
  uint64_t count;
  [[maybe_unused]] ssize_t n = ::read(wake_fd_, &count, sizeof count);
  lock.lock();
  waiting_ = false;
  idle_ = false;
}

}  // namespace kelplat::user
