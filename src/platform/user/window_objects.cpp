// The window handle table, window records, and the geometry and rectangle
// helpers shared by the window manager.
#include <deque>

#include "window_manager.h"

namespace kelplat::user {
namespace {

// Enough destroyed objects to outlast any lookup that raced with the destroy.
constexpr size_t kRetiredKept = 64;

struct Retired {
  std::mutex mutex;
  std::deque<std::unique_ptr<Object>> objects;
};

}  // namespace

WindowTable& table() { return immortal<WindowTable>(); }

Window* window_of(HWND hwnd) {
  Object* object = table().get(reinterpret_cast<uintptr_t>(hwnd));
  return object && object->kind() == kWindowKind ? static_cast<Window*>(object) : nullptr;
}

Window* checked_window(HWND hwnd) {
  Window* window = window_of(hwnd);
  if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window;
}

void retire(std::unique_ptr<Object> object) {
  if (!object) return;
  std::unique_ptr<Object> oldest;
  Retired& retired = immortal<Retired>();
  {
    std::lock_guard<std::mutex> lock(retired.mutex);
    retired.objects.push_back(std::move(object));
    if (retired.objects.size() <= kRetiredKept) return;
    oldest = std::move(retired.objects.front());
    retired.objects.pop_front();
  }
}

RECT subtract(const RECT& box, const RECT& cut) {
  RECT r = box;
  if (is_empty(box) || is_empty(intersect(box, cut))) return r;
  bool spans_width = cut.left <= box.left && cut.right >= box.right;
  bool spans_height = cut.top <= box.top && cut.bottom >= box.bottom;
  if (spans_width && spans_height) return RECT{0, 0, 0, 0};
  if (spans_width && cut.top <= box.top)
    r.top = cut.bottom;
  else if (spans_width && cut.bottom >= box.bottom)
    r.bottom = cut.top;
  else if (spans_height && cut.left <= box.left)
    r.left = cut.right;
  else if (spans_height && cut.right >= box.right)
    r.right = cut.left;
  return r;
}

Frame frame_of(DWORD style) {
  int caption = (style & WS_CAPTION) == WS_CAPTION ? GetSystemMetrics(SM_CYCAPTION) : 0;
  return Frame{GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME), caption};
}

namespace {

constexpr uint64_t kSide = 0xFFFF;

uint64_t pack(const RECT& box) {
  const bool fits = box.left >= 0 && box.top >= 0 && LONG(kSide) >= box.right &&
                    LONG(kSide) >= box.bottom;
  if (is_empty(box) || !fits) return 0;
  return uint64_t(box.left) | uint64_t(box.top) << 16 | uint64_t(box.right) << 32 |
         uint64_t(box.bottom) << 48;
}

bool inside_packed(const RECT& rect, uint64_t box) {
  return box != 0 && rect.left >= LONG(box & kSide) && rect.top >= LONG(box >> 16 & kSide) &&
         rect.right <= LONG(box >> 32 & kSide) && rect.bottom <= LONG(box >> 48);
}

}  // namespace

void Window::set_invalid(const RECT& box) {
  invalid = box;
  packed_invalid.store(pack(box), std::memory_order_release);
}

// A rectangle inside the invalid box changes nothing: that is seen without
// the lock, which spares it for most pixels of a figure drawn bit by bit.
bool Window::invalidate(const RECT* rect) {
  if (rect && inside_packed(*rect, packed_invalid.load(std::memory_order_acquire))) return false;
  std::lock_guard<std::mutex> lock(mutex);
  RECT client{0, 0, client_width, client_height};
  RECT added = rect ? intersect(*rect, client) : client;
  if (is_empty(added)) return false;
  bool was_empty = is_empty(invalid);
  set_invalid(unite(invalid, added));
  return was_empty;
}

RECT Window::take_invalid() {
  std::lock_guard<std::mutex> lock(mutex);
  RECT box = invalid;
  set_invalid(RECT{0, 0, 0, 0});
  return box;
}

void Window::validate(const RECT* rect) {
  std::lock_guard<std::mutex> lock(mutex);
  set_invalid(rect ? subtract(invalid, *rect) : RECT{0, 0, 0, 0});
}

RECT Window::invalid_box() {
  std::lock_guard<std::mutex> lock(mutex);
  return invalid;
}

RECT Window::client_rect() {
  std::lock_guard<std::mutex> lock(mutex);
  return RECT{0, 0, client_width, client_height};
}

bool Window::owned_by_caller() const { return thread_id == GetCurrentThreadId(); }

}  // namespace kelplat::user
