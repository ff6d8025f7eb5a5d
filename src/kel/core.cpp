// The core of the interface: start-up, opening and closing windows, the
// driver-and-mode interface with its error codes, the reset of the drawing
// state, pages and refresh, and the error box.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "kel_internal.h"

// ------------------------------------------------------------- error box
DWORD FormatMessage(DWORD flags, LPCVOID source, DWORD message_id, DWORD language_id, LPSTR buffer,
                    DWORD size, void* arguments) {
#ifdef _WIN32
  return FormatMessageA(flags, source, message_id, language_id, buffer, size,
                        static_cast<va_list*>(arguments));
#else
  return FormatMessageA(flags, source, message_id, language_id, buffer, size, arguments);
#endif
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageA(hwnd, message, wparam, lparam);
}

int MessageBox(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type) {
  return MessageBoxA(hwnd, text, caption, type);
}

void showerrorbox(const char* msg) {
  const UINT kErrorIconOk = 16;
  if (msg) {
    MessageBox(nullptr, msg, "Error", kErrorIconOk);
    return;
  }
  char* text = nullptr;
  const DWORD kAllocateFromSystem = 0x1300;
  FormatMessage(kAllocateFromSystem, nullptr, GetLastError(), 0x400, reinterpret_cast<LPSTR>(&text),
                0, nullptr);
  MessageBox(nullptr, text ? text : "", "Error", kErrorIconOk);
  LocalFree(text);
}

// -------------------------------------------------------------- start-up
int registerWindowClass() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS | CS_SAVEBITS;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = KEL__hInstance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = "KELLibrary";
  if (!RegisterClassExA(&wc)) {
    showerrorbox(nullptr);
    return 0;
  }
  return 1;
}

void unregisterWindowClass() { UnregisterClassA("KELLibrary", KEL__hInstance); }

// Once-only start-up (Reason 1) or shutdown (Reason 0). The flag is set
// before anything else, so a failed first registration is never retried;
// the lock makes concurrent first calls wait for the registration.
bool DllMain_MGM(HINSTANCE hinstDll, unsigned long Reason, void* /*Reserved*/) {
  static KelLock lock;
  static bool started = false;
  KelLockGuard guard(lock);
  if (started) return true;
  started = true;
  if (Reason == 1) {
    KEL__hInstance = hinstDll;
    return registerWindowClass() != 0;
  }
  if (Reason == 0) unregisterWindowClass();
  return true;
}

// --------------------------------------------------------------- windows
namespace {

// Starts the window thread and waits until the window and its pages exist
// (true) or the thread has given up (false).
bool start_window_thread(WindowData* wd) {
  HANDLE thread = CreateThread(nullptr, 0, KEL__ThreadInitWindow, wd, 0, &wd->thread_id);
  if (!thread) {
    showerrorbox(nullptr);
    return false;
  }
  wd->thread = thread;
  HANDLE waits[2] = {thread, wd->ready_event};
  DWORD woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
  return woken != WAIT_OBJECT_0;
}

// Destroys a window that has left the registry, on its own thread, and waits
// until that thread has ended and given everything back. Called from one of
// the window's own handlers, it cannot wait: the thread ends once the
// handler returns.
void end_window(HWND hwnd) {
  WindowData* wd = KEL__GetWindowDataPtr(hwnd);
  if (!wd) return;
  HANDLE thread = wd->thread.exchange(nullptr);
  const bool own_thread = wd->thread_id == GetCurrentThreadId();
  SendMessage(hwnd, KEL__WM_ENDWINDOW, 0, 0);
  if (!thread) return;
  if (!own_thread) WaitForSingleObject(thread, KEL__PAGE_WAIT_MS);
  CloseHandle(thread);
}

}  // namespace

// Negative sizes count as 0 (a window with an empty client area).
int initwindow(int width, int height, const char* title, int left, int top, bool dbflag,
               bool closeflag) {
  if (!DllMain_MGM(nullptr, 1, nullptr)) return -1;
  KEL__ArmSnapshot();
  WindowData* wd = new (std::nothrow) WindowData;
  if (!wd) return -1;
  wd->key_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  wd->ready_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  wd->width = width < 0 ? 0 : width;
  wd->height = height < 0 ? 0 : height;
  wd->left = left;
  wd->top = top;
  wd->title = title ? title : "";
  if (!start_window_thread(wd)) {
    KEL__DiscardRecord(wd);
    return -1;
  }
  // From here on the window thread owns the record.
  int number = KEL__RegisterWindow(wd->hWnd);
  if (number < 0) return -1;
  wd->dbflag = dbflag;
  wd->closeflag = closeflag;
  graphdefaults();
  setcolor(BLACK);
  line(0, 0, wd->width - 1, wd->height - 1);
  setfillstyle(SOLID_FILL, BLACK);
  bar(0, 0, wd->width - 1, wd->height - 1);
  setcolor(WHITE);
  setfillstyle(SOLID_FILL, WHITE);
  return number;
}

