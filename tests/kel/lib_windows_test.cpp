// Opening and closing windows: numbering, the current window, geometry, the
// starting state of a new window, and the ways a process ends.
#include <algorithm>

#include "lib_test_support.h"

using namespace kel_test;

namespace {

const char kNoWindowText[] =
    "Error: Drawing operation was attempted when there was no current window.\n";

int frame_w() { return GetSystemMetrics(SM_CXFIXEDFRAME); }
int frame_h() { return GetSystemMetrics(SM_CYFIXEDFRAME); }
int caption_h() { return GetSystemMetrics(SM_CYCAPTION); }

}  // namespace

// A program that declares its own prototype with char* must link.
int initwindow(int width, int height, char* title, int left, int top, bool dbflag, bool closeflag);

TEST(WindowRegistry, NumbersCountUpAndTheNewWindowBecomesCurrent) {
  const int base = KEL__WindowCount;
  int a = open_window();
  int b = open_window();
  EXPECT_EQ(a, base);
  EXPECT_EQ(b, base + 1);
  EXPECT_EQ(KEL__WindowCount, base + 2);
  EXPECT_EQ(getcurrentwindow(), b);
  setcurrentwindow(a);
  EXPECT_EQ(getcurrentwindow(), a);
  // Each window runs on a thread of its own, not on the caller's.
  DWORD thread_a = GetWindowThreadProcessId(handle_of(a), nullptr);
  DWORD thread_b = GetWindowThreadProcessId(handle_of(b), nullptr);
  EXPECT_NE(thread_a, thread_b);
  EXPECT_NE(thread_a, GetCurrentThreadId());
}

TEST(WindowRegistry, SetCurrentWindowIgnoresNumbersOfNoLiveWindow) {
  int a = open_window();
  int b = open_window();
  closegraph(a);
  EXPECT_EQ(getcurrentwindow(), b);
  for (int bad : {a, -1, -2, -3, -100, int(KEL__WindowCount), INT_MAX, INT_MIN}) {
    setcurrentwindow(bad);
    EXPECT_EQ(getcurrentwindow(), b) << "after setcurrentwindow(" << bad << ")";
  }
}

TEST(WindowRegistry, ClosingTheCurrentWindowLeavesNoneAndNumbersAreNeverReused) {
  int a = open_window();
  HWND hwnd = handle_of(a);
  closegraph(a);
  EXPECT_EQ(getcurrentwindow(), NO_CURRENT_WINDOW);
  EXPECT_EQ(KEL__WindowTable[a], nullptr);
  EXPECT_FALSE(IsWindow(hwnd)) << "a closed window leaves the screen";
  int b = open_window();
  EXPECT_EQ(b, a + 1);
}

TEST(WindowRegistry, AnotherLiveWindowMadeCurrentMakesDrawingWorkAgain) {
  int a = open_window();
  int b = open_window();
  closegraph(CURRENT_WINDOW);
  EXPECT_EQ(KEL__WindowTable[b], nullptr);
  EXPECT_EQ(getcurrentwindow(), NO_CURRENT_WINDOW);
  closegraph(CURRENT_WINDOW);  // nothing left to close: no effect
  EXPECT_NE(KEL__WindowTable[a], nullptr);
  setcurrentwindow(a);
  putpixel(3, 4, YELLOW);
  EXPECT_EQ(getpixel(3, 4), YELLOW);
}

TEST(WindowRegistry, CloseAllEmptiesEveryEntryAndEndsEveryWindow) {
  int a = open_window();
  int b = open_window();
  HWND ha = handle_of(a), hb = handle_of(b);
  closegraph(ALL_WINDOWS);
  for (int i = 0; i < KEL__WindowCount; ++i) EXPECT_EQ(KEL__WindowTable[i], nullptr) << i;
  EXPECT_EQ(getcurrentwindow(), NO_CURRENT_WINDOW);
  EXPECT_FALSE(IsWindow(ha));
  EXPECT_FALSE(IsWindow(hb));
}

// Each closed window's thread has ended when closegraph returns, and nothing
// it held stays behind: the program checks its own threads, descriptors and
// memory over 300 windows.
TEST(Closing, ClosedWindowsGiveBackTheirThreadsAndPages) {
  ChildResult r = run_child(test_program("window_cycle"), {"300"}, 120);
  EXPECT_FALSE(r.timed_out);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "cycled 300\n") << r.err;
}

TEST(WindowRegistry, CloseGraphIgnoresNumbersOfNoLiveWindow) {
  int a = open_window();
  int b = open_window();
  closegraph(a);
  for (int bad : {a, -3, -4, int(KEL__WindowCount), INT_MAX, INT_MIN}) closegraph(bad);
  EXPECT_EQ(getcurrentwindow(), b);
  EXPECT_NE(KEL__WindowTable[b], nullptr);
}

