// The testing interface: waiting for window threads, reading what windows
// show, holding paints back, and answers for dialogs.
#include "gdi_objects.h"
#include "dialog_hooks.h"
#include "message_queue.h"
#include "window_manager.h"
#include "platform_testing.h"

namespace kelplat {
namespace {

struct DialogHandlers {
  std::mutex mutex;
  testing::MessageBoxHandler message_box;
  testing::FileDialogHandler file_dialog;
};

DialogHandlers& handlers() { return immortal<DialogHandlers>(); }

}  // namespace

bool testing_file_dialog(OPENFILENAMEA* ofn, bool save, bool* handled) {
  testing::FileDialogHandler handler;
  {
    std::lock_guard<std::mutex> lock(handlers().mutex);
    handler = handlers().file_dialog;
  }
  if (handled) *handled = bool(handler);
  return handler && handler(ofn, save);
}

bool testing_message_box(const std::string& text, const std::string& caption, UINT type,
                         int* answer) {
  testing::MessageBoxHandler handler;
  {
    std::lock_guard<std::mutex> lock(handlers().mutex);
    handler = handlers().message_box;
  }
  if (!handler) return false;
  *answer = handler(text, caption, type);
  return true;
}

}  // namespace kelplat

namespace kelplat::testing {

using user::Window;
using user::window_of;

bool wait_idle(HWND hwnd, int timeout_ms) {
  Window* window = window_of(hwnd);
  if (!window || window->owned_by_caller()) return false;
  std::shared_ptr<user::ThreadQueue> queue = window->queue;
  return queue->wait_idle(timeout_ms);
}

bool flush_paint(HWND hwnd, int timeout_ms) {
  Window* window = window_of(hwnd);
  if (!window) return false;
  if (window->owned_by_caller()) return UpdateWindow(hwnd);
  std::shared_ptr<user::ThreadQueue> queue = window->queue;
  queue->request_flush(*window);
  return queue->wait_idle(timeout_ms, [window] { return !window->flush_requested; });
}

std::vector<uint32_t> shown_pixels(HWND hwnd, int* width, int* height) {
  if (width) *width = 0;
  if (height) *height = 0;
  Window* window = window_of(hwnd);
  if (!window) return {};
  std::lock_guard<std::recursive_mutex> lock(window->picture_mutex);
  gdi::Bitmap* bitmap = gdi::lookup<gdi::Bitmap>(window->picture);
  if (!bitmap) return {};
  std::vector<uint32_t> pixels;
  pixels.reserve(size_t(bitmap->width) * size_t(bitmap->height));
  for (int y = 0; y < bitmap->height; ++y) {
    const uint32_t* row = bitmap->row32(y);
    for (int x = 0; x < bitmap->width; ++x) pixels.push_back(row[x] & 0xFFFFFF);
  }
  if (width) *width = bitmap->width;
  if (height) *height = bitmap->height;
  return pixels;
}

void hold_painting(HWND hwnd, bool hold) {
  if (Window* window = window_of(hwnd)) window->queue->set_hold_paint(*window, hold);
}

bool invalid_rect(HWND hwnd, RECT* rect) {
  Window* window = window_of(hwnd);
  if (!window) return false;
  RECT box = window->invalid_box();
  if (rect) *rect = box;
  return !user::is_empty(box);
}

void validate(HWND hwnd) {
  if (Window* window = window_of(hwnd)) window->validate(nullptr);
}

void set_message_box_handler(MessageBoxHandler handler) {
  std::lock_guard<std::mutex> lock(handlers().mutex);
  handlers().message_box = std::move(handler);
}

void set_file_dialog_handler(FileDialogHandler handler) {
  std::lock_guard<std::mutex> lock(handlers().mutex);
  handlers().file_dialog = std::move(handler);
}

std::string backend_name() {
  display::Backend* backend = display::chosen_backend();
  return backend ? backend->name() : "";
}

}  // namespace kelplat::testing
