// Internal declarations of the window manager: windows and menus (objects of
// the window handle table), window classes, geometry and rectangle helpers.
#ifndef KEL_PLATFORM_USER_WINDOW_MANAGER_H
#define KEL_PLATFORM_USER_WINDOW_MANAGER_H

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform.h"
#include "handle_table.h"
#include "backend.h"

namespace kelplat::user {

using WindowTable = HandleTable<kWindowTable>;
WindowTable& table();

enum ObjectKind : int { kWindowKind = 1, kMenuKind = 2, kCursorKind = 3 };

class ThreadQueue;

// ------------------------------------------------------------ rectangles
// Right and bottom are exclusive; a rectangle is empty when it has no pixel.
inline bool is_empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
inline RECT intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  return is_empty(r) ? RECT{0, 0, 0, 0} : r;
}
inline RECT unite(const RECT& a, const RECT& b) {
  if (is_empty(a)) return b;
  if (is_empty(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}
// What is left of `box` after taking `cut` away, as a bounding box: exact
// when `cut` spans the box along one side, else the box unchanged.
RECT subtract(const RECT& box, const RECT& cut);

// ------------------------------------------------------------ geometry
// Where the client area lies inside the outer rectangle for a window style:
// a fixed frame on every side, and a caption bar under the top frame when
// the style has WS_CAPTION.
struct Frame {
  int side;     // frame width (left and right)
  int edge;     // frame height (top and bottom)
  int caption;  // caption height, 0 without WS_CAPTION
};
Frame frame_of(DWORD style);

// ------------------------------------------------------------ menus
struct MenuItem {
  UINT flags;  // MF_STRING, MF_SEPARATOR, MF_GRAYED
  UINT_PTR id;
  std::string text;
};

class Menu : public Object {
 public:
  Menu() : Object(kMenuKind) {}
  std::mutex mutex;
  std::vector<MenuItem> items;  // under mutex
};
Menu* menu_of(HMENU menu);
// A new system menu (Move, Minimize, Close) in the table; null if full.
HMENU create_system_menu();
void reset_system_menu(Menu& menu);

// ------------------------------------------------------------ windows
class Window : public Object {
 public:
  Window() : Object(kWindowKind) {}
  HWND hwnd() const { return reinterpret_cast<HWND>(handle()); }

  // Fixed at creation.
  DWORD thread_id = 0;
  std::shared_ptr<ThreadQueue> queue;  // the owner thread's queue
  HMENU system_menu = nullptr;
  UINT class_style = 0;

  std::atomic<WNDPROC> procedure{nullptr};
  std::atomic<LONG_PTR> user_data{0};
  std::atomic<DWORD> style{0};  // WS_VISIBLE tells whether the window is shown

  // Owner thread only.
  bool destroying = false;
  bool shown_before = false;
  std::unique_ptr<display::NativeWindow> native;
  std::vector<HDC> paint_contexts;  // from BeginPaint, not yet ended

  // Paint scheduling, under the owner queue's mutex.
  bool hold_paint = false;
  bool flush_requested = false;
  std::chrono::steady_clock::time_point last_paint{};

  // Geometry and invalid region, under `mutex`. InvalidateRect takes it on
  // the drawing hot path, so every hold is short.
  std::mutex mutex;
  std::string title;
  RECT outer{0, 0, 0, 0};
  int client_width = 0;
  int client_height = 0;
  RECT invalid{0, 0, 0, 0};   // client coordinates; changed through set_invalid
  std::vector<HDC> contexts;  // from GetDC, not yet released
  // The invalid box again, readable without the lock: 16 bits a side, 0 when
  // the box is empty or does not fit. Drawing that stays inside it needs no
  // lock at all.
  std::atomic<uint64_t> packed_invalid{0};

  // The shown picture: a 32-bit bitmap of the client size that window
  // contexts draw on. The lock is held from BeginPaint to EndPaint, so
  // readers never see a paint half done.
  std::recursive_mutex picture_mutex;
  HBITMAP picture = nullptr;  // under picture_mutex

  // Adds a rectangle (null: the whole client area) to the invalid region,
  // clipped to the client area; true when the region was empty before and
  // is not now.
  bool invalidate(const RECT* rect);
  // Replaces the invalid box; call with `mutex` held.
  void set_invalid(const RECT& box);
  // The invalid region's bounding box, emptied.
  RECT take_invalid();
  // Takes a rectangle (null: everything) out of the invalid region.
  void validate(const RECT* rect);
  RECT invalid_box();
  RECT client_rect();
  bool visible() const { return (style.load(std::memory_order_relaxed) & WS_VISIBLE) != 0; }
  bool owned_by_caller() const;
};

// The window a handle names, or null (also for handles of other kinds).
Window* window_of(HWND hwnd);
// The same, setting ERROR_INVALID_WINDOW_HANDLE when there is none.
Window* checked_window(HWND hwnd);
// Calls the window's procedure; 0 when the handle names no window.
LRESULT call_window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
// Runs `task` on the thread that owns the window (directly when that is the
// caller) and returns its result; 0 when the owner no longer takes messages.
LRESULT run_on_owner(Window& window, std::function<LRESULT()> task);
// Objects taken out of the table are kept for a while before they are
// deleted, so a thread that looked a handle up just before another thread
// destroyed it still reads valid memory.
void retire(std::unique_ptr<Object> object);

// ------------------------------------------------------------ classes
struct WindowClass {
  WNDPROC procedure = nullptr;
  UINT style = 0;
};
// The registered class of that name (compared without case); false if none.
bool find_class(LPCSTR name, WindowClass* out);

}  // namespace kelplat::user

#endif  // KEL_PLATFORM_USER_WINDOW_MANAGER_H