TEST(WindowCreation, CaptionlessWindowIsClientSizePlusFrame) {
  int w = initwindow(200, 100, "", 50, 60, false, false);
  ASSERT_GE(w, 0);
  RECT outer, client;
  ASSERT_TRUE(GetWindowRect(handle_of(w), &outer));
  ASSERT_TRUE(GetClientRect(handle_of(w), &client));
  EXPECT_EQ(outer.left, 50);
  EXPECT_EQ(outer.top, 60);
  EXPECT_EQ(outer.right - outer.left, 200 + 2 * frame_w());
  EXPECT_EQ(outer.bottom - outer.top, 100 + 2 * frame_h());
  EXPECT_EQ(client.right - client.left, 200);
  EXPECT_EQ(client.bottom - client.top, 100);
  // The size query counts a caption even where there is none.
  EXPECT_EQ(getwindowheight(), 100 + caption_h() + 2 * frame_h());
}

TEST(WindowCreation, CaptionedWindowAddsCaptionAndCarriesTitle) {
  int w = initwindow(120, 90, "Captioned", 10, 20, false, false);
  ASSERT_GE(w, 0);
  RECT outer;
  ASSERT_TRUE(GetWindowRect(handle_of(w), &outer));
  EXPECT_EQ(outer.right - outer.left, getwindowwidth());
  EXPECT_EQ(outer.bottom - outer.top, getwindowheight());
  EXPECT_EQ(getwindowheight(), 90 + caption_h() + 2 * frame_h());
  char title[64] = {};
  GetWindowTextA(handle_of(w), title, sizeof(title));
  EXPECT_STREQ(title, "Captioned");
  EXPECT_EQ(getmaxx(), 119);
  EXPECT_EQ(getmaxy(), 89);
}

TEST(WindowCreation, DefaultArgumentsAndCharPointerTitle) {
  int w = initwindow(64, 48);
  ASSERT_GE(w, 0);
  char title[64] = {};
  GetWindowTextA(handle_of(w), title, sizeof(title));
  EXPECT_STREQ(title, "Windows KEL");
  EXPECT_TRUE(KEL__GetWindowDataPtr()->closeflag) << "closeflag defaults to true";
  KEL__GetWindowDataPtr()->closeflag = false;  // so that closing it later keeps the process

  char mutable_title[] = "chars";
  int c = initwindow(64, 48, mutable_title, 0, 0, false, false);
  ASSERT_GE(c, 0);
  GetWindowTextA(handle_of(c), title, sizeof(title));
  EXPECT_STREQ(title, "chars");
}

