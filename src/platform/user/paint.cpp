// Invalidation, painting and window device contexts.
//
// InvalidateRect is on the drawing hot path: a handle lookup, one short lock
// and a union; the owner thread is woken only when the region goes from
// empty to non-empty.
#include "gdi_objects.h"
#include "message_queue.h"
#include "window_manager.h"

namespace kelplat::user {
namespace {

// Screen contexts (GetDC with no window) that have not been released.
struct ScreenContexts {
  std::mutex mutex;
  std::vector<HDC> open;
};

ScreenContexts& screen_contexts() { return immortal<ScreenContexts>(); }

// Removes `hdc` from `open`; false when it is not there.
bool take_out(std::vector<HDC>& open, HDC hdc) {
  auto it = std::find(open.begin(), open.end(), hdc);
  if (it == open.end()) return false;
  open.erase(it);
  return true;
}

// A context for the screen as a whole: it has no pixels of its own, and
// serves for questions about the display (colour depth, palettes, DIBs).
HDC get_screen_context() {
  HDC hdc = gdi::create_window_dc(nullptr, nullptr);
  if (!hdc) return nullptr;
  ScreenContexts& screen = screen_contexts();
  std::lock_guard<std::mutex> lock(screen.mutex);
  screen.open.push_back(hdc);
  return hdc;
}

int release_screen_context(HDC hdc) {
  ScreenContexts& screen = screen_contexts();
  {
    std::lock_guard<std::mutex> lock(screen.mutex);
    if (!take_out(screen.open, hdc)) return 0;
  }
  gdi::destroy_window_dc(hdc);
  return 1;
}

// Shows `rect` of the window's picture on the display. The caller holds the
// picture's lock.
void present(Window& window, const RECT& rect) {
  gdi::Bitmap* bitmap = gdi::lookup<gdi::Bitmap>(window.picture);
  if (!window.visible() || !window.native || !bitmap) return;
  RECT shown = intersect(rect, RECT{0, 0, bitmap->width, bitmap->height});
  if (is_empty(shown)) return;
  display::PictureView view{bitmap->storage.data(), bitmap->width, bitmap->height,
                            bitmap->stride / 4};
  display::backend().present(*window.native, shown, view);
}

}  // namespace
}  // namespace kelplat::user

using namespace kelplat;
using namespace kelplat::user;

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL) {
  Window* window = checked_window(hwnd);
  if (!window) return FALSE;
  if (window->invalidate(rect)) window->queue->paint_changed();
  return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
  Window* window = checked_window(hwnd);
  if (!window) return FALSE;
  window->validate(rect);
  return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
  Window* window = checked_window(hwnd);
  if (!window) return FALSE;
  RECT box = window->invalid_box();
  if (rect) *rect = box;
  return !is_empty(box);
}

// The paint context draws on the shown picture, whose lock it holds until
// EndPaint. Only the owner thread paints.
HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
  Window* window = checked_window(hwnd);
  if (!window || !paint || !window->owned_by_caller()) return nullptr;
  RECT box = window->take_invalid();
  window->picture_mutex.lock();
  HDC hdc = gdi::create_window_dc(hwnd, window->picture);
  if (!hdc) {
    window->picture_mutex.unlock();
    return nullptr;
  }
  window->paint_contexts.push_back(hdc);
  *paint = PAINTSTRUCT{};
  paint->hdc = hdc;
  paint->fErase = FALSE;
  paint->rcPaint = box;
  return hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
  Window* window = checked_window(hwnd);
  if (!window || !paint || !window->owned_by_caller() ||
      !take_out(window->paint_contexts, paint->hdc))
    return FALSE;
  present(*window, paint->rcPaint);
  gdi::destroy_window_dc(paint->hdc);
  window->picture_mutex.unlock();
  return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
  Window* window = checked_window(hwnd);
  if (!window) return FALSE;
  if (window->visible() && !is_empty(window->invalid_box())) SendMessageA(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

// A window context draws on the shown picture without taking its lock; the
// picture it draws on is replaced if the window changes size.
HDC WINAPI GetDC(HWND hwnd) {
  if (!hwnd) return get_screen_context();
  Window* window = checked_window(hwnd);
  if (!window) return nullptr;
  HDC hdc;
  {
    std::lock_guard<std::recursive_mutex> lock(window->picture_mutex);
    hdc = gdi::create_window_dc(hwnd, window->picture);
  }
  if (!hdc) return nullptr;
  std::lock_guard<std::mutex> lock(window->mutex);
  window->contexts.push_back(hdc);
  return hdc;
}

int WINAPI ReleaseDC(HWND hwnd, HDC hdc) {
  if (!hwnd) return release_screen_context(hdc);
  Window* window = checked_window(hwnd);
  if (!window) return 0;
  {
    std::lock_guard<std::mutex> lock(window->mutex);
    if (!take_out(window->contexts, hdc)) return 0;
  }
  gdi::destroy_window_dc(hdc);
  return 1;
}