int initwindow(int width, int height, char* title, int left, int top, bool dbflag, bool closeflag) {
  return initwindow(width, height, const_cast<const char*>(title), left, top, dbflag, closeflag);
}

void closegraph(int wid) {
  KEL__Snapshot();
  if (wid == CURRENT_WINDOW) {
    int current = KEL__CurrentWindow.load();
    if (current >= 0) closegraph(current);
    return;
  }
  if (wid == ALL_WINDOWS) {
    for (int i = 0; i < KEL__WindowCount.load(); ++i) closegraph(i);
    return;
  }
  if (wid < 0 || wid >= KEL__WindowCount.load()) return;
  HWND hwnd = KEL__WindowTable[wid];
  if (!hwnd) return;
  // A window opened with closeflag true ends the process here; any other
  // leaves the registry and the screen, and its thread ends.
  SendMessage(hwnd, WM_CLOSE, 0, 0);
  if (KEL__UnregisterWindow(wid)) end_window(hwnd);
}

// ------------------------------------------------- driver-and-mode interface
namespace {

struct Size {
  int width, height;
};

// Client size for a driver and mode; 0 by 0 for a mode the driver lacks.
Size driver_mode_size(int driver, int mode) {
  const Size none = {0, 0}, s320 = {320, 200}, s640x200 = {640, 200};
  switch (driver) {
    case CGA:
      return mode >= 0 && mode <= 3 ? s320 : mode == 4 ? s640x200 : none;
    case MCGA:
      return mode >= 0 && mode <= 3 ? s320
             : mode == 4            ? s640x200
             : mode == 5            ? Size{640, 480}
                                    : none;
    case EGA:
    case EGA64:
      return mode == 0 ? s640x200 : mode == 1 ? Size{640, 350} : none;
    case EGAMONO:
      return Size{640, 350};
    case IBM8514:
      return mode == 0 ? Size{640, 480} : mode == 1 ? Size{1024, 768} : none;
    case HERCMONO:
      return Size{720, 348};
    case ATT400:
      return mode >= 0 && mode <= 3 ? s320
             : mode == 4            ? s640x200
             : mode == 5            ? Size{640, 400}
                                    : none;
    case VGA:
      return mode == 0 ? s640x200 : mode == 1 ? Size{640, 350} : mode == 2 ? Size{640, 480} : none;
    case PC3270:
      return Size{720, 350};
    default:
      return none;
  }
}

bool valid_driver(int driver) { return driver >= CGA && driver <= PC3270; }

const char* const kErrorMessages[16] = {"No error",
                                        "Graphics not installed",
                                        "Graphics hardware not detected",
                                        "Device driver not found",
                                        "Invalid device driver file",
                                        "Insufficient memory to load driver",
                                        "Out of memory in scan fill",
                                        "Out of memory in flood fill",
                                        "Font file not found",
                                        "Not enough meory to load font",
                                        "Invalid mode for selected driver",
                                        "Graphics error",
                                        "Graphics I/O error",
                                        "Invalid font file",
                                        "Invalid font number",
                                        "Invalid device number"};

}  // namespace

void detectgraph(int* graphdriver, int* graphmode) {
  if (graphdriver) *graphdriver = VGA;
  if (graphmode) *graphmode = VGAHI;
}

// Null pointers for the driver or the mode count as DETECT.
void initgraph(int* graphdriver, int* graphmode, const char* /*pathtodriver*/) {
  int driver = graphdriver ? *graphdriver : DETECT;
  int mode = graphmode ? *graphmode : 0;
  if (driver == DETECT) {
    detectgraph(&driver, &mode);
    detectgraph(graphdriver, graphmode);
  }
  const bool valid = valid_driver(driver);
  Size size = driver_mode_size(valid ? driver : CGA, mode);
  initwindow(size.width, size.height, "Windows KEL", 0, 0, false, true);
  if (!valid) KEL__GetWindowDataPtr()->error_code = grInvalidDriver;
}

char* getdrivername(void) {
  static char name[] = "EGAVGA";
  return name;
}

int getgraphmode(void) { return VGAHI; }
int getmaxmode(void) { return VGAHI; }

char* getmodename(int /*mode_number*/) {
  static char name[20];
  WindowData* wd = KEL__GetWindowDataPtr();
  snprintf(name, sizeof(name), "%d*%d VGAHI", wd->width, wd->height);
  return name;
}

void getmoderange(int graphdriver, int* lomode, int* himode) {
  static const int kLow[11] = {-1, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};
  static const int kHigh[11] = {-1, 4, 5, 1, 1, 3, 1, 0, 5, 2, 0};
  WindowData* wd = KEL__GetWindowDataPtr();
  if (graphdriver == -1) graphdriver = VGA;
  const bool valid = valid_driver(graphdriver);
  if (lomode) *lomode = valid ? kLow[graphdriver] : -1;
  if (himode) *himode = valid ? kHigh[graphdriver] : -1;
  if (!valid) wd->error_code = grInvalidDriver;
}

