// Closes a window in the way named by the first argument. A window opened
// with closeflag true ends the process (status 0) when it is asked to close;
// otherwise the program writes "gone " when the window no longer exists
// (closegraph ends it, a close request leaves it), then "alive", and exits
// with status 7.
#include <graphics.h>

#include <cstdio>
#include <cstring>

#include "kel/kel_internal.h"
#include "platform_testing.h"

namespace {

void close_window(const char* how) {
  if (!std::strcmp(how, "closegraph-true")) {
    initwindow(80, 60, "closing", 0, 0, false, true);
    closegraph(CURRENT_WINDOW);
  }
  if (!std::strcmp(how, "closegraph-false")) {
    int window = initwindow(80, 60, "closed", 0, 0, false, false);
    HWND hwnd = KEL__WindowTable[window];
    closegraph(window);
    if (!IsWindow(hwnd)) std::printf("gone ");
  }
  if (!std::strcmp(how, "initgraph")) {
    int driver = DETECT, mode = 0;
    initgraph(&driver, &mode, "");
    closegraph(ALL_WINDOWS);
  }
  if (!std::strcmp(how, "close-request-true")) {
    int window = initwindow(80, 60, "asked", 0, 0, false, true);
    // As the close box does: the request arrives on the window thread, which
    // ends the process while this thread waits.
    PostMessageA(KEL__WindowTable[window], WM_CLOSE, 0, 0);
    delay(60000);
  }
  if (!std::strcmp(how, "close-request-false")) {
    int window = initwindow(80, 60, "asked", 0, 0, false, false);
    HWND hwnd = KEL__WindowTable[window];
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (!kelplat::testing::wait_idle(hwnd) || !IsWindow(hwnd)) std::printf("gone ");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) close_window(argv[1]);
  std::printf("alive\n");
  return 7;
}
