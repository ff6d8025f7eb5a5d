// The library's internal header: the window record, the registry of windows,
// the record lookup and the page bracket that every drawing function uses,
// and the helpers shared between the library's source files.
#ifndef KEL_KEL_INTERNAL_H
#define KEL_KEL_INTERNAL_H

#include <atomic>
#include <deque>
#include <string>

#include "platform.h"
#include "graphics.h"
#include "kel/errorbox.h"

// The system headers make these names macros for their ANSI/wide variants;
// the library defines functions of its own with these names (the error-box
// helpers' header does the same for its own).
#ifdef _WIN32
#undef GetMessage
#undef DispatchMessage
#endif

// A small lock for data that two threads touch for a moment (input queues,
// registry updates). Waiters give up their time slice rather than spin hard.
class KelLock {
 public:
  void lock() {
    while (busy_.exchange(true, std::memory_order_acquire)) {
      while (busy_.load(std::memory_order_relaxed)) Sleep(0);
    }
  }
  void unlock() { busy_.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> busy_{false};
};

class KelLockGuard {
 public:
  explicit KelLockGuard(KelLock& lock) : lock_(lock) { lock_.lock(); }
  ~KelLockGuard() { lock_.unlock(); }
  KelLockGuard(const KelLockGuard&) = delete;
  KelLockGuard& operator=(const KelLockGuard&) = delete;

 private:
  KelLock& lock_;
};

// The advance of each character of the pages' font, learnt as text is
// measured, so that textwidth adds them up without taking the page mutex.
// Changes (learn, forget) are made with the page mutex held; a reader's pass
// is checked against the count of font changes and fails when one came in
// between.
class CharWidths {
 public:
  CharWidths();
  // The advances of the text's characters added up; -1 when one is not
  // known yet or the font changed during the pass.
  long long sum(const unsigned char* text, size_t length) const;
  bool known(unsigned char c) const { return advance_[c].load(std::memory_order_relaxed) >= 0; }
  void learn(unsigned char c, int advance);
  // The font changed: every advance is unknown again.
  void forget();

 private:
  std::atomic<unsigned> changes_{0};  // odd while forget runs
  std::atomic<int> advance_[256];
};

// Number of mouse event kinds (messages 0x200..0x209); index = kind - 0x200.
const int KEL__MOUSE_KINDS = 10;
// Bound of every wait for a window's page mutex by a program thread.
const DWORD KEL__PAGE_WAIT_MS = 5000;

typedef void (*MouseHandler)(int x, int y);

// Everything the library keeps for one window. Fields up to hDCMutex are in
// the order of the record's definition; then the advances textwidth adds
// up, and the lock that guards the input fields (key_queue, mouse,
// mouse_queue, queue_status, mouse_handlers) between the window thread and
// the program's threads.
struct WindowData {
  int width = 0;
  int height = 0;
  int left = 0;
  int top = 0;
  std::string title;
  std::deque<char> key_queue;
  arccoordstype arcinfo = {};
  fillsettingstype fill = {};
  char uPattern[8] = {};
  linesettingstype line = {};
  textsettingstype text = {};
  // Glyph-pixel size of font 0 as the library draws it (console_text.cpp)
  // since the pages' font was last built; 0 while they use a platform font.
  int console_scale = 0;
  viewporttype viewport = {};
  HWND hWnd = nullptr;
  HDC hDC[4] = {};
  HBITMAP initial_bitmap[4] = {};
  std::atomic<int> visual_page{0};
  std::atomic<int> active_page{0};
  bool dbflag = false;
  std::atomic<bool> closeflag{false};
  int drawing_color = 0;
  int bk_color = 0;
  HANDLE key_event = nullptr;
  HANDLE ready_event = nullptr;
  DWORD thread_id = 0;
  int error_code = 0;
  int x_aspect_ratio = 0;
  int y_aspect_ratio = 0;
  int t_scale[4] = {};
  int text_cp_mode = 0;
  POINTS mouse = {};
  std::deque<POINTS> mouse_queue[KEL__MOUSE_KINDS];
  bool queue_status[KEL__MOUSE_KINDS] = {};
  MouseHandler mouse_handlers[KEL__MOUSE_KINDS] = {};
  std::atomic<bool> refreshing{false};
  HANDLE hDCMutex = nullptr;

  CharWidths char_widths;

  KelLock input_lock;
  // The window thread's handle, until closegraph takes it to wait for the
  // thread's end, or the thread closes it itself as it ends.
  std::atomic<HANDLE> thread{nullptr};
};

// The request closegraph sends a window that has left the registry: its
// thread destroys it, which releases the pages and ends the thread.
const UINT KEL__WM_ENDWINDOW = WM_USER + 0x4B45;

// Closes a record's events, page mutex and thread handle and frees it.
void KEL__DiscardRecord(WindowData* wd);

// ----------------------------------------------------------------- registry
// The window table: index = window number; an entry becomes null when the
// window is closed. Entries are never removed and numbers never reused.
// Lookups are lock-free (the drawing hot path reads it on every call); the
// table lives in static storage with no destructor, so a thread may still use
// it while the process exits.
class WindowTable {
 public:
  // The handle of window n, or null when n names no table entry.
  HWND operator[](int n) const {
    if (n < 0 || n >= kChunkSize * kMaxChunks) return nullptr;
    std::atomic<HWND>* chunk = chunks_[n / kChunkSize].load(std::memory_order_acquire);
    return chunk ? chunk[n % kChunkSize].load(std::memory_order_acquire) : nullptr;
  }
  // Stores the handle of window n; false when the table is full.
  bool store(int n, HWND hwnd);

