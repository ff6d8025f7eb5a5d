// Windows on a virtual X server: their placement, size and decorations, what
// they show, the close button, the system menu, moving a window without
// caption by its frame, the error box, and several windows at once.
#include <gtest/gtest.h>

#if __has_include(<X11/Xlib.h>)

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/display/x11/x11_message_box.h"
#include "x11_session.h"

// The platform's fixed window metrics.
#include "platform.h"

namespace {

using x11_test::Child;
using x11_test::Placement;
using x11_test::XSession;

constexpr int kTimeout = XSession::kTimeoutMs;
int frame_width() { return GetSystemMetrics(SM_CXFIXEDFRAME); }
int caption_height() { return GetSystemMetrics(SM_CYCAPTION); }

// Starts the probe and returns its one window.
Window start_probe(XSession& session, const std::vector<std::string>& args,
                   std::unique_ptr<Child>* probe, const char* ready = "ready") {
  *probe = session.run("prog_x11_probe", args);
  if (!*probe || !(*probe)->read_until(ready, nullptr, kTimeout)) return 0;
  std::vector<Window> windows = session.windows_of((*probe)->pid(), 1);
  return windows.size() == 1 ? windows[0] : 0;
}

// True when the probe echoes 'q' after it is typed, then ends as it does.
bool still_answers(XSession& session, Window window, Child& probe) {
  return session.keys(window, {"q"}) && probe.read_until("key 113", nullptr, kTimeout) &&
         probe.wait_exit(kTimeout) == 7;
}

TEST(X11Window, CaptionedWindowHasClientSizeTitleAndFixedSize) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, {"keys"}, &probe);
  ASSERT_NE(window, 0u);
  // The X window is the client area, below the caption and inside the
  // frame of the outer rectangle placed at (100, 100).
  Placement p = session.placement(window);
  EXPECT_EQ(p.width, 320);
  EXPECT_EQ(p.height, 200);
  EXPECT_EQ(p.x, 100 + frame_width());
  EXPECT_EQ(p.y, 100 + caption_height() + frame_width());
  EXPECT_EQ(session.text_property(window), "kel probe keys");
  EXPECT_EQ(session.byte_property(window, "_NET_WM_NAME"), "kel probe keys");

  XSizeHints hints{};
  long supplied = 0;
  ASSERT_TRUE(XGetWMNormalHints(session.display(), window, &hints, &supplied));
  EXPECT_TRUE(hints.flags & (USPosition | PPosition));
  EXPECT_EQ(hints.min_width, 320);
  EXPECT_EQ(hints.max_width, 320);
  EXPECT_EQ(hints.min_height, 200);
  EXPECT_EQ(hints.max_height, 200);

  std::vector<long> motif = session.long_properties(window, "_MOTIF_WM_HINTS");
  ASSERT_EQ(motif.size(), 5u);
  EXPECT_NE(motif[2] & 8, 0) << "a title bar is asked for";
  EXPECT_EQ(motif[1] & 16, 0) << "no maximise function";
  EXPECT_TRUE(still_answers(session, window, *probe));
}

TEST(X11Window, ScreenSizeComesFromTheServer) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe = session.run("prog_x11_probe", {"metrics"});
  std::vector<std::string> lines;
  ASSERT_TRUE(probe && probe->read_until("max", &lines, kTimeout));
  EXPECT_EQ(lines.back(),
            "max " + std::to_string(XSession::kScreenWidth - 2 * frame_width()) + " " +
                std::to_string(XSession::kScreenHeight - caption_height() - 2 * frame_width()));
  EXPECT_EQ(probe->wait_exit(kTimeout), 0);
}

TEST(X11Window, WindowWithoutCaptionDrawsItsOwnFrame) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, {"frameless"}, &probe);
  ASSERT_NE(window, 0u);
  Placement p = session.placement(window);
  EXPECT_EQ(p.x, 300);
  EXPECT_EQ(p.y, 200);
  EXPECT_EQ(p.width, 200 + 2 * frame_width());
  EXPECT_EQ(p.height, 150 + 2 * frame_width());
  std::vector<long> motif = session.long_properties(window, "_MOTIF_WM_HINTS");
  ASSERT_EQ(motif.size(), 5u);
  EXPECT_NE(motif[0] & 2, 0);
  EXPECT_EQ(motif[2], 0) << "no decoration";
  // The frame is light (once the window thread has drawn it after the
  // window appeared), the client area (painted black by initwindow) dark.
  std::vector<uint32_t> top_row;
  auto start = x11_test::Clock::now();
  do {
    top_row = session.capture(window, 0, 0, p.width, 1);
  } while ((top_row.size() != size_t(p.width) || (top_row[10] & 0xFF) <= 0x80) &&
           x11_test::elapsed_ms(start) < kTimeout);
  ASSERT_EQ(top_row.size(), size_t(p.width));
  EXPECT_GT(top_row[10] & 0xFF, 0x80u);
  std::vector<uint32_t> inside =
      session.capture(window, frame_width() + 5, frame_width() + 5, 1, 1);
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0], 0u);
  EXPECT_TRUE(still_answers(session, window, *probe));
}

