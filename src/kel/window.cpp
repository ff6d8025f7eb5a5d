// The window thread: it creates the window and its four pages, runs the
// window's message loop, and handles its messages (mouse, keyboard, paint,
// close, destroy, the save and print commands of its system menu) in the
// window procedure.
#include <climits>
#include <cstdlib>

#include "kel_internal.h"

BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max) {
  return GetMessageA(msg, hwnd, filter_min, filter_max);
}

LRESULT DispatchMessage(const MSG* msg) { return DispatchMessageA(msg); }

// ---------------------------------------------------------- window thread
namespace {

int saturated_sum(long long a, long long b) {
  long long sum = a + b;
  return sum > INT_MAX ? INT_MAX : static_cast<int>(sum);
}

HWND create_window(const WindowData* wd) {
  const bool captioned = !wd->title.empty();
  int caption = captioned ? GetSystemMetrics(SM_CYCAPTION) : 0;
  int frame_w = GetSystemMetrics(SM_CXFIXEDFRAME);
  int frame_h = GetSystemMetrics(SM_CYFIXEDFRAME);
  int outer_w = saturated_sum(wd->width, 2LL * frame_w);
  int outer_h = saturated_sum(wd->height, caption + 2LL * frame_h);
  DWORD style = captioned ? (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX) : (WS_POPUP | WS_DLGFRAME);
  return CreateWindowExA(0, "KELLibrary", wd->title.c_str(), style, wd->left, wd->top, outer_w,
                         outer_h, nullptr, nullptr, KEL__hInstance, nullptr);
}

// The commands every window adds to its system menu.
enum MenuCommand { kPrint2 = 1, kPrint45 = 2, kPrint7 = 3, kSaveImage = 4 };

void append_menu_commands(HWND hwnd) {
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
  AppendMenuA(menu, MF_STRING, kSaveImage, "Save image as...");
  AppendMenuA(menu, MF_STRING, kPrint2, "Print 2\" wide...");
  AppendMenuA(menu, MF_STRING, kPrint45, "Print 4.5\" wide...");
  AppendMenuA(menu, MF_STRING, kPrint7, "Print 7\" wide...");
  AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
}

// Carries out a command of the system menu on the window's whole visual
// page; false for commands that are not ours.
bool run_menu_command(HWND hWnd, unsigned command) {
  static const double kPrintWidths[] = {2.0, 4.5, 7.0};
  const double kBorderInches = 0.75;
  if (command == kSaveImage) {
    writeimagefile(NULL, 0, 0, INT_MAX, INT_MAX, false, hWnd);
    return true;
  }
  if (command < kPrint2 || command > kPrint7) return false;
  printimage(NULL, kPrintWidths[command - kPrint2], kBorderInches, kBorderInches, 0, 0, INT_MAX,
             INT_MAX, false, hWnd);
  return true;
}

void store_record(HWND hwnd, WindowData* wd) {
#ifdef _WIN64
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)wd);
#else
  SetWindowLongA(hwnd, GWL_USERDATA, (LONG_PTR)wd);
#endif
}

// Selects the stock white pen and brush, the stock font and the initial
// bitmap back into each page and deletes what they replace, then the pages.
void delete_pages(WindowData* wd) {
  HGDIOBJ fonts[4] = {};
  for (int i = 0; i < 4; ++i) {
    HDC dc = wd->hDC[i];
    if (!dc) continue;
    DeleteObject(SelectObject(dc, GetStockObject(WHITE_PEN)));
    DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
    fonts[i] = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(SelectObject(dc, wd->initial_bitmap[i]));
    DeleteDC(dc);
    wd->hDC[i] = nullptr;
  }
  // The four pages share one font object; delete each distinct one once.
  for (int i = 0; i < 4; ++i) {
    bool seen = false;
    for (int j = 0; j < i; ++j) seen = seen || fonts[j] == fonts[i];
    if (!seen && fonts[i]) DeleteObject(fonts[i]);
  }
}

// Four memory contexts compatible with the window, each holding a bitmap of
// the client size; false when one cannot be made.
bool create_pages(WindowData* wd) {
  HDC screen = GetDC(wd->hWnd);
  wd->hDCMutex = CreateMutexA(nullptr, FALSE, nullptr);
  WaitForSingleObject(wd->hDCMutex, KEL__PAGE_WAIT_MS);
  bool made = true;
  for (int i = 0; i < 4 && made; ++i) {
    wd->hDC[i] = CreateCompatibleDC(screen);
    HBITMAP page = CreateCompatibleBitmap(screen, wd->width, wd->height);
    made = wd->hDC[i] && page;
    if (made) {
      wd->initial_bitmap[i] = static_cast<HBITMAP>(SelectObject(wd->hDC[i], page));
    } else {
      DeleteObject(page);
      DeleteDC(wd->hDC[i]);
      wd->hDC[i] = nullptr;
    }
  }
  if (!made) delete_pages(wd);
  ReleaseMutex(wd->hDCMutex);
  ReleaseDC(wd->hWnd, screen);
  return made;
}

