// Window classes, window life and geometry, hit testing, user data, system
// menus, metrics, cursors and message boxes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/user/dialog_hooks.h"
#include "window_manager_test_support.h"

using kelplat::testing::shown_pixels;
using wm_test::Behaviour;
using wm_test::kCaptioned;
using wm_test::kCaptionless;
using wm_test::WindowThread;

namespace {

LRESULT CALLBACK plain_procedure(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcA(hwnd, m, w, l);
}

WNDCLASSEXA plain_class(const char* name) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = plain_procedure;
  wc.lpszClassName = name;
  return wc;
}

LRESULT hit(HWND hwnd, int x, int y) {
  return SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y));
}

std::string menu_text(HMENU menu, UINT item, UINT flags) {
  char text[64];
  int n = GetMenuStringA(menu, item, text, sizeof text, flags);
  return std::string(text, size_t(n));
}

// Runs `body` with standard output and standard error going to files, and
// gives back what each received.
std::pair<std::string, std::string> capture_output(const std::function<void()>& body) {
  std::fflush(stdout);
  std::fflush(stderr);
  FILE* out = std::tmpfile();
  FILE* err = std::tmpfile();
  int saved_out = dup(STDOUT_FILENO), saved_err = dup(STDERR_FILENO);
  dup2(fileno(out), STDOUT_FILENO);
  dup2(fileno(err), STDERR_FILENO);
  body();
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(saved_out, STDOUT_FILENO);
  dup2(saved_err, STDERR_FILENO);
  close(saved_out);
  close(saved_err);
  auto read_all = [](FILE* f) {
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text.push_back(char(c));
    std::fclose(f);
    return text;
  };
  return {read_all(out), read_all(err)};
}

}  // namespace

