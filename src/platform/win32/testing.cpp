// The testing interface on Windows, on the system's own services: waiting
// for a window thread, forcing and holding paints, reading what a window
// shows, and answering message boxes, file dialogs and print dialogs.
//
// Every window a test touches is subclassed: its procedure answers a private
// message on the window's own thread (so waits and paints need no
// cross-thread sends that could block), and keeps the paints back while they
// are held. Message boxes and file dialogs are answered by replacing the
// program's import slots of MessageBoxA, GetOpenFileNameA, GetSaveFileNameA
// and PrintDlgA when the program starts: with no handler installed a box is
// written to standard error and answered OK, as the portable platform's
// headless display does, and a file dialog is cancelled; a print dialog
// always is (there are no virtual printers here), so no test ever waits for
// a user.
// InvalidateRect's slot is replaced too, so that the program's invalidations
// and the hand-over of a held paint come one at a time.
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include "platform_testing.h"

namespace {

// ---------------------------------------------------------- dialog answers
// A handler that any thread may install while others call it.
template <typename Handler>
class HandlerSlot {
 public:
  Handler get() {
    std::lock_guard<std::mutex> lock(mutex_);
    return handler_;
  }
  void set(Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(handler);
  }

 private:
  std::mutex mutex_;
  Handler handler_;
};

// Used until the process ends: boxes may come while exit() runs.
HandlerSlot<kelplat::testing::MessageBoxHandler>& message_box_slot() {
  static auto* slot = new HandlerSlot<kelplat::testing::MessageBoxHandler>;
  return *slot;
}

HandlerSlot<kelplat::testing::FileDialogHandler>& file_dialog_slot() {
  static auto* slot = new HandlerSlot<kelplat::testing::FileDialogHandler>;
  return *slot;
}

int WINAPI answer_message_box(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  std::string body = text ? text : "";
  std::string title = caption ? caption : "Error";
  if (auto handler = message_box_slot().get()) return handler(body, title, type);
  std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
  std::fflush(stderr);
  return IDOK;
}

BOOL answer_file_dialog(OPENFILENAMEA* ofn, bool save) {
  if (!ofn || ofn->lStructSize < sizeof(OPENFILENAMEA) || !ofn->lpstrFile || ofn->nMaxFile == 0)
    return FALSE;
  auto handler = file_dialog_slot().get();
  if (!handler || !handler(ofn, save)) return FALSE;
  ofn->lpstrFile[ofn->nMaxFile - 1] = '\0';
  return TRUE;
}

BOOL WINAPI answer_open_dialog(LPOPENFILENAMEA ofn) { return answer_file_dialog(ofn, false); }
BOOL WINAPI answer_save_dialog(LPOPENFILENAMEA ofn) { return answer_file_dialog(ofn, true); }
// No test prints on a real printer: the print dialog is cancelled.
BOOL WINAPI answer_print_dialog(LPPRINTDLGA) { return FALSE; }

// Points the program's import slot of the function `name` (from any DLL) at
// `replacement`.
void replace_import(const char* name, const void* replacement) {
  BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!imports.VirtualAddress) return;
  auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
  for (; dll->Name; ++dll) {
    if (!dll->OriginalFirstThunk) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), name) != 0) continue;
      DWORD protection = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
    }
  }
}

// -------------------------------------------------------- window subclass
// What is kept for a window a test has touched.
struct Watched {
  WNDPROC original = nullptr;
  bool held = false;
  HRGN held_region = nullptr;  // invalidated while held, not yet painted
};

// What the window thread is asked to do with the private message.
enum Request : WPARAM { kSettle, kPaint };

struct Watch {
  std::mutex mutex;
  std::map<HWND, Watched> windows;
  UINT message = RegisterWindowMessageA("kel testing request");
  // Set by a window thread when it has done what it was asked.
  HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::mutex request_mutex;  // one request at a time
};

Watch& watch() {
  static Watch* made = new Watch;  // window threads may use it while exit() runs
  return *made;
}

// The program's invalidations go through the watch's mutex, which a held
// paint holds while it moves the update region into the held one and
// validates the window: an invalidation landing between those two steps
// would otherwise be validated without ever being seen.
using InvalidateRectFunction = BOOL(WINAPI*)(HWND, const RECT*, BOOL);
const InvalidateRectFunction system_invalidate_rect = reinterpret_cast<InvalidateRectFunction>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "InvalidateRect")));

BOOL WINAPI invalidate_in_turn(HWND hwnd, const RECT* rect, BOOL erase) {
  std::lock_guard<std::mutex> lock(watch().mutex);
  return system_invalidate_rect(hwnd, rect, erase);
}

const bool imports_replaced = [] {
  replace_import("MessageBoxA", reinterpret_cast<const void*>(&answer_message_box));
  replace_import("GetOpenFileNameA", reinterpret_cast<const void*>(&answer_open_dialog));
  replace_import("GetSaveFileNameA", reinterpret_cast<const void*>(&answer_save_dialog));
  replace_import("PrintDlgA", reinterpret_cast<const void*>(&answer_print_dialog));
  replace_import("InvalidateRect", reinterpret_cast<const void*>(&invalidate_in_turn));
  return true;
}();

// True when messages other than paints are still waiting in the calling
// thread's queue.
bool more_waiting() {
  return HIWORD(GetQueueStatus(QS_ALLINPUT & ~QS_PAINT)) != 0;
}

