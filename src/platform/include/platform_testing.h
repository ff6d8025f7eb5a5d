// The portable platform's testing interface: what a test needs that the
// public interface does not give. Not part of graphics.h and not installed.
#ifndef KEL_PLATFORM_TESTING_H
#define KEL_PLATFORM_TESTING_H

#include <functional>
#include <string>
#include <vector>

#include "platform.h"

namespace kelplat::testing {

// Waits until the thread that owns `hwnd` has handled every message posted or
// sent to it before this call (it is back waiting in GetMessageA with an empty
// queue). Paints that are due are not forced. False on time-out or bad handle.
bool wait_idle(HWND hwnd, int timeout_ms = 5000);

// Makes the owning thread paint the window's invalid region now (without the
// display pacing) and waits until it has done so.
bool flush_paint(HWND hwnd, int timeout_ms = 5000);

// What the window shows: its client area, row by row, each pixel 0x00RRGGBB.
// Empty when the handle names no window.
std::vector<uint32_t> shown_pixels(HWND hwnd, int* width = nullptr, int* height = nullptr);

// While painting is held for a window, WM_PAINT is not generated for it, so a
// test can read what has been invalidated since the last paint.
void hold_painting(HWND hwnd, bool hold);
// Bounding box of the window's invalid region in client coordinates; false
// when nothing is invalid.
bool invalid_rect(HWND hwnd, RECT* rect);
// Forgets the invalid region without painting.
void validate(HWND hwnd);

// Switches the rasterizer's fast paths (figures painted straight, lines
// stored straight in the page); off, every figure takes the exact general
// path. On by default; for tests that compare the two.
void set_raster_fast_paths(bool on);

// Message boxes: while a handler is installed, MessageBoxA calls it instead of
// showing anything and returns what it returns.
using MessageBoxHandler = std::function<int(const std::string& text, const std::string& caption,
                                            UINT type)>;
void set_message_box_handler(MessageBoxHandler handler);

// File dialogs: while a handler is installed, GetOpenFileNameA and
// GetSaveFileNameA call it (with `save` telling which) instead of asking the
// user; it fills ofn->lpstrFile and returns true, or returns false to cancel.
using FileDialogHandler = std::function<bool(OPENFILENAMEA* ofn, bool save)>;
void set_file_dialog_handler(FileDialogHandler handler);

// The name of the display back end in use ("headless" or "x11"), or "" when
// no window has been made yet.
std::string backend_name();

}  // namespace kelplat::testing

#endif  // KEL_PLATFORM_TESTING_H
