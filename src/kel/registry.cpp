// The registry of windows and the record lookup that every public function
// starts with: window numbers, the current window, and the bracket around
// each use of the active page's device context.
#include <cstdlib>
#include <new>

#include "kel_internal.h"

WindowTable KEL__WindowTable;
std::atomic<int> KEL__WindowCount{0};
std::atomic<int> KEL__CurrentWindow{NO_CURRENT_WINDOW};
HINSTANCE KEL__hInstance = nullptr;

namespace {

// Serialises changes of the registry; lookups never take it.
KelLock registry_lock;

bool is_live(int wid) {
  return wid >= 0 && wid < KEL__WindowCount.load() && KEL__WindowTable[wid] != nullptr;
}

}  // namespace

// Called with the registry lock held. Chunks are never freed: a lookup on
// another thread may still be reading one while the process exits.
bool WindowTable::store(int n, HWND hwnd) {
  if (n < 0 || n >= kChunkSize * kMaxChunks) return false;
  std::atomic<std::atomic<HWND>*>& slot = chunks_[n / kChunkSize];
  std::atomic<HWND>* chunk = slot.load(std::memory_order_acquire);
  if (!chunk) {
    chunk = new (std::nothrow) std::atomic<HWND>[kChunkSize]();
    if (!chunk) return false;
    slot.store(chunk, std::memory_order_release);
  }
  chunk[n % kChunkSize].store(hwnd, std::memory_order_release);
  return true;
}

int KEL__RegisterWindow(HWND hwnd) {
  KelLockGuard guard(registry_lock);
  int number = KEL__WindowCount.load();
  if (!KEL__WindowTable.store(number, hwnd)) return -1;
  KEL__WindowCount.store(number + 1);
  KEL__CurrentWindow.store(number);
  return number;
}

bool KEL__UnregisterWindow(int wid) {
  KelLockGuard guard(registry_lock);
  if (!is_live(wid)) return false;
  KEL__WindowTable.store(wid, nullptr);
  int current = wid;
  KEL__CurrentWindow.compare_exchange_strong(current, NO_CURRENT_WINDOW);
  return true;
}

bool KEL__IsLibraryWindow(HWND hwnd) {
  if (!hwnd) return false;
  int count = KEL__WindowCount.load(std::memory_order_acquire);
  for (int i = 0; i < count; ++i)
    if (KEL__WindowTable[i] == hwnd) return true;
  return false;
}

WindowData* KEL__WindowOfHandle(HWND hwnd) {
  if (hwnd && !KEL__IsLibraryWindow(hwnd)) return nullptr;
  return KEL__GetWindowDataPtr(hwnd);
}

int getcurrentwindow(void) { return KEL__CurrentWindow.load(); }

void setcurrentwindow(int window) {
  KelLockGuard guard(registry_lock);
  if (is_live(window)) KEL__CurrentWindow.store(window);
}

WindowData* KEL__GetWindowDataPtr(HWND hWnd) {
  const bool want_current = hWnd == nullptr;
  if (want_current) {
    int current = KEL__CurrentWindow.load(std::memory_order_acquire);
    if (current >= 0 && current < KEL__WindowCount.load(std::memory_order_acquire))
      hWnd = KEL__WindowTable[current];
  }
#ifdef _WIN64
  LONG_PTR slot = hWnd ? GetWindowLongPtrA(hWnd, GWLP_USERDATA) : 0;
#else
  LONG_PTR slot = hWnd ? (LONG_PTR)GetWindowLongA(hWnd, GWL_USERDATA) : 0;
#endif
  WindowData* record = reinterpret_cast<WindowData*>(slot);
  // A registered window always has its record; one that the platform has
  // destroyed meanwhile counts as no window at all.
  if (!hWnd || (want_current && !record)) {
    showerrorbox("Drawing operation was attempted when there was no current window.");
    exit(0);
  }
  return record;
}

// The pages this thread holds through KEL__GetWinkelDC with no handle,
// innermost last. Releasing gives back the page mutex that was taken, even
// when another thread has changed the current window meanwhile.
namespace {

struct HeldPages {
  static const int kMaxDepth = 16;
  WindowData* records[kMaxDepth];
  int depth;
};
thread_local HeldPages held_pages;

}  // namespace

// A window given by handle that has no record (not made by the library, or
// still being made) has no pages: no context, nothing to lock.
HDC KEL__GetWinkelDC(HWND hWnd) {
  WindowData* wd = KEL__GetWindowDataPtr(hWnd);
  if (!wd) return nullptr;
  WaitForSingleObject(wd->hDCMutex, KEL__PAGE_WAIT_MS);
  if (!hWnd) {
    if (held_pages.depth < HeldPages::kMaxDepth) held_pages.records[held_pages.depth] = wd;
    ++held_pages.depth;
  }
  return wd->hDC[wd->active_page.load(std::memory_order_relaxed)];
}

void KEL__ReleaseWinkelDC(HWND hWnd) {
  WindowData* wd = nullptr;
  if (!hWnd && held_pages.depth > 0) {
    --held_pages.depth;
    if (held_pages.depth < HeldPages::kMaxDepth) wd = held_pages.records[held_pages.depth];
  }
  if (!wd) wd = KEL__GetWindowDataPtr(hWnd);
  if (wd) ReleaseMutex(wd->hDCMutex);
}

WindowData* KEL__HeldWindowData() {
  int depth = held_pages.depth;
  if (depth > 0 && depth <= HeldPages::kMaxDepth) return held_pages.records[depth - 1];
  return KEL__GetWindowDataPtr();
}
