// Making, destroying, showing and moving windows, and reading their state.
#include <unistd.h>

#include <cstring>

#include "gdi_objects.h"
#include "message_queue.h"
#include "window_manager.h"

namespace kelplat::user {
namespace {

// Coordinates and sizes stay within what a signed 16-bit message field holds.
constexpr int kMaxCoordinate = 32767;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

int position(int value) {
  return value == CW_USEDEFAULT ? 0 : std::clamp(value, -kMaxCoordinate - 1, kMaxCoordinate);
}
int extent(int value, int fallback) {
  return value == CW_USEDEFAULT ? fallback : std::clamp(value, 0, kMaxCoordinate);
}

// Sets the outer rectangle and the client size that the style leaves inside.
void set_geometry(Window& window, const RECT& outer) {
  Frame frame = frame_of(window.style.load());
  std::lock_guard<std::mutex> lock(window.mutex);
  window.outer = outer;
  window.client_width = std::max<LONG>(0, outer.right - outer.left - 2 * frame.side);
  window.client_height =
      std::max<LONG>(0, outer.bottom - outer.top - 2 * frame.edge - frame.caption);
  window.set_invalid(
      intersect(window.invalid, RECT{0, 0, window.client_width, window.client_height}));
}

RECT outer_rect(int x, int y, int width, int height) {
  int left = position(x), top = position(y);
  return RECT{left, top, left + extent(width, kDefaultWidth), top + extent(height, kDefaultHeight)};
}

// A black picture of the client size; null for an empty client area.
HBITMAP make_picture(int width, int height) {
  return width > 0 && height > 0 ? gdi::create_color_bitmap(width, height) : nullptr;
}

void free_picture(HBITMAP picture) {
  if (picture) DeleteObject(picture);
}

// Copies what both pictures cover from `from` to `to`.
void copy_picture(HBITMAP from, HBITMAP to) {
  gdi::Bitmap* source = gdi::lookup<gdi::Bitmap>(from);
  gdi::Bitmap* target = gdi::lookup<gdi::Bitmap>(to);
  if (!source || !target) return;
  int width = std::min(source->width, target->width);
  int height = std::min(source->height, target->height);
  for (int y = 0; y < height; ++y)
    std::memcpy(target->row32(y), source->row32(y), size_t(width) * 4);
}

display::WindowSpec spec_of(Window& window) {
  Frame frame = frame_of(window.style.load());
  std::lock_guard<std::mutex> lock(window.mutex);
  display::WindowSpec spec;
  spec.hwnd = window.hwnd();
  spec.title = window.title;
  spec.outer = window.outer;
  spec.client_offset = POINT{frame.side, frame.edge + frame.caption};
  spec.client_width = window.client_width;
  spec.client_height = window.client_height;
  spec.caption = frame.caption > 0;
  spec.double_clicks = (window.class_style & CS_DBLCLKS) != 0;
  return spec;
}

// The picture, system menu and native window of a new window.
bool attach_resources(Window& window) {
  RECT client = window.client_rect();
  window.picture = make_picture(client.right, client.bottom);
  if (!is_empty(client) && !window.picture) return false;
  window.system_menu = create_system_menu();
  if (!window.system_menu) return false;
  window.native = display::backend().create_window(spec_of(window));
  return window.native != nullptr;
}

// Releases everything the window holds and takes it out of the table. On
// the owner thread.
void discard_window(Window& window) {
  window.queue->remove_window(&window);
  for (HDC hdc : window.paint_contexts) {
    gdi::destroy_window_dc(hdc);
    window.picture_mutex.unlock();
  }
  window.paint_contexts.clear();
  std::vector<HDC> contexts;
  {
    std::lock_guard<std::mutex> lock(window.mutex);
    contexts.swap(window.contexts);
  }
  for (HDC hdc : contexts) gdi::destroy_window_dc(hdc);
  window.native.reset();
  {
    std::lock_guard<std::recursive_mutex> lock(window.picture_mutex);
    free_picture(window.picture);
    window.picture = nullptr;
  }
  if (window.system_menu) retire(table().erase(reinterpret_cast<uintptr_t>(window.system_menu)));
  retire(table().erase(window.handle()));
}

// Gives the window a picture of the new client size, keeping what the old
// one showed where both overlap. False when the new picture cannot be made.
bool resize_picture(Window& window, int width, int height) {
  HBITMAP fresh = make_picture(width, height);
  if (width > 0 && height > 0 && !fresh) return false;
  std::lock_guard<std::recursive_mutex> lock(window.picture_mutex);
  copy_picture(window.picture, fresh);
  free_picture(window.picture);
  window.picture = fresh;
  return true;
}

BOOL move_on_owner(Window& window, const RECT& outer, BOOL repaint) {
  Frame frame = frame_of(window.style.load());
  int width = std::max<LONG>(0, outer.right - outer.left - 2 * frame.side);
  int height = std::max<LONG>(0, outer.bottom - outer.top - 2 * frame.edge - frame.caption);
  RECT old_client = window.client_rect();
  if ((width != old_client.right || height != old_client.bottom) &&
      !resize_picture(window, width, height)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  set_geometry(window, outer);
  display::backend().move_window(*window.native, outer, width, height);
  if (repaint && window.invalidate(nullptr)) window.queue->paint_changed();
  return TRUE;
}

BOOL show_on_owner(Window& window, int command) {
  bool was_visible = window.visible();
  bool show = command != SW_HIDE;
  if (show != was_visible) {
    if (show)
      window.style.fetch_or(WS_VISIBLE);
    else
      window.style.fetch_and(~DWORD(WS_VISIBLE));
    display::backend().show_window(*window.native, show);
  }
  if (show && !window.shown_before) {
    window.shown_before = true;
    window.invalidate(nullptr);
  }
  if (command == SW_MINIMIZE) display::backend().system_command(*window.native, SC_MINIMIZE);
  if (show) window.queue->paint_changed();
  return was_visible;
}

}  // namespace
}  // namespace kelplat::user

namespace kelplat::display {

void native_window_moved(HWND hwnd, int x, int y) {
  user::Window* window = user::window_of(hwnd);
  if (!window) return;
  std::lock_guard<std::mutex> lock(window->mutex);
  RECT& outer = window->outer;
  outer = RECT{x, y, x + (outer.right - outer.left), y + (outer.bottom - outer.top)};
}

}  // namespace kelplat::display

using namespace kelplat;
using namespace kelplat::user;

HWND WINAPI CreateWindowExA(DWORD, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                            int width, int height, HWND, HMENU, HINSTANCE, LPVOID) {
  WindowClass window_class;
  if (!find_class(class_name, &window_class)) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  const std::shared_ptr<ThreadQueue>& queue = current_queue();
  if (!queue) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto owned = std::make_unique<Window>();
  Window& window = *owned;
  window.thread_id = GetCurrentThreadId();
  window.queue = queue;
  window.class_style = window_class.style;
  window.procedure = window_class.procedure;
  window.style = style & ~DWORD(WS_VISIBLE);
  window.title = window_name ? window_name : "";
  set_geometry(window, outer_rect(x, y, width, height));
  HWND hwnd = reinterpret_cast<HWND>(table().insert(std::move(owned)));
  if (!hwnd || !attach_resources(window)) {
    if (hwnd) discard_window(window);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  queue->add_window(&window);
  if (call_window_procedure(hwnd, WM_NCCREATE, 0, 0) == 0 ||
      call_window_procedure(hwnd, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

// Only the owner thread may destroy a window. WM_DESTROY and WM_NCDESTROY
// reach its procedure before its resources go; a DestroyWindow from inside
// them does nothing more.
BOOL WINAPI DestroyWindow(HWND hwnd) {
  Window* window = checked_window(hwnd);
  if (!window) return FALSE;
  if (!window->owned_by_caller()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (window->destroying) return TRUE;
  window->destroying = true;
  call_window_procedure(hwnd, WM_DESTROY, 0, 0);
  call_window_procedure(hwnd, WM_NCDESTROY, 0, 0);
  discard_window(*window);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) { return window_of(hwnd) != nullptr; }

BOOL WINAPI ShowWindow(HWND hwnd, int command) {
  Window* window = checked_window(hwnd);
  if (!window) return FALSE;
  return BOOL(run_on_owner(*window, [hwnd, command] {
    Window* owned = window_of(hwnd);
    return owned ? show_on_owner(*owned, command) : FALSE;
  }));
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  Window* window = checked_window(hwnd);
  if (!window) return FALSE;
  RECT outer = outer_rect(x, y, width, height);
  return BOOL(run_on_owner(*window, [hwnd, outer, repaint] {
    Window* owned = window_of(hwnd);
    return owned ? move_on_owner(*owned, outer, repaint) : FALSE;
  }));
}

LONG_PTR WINAPI GetWindowLongA(HWND hwnd, int index) {
  Window* window = checked_window(hwnd);
  if (!window) return 0;
  switch (index) {
    case GWL_USERDATA:
      return window->user_data.load(std::memory_order_acquire);
    case GWL_STYLE:
      return LONG_PTR(window->style.load());
    case GWL_WNDPROC:
      return reinterpret_cast<LONG_PTR>(window->procedure.load());
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

// Changing GWL_STYLE records the new style; the frame keeps its size.
LONG_PTR WINAPI SetWindowLongA(HWND hwnd, int index, LONG_PTR value) {
  Window* window = checked_window(hwnd);
  if (!window) return 0;
  switch (index) {
    case GWL_USERDATA:
      return window->user_data.exchange(value, std::memory_order_acq_rel);
    case GWL_STYLE:
      return LONG_PTR(window->style.exchange(DWORD(value)));
    case GWL_WNDPROC:
      return reinterpret_cast<LONG_PTR>(
          window->procedure.exchange(reinterpret_cast<WNDPROC>(value)));
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
  Window* window = checked_window(hwnd);
  if (!window || !rect) return FALSE;
  *rect = window->client_rect();
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
  Window* window = checked_window(hwnd);
  if (!window || !rect) return FALSE;
  std::lock_guard<std::mutex> lock(window->mutex);
  *rect = window->outer;
  return TRUE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int max_count) {
  Window* window = checked_window(hwnd);
  if (!window || !text || max_count <= 0) return 0;
  std::lock_guard<std::mutex> lock(window->mutex);
  size_t length = std::min(window->title.size(), size_t(max_count - 1));
  std::memcpy(text, window->title.data(), length);
  text[length] = '\0';
  return int(length);
}

DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, LPDWORD process_id) {
  Window* window = checked_window(hwnd);
  if (!window) return 0;
  if (process_id) *process_id = DWORD(getpid());
  return window->thread_id;
}