// Keeps the update region (painted or not) in the window's held region and
// marks the window valid.
void hold_back_paint(HWND hwnd, Watched& watched) {
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  if (GetUpdateRgn(hwnd, update, FALSE) != NULLREGION)
    CombineRgn(watched.held_region, watched.held_region, update, RGN_OR);
  DeleteObject(update);
  ValidateRect(hwnd, nullptr);
}

void answer_request(HWND hwnd, WPARAM request, LPARAM rounds) {
  // Messages posted before the request came out first; ones posted while
  // they were handled are waited for with another round.
  if (more_waiting() && rounds < 1000) {
    PostMessageA(hwnd, watch().message, request, rounds + 1);
    return;
  }
  if (request == kPaint) {
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateWindow(hwnd);
  }
  SetEvent(watch().done);
}

LRESULT CALLBACK watched_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WNDPROC original = nullptr;
  {
    std::lock_guard<std::mutex> lock(watch().mutex);
    auto found = watch().windows.find(hwnd);
    if (found == watch().windows.end()) return DefWindowProcA(hwnd, message, wparam, lparam);
    Watched& watched = found->second;
    original = watched.original;
    if (message == WM_PAINT && watched.held) {
      hold_back_paint(hwnd, watched);
      return 0;
    }
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      DeleteObject(watched.held_region);
      watch().windows.erase(found);
    }
  }
  if (message == watch().message) {
    answer_request(hwnd, wparam, lparam);
    return 0;
  }
  return CallWindowProcA(original, hwnd, message, wparam, lparam);
}

// The record of a watched window, or null; the caller holds the mutex.
Watched* find(HWND hwnd) {
  auto found = watch().windows.find(hwnd);
  return found == watch().windows.end() ? nullptr : &found->second;
}

// The window's record, subclassing it on first use; null when `hwnd` is no
// window of another thread of this process.
Watched* watched(HWND hwnd) {
  DWORD process = 0;
  DWORD thread = GetWindowThreadProcessId(hwnd, &process);
  if (!thread || process != GetCurrentProcessId() || thread == GetCurrentThreadId()) return nullptr;
  std::lock_guard<std::mutex> lock(watch().mutex);
  if (Watched* known = find(hwnd)) return known;
  Watched& made = watch().windows[hwnd];
  made.held_region = CreateRectRgn(0, 0, 0, 0);
  made.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&watched_procedure)));
  return &made;
}

// Asks the window's thread to handle everything posted so far and then do
// `request`; false on time-out or when the window is gone.
bool ask(HWND hwnd, Request request, int timeout_ms) {
  if (!watched(hwnd)) return false;
  std::lock_guard<std::mutex> one_at_a_time(watch().request_mutex);
  ResetEvent(watch().done);
  if (!PostMessageA(hwnd, watch().message, request, 0)) return false;
  return WaitForSingleObject(watch().done, DWORD(timeout_ms)) == WAIT_OBJECT_0;
}

}  // namespace

namespace kelplat::testing {

bool wait_idle(HWND hwnd, int timeout_ms) { return ask(hwnd, kSettle, timeout_ms); }

bool flush_paint(HWND hwnd, int timeout_ms) { return ask(hwnd, kPaint, timeout_ms); }

std::vector<uint32_t> shown_pixels(HWND hwnd, int* width, int* height) {
  if (width) *width = 0;
  if (height) *height = 0;
  RECT client;
  if (!IsWindow(hwnd) || !GetClientRect(hwnd, &client)) return {};
  const int w = client.right, h = client.bottom;
  std::vector<uint32_t> pixels(size_t(w) * size_t(h));
  if (pixels.empty()) return {};
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(hwnd);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP copy = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, copy);
  BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const uint32_t* row = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = row[i] & 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(copy);
  DeleteDC(memory);
  ReleaseDC(hwnd, screen);
  if (width) *width = w;
  if (height) *height = h;
  return pixels;
}

void hold_painting(HWND hwnd, bool hold) {
  if (!watched(hwnd)) return;
  std::lock_guard<std::mutex> lock(watch().mutex);
  Watched* w = find(hwnd);
  if (!w) return;
  w->held = hold;
  if (hold) return;
  // What was held back is painted now.
  InvalidateRgn(hwnd, w->held_region, FALSE);
  SetRectRgn(w->held_region, 0, 0, 0, 0);
}

bool invalid_rect(HWND hwnd, RECT* rect) {
  if (!watched(hwnd)) return false;
  HRGN invalid = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(hwnd, invalid, FALSE);
  {
    std::lock_guard<std::mutex> lock(watch().mutex);
    if (Watched* w = find(hwnd)) CombineRgn(invalid, invalid, w->held_region, RGN_OR);
  }
  RECT box = {0, 0, 0, 0};
  bool any = GetRgnBox(invalid, &box) != NULLREGION;
  DeleteObject(invalid);
  if (rect) *rect = box;
  return any;
}

void validate(HWND hwnd) {
  if (!watched(hwnd)) return;
  std::lock_guard<std::mutex> lock(watch().mutex);
  ValidateRect(hwnd, nullptr);
  if (Watched* w = find(hwnd)) SetRectRgn(w->held_region, 0, 0, 0, 0);
}

void set_message_box_handler(MessageBoxHandler handler) { message_box_slot().set(std::move(handler)); }

void set_file_dialog_handler(FileDialogHandler handler) { file_dialog_slot().set(std::move(handler)); }

std::string backend_name() { return "windows"; }

}  // namespace kelplat::testing