 private:
  static const int kChunkSize = 256;
  static const int kMaxChunks = 4096;
  std::atomic<std::atomic<HWND>*> chunks_[kMaxChunks] = {};
};

extern WindowTable KEL__WindowTable;
extern std::atomic<int> KEL__WindowCount;    // windows ever registered
extern std::atomic<int> KEL__CurrentWindow;  // -3: no current window
extern HINSTANCE KEL__hInstance;

// Appends the window to the table and makes it current; its number, or -1
// when the table is full.
int KEL__RegisterWindow(HWND hwnd);
// Empties the table entry of a live window (and the current window when it
// was that one); false when `wid` names no live window.
bool KEL__UnregisterWindow(int wid);

// Whether `hwnd` is a window of the library that is still in the registry;
// a function given any other handle ignores it.
bool KEL__IsLibraryWindow(HWND hwnd);

// The record of `hWnd`, or of the current window when it is null. With no
// current window: the error box, then exit(0).
WindowData* KEL__GetWindowDataPtr(HWND hWnd = nullptr);
// The record for a public function's window argument: the current window's
// when it is null, none (null) when it is not a window of the library.
WindowData* KEL__WindowOfHandle(HWND hwnd);
// Takes the window's page mutex (at most 5000 ms) and returns the memory
// device context of its active page.
HDC KEL__GetWinkelDC(HWND hWnd = nullptr);
// Gives the page mutex back. With no handle it is the mutex that this
// thread's matching KEL__GetWinkelDC took, whatever the current window is now.
void KEL__ReleaseWinkelDC(HWND hWnd = nullptr);
// The record whose page this thread holds through KEL__GetWinkelDC with no
// handle (the innermost one); the current window's when it holds none.
WindowData* KEL__HeldWindowData();

// The active page of the current window (or of the window `hWnd`), held from
// construction until release() or the end of the scope: every public function
// that draws on or reads a page holds it through one of these.
class HeldPage {
 public:
  explicit HeldPage(HWND hWnd = nullptr) : hwnd_(hWnd), dc_(KEL__GetWinkelDC(hWnd)) {}
  ~HeldPage() { release(); }
  HeldPage(const HeldPage&) = delete;
  HeldPage& operator=(const HeldPage&) = delete;
  HDC dc() const { return dc_; }
  // The record the page belongs to.
  WindowData* wd() const { return hwnd_ ? KEL__GetWindowDataPtr(hwnd_) : KEL__HeldWindowData(); }
  // Gives the page back before the scope ends; later calls do nothing.
  void release() {
    if (!held_) return;
    held_ = false;
    KEL__ReleaseWinkelDC(hwnd_);
  }

 private:
  HWND hwnd_;
  HDC dc_;
  bool held_ = true;
};

// Holds a window's page mutex for a scope, for the functions that change all
// four pages at once. The wait is bounded and its outcome not examined.
class PageLock {
 public:
  explicit PageLock(const WindowData* wd) : mutex_(wd->hDCMutex) {
    WaitForSingleObject(mutex_, KEL__PAGE_WAIT_MS);
  }
  ~PageLock() { ReleaseMutex(mutex_); }
  PageLock(const PageLock&) = delete;
  PageLock& operator=(const PageLock&) = delete;

 private:
  HANDLE mutex_;
};

// ------------------------------------------------------ page copies
// A rectangle (corners inclusive, clamped to the window) of a window's active
// or visual page, copied into a memory bitmap selected into `dc`: the capture
// step shared by writeimagefile and printimage. Made while the page mutex is
// held; the bitmap and the context go with the copy.
class KEL__PageCopy {
 public:
  KEL__PageCopy(WindowData* wd, bool active, int left, int top, int right, int bottom);
  ~KEL__PageCopy();
  KEL__PageCopy(const KEL__PageCopy&) = delete;
  KEL__PageCopy& operator=(const KEL__PageCopy&) = delete;
  // Takes the bitmap out of the context, as converting it requires.
  void deselect() { SelectObject(dc, old_bitmap); }

  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  int width = 0;
  int height = 0;

 private:
  HGDIOBJ old_bitmap = nullptr;
};

// What `read` returns for the current window's record, read under its page
// mutex, so that a reader never sees a setting half written.
template <typename Read>
auto KEL__ReadState(Read read) {
  WindowData* wd = KEL__GetWindowDataPtr();
  PageLock lock(wd);
  return read(*wd);
}

// ------------------------------------------------------------ error box
// showerrorbox, FormatMessage, SendMessage, MessageBox: kel/errorbox.h.
// Pass-throughs to the platform's ANSI functions.
BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max);
LRESULT DispatchMessage(const MSG* msg);

