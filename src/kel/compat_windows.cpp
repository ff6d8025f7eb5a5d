// The system calls that classic programs use next to graphics.h
// (kel/compat/windows.h): key state of the library's windows, the last
// pointer position, screen size, sleeping and message boxes. The window
// procedure keeps the key state from key-down and key-up messages.
#include <atomic>

#include "kel_internal.h"

namespace {

const unsigned kDown = 0x8000;
const unsigned kPressed = 0x0001;
// Per virtual key: kDown while down, kPressed once it went down until read.
std::atomic<unsigned> key_state[256];

std::atomic<HWND> pointer_window{nullptr};
std::atomic<int> pointer_x{0}, pointer_y{0};

void note_key(WPARAM vk, bool down) {
  if (vk > 255) return;
  if (down)
    key_state[vk].store(kDown | kPressed);
  else
    key_state[vk].fetch_and(~kDown);
}

}  // namespace

void KEL__NoteInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      note_key(wParam, true);
      return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      note_key(wParam, false);
      return;
    default:
      break;
  }
  if (message < WM_MOUSEMOVE || message > WM_MBUTTONDBLCLK) return;
  pointer_x = static_cast<SHORT>(LOWORD(lParam));
  pointer_y = static_cast<SHORT>(HIWORD(lParam));
  pointer_window = hwnd;
  // Buttons: left, right, middle; each has down, up and double-click messages.
  static const WPARAM kButtonKey[3] = {0x01, 0x02, 0x04};
  if (message == WM_MOUSEMOVE) return;
  int button = static_cast<int>(message - WM_LBUTTONDOWN) / 3;
  note_key(kButtonKey[button], (message - WM_LBUTTONDOWN) % 3 != 1);
}

extern "C" {

KEL_API SHORT kel_GetAsyncKeyState(int vkey) {
  if (vkey < 0 || vkey > 255) return 0;
  unsigned state = key_state[vkey].fetch_and(~kPressed);
  return static_cast<SHORT>(state & (kDown | kPressed));
}

KEL_API int kel_GetSystemMetrics(int index) { return GetSystemMetrics(index); }

// Client coordinates of the window that saw the pointer last, moved by the
// place of that window's frame on the screen.
KEL_API BOOL kel_GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  RECT frame = {};
  HWND hwnd = pointer_window.load();
  if (hwnd) GetWindowRect(hwnd, &frame);
  point->x = frame.left + pointer_x.load();
  point->y = frame.top + pointer_y.load();
  return TRUE;
}

KEL_API void kel_Sleep(DWORD milliseconds) { Sleep(milliseconds); }

KEL_API int kel_MessageBox(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type) {
  return MessageBoxA(hwnd, text ? text : "", caption ? caption : "Error", type);
}

}  // extern "C"