TEST(X11Window, DraggingTheFrameMovesAWindowWithoutCaption) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, {"frameless"}, &probe);
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(session.pointer_to(301, 201));  // on the frame
  ASSERT_TRUE(session.xdotool({"mousedown", "1"}));
  ASSERT_TRUE(session.pointer_to(351, 231));
  ASSERT_TRUE(session.pointer_to(401, 251));
  ASSERT_TRUE(session.xdotool({"mouseup", "1"}));
  EXPECT_TRUE(session.wait_for_origin(window, 400, 250));
  // The drag was no click of the client area; a click there still is one.
  EXPECT_TRUE(still_answers(session, window, *probe));
}

TEST(X11Window, ScreenshotEqualsTheVisualPage) {
  X11_SESSION_OR_SKIP(session);
  std::string path = testing::TempDir() + "x11_visual_page.bin";
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, {"picture", path}, &probe, "drawn");
  ASSERT_NE(window, 0u);
  FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  uint32_t size[2] = {0, 0};
  ASSERT_EQ(std::fread(size, sizeof size, 1, file), 1u);
  ASSERT_EQ(size[0], 160u);
  ASSERT_EQ(size[1], 120u);
  std::vector<uint32_t> page(size_t(size[0]) * size[1]);
  ASSERT_EQ(std::fread(page.data(), 4, page.size(), file), page.size());
  std::fclose(file);
  std::remove(path.c_str());
  // Black, red, yellow, green, light cyan and white: a picture worth
  // comparing (the hidden page is plain blue).
  EXPECT_GE(std::set<uint32_t>(page.begin(), page.end()).size(), 5u);

  // Painting runs on the window's thread, so the screen may lag a little.
  std::vector<uint32_t> shown;
  auto start = x11_test::Clock::now();
  do {
    shown = session.capture(window, 0, 0, 160, 120);
  } while (shown != page && x11_test::elapsed_ms(start) < kTimeout);
  ASSERT_EQ(shown.size(), page.size());
  size_t differing = 0;
  for (size_t i = 0; i < page.size(); ++i) differing += shown[i] != page[i];
  EXPECT_EQ(differing, 0u);
  EXPECT_TRUE(still_answers(session, window, *probe));
}

TEST(X11Window, CloseButtonEndsAClosingWindowsProcess) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, {"close", "1"}, &probe);
  ASSERT_NE(window, 0u);
  session.send_delete_window(window);
  EXPECT_EQ(probe->wait_exit(kTimeout), 0);
}

TEST(X11Window, CloseButtonLeavesAnotherWindowAlone) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, {"close", "0"}, &probe);
  ASSERT_NE(window, 0u);
  session.send_delete_window(window);
  session.send_delete_window(window);
  EXPECT_TRUE(session.mapped(window));
  EXPECT_TRUE(still_answers(session, window, *probe));
}

TEST(X11Window, SystemMenuOpensWithAltSpaceAndEscapeCloses) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, {"close", "1"}, &probe);
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(session.popups().empty());
  ASSERT_TRUE(session.keys(window, {"alt+space"}));
  ASSERT_TRUE(session.wait_for_popups(1));
  ASSERT_TRUE(session.keys(window, {"Down", "Escape"}));
  EXPECT_TRUE(session.wait_for_popups(0));
  // Neither Alt+Space nor the menu's keys reached the program.
  std::vector<std::string> lines;
  ASSERT_TRUE(session.keys(window, {"q"}));
  ASSERT_TRUE(probe->read_until("key 113", &lines, kTimeout));
  EXPECT_EQ(lines, (std::vector<std::string>{"key 113"}));
  EXPECT_EQ(probe->wait_exit(kTimeout), 7);
}

