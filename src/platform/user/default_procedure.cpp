// The default window procedure: hit testing, closing, system commands.
#include "window_manager.h"

namespace kelplat::user {
namespace {

bool contains(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// Where a screen point (signed 16-bit x and y in lparam) lies on the window.
LRESULT hit_test(Window& window, LPARAM lparam) {
  POINT point{SHORT(LOWORD(lparam)), SHORT(HIWORD(lparam))};
  Frame frame = frame_of(window.style.load());
  RECT outer;
  {
    std::lock_guard<std::mutex> lock(window.mutex);
    outer = window.outer;
  }
  if (!contains(outer, point)) return HTNOWHERE;
  RECT inside_frame{outer.left + frame.side, outer.top + frame.edge, outer.right - frame.side,
                    outer.bottom - frame.edge};
  if (!contains(inside_frame, point)) return HTBORDER;
  return point.y < inside_frame.top + frame.caption ? HTCAPTION : HTCLIENT;
}

LRESULT system_command(Window& window, UINT command) {
  if (command == SC_CLOSE) {
    SendMessageA(window.hwnd(), WM_CLOSE, 0, 0);
  } else if ((command == SC_MOVE || command == SC_MINIMIZE) && window.owned_by_caller() &&
             window.native) {
    display::backend().system_command(*window.native, command);
  }
  return 0;
}

}  // namespace
}  // namespace kelplat::user

using namespace kelplat::user;

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* window = window_of(hwnd);
  if (!window) return 0;
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_NCHITTEST:
      return hit_test(*window, lparam);
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      return system_command(*window, UINT(wparam & 0xFFF0));
    case WM_NCLBUTTONDOWN:  // pressing on the caption starts moving the window
      return wparam == HTCAPTION ? system_command(*window, SC_MOVE) : 0;
    case WM_PAINT: {  // nothing to draw, but the region must not stay invalid
      PAINTSTRUCT paint;
      if (BeginPaint(hwnd, &paint)) EndPaint(hwnd, &paint);
      return 0;
    }
  }
  return 0;
}