void reset_input(WindowData* wd) {
  KelLockGuard guard(wd->input_lock);
  for (int k = 0; k < KEL__MOUSE_KINDS; ++k) {
    wd->mouse_handlers[k] = nullptr;
    wd->queue_status[k] = false;
  }
}

// Ends a window whose pages could not be made: the record is detached first,
// so the destroy notification finds nothing to release.
void abandon_window(WindowData* wd) {
  showerrorbox(nullptr);
  store_record(wd->hWnd, nullptr);
  CloseHandle(wd->hDCMutex);
  wd->hDCMutex = nullptr;
  DestroyWindow(wd->hWnd);
}

// Records of ended windows are kept a while before they are freed: a thread
// that looked the window up just before it ended may still be using its
// record (its pages are gone, its handles still valid).
void retire_record(WindowData* wd) {
  const size_t kRetiredKept = 64;
  static KelLock lock;
  static std::deque<WindowData*>* const retired = new std::deque<WindowData*>;
  if (HANDLE own = wd->thread.exchange(nullptr)) CloseHandle(own);
  WindowData* oldest = nullptr;
  {
    KelLockGuard guard(lock);
    retired->push_back(wd);
    if (retired->size() <= kRetiredKept) return;
    oldest = retired->front();
    retired->pop_front();
  }
  KEL__DiscardRecord(oldest);
}

}  // namespace

void KEL__DiscardRecord(WindowData* wd) {
  CloseHandle(wd->key_event);
  CloseHandle(wd->ready_event);
  if (wd->hDCMutex) CloseHandle(wd->hDCMutex);
  if (HANDLE thread = wd->thread.exchange(nullptr)) CloseHandle(thread);
  delete wd;
}