TEST(X11Window, SystemMenuCloseEndsAClosingWindowsProcess) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, {"close", "1"}, &probe);
  ASSERT_NE(window, 0u);
  // Move, Minimize, Close: the third entry.
  ASSERT_TRUE(session.keys(window, {"alt+space", "Down", "Down", "Return"}));
  EXPECT_EQ(probe->wait_exit(kTimeout), 0);
}

TEST(X11Window, SystemMenuMoveFollowsTheArrowKeys) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, {"keys"}, &probe);
  ASSERT_NE(window, 0u);
  Placement before = session.placement(window);
  ASSERT_TRUE(session.keys(window, {"alt+space", "Return"}));  // Move
  ASSERT_TRUE(session.keys(window, {"Right", "Right", "Down", "Return"}));
  EXPECT_TRUE(session.wait_for_origin(window, before.x + 16, before.y + 8));
  EXPECT_TRUE(still_answers(session, window, *probe));
}

// The error box of a program that reads a key with no window open.
Window start_error_box(XSession& session, std::unique_ptr<Child>* probe) {
  *probe = session.run("prog_x11_probe", {"no-window"});
  if (!*probe) return 0;
  return session.window_named("Error");
}

TEST(X11ErrorBox, EnterDismissesItAndTheProgramEnds) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe;
  Window box = start_error_box(session, &probe);
  ASSERT_NE(box, 0u);
  EXPECT_EQ(session.byte_property(box, "_NET_WM_NAME"), "Error");
  // The error sign: a red disc somewhere in the box.
  Placement p = session.placement(box);
  std::vector<uint32_t> pixels;
  auto start = x11_test::Clock::now();
  do {
    pixels = session.capture(box, 0, 0, p.width, p.height);
  } while (std::count(pixels.begin(), pixels.end(), 0xD42020u) < 100 &&
           x11_test::elapsed_ms(start) < kTimeout);
  EXPECT_GE(std::count(pixels.begin(), pixels.end(), 0xD42020u), 100);
  EXPECT_EQ(probe->wait_exit(200), -1) << "the box waits for an answer";
  ASSERT_TRUE(session.keys(box, {"Return"}));
  EXPECT_EQ(probe->wait_exit(kTimeout), 0);
}

TEST(X11ErrorBox, ClickingOkDismissesIt) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe;
  Window box = start_error_box(session, &probe);
  ASSERT_NE(box, 0u);
  Placement p = session.placement(box);
  // One OK button, centred at the bottom.
  using Layout = kelplat::x11::MessageBoxLayout;
  int x = p.x + p.width / 2;
  int y = p.y + p.height - Layout::kMargin - Layout::kButtonHeight / 2;
  ASSERT_TRUE(session.pointer_to(x, y));
  ASSERT_TRUE(session.xdotool({"click", "1"}));
  EXPECT_EQ(probe->wait_exit(kTimeout), 0);
}

TEST(X11Windows, EachWindowGetsItsOwnInputWhileAnotherIsDrawn) {
  X11_SESSION_OR_SKIP(session);
  std::unique_ptr<Child> probe = session.run("prog_x11_probe", {"multi"});
  ASSERT_TRUE(probe && probe->read_until("ready", nullptr, kTimeout));
  std::vector<Window> windows = session.windows_of(probe->pid(), 3);
  ASSERT_EQ(windows.size(), 3u);
  Window a = 0, b = 0;
  for (Window w : windows) {
    if (session.text_property(w) == "kel probe A") a = w;
    if (session.text_property(w) == "kel probe B") b = w;
  }
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  auto clicks = [&](Window w, int count) {
    Placement p = session.placement(w);
    for (int i = 0; i < count; ++i) {
      // Far enough apart that no two presses make a double click.
      ASSERT_TRUE(session.pointer_to(p.x + 20 + 15 * i, p.y + 30));
      ASSERT_TRUE(session.xdotool({"click", "1"}));
    }
  };
  ASSERT_TRUE(session.type_text(a, "alpha"));
  clicks(a, 3);
  ASSERT_TRUE(session.type_text(b, "bravo"));
  clicks(b, 2);
  ASSERT_TRUE(session.type_text(a, "one."));
  ASSERT_TRUE(session.type_text(b, "two."));
  std::vector<std::string> lines;
  ASSERT_TRUE(probe->read_until("B keys", &lines, kTimeout));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "A keys=alphaone clicks=3");
  EXPECT_EQ(lines[1], "B keys=bravotwo clicks=2");
  EXPECT_EQ(probe->wait_exit(kTimeout), 0);
}

}  // namespace

#else

TEST(X11Window, NeedsX11Headers) { GTEST_SKIP() << "built without X11 headers"; }

#endif