TEST(WindowCreation, NewWindowIsBlackWithWhiteDrawingState) {
  open_window(40, 30);
  Shown shown;
  ASSERT_EQ(shown.width(), 40);
  ASSERT_EQ(shown.height(), 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(shown.at(x, y), 0u) << x << "," << y;
  EXPECT_EQ(getpixel(0, 0), BLACK);
  EXPECT_EQ(getpixel(39, 29), BLACK);
  EXPECT_EQ(getcolor(), WHITE);
  fillsettingstype fill;
  getfillsettings(&fill);
  EXPECT_EQ(fill.pattern, SOLID_FILL);
  EXPECT_EQ(fill.color, WHITE);

  WindowData* wd = KEL__GetWindowDataPtr();
  for (int page = 0; page < 4; ++page) {
    HDC dc = wd->hDC[page];
    EXPECT_EQ(GetTextColor(dc), 0xFFFFFFu) << page;
    EXPECT_EQ(GetObjectType(GetCurrentObject(dc, OBJ_PEN)), DWORD(OBJ_EXTPEN)) << page;
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    if (page == 0) {
      LOGBRUSH lb = {};
      ASSERT_EQ(GetObjectA(brush, sizeof(lb), &lb), int(sizeof(lb)));
      EXPECT_EQ(lb.lbStyle, UINT(BS_SOLID));
      EXPECT_EQ(lb.lbColor, 0xFFFFFFu);
      EXPECT_NE(brush, GetStockObject(WHITE_BRUSH)) << "the active page has the library's brush";
    } else {
      EXPECT_EQ(brush, GetStockObject(WHITE_BRUSH)) << "page " << page << " keeps the stock brush";
    }
  }
}

TEST(WindowCreation, DoubleBufferFlagChoosesTheStartingPages) {
  open_window(50, 50, true);
  EXPECT_EQ(getactivepage(), 1);
  EXPECT_EQ(getvisualpage(), 0);
  open_window(50, 50, false);
  EXPECT_EQ(getactivepage(), 0);
  EXPECT_EQ(getvisualpage(), 0);
}

TEST(WindowCreation, BadTitleAndSizesGiveHarmlessAnswers) {
  int w = initwindow(-10, -20, static_cast<const char*>(nullptr), 0, 0, false, false);
  ASSERT_GE(w, 0) << "a null title counts as an empty one, negative sizes as 0";
  EXPECT_EQ(getmaxx(), -1);
  EXPECT_EQ(getmaxy(), -1);
  putpixel(0, 0, WHITE);
  EXPECT_EQ(getpixel(0, 0), -1);

  std::vector<std::string> boxes;
  kelplat::testing::set_message_box_handler(
      [&](const std::string&, const std::string& caption, UINT) {
        boxes.push_back(caption);
        return IDOK;
      });
  const int count = KEL__WindowCount, current = getcurrentwindow();
  EXPECT_EQ(initwindow(INT_MAX, INT_MAX, "huge", 0, 0, false, false), -1);
  kelplat::testing::set_message_box_handler(nullptr);
  EXPECT_EQ(KEL__WindowCount, count) << "a failed window leaves the registry alone";
  EXPECT_EQ(getcurrentwindow(), current);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Error");
}

TEST(WindowCreation, ThreadsOpeningWindowsAtOnceGetDistinctNumbers) {
  const int base = KEL__WindowCount;
  std::vector<int> numbers(4, -1);
  std::vector<std::thread> openers;
  for (int i = 0; i < 4; ++i)
    openers.emplace_back([&numbers, i] { numbers[i] = open_window(30, 30); });
  for (std::thread& t : openers) t.join();
  std::sort(numbers.begin(), numbers.end());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(numbers[i], base + i);
  EXPECT_EQ(KEL__WindowCount, base + 4);
}

TEST(ErrorBox, ShowsTheTextOrTheSystemTextOfTheLastError) {
  std::vector<std::string> texts, captions;
  std::vector<UINT> styles;
  kelplat::testing::set_message_box_handler(
      [&](const std::string& text, const std::string& caption, UINT type) {
        texts.push_back(text);
        captions.push_back(caption);
        styles.push_back(type);
        return IDOK;
      });
  showerrorbox("x");
  SetLastError(ERROR_FILE_NOT_FOUND);
  showerrorbox(nullptr);
  kelplat::testing::set_message_box_handler(nullptr);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "x");
  EXPECT_EQ(captions[0], "Error");
  EXPECT_EQ(styles[0], 16u);
  char* system_text = nullptr;
  FormatMessageA(0x1300, nullptr, ERROR_FILE_NOT_FOUND, 0x400,
                 reinterpret_cast<LPSTR>(&system_text), 0, nullptr);
  ASSERT_NE(system_text, nullptr);
  EXPECT_EQ(texts[1], system_text);
  EXPECT_EQ(captions[1], "Error");
  LocalFree(system_text);
}

// ------------------------------------------------------- ending the process
class NoCurrentWindow : public ::testing::TestWithParam<const char*> {};

TEST_P(NoCurrentWindow, ShowsTheMessageAndExitsWithZero) {
  ChildResult r = run_child(test_program("no_window"), {GetParam()});
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kNoWindowText);
}

INSTANTIATE_TEST_SUITE_P(Calls, NoCurrentWindow,
                         ::testing::Values("mousex", "putpixel", "getch", "kbhit", "getmouseclick",
                                           "graphdefaults", "after-close"));

TEST(NoCurrentWindowNeeded, PaletteFunctionsWork) {
  ChildResult r = run_child(test_program("no_window"), {"palette"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "16 16\n");
  EXPECT_EQ(r.err, "");
}

TEST(Closing, CloseGraphOfAWindowWithCloseFlagEndsTheProcess) {
  for (const char* how : {"closegraph-true", "initgraph", "close-request-true"}) {
    ChildResult r = run_child(test_program("close_window"), {how});
    EXPECT_FALSE(r.timed_out) << how;
    EXPECT_EQ(r.exit_code, 0) << how;
    EXPECT_EQ(r.out, "") << how;
  }
}

TEST(Closing, CloseRequestsToOtherWindowsAreIgnoredAndCloseGraphEndsThem) {
  ChildResult asked = run_child(test_program("close_window"), {"close-request-false"});
  EXPECT_EQ(asked.exit_code, 7);
  EXPECT_EQ(asked.out, "alive\n");
  ChildResult closed = run_child(test_program("close_window"), {"closegraph-false"});
  EXPECT_EQ(closed.exit_code, 7);
  EXPECT_EQ(closed.out, "gone alive\n");
}

TEST(Closing, CloseRequestReturnsOneAndKeepsTheWindow) {
  int w = open_window();
  EXPECT_EQ(SendMessageA(handle_of(w), WM_CLOSE, 0, 0), 1);
  EXPECT_TRUE(IsWindow(handle_of(w)));
  EXPECT_EQ(getcurrentwindow(), w);
}

TEST(Demo, WithoutAWindowItEndsAtOnceWithTheMessage) {
  const std::string demo = std::string(KEL_TEST_PROGRAMS_DIR) + "/../kel-demo";
  ASSERT_EQ(access(demo.c_str(), X_OK), 0) << "kel-demo is not built: " << demo;
  ChildResult r = run_child(demo, {});
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kNoWindowText);
}