void setgraphmode(int /*mode*/) {
  graphdefaults();
  cleardevice();
}

void restorecrtmode(void) {}

int graphresult(void) {
  WindowData* wd = KEL__GetWindowDataPtr();
  PageLock lock(wd);
  int code = wd->error_code;
  wd->error_code = grOk;
  return code;
}

char* grapherrormsg(int errorcode) {
  if (errorcode > 0 || errorcode < grInvalidDeviceNum) return nullptr;
  return const_cast<char*>(kErrorMessages[-errorcode]);
}

void getaspectratio(int* xasp, int* yasp) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (xasp) *xasp = wd->x_aspect_ratio;
  if (yasp) *yasp = wd->y_aspect_ratio;
}

void setaspectratio(int xasp, int yasp) {
  WindowData* wd = KEL__GetWindowDataPtr();
  wd->x_aspect_ratio = xasp;
  wd->y_aspect_ratio = yasp;
}

// ------------------------------------------------------------- defaults
namespace {

const COLORREF kStandardColors[16] = {0,       8388608,  32768,   8421376,  128,     8388736,
                                      32896,   12632256, 8421504, 16744576, 8454016, 16777088,
                                      8421631, 16744703, 65535,   16777215};

// Stock white pen and brush and the white text colour on all four pages.
void reset_page_objects() {
  HeldPage page;
  for (HDC dc : page.wd()->hDC) {
    DeleteObject(SelectObject(dc, GetStockObject(WHITE_PEN)));
    DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc, converttorgb(WHITE));
  }
}

}  // namespace

void graphdefaults(void) {
  WindowData* wd = KEL__GetWindowDataPtr();
  setviewport(0, 0, wd->width, wd->height, 0);
  {
    KelLockGuard guard(wd->input_lock);
    wd->mouse.x = wd->mouse.y = 0;
  }
  wd->refreshing = true;
  for (int i = 0; i < 16; ++i) KEL__Colors[i].store(kStandardColors[i], std::memory_order_relaxed);
  setbkcolor(BLACK);
  {
    PageLock lock(wd);
    wd->drawing_color = WHITE;
    wd->fill.pattern = SOLID_FILL;
    wd->fill.color = WHITE;
  }
  reset_page_objects();
  {
    PageLock lock(wd);
    wd->text.horiz = LEFT_TEXT;
    wd->text.vert = TOP_TEXT;
    wd->text.font = DEFAULT_FONT;
    wd->text.direction = HORIZ_DIR;
    wd->text.charsize = 1;
    wd->text_cp_mode = 2;
    for (int& s : wd->t_scale) s = 1;
    wd->error_code = grOk;
    wd->line.linestyle = SOLID_LINE;
    wd->line.thickness = NORM_WIDTH;
  }
  wd->active_page = wd->dbflag ? 1 : 0;
  wd->visual_page = 0;
  wd->x_aspect_ratio = 10000;
  wd->y_aspect_ratio = 10000;
}

// ------------------------------------------------------- pages and refresh
namespace {

bool valid_page(int page) { return page >= 0 && page <= 3; }

void invalidate_whole(const WindowData* wd) { InvalidateRect(wd->hWnd, nullptr, FALSE); }

}  // namespace

void setactivepage(int page) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (valid_page(page)) wd->active_page = page;
}

void setvisualpage(int page) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (!valid_page(page)) return;
  wd->visual_page = page;
  invalidate_whole(wd);
}

int getactivepage(void) { return KEL__GetWindowDataPtr()->active_page; }
int getvisualpage(void) { return KEL__GetWindowDataPtr()->visual_page; }

void swapbuffers(void) {
  WindowData* wd = KEL__GetWindowDataPtr();
  if (wd->active_page == 0) {
    wd->visual_page = 0;
    wd->active_page = 1;
  } else {
    wd->visual_page = 1;
    wd->active_page = 0;
  }
  invalidate_whole(wd);
}

void refreshkel(int left, int top, int right, int bottom) {
  WindowData* wd = KEL__GetWindowDataPtr();
  RECT rect = {std::min(left, right), std::min(top, bottom), std::max(left, right),
               std::max(top, bottom)};
  {
    HeldPage page;
    LogicalToClient(page.dc(), &rect);
  }
  if (wd->visual_page == wd->active_page) InvalidateRect(wd->hWnd, &rect, FALSE);
}

void refreshallkel(void) { RefreshWindow(nullptr); }

bool getrefreshingkel(void) { return KEL__GetWindowDataPtr()->refreshing; }

void setrefreshingkel(bool value) { KEL__GetWindowDataPtr()->refreshing = value; }

// A negative time counts as 0.
// A scripted run does not sleep: the wait delivers the next scripted event.
void delay(int msec) {
  if (KEL__ScriptActive()) {
    KEL__ScriptStep();
    return;
  }
  Sleep(msec < 0 ? 0 : static_cast<DWORD>(msec));
}