TEST(WindowManagerWindows, ClassesRegisterOnceByNameWithoutCase) {
  WNDCLASSEXA wc = plain_class("WmTestClassOnce");
  ASSERT_NE(RegisterClassExA(&wc), 0);
  SetLastError(0);
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
  WNDCLASSEXA upper = plain_class("WMTESTCLASSONCE");
  EXPECT_EQ(RegisterClassExA(&upper), 0);

  HWND hwnd = CreateWindowExA(0, "wmtestclassonce", "x", kCaptioned, 0, 0, 100, 100, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(DestroyWindow(hwnd));

  EXPECT_TRUE(UnregisterClassA("WmTestClassOnce", nullptr));
  EXPECT_FALSE(UnregisterClassA("WmTestClassOnce", nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
  SetLastError(0);
  EXPECT_EQ(CreateWindowExA(0, "WmTestClassOnce", "x", kCaptioned, 0, 0, 100, 100, nullptr, nullptr,
                            nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
  EXPECT_NE(RegisterClassExA(&wc), 0);  // free to register again
  EXPECT_TRUE(UnregisterClassA("WMTestClassOnce", nullptr));
}

TEST(WindowManagerWindows, BadClassRegistrationsAreRefused) {
  EXPECT_EQ(RegisterClassExA(nullptr), 0);
  WNDCLASSEXA wc = plain_class("WmTestBadClass");
  wc.cbSize = 12;
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  wc = plain_class("");
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  wc = plain_class(nullptr);
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  wc = plain_class(MAKEINTRESOURCEA(42));  // an atom, never read as text
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  std::string long_name(300, 'n');
  wc = plain_class(long_name.c_str());
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  wc = plain_class("WmTestNoProcedure");
  wc.lpfnWndProc = nullptr;
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(CreateWindowExA(0, nullptr, "x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
            nullptr);
}

TEST(WindowManagerWindows, CreationAndDestructionMessagesRunOnTheCreatingThread) {
  Behaviour b;
  HWND hwnd = wm_test::make_window(b, {.show = false});
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(GetWindowThreadProcessId(hwnd, nullptr), GetCurrentThreadId());
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  EXPECT_EQ(process, DWORD(getpid()));
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(DestroyWindow(hwnd));
  EXPECT_EQ(b.messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  for (const wm_test::Seen& s : b.seen()) EXPECT_EQ(s.thread, GetCurrentThreadId());
  MSG msg;  // the procedure posted WM_QUIT on WM_DESTROY
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST(WindowManagerWindows, AProcedureCanRefuseCreation) {
  for (UINT refused : {UINT(WM_NCCREATE), UINT(WM_CREATE)}) {
    Behaviour b;
    b.handle = [refused](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == refused) return refused == WM_NCCREATE ? 0 : -1;
      return std::nullopt;
    };
    EXPECT_EQ(wm_test::make_window(b, {.show = false}), nullptr);
    EXPECT_EQ(b.count(WM_CREATE), refused == WM_CREATE ? 1 : 0);
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST(WindowManagerWindows, ClientAreaIsTheOuterRectangleLessFrameAndCaption) {
  Behaviour b1, b2;
  HWND captioned =
      wm_test::make_window(b1, {kCaptioned, "Caption", {50, 60, 50 + 646, 60 + 509}, false});
  HWND bare = wm_test::make_window(b2, {kCaptionless, "", {50, 60, 50 + 206, 60 + 106}, false});
  ASSERT_NE(captioned, nullptr);
  ASSERT_NE(bare, nullptr);
  RECT r;
  ASSERT_TRUE(GetClientRect(captioned, &r));
  EXPECT_EQ(r.right, 640);
  EXPECT_EQ(r.bottom, 480);
  ASSERT_TRUE(GetWindowRect(captioned, &r));
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.right, 696);
  EXPECT_EQ(r.bottom, 569);
  ASSERT_TRUE(GetClientRect(bare, &r));
  EXPECT_EQ(r.right, 200);
  EXPECT_EQ(r.bottom, 100);

  int width = 0, height = 0;
  std::vector<uint32_t> pixels = shown_pixels(captioned, &width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  ASSERT_EQ(pixels.size(), size_t(640 * 480));
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0u), 640 * 480);  // starts black

  char title[16];
  EXPECT_EQ(GetWindowTextA(captioned, title, sizeof title), 7);
  EXPECT_STREQ(title, "Caption");
  EXPECT_EQ(GetWindowTextA(captioned, title, 4), 3);
  EXPECT_STREQ(title, "Cap");
  EXPECT_EQ(GetWindowTextA(bare, title, sizeof title), 0);
  EXPECT_EQ(GetWindowTextA(captioned, nullptr, 10), 0);
  EXPECT_EQ(GetWindowTextA(captioned, title, 0), 0);
  DestroyWindow(captioned);
  DestroyWindow(bare);
}

TEST(WindowManagerWindows, MoveWindowKeepsThePictureWhereSizesOverlap) {
  Behaviour b;
  HWND hwnd = wm_test::make_window(b, {.show = false});
  ASSERT_NE(hwnd, nullptr);
  HDC hdc = GetDC(hwnd);
  SetPixelV(hdc, 5, 7, RGB(255, 0, 0));
  SetPixelV(hdc, 199, 199, RGB(0, 255, 0));
  ReleaseDC(hwnd, hdc);

  ASSERT_TRUE(MoveWindow(hwnd, 30, 40, 106, 129, FALSE));  // client 100 x 100
  int width = 0, height = 0;
  std::vector<uint32_t> pixels = shown_pixels(hwnd, &width, &height);
  ASSERT_EQ(width, 100);
  ASSERT_EQ(height, 100);
  EXPECT_EQ(pixels[7 * 100 + 5], 0xFF0000u);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.bottom, 40 + 129);

  // A size no picture can have is refused, and nothing changes.
  EXPECT_FALSE(MoveWindow(hwnd, 0, 0, 2000000000, 2000000000, TRUE));
  GetClientRect(hwnd, &r);
  EXPECT_EQ(r.right, 100);
  EXPECT_EQ(shown_pixels(hwnd).size(), 100u * 100u);
  // A negative size leaves an empty client area.
  ASSERT_TRUE(MoveWindow(hwnd, 0, 0, -5, -5, TRUE));
  GetClientRect(hwnd, &r);
  EXPECT_EQ(r.right, 0);
  EXPECT_EQ(r.bottom, 0);
  EXPECT_TRUE(shown_pixels(hwnd).empty());
  DestroyWindow(hwnd);
  EXPECT_EQ(CreateWindowExA(0, wm_test::test_class(), "x", kCaptioned, 0, 0, 2000000000, 2000000000,
                            nullptr, nullptr, nullptr, nullptr),
            nullptr);
}

TEST(WindowManagerWindows, HitTestingOfACaptionedWindow) {
  WindowThread w({kCaptioned, "hit", {100, 50, 306, 279}, true});
  HWND h = w.hwnd();
  EXPECT_EQ(hit(h, 113, 86), HTCLIENT);   // inside the client area (103.., 76..)
  EXPECT_EQ(hit(h, 103, 76), HTCLIENT);   // its first pixel
  EXPECT_EQ(hit(h, 302, 275), HTCLIENT);  // its last pixel
  EXPECT_EQ(hit(h, 150, 55), HTCAPTION);
  EXPECT_EQ(hit(h, 150, 75), HTCAPTION);
  EXPECT_EQ(hit(h, 101, 150), HTBORDER);
  EXPECT_EQ(hit(h, 150, 51), HTBORDER);
  EXPECT_EQ(hit(h, 305, 278), HTBORDER);
  EXPECT_EQ(hit(h, 99, 150), HTNOWHERE);
  EXPECT_EQ(hit(h, 306, 150), HTNOWHERE);
  EXPECT_EQ(hit(h, 150, 279), HTNOWHERE);
}

TEST(WindowManagerWindows, HitTestingOfACaptionlessWindowOffTheScreenEdge) {
  WindowThread w({kCaptionless, "", {-50, -40, 156, 166}, true});
  HWND h = w.hwnd();
  EXPECT_EQ(hit(h, -47, -37), HTCLIENT);  // no caption: the client starts under the frame
  EXPECT_EQ(hit(h, -45, -30), HTCLIENT);
  EXPECT_EQ(hit(h, -49, -39), HTBORDER);
  EXPECT_EQ(hit(h, 0, -38), HTBORDER);
  EXPECT_EQ(hit(h, -51, 0), HTNOWHERE);
  EXPECT_EQ(hit(h, 152, 162), HTCLIENT);
  EXPECT_EQ(hit(h, 153, 162), HTBORDER);
}

TEST(WindowManagerWindows, CloseRequestsDestroyByDefault) {
  WindowThread w;
  HWND hwnd = w.hwnd();
  ASSERT_TRUE(PostMessageA(hwnd, WM_CLOSE, 0, 0));
  w.join();  // the loop ended: WM_DESTROY posted the quit message
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(w.behaviour().messages({WM_CLOSE, WM_DESTROY, WM_NCDESTROY}),
            (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));

  WindowThread v;
  hwnd = v.hwnd();
  ASSERT_TRUE(PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0));
  v.join();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(v.behaviour().messages({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
            (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
}

TEST(WindowManagerWindows, OnlyTheOwnerThreadDestroysAWindow) {
  WindowThread w;
  SetLastError(0);
  EXPECT_FALSE(DestroyWindow(w.hwnd()));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(IsWindow(w.hwnd()));
}

TEST(WindowManagerWindows, UserDataRoundTripsAPointerFromAnyThread) {
  WindowThread w;
  Behaviour* own = &w.behaviour();
  EXPECT_EQ(GetWindowLongA(w.hwnd(), GWL_USERDATA), reinterpret_cast<LONG_PTR>(own));
  LONG_PTR value = sizeof(LONG_PTR) == 8 ? LONG_PTR(0x7ffe12345678abcdLL) : LONG_PTR(0x7ffe1234);
  std::thread setter([&] {
    EXPECT_EQ(SetWindowLongA(w.hwnd(), GWL_USERDATA, value), reinterpret_cast<LONG_PTR>(own));
  });
  setter.join();
  EXPECT_EQ(GetWindowLongA(w.hwnd(), GWL_USERDATA), value);
  EXPECT_EQ(SetWindowLongA(w.hwnd(), GWL_USERDATA, reinterpret_cast<LONG_PTR>(own)), value);

  EXPECT_EQ(DWORD(GetWindowLongA(w.hwnd(), GWL_STYLE)), DWORD(kCaptioned | WS_VISIBLE));
  EXPECT_EQ(GetWindowLongA(w.hwnd(), GWL_WNDPROC),
            reinterpret_cast<LONG_PTR>(&wm_test::recording_procedure));
  SetLastError(0);
  EXPECT_EQ(GetWindowLongA(w.hwnd(), 12345), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(GetWindowLongA(nullptr, GWL_USERDATA), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST(WindowManagerWindows, SystemMenuEntriesAndAppendedCommands) {
  Behaviour b;
  HWND hwnd = wm_test::make_window(b, {.show = false});
  ASSERT_NE(hwnd, nullptr);
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetSystemMenu(hwnd, FALSE), menu);
  ASSERT_EQ(GetMenuItemCount(menu), 3);
  EXPECT_EQ(GetMenuItemID(menu, 0), UINT(SC_MOVE));
  EXPECT_EQ(GetMenuItemID(menu, 1), UINT(SC_MINIMIZE));
  EXPECT_EQ(GetMenuItemID(menu, 2), UINT(SC_CLOSE));
  EXPECT_EQ(menu_text(menu, 1, MF_BYPOSITION), "Minimize");

  ASSERT_TRUE(AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 4, "Save image as..."));
  ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 1, "Print 2\" wide..."));
  ASSERT_TRUE(AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
  EXPECT_FALSE(AppendMenuA(menu, 0x10 /* a pop-up */, 9, "Sub"));
  EXPECT_FALSE(AppendMenuA(nullptr, MF_STRING, 9, "None"));
  ASSERT_EQ(GetMenuItemCount(menu), 7);
  EXPECT_EQ(GetMenuItemID(menu, 3), 0u);
  EXPECT_EQ(menu_text(menu, 3, MF_BYPOSITION), "");
  EXPECT_EQ(GetMenuItemID(menu, 4), 4u);
  EXPECT_EQ(menu_text(menu, 4, MF_BYPOSITION), "Save image as...");
  EXPECT_EQ(menu_text(menu, 1, MF_BYCOMMAND), "Print 2\" wide...");
  EXPECT_EQ(menu_text(menu, SC_CLOSE, MF_BYCOMMAND), "Close");
  EXPECT_EQ(GetMenuItemID(menu, 7), UINT(-1));
  EXPECT_EQ(GetMenuItemID(menu, -1), UINT(-1));
  EXPECT_EQ(menu_text(menu, 99, MF_BYCOMMAND), "");
  char small[5];
  EXPECT_EQ(GetMenuStringA(menu, 4, small, sizeof small, MF_BYPOSITION), 4);
  EXPECT_STREQ(small, "Save");
  EXPECT_EQ(GetMenuStringA(menu, 4, nullptr, 0, MF_BYPOSITION), 16);

  EXPECT_EQ(GetSystemMenu(hwnd, TRUE), nullptr);  // back to the system's own entries
  EXPECT_EQ(GetMenuItemCount(menu), 3);
  DestroyWindow(hwnd);
  EXPECT_EQ(GetMenuItemCount(menu), -1);  // the menu went with its window
  EXPECT_EQ(GetSystemMenu(hwnd, FALSE), nullptr);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST(WindowManagerWindows, SystemMetricsOfTheHeadlessDisplay) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 23);
  EXPECT_EQ(GetSystemMetrics(SM_CXFIXEDFRAME), 3);
  EXPECT_EQ(GetSystemMetrics(SM_CYFIXEDFRAME), 3);
  EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
  EXPECT_EQ(GetSystemMetrics(SM_CYBORDER), 1);
  EXPECT_EQ(GetSystemMetrics(SM_CXDOUBLECLK), 4);
  EXPECT_EQ(GetSystemMetrics(SM_CYDOUBLECLK), 4);
  EXPECT_EQ(GetSystemMetrics(-1), 0);
  EXPECT_EQ(GetSystemMetrics(99999), 0);
  EXPECT_EQ(kelplat::testing::backend_name(), "headless");
}

TEST(WindowManagerWindows, StockCursors) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
  ASSERT_NE(arrow, nullptr);
  ASSERT_NE(wait, nullptr);
  EXPECT_NE(arrow, wait);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, "arrow"), nullptr);
  HCURSOR before = SetCursor(wait);
  EXPECT_EQ(SetCursor(arrow), wait);
  EXPECT_EQ(SetCursor(reinterpret_cast<HCURSOR>(uintptr_t(77))), arrow);  // not a cursor
  EXPECT_EQ(SetCursor(before), arrow);
}

TEST(WindowManagerWindows, MessageBoxGoesToTheInstalledHandler) {
  std::string text, caption;
  UINT type = 0;
  kelplat::testing::set_message_box_handler(
      [&](const std::string& t, const std::string& c, UINT k) {
        text = t;
        caption = c;
        type = k;
        return IDNO;
      });
  EXPECT_EQ(MessageBoxA(nullptr, "Overwrite?", "Question", MB_YESNO), IDNO);
  EXPECT_EQ(text, "Overwrite?");
  EXPECT_EQ(caption, "Question");
  EXPECT_EQ(type, UINT(MB_YESNO));
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK), IDNO);
  EXPECT_EQ(text, "");
  EXPECT_EQ(caption, "Error");
  kelplat::testing::set_message_box_handler(nullptr);
}

TEST(WindowManagerWindows, HeadlessMessageBoxWritesToStandardErrorOnly) {
  int answer = 0;
  auto [out, err] = capture_output([&] {
    answer =
        MessageBoxA(nullptr, "Drawing operation was attempted when there was no current window.",
                    "Error", MB_ICONERROR);
  });
  EXPECT_EQ(answer, IDOK);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "Error: Drawing operation was attempted when there was no current window.\n");

  std::tie(out, err) =
      capture_output([&] { answer = MessageBoxA(nullptr, "Go on?", "Ask", MB_YESNO); });
  EXPECT_EQ(answer, IDYES);
  EXPECT_EQ(err, "Ask: Go on?\n");
}

TEST(WindowManagerWindows, FileDialogHandlerIsOnlyStored) {
  OPENFILENAMEA ofn{};
  bool handled = true;
  EXPECT_FALSE(kelplat::testing_file_dialog(&ofn, true, &handled));
  EXPECT_FALSE(handled);
  bool saw_save = false;
  kelplat::testing::set_file_dialog_handler([&](OPENFILENAMEA*, bool save) {
    saw_save = save;
    return true;
  });
  EXPECT_TRUE(kelplat::testing_file_dialog(&ofn, true, &handled));
  EXPECT_TRUE(handled);
  EXPECT_TRUE(saw_save);
  kelplat::testing::set_file_dialog_handler(nullptr);
  EXPECT_FALSE(kelplat::testing_file_dialog(&ofn, false, &handled));
  EXPECT_FALSE(handled);
}