DWORD WINAPI KEL__ThreadInitWindow(LPVOID pThreadData) {
  WindowData* wd = static_cast<WindowData*>(pThreadData);
  HWND hwnd = create_window(wd);
  if (!hwnd) {
    showerrorbox(nullptr);
    return 0;
  }
  append_menu_commands(hwnd);
  wd->hWnd = hwnd;
  store_record(hwnd, wd);
  wd->active_page = 0;
  wd->visual_page = 0;
  reset_input(wd);
  if (!create_pages(wd)) {
    abandon_window(wd);
    return 0;
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  SetEvent(wd->ready_event);

  MSG msg = {};
  while (GetMessage(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  retire_record(wd);
  return static_cast<DWORD>(msg.wParam);
}

// -------------------------------------------------------- window procedure
void cls_OnClose(HWND /*hWnd*/) { exit(0); }

void cls_OnDestroy(HWND hWnd) {
  WindowData* wd = KEL__GetWindowDataPtr(hWnd);
  if (wd) {
    WaitForSingleObject(wd->hDCMutex, KEL__PAGE_WAIT_MS);
    delete_pages(wd);
    ReleaseMutex(wd->hDCMutex);
  }
  PostQuitMessage(0);
}

// Copies the invalid rectangle from the visual page, at the same client
// position, to the window. The page is given back before the picture goes
// to the display, so drawing goes on meanwhile.
void cls_OnPaint(HWND hWnd) {
  WindowData* wd = KEL__GetWindowDataPtr(hWnd);
  PAINTSTRUCT ps;
  if (!wd) {
    BeginPaint(hWnd, &ps);
    EndPaint(hWnd, &ps);
    return;
  }
  WaitForSingleObject(wd->hDCMutex, INFINITE);
  HDC screen = BeginPaint(hWnd, &ps);
  HDC source = wd->hDC[wd->visual_page];
  int width = ps.rcPaint.right - ps.rcPaint.left;
  int height = ps.rcPaint.bottom - ps.rcPaint.top;
  POINT from = {ps.rcPaint.left, ps.rcPaint.top};
  DPtoLP(source, &from, 1);
  BitBlt(screen, ps.rcPaint.left, ps.rcPaint.top, width, height, source, from.x, from.y, SRCCOPY);
  ReleaseMutex(wd->hDCMutex);
  EndPaint(hWnd, &ps);
}

LRESULT CALLBACK WndProc(HWND hWnd, UINT uiMessage, WPARAM wParam, LPARAM lParam) {
  WindowData* wd = KEL__GetWindowDataPtr(hWnd);
  KEL__NoteInput(hWnd, uiMessage, wParam, lParam);
  if (wd && uiMessage >= WM_MOUSEMOVE && uiMessage <= WM_MBUTTONDBLCLK)
    KEL__FeedMouse(wd, uiMessage, lParam);
  switch (uiMessage) {
    case WM_DESTROY:
      cls_OnDestroy(hWnd);
      return 0;
    case KEL__WM_ENDWINDOW:
      DestroyWindow(hWnd);
      return 0;
    case WM_PAINT:
      cls_OnPaint(hWnd);
      return 0;
    case WM_CLOSE:
      if (wd && wd->closeflag) cls_OnClose(hWnd);
      return 1;
    case WM_NCHITTEST: {
      // A window without caption bar is dragged by its frame.
      LRESULT hit = DefWindowProcA(hWnd, uiMessage, wParam, lParam);
      if (hit == HTCLIENT || !wd || !wd->title.empty()) return hit;
      return HTCAPTION;
    }
    case WM_KEYDOWN:
      cls_OnKey(hWnd, static_cast<unsigned>(wParam), TRUE, static_cast<SHORT>(LOWORD(lParam)),
                HIWORD(lParam));
      return 0;
    case WM_CHAR:
      cls_OnChar(hWnd, static_cast<char>(wParam & 0xFF), static_cast<SHORT>(LOWORD(lParam)));
      return 0;
    case WM_LBUTTONDBLCLK:
      return 1;
#ifdef _WIN32
    case WM_GETMINMAXINFO:
      // The system makes a captioned window at least as wide as its caption
      // buttons; the client area is the size the program asked for.
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{0, 0};
      return 0;
#endif
    case WM_SYSCOMMAND:
      if (run_menu_command(hWnd, LOWORD(wParam))) return 0;
      return DefWindowProcA(hWnd, uiMessage, wParam, lParam);
    default:
      return DefWindowProcA(hWnd, uiMessage, wParam, lParam);
  }
}

// ---------------------------------------------------------------- keyboard
namespace {

// The code that follows the 0 byte for a special key, or 0 for other keys.
int special_key_code(unsigned vk) {
  switch (vk) {
    case VK_CLEAR:
      return KEY_CENTER;
    case VK_PRIOR:
      return KEY_PGUP;
    case VK_NEXT:
      return KEY_PGDN;
    case VK_END:
      return KEY_END;
    case VK_HOME:
      return KEY_HOME;
    case VK_LEFT:
      return KEY_LEFT;
    case VK_UP:
      return KEY_UP;
    case VK_RIGHT:
      return KEY_RIGHT;
    case VK_DOWN:
      return KEY_DOWN;
    case VK_INSERT:
      return KEY_INSERT;
    case VK_DELETE:
      return KEY_DELETE;
    default:
      return vk >= VK_F1 && vk <= VK_F9 ? KEY_F1 + static_cast<int>(vk - VK_F1) : 0;
  }
}

void queue_keys(WindowData* wd, const char* bytes, int count) {
  {
    KelLockGuard guard(wd->input_lock);
    wd->key_queue.insert(wd->key_queue.end(), bytes, bytes + count);
  }
  SetEvent(wd->key_event);
}

}  // namespace

void cls_OnChar(HWND hWnd, char ch, int repeat) {
  WindowData* wd = KEL__GetWindowDataPtr(hWnd);
  if (wd) queue_keys(wd, &ch, 1);
  DefWindowProcA(hWnd, WM_CHAR, static_cast<WPARAM>(static_cast<int>(ch)),
                 static_cast<LPARAM>(static_cast<WORD>(repeat)));
}

void cls_OnKey(HWND hWnd, unsigned vk, int /*down*/, int repeat, unsigned flags) {
  WindowData* wd = KEL__GetWindowDataPtr(hWnd);
  int code = special_key_code(vk);
  if (wd && code) {
    const char pair[2] = {0, static_cast<char>(code)};
    queue_keys(wd, pair, 2);
  }
  DefWindowProcA(hWnd, WM_KEYDOWN, vk, MAKELPARAM(repeat, flags));
}

// Waits while the current window's key queue is empty. A signal left over
// from bytes that were already queued is cleared, so it cannot wake a later
// wait on an empty queue.
int getch(void) {
  WindowData* wd = KEL__GetWindowDataPtr();
  for (bool waited = false;; waited = true) {
    bool took = false;
    char byte = 0;
    {
      KelLockGuard guard(wd->input_lock);
      if (!wd->key_queue.empty()) {
        byte = wd->key_queue.front();
        wd->key_queue.pop_front();
        took = true;
      }
    }
    if (took) {
      if (!waited) ResetEvent(wd->key_event);
      return static_cast<signed char>(byte);
    }
    if (KEL__ScriptActive()) {
      if (!KEL__ScriptStep()) KEL__ScriptEnded();
      continue;
    }
    WaitForSingleObject(wd->key_event, INFINITE);
  }
}

// In a scripted run a poll that finds no key delivers one scripted event
// and looks again.
int kbhit(void) {
  WindowData* wd = KEL__GetWindowDataPtr();
  for (int look = 0;; ++look) {
    {
      KelLockGuard guard(wd->input_lock);
      if (!wd->key_queue.empty()) return 1;
    }
    if (look > 0 || !KEL__ScriptStep()) return 0;
  }
}