// ---------------------------------------------------- start-up and windows
bool DllMain_MGM(HINSTANCE hinstDll, unsigned long Reason, void* Reserved);
int registerWindowClass();
void unregisterWindowClass();
DWORD WINAPI KEL__ThreadInitWindow(LPVOID pThreadData);

// Window procedure of the class "KELLibrary" and its handlers.
LRESULT CALLBACK WndProc(HWND hWnd, UINT uiMessage, WPARAM wParam, LPARAM lParam);
void cls_OnClose(HWND hWnd);
void cls_OnDestroy(HWND hWnd);
void cls_OnPaint(HWND hWnd);
void cls_OnKey(HWND hWnd, unsigned vk, int down, int repeat, unsigned flags);
void cls_OnChar(HWND hWnd, char ch, int repeat);

// ------------------------------------------------------------ refresh
// Asks for the repaint of `rect` (active page's logical coordinates, right
// and bottom exclusive; converted in place to client coordinates), or of the
// whole window when it is null, following the refresh rules.
void RefreshWindow(RECT* rect);
// Converts `rect` in place from the page's logical to client coordinates:
// the viewport origin is added with saturation, so a box near an end of the
// int range stays beyond the window (the system's LPtoDP wraps it round to
// the other end, where it may cover part of the window).
void LogicalToClient(HDC dc, RECT* rect);

// ------------------------------------------------------------- colours
// The 16 standard colours as platform RGB values; all zero until the first
// graphdefaults. Shared by all windows.
extern std::atomic<unsigned> KEL__Colors[16];
// Index of the first standard colour equal to `rgb`, else rgb | 0x03000000.
int KEL__ColorValueOf(COLORREF rgb);

// Whether figures go to the system GDI of Windows rather than the portable
// platform. The library hands that GDI figures that any faithful GDI draws
// as the portable platform does (one-pixel pens, box edges, curves far
// beyond the page); everything else is the same on both.
#ifdef _WIN32
constexpr bool KEL__SystemGdi = true;
#else
constexpr bool KEL__SystemGdi = false;
#endif

// -------------------------------------------------------- pens, brushes
// A dash list for the pen: `count` entries used, dash and gap lengths.
struct LinePattern {
  int count;
  DWORD entries[16];
};
// Rebuilds the pen of all four pages from the drawing colour and line style.
void CreateNewPen();
// The width of the pen the platform gets for the window's line thickness:
// at least 1 and, on Windows, at most twice the window's width and height
// together, which covers the whole page from any figure near it. The system
// builds a wide outline as polygons as large as the pen (Wine did not
// return for a width of INT_MAX, nor within minutes for 65536); the
// portable platform draws by rows of the page whatever the width.
int PenWidth(const WindowData* wd);
// The dash list of the user line pattern (low 16 bits of line.upattern).
LinePattern CreateUserStyle();
// The dash list of a line style; none (count 0) for the solid styles.
LinePattern PenDashes(const linesettingstype& line);
// The runs of pixels a one-pixel line of the style lights and leaves
// (lit first, counted along the longer axis); none for the solid styles.
LinePattern PenPixelRuns(const linesettingstype& line);

// ------------------------------------------------------------- geometry
void CenterToBox(int x, int y, int xradius, int yradius, int& left, int& top, int& right,
                 int& bottom);
void ArcEndPoints(int x, int y, int xradius, int yradius, int stangle, int endangle, int& xstart,
                  int& ystart, int& xend, int& yend);

// ---------------------------------------------------------------- mouse
bool MouseKindInRange(int kind);
// The mouse step of the window procedure for a message of kind 0x200..0x209:
// queue the point, store it as the last position, then call the handler
// (without holding any lock).
void KEL__FeedMouse(WindowData* wd, UINT kind, LPARAM lParam);

// ------------------------------------------------------- input state
// Keeps the key state and pointer position that kel/compat/windows.h reports,
// from every message the window procedure receives.
void KEL__NoteInput(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// --------------------------------------------------- scripted headless runs
// With KEL_SCRIPT set, the program's waits for input (getch and kbhit on an
// empty key queue, ismouseclick with no event, delay) each deliver the next
// event of the script to the current window and wait until it is handled;
// delay then does not sleep. False when there is no script or it has ended.
bool KEL__ScriptStep();
bool KEL__ScriptActive();
// getch found no key and the script has ended: the picture is saved and the
// program ends with status 3 rather than waiting for ever.
void KEL__ScriptEnded();
// With KEL_SNAPSHOT set, the current window's visual page is saved there as a
// BMP file once: at the first closegraph or at exit.
void KEL__Snapshot();
void KEL__ArmSnapshot();

#endif  // KEL_KEL_INTERNAL_H
